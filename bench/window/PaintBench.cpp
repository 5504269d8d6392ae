// Goal 3: painting the plot area costs time in proportion to what is visible, not to the
// picture: one repaint of the viewport, and one scroll step with its repaint, at 120
// megapixels at most 1.2 times the same at 12 megapixels, both at 100 %.
#include "desktop/picture/PlotImageWidget.h"
#include "window/WindowBenchmarks.h"
#include "window/WindowRig.h"

#include <QScrollArea>
#include <QScrollBar>

namespace {

QString small;
QString large;

std::string runName(const char* what, const QString& path)
{
    return std::string(what) + "/" + pictureLabel(path).toStdString();
}

// The window with the picture at 100 %, its reduced copies made (so that no worker
// thread runs while the clock does), scrolled to its middle; null, with the benchmark
// failed, when the picture could not be opened.
WindowRig* scrolledToMiddle(benchmark::State& state, const QString& path)
{
    WindowRig& rig = keptWindowWithPicture(path);
    if (rig.plotWidget() == nullptr) {
        state.SkipWithError(("the picture did not open: " + rig.platform.lastAlert).c_str());
        return nullptr;
    }
    if (!rig.waitForReducedCopies()) {
        state.SkipWithError(rig.platform.lastAlert.c_str());
        return nullptr;
    }
    rig.plotWidget()->setZoom(1.0);
    for (QScrollBar* bar : {rig.plotArea().horizontalScrollBar(), rig.plotArea().verticalScrollBar()})
        bar->setValue((bar->minimum() + bar->maximum()) / 2);
    WindowRig::settle();
    if (rig.plotWidget()->zoom().factor != 1.0) {
        state.SkipWithError("the picture is not at 100 %");
        return nullptr;
    }
    return &rig;
}

void repaintViewport(benchmark::State& state, const QString& path)
{
    WindowRig* rig = scrolledToMiddle(state, path);
    if (rig == nullptr)
        return;
    // The picture widget's repaint() paints the part of it the viewport shows.
    PlotImageWidget* picture = rig->plotWidget();
    const PaintCounter paints(picture);
    for (auto _ : state)
        picture->repaint();
    if (paints.count < state.iterations())
        state.SkipWithError("the picture was not painted at every repaint");
}

// Down one step, up one step, and so on: every iteration moves the picture and paints the
// strip that comes into view.
void scrollStep(benchmark::State& state, const QString& path)
{
    WindowRig* rig = scrolledToMiddle(state, path);
    if (rig == nullptr)
        return;
    QScrollBar* bar = rig->plotArea().verticalScrollBar();
    int step = 40;
    const PaintCounter paints(QStringLiteral("plotImage"));
    for (auto _ : state) {
        bar->setValue(bar->value() + step);
        step = -step;
        WindowRig::settle();
    }
    if (paints.count < state.iterations())
        state.SkipWithError("the picture was not painted at every scroll step");
}

void registerPaint(const std::string& name, void (*measure)(benchmark::State&, const QString&), const QString& path)
{
    benchmark::RegisterBenchmark(name.c_str(), [measure, path](benchmark::State& state) { measure(state, path); })
        ->Repetitions(9)
        ->DisplayAggregatesOnly(true)
        ->ComputeStatistics("fastest", fastestRepetition)
        ->UseRealTime()
        ->MinTime(0.2);
}

} // namespace

void registerPaintBenchmarks(const QStringList& pictures)
{
    for (const QString& path : pictures) {
        if (path.endsWith(QLatin1String("plot-12mp.png")))
            small = path;
        if (path.endsWith(QLatin1String("plot-120mp.png")))
            large = path;
    }
    if (small.isEmpty() || large.isEmpty())
        return;
    for (const QString& path : {small, large}) {
        registerPaint(runName("repaint viewport", path), repaintViewport, path);
        registerPaint(runName("scroll step", path), scrollStep, path);
    }
}

void paintRows(const RunTimes& times, std::vector<FigureRow>& rows)
{
    rows.push_back(timeRow(3, "repaint the plot viewport: 120 MP picture vs 12 MP", times,
                           runName("repaint viewport", large), runName("repaint viewport", small), 1.2));
    rows.push_back(timeRow(3, "scroll the plot 40 px and repaint: 120 MP picture vs 12 MP", times,
                           runName("scroll step", large), runName("scroll step", small), 1.2));
}
