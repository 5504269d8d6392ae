#include "FakePlatform.h"

#include <stdexcept>

namespace {

PanelAnswer nextAnswer(std::deque<PanelAnswer>& answers)
{
    if (answers.empty())
        throw std::logic_error("a panel was run that the test did not expect");
    PanelAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

class FakeOpenPanel : public OpenPanel {
  public:
    explicit FakeOpenPanel(std::deque<PanelAnswer>& answers) : answers_(answers) {}
    int runModal() override
    {
        answer_ = nextAnswer(answers_);
        return answer_.confirmed ? okButton : cancelButton;
    }
    std::vector<std::string> filenames() const override { return {answer_.path}; }

  private:
    std::deque<PanelAnswer>& answers_;
    PanelAnswer answer_{false, {}};
};

class FakeSavePanel : public SavePanel {
  public:
    explicit FakeSavePanel(std::deque<PanelAnswer>& answers) : answers_(answers) {}
    int runModal() override
    {
        answer_ = nextAnswer(answers_);
        return answer_.confirmed ? okButton : cancelButton;
    }
    std::string filename() const override { return answer_.path; }

  private:
    std::deque<PanelAnswer>& answers_;
    PanelAnswer answer_{false, {}};
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
