#pragma once

#include "desktop/picture/PicturePixels.h"
#include "platform/Geometry.h"

#include <memory>
#include <optional>

class PlotmeterManager;
class QAction;

// The pixels of the picture the controller shows, as extraction and snapping read them:
// made once for each picture and shared, so that a picture needing a 32-bit copy (a
// greyscale scan, say) gets only one; none without a picture.
class ShownPixels {
  public:
    explicit ShownPixels(const PlotmeterManager& manager) : manager_(manager) {}
    std::shared_ptr<const PicturePixels> get();

  private:
    const PlotmeterManager& manager_;
    std::shared_ptr<const PicturePixels> pixels_;
    const void* madeFor_ = nullptr;
};

// Double-clicks that land on the middle of what they were aimed at, when snapping is on
// (its action checked) or Shift is held. Acquiring: the centre of the line or marker
// nearest the click within five screen pixels, of the colour clicked. Calibrating: the
// centre of the tick or gridline crossing under the click. Elsewhere the click stays.
class ClickSnapper {
  public:
    ClickSnapper(PlotmeterManager& manager, ShownPixels& pixels, QAction& toggle);

    std::optional<DPoint> snap(DPoint picture, double factor, bool shift);

  private:
    PlotmeterManager& manager_;
    ShownPixels& pixels_;
    QAction& toggle_;
};
