#include "desktop/ClickSnapper.h"

#include "controller/PlotmeterManager.h"
#include "desktop/QtImage.h"
#include "extraction/Snap.h"
#include "view/PlotmeterView.h"

#include <QAction>
#include <algorithm>

namespace {

constexpr double snapRadius = 5.0; // screen pixels

} // namespace

std::shared_ptr<const PicturePixels> shownPicturePixels(const PlotmeterManager& manager,
                                                        std::shared_ptr<const PicturePixels>& cache,
                                                        const void*& cachedFor)
{
    const PlotmeterView* view = manager.plotmeterView();
    const auto* image = view != nullptr ? dynamic_cast<const QtImage*>(view->image().get()) : nullptr;
    if (image == nullptr || image->image().isNull()) {
        cache.reset();
        cachedFor = nullptr;
        return nullptr;
    }
    if (cachedFor != image || cache == nullptr) {
        cache = std::make_shared<const PicturePixels>(image->image());
        cachedFor = image;
    }
    return cache;
}

ClickSnapper::ClickSnapper(PlotmeterManager& manager, QAction& toggle) : manager_(manager), toggle_(toggle) {}

std::optional<DPoint> ClickSnapper::snap(DPoint picture, double factor, bool shift)
{
    if (!(toggle_.isChecked() || shift) || !(factor > 0.0))
        return std::nullopt;
    const std::shared_ptr<const PicturePixels> pixels = shownPicturePixels(manager_, pixels_, pixelsOf_);
    if (pixels == nullptr)
        return std::nullopt;
    const PixelView view = pixels->view();
    const double height = static_cast<double>(view.height);
    const PixelPoint click{picture.x, height - picture.y};
    const double radius = std::max(1.0, snapRadius / factor);
    const std::optional<PixelPoint> found = manager_.mode() == PlotmeterManager::calMode
                                                ? snapToCrossing(view, click, radius)
                                                : snapToMark(view, click, radius, defaultTolerance);
    if (!found)
        return std::nullopt;
    return DPoint{found->column, height - found->row};
}
