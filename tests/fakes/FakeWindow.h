#pragma once

#include "platform/ImageView.h"
#include "platform/ModeButtons.h"
#include "platform/ScrollView.h"
#include "platform/View.h"

struct FakeScrollView : ScrollView {
    View* documentView() const override { return shown; }
    void setDocumentView(View* view) override { shown = view; }
    void setHasHorizontalScroller(bool flag) override { horizontalScroller = flag; }
    void setNeedsDisplay(bool flag) override { needsDisplay = flag; }
    View* shown = nullptr;
    bool horizontalScroller = false;
    bool needsDisplay = false;
};

struct FakeModeButtons : ModeButtons {
    int selectedRow() const override { return selected; }
    void selectCellAtRow(int row, int /*column*/) override { selected = row; }
    int selected = 0;
};

// Places the view at `origin` in a window whose y axis points down, as Qt's does.
struct FakeImageViewBackend : ImageViewBackend {
    void imageViewChanged(ImageView& /*view*/) override { ++changes; }
    Rect visibleRect(const ImageView& /*view*/) const override { return visible; }
    DPoint convertFromWindow(const ImageView& view, FPoint location) const override
    {
        return {static_cast<double>(location.x - origin.x),
                static_cast<double>(view.bounds().size.height - (location.y - origin.y))};
    }
    void imageViewDestroyed(ImageView& /*view*/) override { viewDestroyed = true; }
    FPoint origin{0.0f, 0.0f};
    Rect visible{{0.0f, 0.0f}, {50.0f, 40.0f}};
    int changes = 0;
    bool viewDestroyed = false;
};

// The main window: the plot area, the data area with its placeholder, the mode buttons.
struct FakeWindow {
    FakeWindow() { dataView.shown = &placeholder; }
    FakeScrollView plotView;
    FakeScrollView dataView;
    FakeModeButtons modeButtons;
    View placeholder{Rect{{0.0f, 0.0f}, {376.0f, 200.0f}}};
};
