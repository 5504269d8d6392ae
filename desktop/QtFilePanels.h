#pragma once

#include "platform/FilePanels.h"

#include <QFileDialog>
#include <QPointer>
#include <QString>

// The open and save panels: Qt file dialogs kept for the whole run, so each opens again
// in the folder the user last chose a file in.
class QtOpenPanel : public OpenPanel {
  public:
    QtOpenPanel(QWidget* parent, FileKind kind);
    ~QtOpenPanel() override;
    int runModal() override;
    std::vector<std::string> filenames() const override;

  private:
    QPointer<QFileDialog> dialog_;
};

class QtSavePanel : public SavePanel {
  public:
    QtSavePanel(QWidget* parent, FileKind kind);
    ~QtSavePanel() override;
    int runModal() override;
    std::string filename() const override;

  private:
    QPointer<QFileDialog> dialog_;
};

// "Images (*.png *.jpg …)" for every format this Qt can read, then "All files (*)"; with
// projects, "Pictures and projects (…)" and "Projects (*.plotmeter)" first.
QStringList imageFileFilters(bool withProjects = false);
