#include "controller/ControllerRig.h"

#include "platform/Cursor.h"
#include "platform/Image.h"

namespace {

class AnsweringSavePanel : public SavePanel {
  public:
    explicit AnsweringSavePanel(const std::string& path) : path_(path) {}
    int runModal() override { return okButton; }
    std::string filename() const override { return path_; }

  private:
    const std::string& path_;
};

class CancelledOpenPanel : public OpenPanel {
  public:
    int runModal() override { return cancelButton; }
    std::vector<std::string> filenames() const override { return {}; }
};

} // namespace

void RigPlatform::runAlertPanel(const std::string& title, const std::string& message)
{
    ++alerts;
    lastAlert = title + ": " + message;
}

std::size_t RigPlatform::runChoicePanel(const std::string& title, const std::string& message,
                                        const std::vector<std::string>& buttons)
{
    runAlertPanel(title, message);
    return buttons.empty() ? 0 : buttons.size() - 1;
}

std::unique_ptr<OpenPanel> RigPlatform::newOpenPanel(FileKind /*kind*/)
{
    return std::make_unique<CancelledOpenPanel>();
}

std::unique_ptr<SavePanel> RigPlatform::newSavePanel(FileKind /*kind*/)
{
    return std::make_unique<AnsweringSavePanel>(savePath);
}

std::shared_ptr<Image> RigPlatform::imageNamed(const std::string& /*name*/)
{
    return nullptr;
}

std::shared_ptr<Image> RigPlatform::imageWithContentsOfFile(const std::string& /*path*/, std::string& whyNot)
{
    whyNot = "the benchmark opens no pictures";
    return nullptr;
}

std::unique_ptr<Cursor> RigPlatform::newCursor(const std::shared_ptr<Image>& /*image*/, FPoint /*hotSpot*/)
{
    return nullptr;
}

ControllerRig::ControllerRig()
{
    dataView.shown = &placeholder;
    manager.connectOutlets(plotView, dataView, modeButtons);
    manager.applicationDidFinishLaunching();
}

void ControllerRig::calibrateAndAcquire()
{
    const DPoint screen[] = {{100.0, 100.0}, {300.0, 100.0}, {100.0, 400.0}};
    const char* const world[][2] = {{"0", "0"}, {"10", "0"}, {"0", "60"}};
    for (int i = 0; i < 3; ++i) {
        manager.newScreenPoint(screen[i]);
        manager.calMatrix()->setStringValue(i, 2, world[i][0]);
        manager.calMatrix()->setStringValue(i, 3, world[i][1]);
    }
    modeButtons.selected = 1;
    manager.setMode();
}

void ControllerRig::addDataRows(int rows)
{
    for (int i = 0; i < rows; ++i)
        manager.newScreenPoint(points_.nextPoint());
}
