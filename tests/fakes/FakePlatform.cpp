#include "FakePlatform.h"

#include <stdexcept>

namespace {

// Runs as the next answer the test queued says; a panel the test did not expect is an error.
template <typename Panel> class FakePanel : public Panel {
  public:
    explicit FakePanel(std::deque<PanelAnswer>& answers) : answers_(answers) {}
    int runModal() override
    {
        if (answers_.empty())
            throw std::logic_error("a panel was run that the test did not expect");
        answer_ = answers_.front();
        answers_.pop_front();
        return answer_.confirmed ? okButton : cancelButton;
    }

  protected:
    std::deque<PanelAnswer>& answers_;
    PanelAnswer answer_{false, {}};
};

struct FakeOpenPanel : FakePanel<OpenPanel> {
    using FakePanel::FakePanel;
    std::vector<std::string> filenames() const override { return {answer_.path}; }
};

struct FakeSavePanel : FakePanel<SavePanel> {
    using FakePanel::FakePanel;
    std::string filename() const override { return answer_.path; }
};

} // namespace

std::unique_ptr<OpenPanel> FakePlatform::newOpenPanel(FileKind /*kind*/)
{
    ++openPanelsMade;
    return std::make_unique<FakeOpenPanel>(openAnswers);
}

std::unique_ptr<SavePanel> FakePlatform::newSavePanel(FileKind /*kind*/)
{
    ++savePanelsMade;
    return std::make_unique<FakeSavePanel>(saveAnswers);
}
