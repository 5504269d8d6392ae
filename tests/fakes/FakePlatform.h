#pragma once

#include "platform/Cursor.h"
#include "platform/Image.h"
#include "platform/Platform.h"

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct FakeImage : Image {
    explicit FakeImage(Size size) : imageSize(size) {}
    Size size() const override { return imageSize; }
    void setBackgroundColor(const Color& color) override { background = color; }
    Size imageSize;
    Color background = Color::blackColor();
};

struct FakeCursor : Cursor {
    void setOnMouseEntered(bool flag) override { onMouseEntered = flag; }
    bool onMouseEntered = false;
};

struct Alert {
    std::string title;
    std::string message;
};

// What the user answers in a file panel: confirm with this path, or cancel.
struct PanelAnswer {
    bool confirmed;
    std::string path;
};

// Stands in for the window system: records alerts, answers panels from a queue, and
// knows pictures by path.
class FakePlatform : public Platform {
  public:
    void runAlertPanel(const std::string& title, const std::string& message) override
    {
        alerts.push_back({title, message});
    }

    // Answers from `choices`, the default (0) once they run out.
    std::size_t runChoicePanel(const std::string& title, const std::string& message,
                               const std::vector<std::string>& /*buttons*/) override
    {
        alerts.push_back({title, message});
        if (choices.empty())
            return 0;
        const std::size_t answer = choices.front();
        choices.pop_front();
        return answer;
    }

    std::unique_ptr<OpenPanel> newOpenPanel(FileKind kind) override;
    std::unique_ptr<SavePanel> newSavePanel(FileKind kind) override;

    std::shared_ptr<Image> imageNamed(const std::string& name) override
    {
        if (!hasCrossImage || name != "cross")
            return nullptr;
        return std::make_shared<FakeImage>(Size{16.0f, 16.0f});
    }

    std::shared_ptr<Image> imageWithContentsOfFile(const std::string& path, std::string& whyNot) override
    {
        const auto found = pictures.find(path);
        if (found == pictures.end()) {
            whyNot = "not a picture";
            return nullptr;
        }
        auto image = std::make_shared<FakeImage>(found->second);
        lastImage = image;
        return image;
    }

    std::unique_ptr<Cursor> newCursor(const std::shared_ptr<Image>& image, FPoint hotSpot) override
    {
        cursorHotSpot = hotSpot;
        if (!canMakeCursors || image == nullptr)
            return nullptr;
        return std::make_unique<FakeCursor>();
    }

    void logDiagnostic(const std::string& line) override { diagnostics.push_back(line); }
    void showStatus(const std::string& message) override { statuses.push_back(message); }

    std::vector<Alert> alerts; // choice panels too
    std::vector<std::string> diagnostics;
    std::vector<std::string> statuses;
    std::deque<std::size_t> choices;
    std::deque<PanelAnswer> openAnswers;
    std::deque<PanelAnswer> saveAnswers;
    int openPanelsMade = 0;
    int savePanelsMade = 0;
    std::map<std::string, Size> pictures;
    std::shared_ptr<FakeImage> lastImage;
    bool hasCrossImage = true;
    bool canMakeCursors = true;
    FPoint cursorHotSpot{-1.0f, -1.0f};
};
