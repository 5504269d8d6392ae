// Goal 2, time: opening a large picture in the window, from the command to the picture
// painted fitted to the picture area, costs at most 1.15 times decoding the file with
// QImageReader alone. (Memory is measured on the whole process by bench/startup-figures.)
#include "desktop/picture/PicturePyramid.h"
#include "desktop/picture/PlotImageWidget.h"
#include "window/WindowBenchmarks.h"
#include "window/WindowRig.h"

#include <QElapsedTimer>
#include <QImageReader>
#include <QScrollArea>
#include <memory>

namespace {

QStringList measured;

std::string runName(const QString& path, const char* who)
{
    return ("open/" + pictureLabel(path) + "/" + QLatin1String(who)).toStdString();
}

// Why the picture was not shown as it opens: fitted to the picture area when it is larger
// than the area, else at 100 %; empty when it was.
std::string notShownAsItOpens(WindowRig& rig)
{
    const PlotImageWidget* widget = rig.plotWidget();
    if (widget == nullptr || widget->pyramid() == nullptr)
        return "no picture is shown";
    const QSize picture = widget->pyramid()->picture().size();
    const QSize area = rig.plotArea().viewport()->size();
    const double factor = widget->zoom().factor;
    const bool larger = picture.width() > WindowRig::pictureArea.width() ||
                        picture.height() > WindowRig::pictureArea.height();
    std::string why;
    if (larger && !(factor < 1.0 && widget->width() <= area.width() && widget->height() <= area.height())) {
        why = "the picture was not shown fitted: zoom ";
        why += std::to_string(factor);
        why += ", shown at ";
        why += std::to_string(widget->width());
        why += " x ";
        why += std::to_string(widget->height());
        why += " in an area of ";
        why += std::to_string(area.width());
        why += " x ";
        why += std::to_string(area.height());
    } else if (!larger && factor != 1.0) {
        why = "the picture fits the area but was shown at zoom ";
        why += std::to_string(factor);
    }
    return why;
}

// Each open is in a freshly started window; making and closing it is not timed. The clock
// stops at the first paint of the picture; that it was painted fitted is checked after.
void openInWindow(benchmark::State& state, const QString& path)
{
    for (auto _ : state) {
        auto rig = std::make_unique<WindowRig>();
        if (rig->plotArea().viewport()->size() != WindowRig::pictureArea) {
            state.SkipWithError("the window's picture area is not of the size it should be");
            break;
        }
        QElapsedTimer clock;
        clock.start();
        const bool opened = rig->openPicture(path);
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) * 1e-9);
        if (!opened) {
            state.SkipWithError(rig->platform.lastAlert.c_str());
            break;
        }
        if (const std::string why = notShownAsItOpens(*rig); !why.empty()) {
            state.SkipWithError(why.c_str());
            break;
        }
    }
}

void decodeAlone(benchmark::State& state, const QString& path)
{
    for (auto _ : state) {
        QImageReader::setAllocationLimit(0);
        QElapsedTimer clock;
        clock.start();
        QImageReader reader(path);
        reader.setAutoTransform(true);
        const QImage image = reader.read();
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) * 1e-9);
        if (image.isNull()) {
            state.SkipWithError(reader.errorString().toStdString().c_str());
            break;
        }
    }
}

// Fewer repetitions at 120 megapixels, where one takes seconds.
void registerOpen(const std::string& name, void (*open)(benchmark::State&, const QString&), const QString& path)
{
    benchmark::RegisterBenchmark(name.c_str(), [open, path](benchmark::State& state) { open(state, path); })
        ->Iterations(1)
        ->Repetitions(path.contains(QLatin1String("120mp")) ? 11 : 15)
        ->DisplayAggregatesOnly(true)
        ->ComputeStatistics("fastest", fastestRepetition)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
}

} // namespace

void registerOpenBenchmarks(const QStringList& pictures)
{
    measured = pictures;
    for (const QString& path : pictures) {
        registerOpen(runName(path, "plotmeter"), openInWindow, path);
        registerOpen(runName(path, "QImageReader"), decodeAlone, path);
    }
}

void openRows(const RunTimes& times, std::vector<FigureRow>& rows)
{
    // The goal is for large pictures, which open fitted to the picture area; the small
    // sample plot, shown at 100 %, shows what opening costs besides decoding.
    for (const QString& path : std::as_const(measured)) {
        const bool sample = path.endsWith(QLatin1String("sample-plot.png"));
        std::string figure = "open ";
        figure += pictureLabel(path).toStdString();
        figure += sample ? " until shown at 100 %" : " until shown fitted";
        figure += ": time vs QImageReader alone";
        rows.push_back(timeRow(2, figure, times, runName(path, "plotmeter"), runName(path, "QImageReader"),
                               sample ? noGoal : 1.15));
    }
}
