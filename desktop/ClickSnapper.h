#pragma once

#include "desktop/PicturePixels.h"
#include "platform/Geometry.h"

#include <memory>
#include <optional>

class PlotmeterManager;
class QAction;

// Double-clicks that land on the middle of what they were aimed at, when snapping is on
// (its action checked) or Shift is held. Acquiring: the centre of the line or marker
// nearest the click within five screen pixels, of the colour clicked. Calibrating: the
// centre of the tick or gridline crossing under the click. Elsewhere the click stays.
class ClickSnapper {
  public:
    ClickSnapper(PlotmeterManager& manager, QAction& toggle);

    std::optional<DPoint> snap(DPoint picture, double factor, bool shift);

  private:
    PlotmeterManager& manager_;
    QAction& toggle_;
    std::shared_ptr<const PicturePixels> pixels_;
    const void* pixelsOf_ = nullptr;
};

// The pixels of the picture the controller shows, made once for each picture; none
// without a picture. `cache` and `cachedFor` keep them between calls.
std::shared_ptr<const PicturePixels> shownPicturePixels(const PlotmeterManager& manager,
                                                        std::shared_ptr<const PicturePixels>& cache,
                                                        const void*& cachedFor);
