// Goal 9, zoom: one repaint of the picture area (1600 x 1000) at any zoom costs at most
// twice one repaint of the same area at 100 %, on the 120-megapixel picture with its
// reduced copies made, scrolled to its middle.
#include "desktop/picture/PicturePyramid.h"
#include "desktop/picture/PlotImageWidget.h"
#include "window/WindowBenchmarks.h"
#include "window/WindowRig.h"

#include <QScrollArea>
#include <QScrollBar>
#include <cmath>
#include <cstdio>

namespace {

QString large;

// A factor of 0 is the zoom that fits the picture to the area (View ▸ Fit to Window).
struct Zoom {
    const char* name;
    double factor;
};
constexpr Zoom fit{"fit", 0.0};
constexpr Zoom actualSize{"100 %", 1.0};
constexpr Zoom judged[] = {fit, {"25 %", 0.25}, {"50 %", 0.5}, {"70 %", 0.7}, {"200 %", 2.0}, {"400 %", 4.0}, {"3200 %", 32.0}};

// The factor the fitted picture was shown at, once measured.
double fittedFactor = 0.0;

std::string runName(const Zoom& zoom)
{
    std::string name = "zoom repaint/";
    name += zoom.name;
    return name;
}

// Why the picture is not shown as the benchmark needs it; empty when it is.
std::string notReady(WindowRig& rig, const Zoom& zoom)
{
    PlotImageWidget* picture = rig.plotWidget();
    const QWidget* area = rig.plotArea().viewport();
    const double shown = picture->zoom().factor;
    std::string why;
    if (zoom.factor > 0.0 ? shown != zoom.factor
                          : !(shown < 1.0 && picture->width() <= area->width() && picture->height() <= area->height())) {
        why = "the picture is at zoom ";
        why += std::to_string(shown);
        why += ", not at ";
        why += zoom.name;
        return why;
    }
    // The area less the scroll bars, when they show.
    constexpr int scrollBarsAtMost = 40;
    if (area->width() > WindowRig::pictureArea.width() || area->height() > WindowRig::pictureArea.height() ||
        area->width() < WindowRig::pictureArea.width() - scrollBarsAtMost ||
        area->height() < WindowRig::pictureArea.height() - scrollBarsAtMost) {
        why = "the picture area is ";
        why += std::to_string(area->width());
        why += " x ";
        why += std::to_string(area->height());
        return why;
    }
    // Zoomed so that the picture is larger than the area, it covers all of it.
    const QRect visible = picture->visibleRegion().boundingRect();
    if (zoom.factor > 0.0 && visible.size() != area->size()) {
        why = "the picture covers ";
        why += std::to_string(visible.width());
        why += " x ";
        why += std::to_string(visible.height());
        why += " of the area";
    }
    return why;
}

void repaintAtZoom(benchmark::State& state, const Zoom& zoom)
{
    WindowRig& rig = keptWindowWithPicture(large);
    PlotImageWidget* picture = rig.plotWidget();
    if (picture == nullptr) {
        state.SkipWithError(("the picture did not open: " + rig.platform.lastAlert).c_str());
        return;
    }
    if (!rig.waitForReducedCopies()) {
        state.SkipWithError(rig.platform.lastAlert.c_str());
        return;
    }
    if (zoom.factor > 0.0)
        picture->setZoom(zoom.factor);
    else
        picture->zoomToFit();
    WindowRig::settle();
    for (QScrollBar* bar : {rig.plotArea().horizontalScrollBar(), rig.plotArea().verticalScrollBar()})
        bar->setValue((bar->minimum() + bar->maximum()) / 2);
    WindowRig::settle();
    if (const std::string why = notReady(rig, zoom); !why.empty()) {
        state.SkipWithError(why.c_str());
        return;
    }
    if (zoom.factor == 0.0)
        fittedFactor = picture->zoom().factor;
    // The picture widget's repaint() paints the part of the picture the area shows, from
    // the picture or from the reduced copy the zoom calls for; the area's own repaint()
    // paints its background where the picture does not cover it (zoomed out to fit) and
    // nothing where it does (Qt leaves out what an opaque child covers).
    QWidget* area = rig.plotArea().viewport();
    const PaintCounter paints(picture);
    for (auto _ : state) {
        picture->repaint();
        area->repaint();
    }
    if (paints.count < state.iterations())
        state.SkipWithError("the picture was not painted at every repaint");
}

void registerZoom(const Zoom& zoom)
{
    benchmark::RegisterBenchmark(runName(zoom).c_str(), [&zoom](benchmark::State& state) { repaintAtZoom(state, zoom); })
        ->Repetitions(9)
        ->DisplayAggregatesOnly(true)
        ->ComputeStatistics("fastest", fastestRepetition)
        ->UseRealTime()
        ->MinTime(0.2);
}

} // namespace

void registerZoomBenchmarks(const QStringList& pictures)
{
    for (const QString& path : pictures)
        if (path.endsWith(QLatin1String("plot-120mp.png")))
            large = path;
    if (large.isEmpty())
        return;
    registerZoom(actualSize);
    for (const Zoom& zoom : judged)
        registerZoom(zoom);
}

void zoomRows(const RunTimes& times, std::vector<FigureRow>& rows)
{
    if (large.isEmpty())
        return;
    for (const Zoom& zoom : judged) {
        std::string figure = "repaint the 1600 x 1000 picture area, 120 MP PNG, at ";
        if (zoom.factor == 0.0 && fittedFactor > 0.0) {
            char percent[32];
            std::snprintf(percent, sizeof percent, "fit (%.1f %%)", fittedFactor * 100.0);
            figure += percent;
        } else {
            figure += zoom.name;
        }
        figure += " vs at 100 %";
        rows.push_back(timeRow(9, figure, times, runName(zoom), runName(actualSize), 2.0));
    }
}
