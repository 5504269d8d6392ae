#include "view/PlotmeterView.h"
#include "fakes/FakePlatform.h"
#include "fakes/FakeWindow.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct RecordingTarget : ScreenPointTarget {
    void newScreenPoint(DPoint point) override { points.push_back(point); }
    std::vector<DPoint> points;
};

class PlotView : public testing::Test {
  protected:
    PlotView() { platform.pictures["plot.png"] = {640.0f, 480.0f}; }

    // The view placed at (30, 50) in its window, as the plot area places it, showing `picture`.
    std::unique_ptr<PlotmeterView> makeView(ScreenPointTarget* to, const char* picture = "plot.png")
    {
        auto view = std::make_unique<PlotmeterView>(Rect{{0, 0}, {100, 100}}, platform);
        backend.origin = {30.0f, 50.0f};
        view->setBackend(&backend);
        view->setTarget(to);
        if (picture != nullptr)
            view->openImage(picture);
        return view;
    }

    // A press at (x, y) of the picture, measured from its lower-left corner.
    MouseEvent pressAt(float x, float y, int clicks = 2) const
    {
        return {clicks, {backend.origin.x + x, backend.origin.y + (480.0f - y)}};
    }

    FakePlatform platform;
    FakeImageViewBackend backend;
    RecordingTarget target;
};

TEST_F(PlotView, TakesThePicturesSizeAndMakesOnePointOfEachDoubleClickFromTheLowerLeftCorner)
{
    auto view = makeView(&target);
    ASSERT_TRUE(view->hasImage());
    EXPECT_EQ(view->frame().size, (Size{640.0f, 480.0f}));
    EXPECT_EQ(view->bounds().size, (Size{640.0f, 480.0f}));
    EXPECT_EQ(view->image(), platform.lastImage);
    EXPECT_EQ(platform.lastImage->background, Color::whiteColor());
    EXPECT_GT(backend.changes, 0);

    view->mouseDown(pressAt(10.0f, 20.0f));
    view->mouseDown(pressAt(5, 5, 1));
    // A triple click: presses 1, 2 and 3 make exactly one point.
    for (int clicks = 1; clicks <= 3; ++clicks)
        view->mouseDown(pressAt(12.25f, 479.5f, clicks));
    EXPECT_EQ(target.points, (std::vector<DPoint>{{10.0, 20.0}, {12.25, 479.5}}));
}

TEST_F(PlotView, WithoutAPictureEveryPressIsIgnoredSilently)
{
    testing::internal::CaptureStderr();
    auto view = makeView(&target, nullptr);
    view->mouseDown(pressAt(5, 5));
    view->openImage("notes.txt");
    EXPECT_FALSE(view->hasImage());
    EXPECT_FALSE(view->imageError().empty());
    EXPECT_EQ(view->frame().size, (Size{100.0f, 100.0f}));
    view->mouseDown(pressAt(5, 5));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(target.points.empty());
}

TEST_F(PlotView, DoubleClickWithoutTargetIsReportedEachTime)
{
    auto view = makeView(nullptr);
    view->mouseDown(pressAt(5, 5));
    view->mouseDown(pressAt(6, 6));
    EXPECT_EQ(platform.diagnostics, std::vector<std::string>(2, "PlotmeterView:  No target to return screen point to."));
}

TEST_F(PlotView, CrossHairCoversTheVisibleRectangleAndTheBackendIsToldWhenTheViewGoes)
{
    auto view = makeView(&target);
    EXPECT_EQ(platform.cursorHotSpot, (FPoint{7.0f, 7.0f}));
    view->resetCursorRects();
    ASSERT_EQ(view->cursorRects().size(), 1u);
    EXPECT_EQ(view->cursorRects()[0].rect, backend.visible);
    EXPECT_TRUE(static_cast<FakeCursor*>(view->cursorRects()[0].cursor)->onMouseEntered);
    view.reset();
    EXPECT_TRUE(backend.viewDestroyed);
}

// Without the cross-hair the plain cursor shows, and points still come.
TEST_F(PlotView, CursorProblemsAreReportedAndPointsStillCome)
{
    for (const bool pictureMissing : {true, false}) {
        platform.hasCrossImage = !pictureMissing;
        platform.canMakeCursors = false;
        platform.diagnostics.clear();
        auto view = makeView(&target);
        EXPECT_EQ(platform.diagnostics, std::vector<std::string>{pictureMissing ? "Can't open cursor image cross.tiff"
                                                                                : "Can't make crossCursor "});
        view->resetCursorRects();
        EXPECT_TRUE(view->cursorRects().empty());
        view->mouseDown(pressAt(10, 20));
    }
    EXPECT_EQ(target.points.size(), 2u);
}

} // namespace
