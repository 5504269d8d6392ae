#pragma once

#include "platform/FilePanels.h"

#include <QFileDialog>
#include <QPointer>
#include <QString>

// The open and save panels: Qt file dialogs kept for the whole run, so each opens again
// in the folder the user last chose a file in.
class QtOpenPanel : public OpenPanel {
  public:
    explicit QtOpenPanel(QWidget* parent);
    ~QtOpenPanel() override;
    int runModal() override;
    std::vector<std::string> filenames() const override;

  private:
    QPointer<QFileDialog> dialog_;
};

class QtSavePanel : public SavePanel {
  public:
    explicit QtSavePanel(QWidget* parent);
    ~QtSavePanel() override;
    int runModal() override;
    std::string filename() const override;

  private:
    QPointer<QFileDialog> dialog_;
};

// "Images (*.png *.jpg …)" for every format this Qt can read, then "All files (*)".
QStringList imageFileFilters();
