#pragma once

#include "platform/FilePanels.h"

#include <QFileDialog>
#include <QPointer>
#include <QString>

// The open and save panels: Qt file dialogs that open in the folder the user last chose a
// file of that kind in, this run or an earlier one (the folders are kept in the settings).
class QtOpenPanel : public OpenPanel {
  public:
    QtOpenPanel(QWidget* parent, FileKind kind);
    ~QtOpenPanel() override;
    int runModal() override;
    std::vector<std::string> filenames() const override;

  private:
    QPointer<QFileDialog> dialog_;
    QString folderKey_;
};

class QtSavePanel : public SavePanel {
  public:
    QtSavePanel(QWidget* parent, FileKind kind);
    ~QtSavePanel() override;
    int runModal() override;
    std::string filename() const override;

  private:
    QPointer<QFileDialog> dialog_;
    QString folderKey_;
};

// "Pictures and PDF documents (*.png *.jpg … *.pdf)" for every format this Qt can read,
// "PDF documents (*.pdf)", then "All files (*)"; with projects, "Pictures, PDF documents
// and projects (…)" and "Projects (*.plotmeter)" first.
QStringList imageFileFilters(bool withProjects = false);
// The formats Plotmeter opens, for messages: "BMP, GIF, JPEG, PNG, …, PDF".
QString readableFormats();
