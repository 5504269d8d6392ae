#include "desktop/picture/ClickSnapper.h"

#include "controller/PlotmeterManager.h"
#include "desktop/picture/QtImage.h"
#include "document/PictureExtraction.h"
#include "extraction/Snap.h"
#include "view/PlotmeterView.h"

#include <QAction>
#include <algorithm>

namespace {

constexpr double snapRadius = 5.0; // screen pixels

} // namespace

std::shared_ptr<const PicturePixels> ShownPixels::get()
{
    const PlotmeterView* view = manager_.plotmeterView();
    const auto* image = view != nullptr ? dynamic_cast<const QtImage*>(view->image().get()) : nullptr;
    if (image == nullptr || image->image().isNull()) {
        pixels_.reset();
        madeFor_ = nullptr;
        return nullptr;
    }
    if (madeFor_ != image || pixels_ == nullptr) {
        pixels_ = std::make_shared<const PicturePixels>(image->image());
        madeFor_ = image;
    }
    return pixels_;
}

ClickSnapper::ClickSnapper(PlotmeterManager& manager, ShownPixels& pixels, QAction& toggle)
    : manager_(manager), pixels_(pixels), toggle_(toggle)
{
}

std::optional<DPoint> ClickSnapper::snap(DPoint picture, double factor, bool shift)
{
    if (!(toggle_.isChecked() || shift) || !(factor > 0.0))
        return std::nullopt;
    const std::shared_ptr<const PicturePixels> pixels = pixels_.get();
    if (pixels == nullptr)
        return std::nullopt;
    const PixelView view = pixels->view();
    const PixelPoint click = pixelOf(picture, view.height);
    const double radius = std::max(1.0, snapRadius / factor);
    const std::optional<PixelPoint> found = manager_.mode() == PlotmeterManager::calMode
                                                ? snapToCrossing(view, click, radius)
                                                : snapToMark(view, click, radius, defaultTolerance);
    if (!found)
        return std::nullopt;
    return pictureOf(*found, view.height);
}
