#pragma once

#include <string>
#include <vector>

// Modal file choosers. runModal answers okButton when the user confirms.
enum PanelResult : int { cancelButton = 0, okButton = 1 };

// The kinds of file the panels are asked for.
enum class FileKind { data, project, picture };

class OpenPanel {
  public:
    virtual ~OpenPanel() = default;
    virtual int runModal() = 0;
    virtual std::vector<std::string> filenames() const = 0;
};

class SavePanel {
  public:
    virtual ~SavePanel() = default;
    virtual int runModal() = 0;
    virtual std::string filename() const = 0;
};
