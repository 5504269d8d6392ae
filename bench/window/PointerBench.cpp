// Goal 9, the cursor: the status bar's coordinates and the magnifier keep up with the
// mouse. 1,000 mouse moves with no button pressed, each a pixel to the right of the one
// before, are posted to the picture widget (QCoreApplication::postEvent, as the window
// system's moves reach it), over the 120-megapixel picture at 400 %; the time until every
// move is handled and the magnifier's lens has been painted after the last, per move, is
// held against the same number of moves posted to a bare widget of the magnifier's size,
// which on each move sets a label's text and repaints a 200 x 200 image.
// Two ways: all 1,000 posted at once (a backlog, as when the program was busy), and each
// posted once the one before is handled and painted (a steady drag). Either way, once the
// last move is handled no move may still be waiting, and the coordinates shown must be
// those of the last move.
//
// The moves go to the widget itself, not to the window: with Qt 6.4, QMouseEvents made in
// advance and posted to the window (which finds the widget under the pointer from the
// position on the screen) reached the picture widget with the positions of other moves (as
// far as we can tell because a QMouseEvent shares its point with the device's current one
// until the next is made). Posted to the widget, each keeps its own position in the widget,
// which is all the picture widget reads; the checks below would tell if it did not.
#include "desktop/picture/PictureNavigation.h"
#include "desktop/picture/PicturePyramid.h"
#include "desktop/picture/PlotImageWidget.h"
#include "desktop/picture/ReadoutText.h"
#include "window/WindowBenchmarks.h"
#include "window/WindowRig.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QWindow>
#include <vector>

namespace {

constexpr int moves = 1000;
constexpr double zoomFactor = 4.0;
constexpr int lensSide = 200;
QString large;

enum class Pace { burst, steady };

// Counts the mouse moves one widget is given and the paints of another, noting how many
// moves had come when the last paint began, and how many when the last move of a drag came
// (known by its position, in the widget's coordinates).
class MoveWatch : public QObject {
  public:
    MoveWatch(const QObject* mover, const QObject* painted, QPointF lastPosition)
        : mover_(mover), painted_(painted), lastPosition_(lastPosition)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~MoveWatch() override { QCoreApplication::instance()->removeEventFilter(this); }
    MoveWatch(const MoveWatch&) = delete;
    MoveWatch& operator=(const MoveWatch&) = delete;

    void restart()
    {
        handled = 0;
        handledAtPaint = -1;
        handledAtLast = -1;
    }

    int handled = 0;
    int handledAtPaint = -1;
    int handledAtLast = -1;

  protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (object == mover_ && event->type() == QEvent::MouseMove) {
            ++handled;
            if (static_cast<QMouseEvent*>(event)->position() == lastPosition_)
                handledAtLast = handled;
        } else if (object == painted_ && event->type() == QEvent::Paint) {
            handledAtPaint = handled;
        }
        return false;
    }

  private:
    const QObject* mover_;
    const QObject* painted_;
    QPointF lastPosition_;
};

// Posted after the moves: when it comes, every move posted before it has been handled.
// Notes how many moves had come by then.
class Sentinel : public QObject {
  public:
    explicit Sentinel(const MoveWatch& watch) : watch_(watch) {}
    static QEvent::Type type()
    {
        static const auto registered = static_cast<QEvent::Type>(QEvent::registerEventType());
        return registered;
    }
    bool arrived = false;
    int handledBefore = -1;

  protected:
    bool event(QEvent* event) override
    {
        if (event->type() != type())
            return QObject::event(event);
        arrived = true;
        handledBefore = watch_.handled;
        return true;
    }

  private:
    const MoveWatch& watch_;
};

// The floor: the plainest widget that follows the pointer with a line of text and a
// 200 x 200 image, painted straight from memory.
class BarePointerPanel : public QWidget {
  public:
    BarePointerPanel(QSize size, QImage lens) : lens_(std::move(lens))
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);
        resize(size);
        label_ = new QLabel(this);
        label_->setGeometry(lensSide + 10, 10, size.width() - lensSide - 20, 40);
    }
    QString text() const { return label_->text(); }

  protected:
    void mouseMoveEvent(QMouseEvent* event) override
    {
        const QPointF at = event->position();
        label_->setText(QStringLiteral("x %1, y %2")
                            .arg(QString::number((at.x() + 0.5) / zoomFactor - 0.5),
                                 QString::number(10000.5 - (at.y() + 0.5) / zoomFactor)));
        update(0, 0, lensSide, lensSide);
    }
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.fillRect(event->rect(), palette().color(QPalette::Window));
        painter.drawImage(QPoint(0, 0), lens_);
    }

  private:
    QImage lens_;
    QLabel* label_;
};

std::string runName(Pace pace, const char* who)
{
    std::string name = pace == Pace::burst ? "pointer/1,000 at once/" : "pointer/one at a time/";
    name += who;
    return name;
}

bool waitForExposure(QWidget& widget)
{
    QElapsedTimer waited;
    waited.start();
    while (!widget.windowHandle()->isExposed() && waited.elapsed() < 10'000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    WindowRig::settle();
    return widget.windowHandle()->isExposed();
}

// Posts the moves to `receiver` (positions in its coordinates) at the pace given and handles
// events until each is handled and `painted` was painted after the last; seconds, or
// negative with `why` when that did not happen within a minute.
double drive(QWidget& receiver, const std::vector<QPointF>& path, MoveWatch& watch, Pace pace, std::string& why)
{
    const QWidget* window = receiver.window();
    Sentinel sentinel(watch);
    const auto post = [&](const QPointF& at) {
        QCoreApplication::postEvent(&receiver,
                                    new QMouseEvent(QEvent::MouseMove, at, receiver.mapTo(window, at),
                                                    receiver.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier));
    };
    watch.restart();
    QElapsedTimer clock;
    clock.start();
    bool late = false;
    if (pace == Pace::burst) {
        for (const QPointF& at : path)
            post(at);
        QCoreApplication::postEvent(&sentinel, new QEvent(Sentinel::type()));
        while (!(sentinel.arrived && watch.handledAtPaint >= watch.handled && watch.handled > 0) && !late) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            late = clock.elapsed() > 60'000;
        }
    } else {
        for (std::size_t i = 0; i < path.size() && !late; ++i) {
            post(path[i]);
            while (watch.handledAtPaint != static_cast<int>(i) + 1 && !late) {
                QCoreApplication::processEvents(QEventLoop::AllEvents);
                late = clock.elapsed() > 60'000;
            }
        }
        QCoreApplication::postEvent(&sentinel, new QEvent(Sentinel::type()));
    }
    const double seconds = static_cast<double>(clock.nsecsElapsed()) * 1e-9;
    // Whatever else was waiting.
    WindowRig::settle();
    const int count = static_cast<int>(path.size());
    if (late) {
        why = "the moves were not handled and painted within a minute: ";
        why += std::to_string(watch.handled);
        why += " handled";
    } else if (!sentinel.arrived) {
        why = "events posted after the moves were never handled";
    } else if (watch.handledAtLast != count || sentinel.handledBefore != count) {
        why = "the last move was handled as move ";
        why += std::to_string(watch.handledAtLast);
        why += ", and ";
        why += std::to_string(sentinel.handledBefore);
        why += " moves by the time the event posted after them was";
    } else if (watch.handled != count) {
        why = "mouse moves were still handled after the last one: ";
        why += std::to_string(watch.handled - count);
    } else if (watch.handledAtPaint != count) {
        why = "not painted after the last move";
    }
    return why.empty() ? seconds : -1.0;
}

// The window with the picture at 400 %, scrolled to its middle, its reduced copies made;
// null, with the benchmark failed, when that cannot be had.
WindowRig* zoomedIn(benchmark::State& state)
{
    WindowRig& rig = keptWindowWithPicture(large);
    PlotImageWidget* picture = rig.plotWidget();
    if (picture == nullptr) {
        state.SkipWithError(("the picture did not open: " + rig.platform.lastAlert).c_str());
        return nullptr;
    }
    if (!rig.waitForReducedCopies()) {
        state.SkipWithError(rig.platform.lastAlert.c_str());
        return nullptr;
    }
    picture->setZoom(zoomFactor);
    WindowRig::settle();
    for (QScrollBar* bar : {rig.plotArea().horizontalScrollBar(), rig.plotArea().verticalScrollBar()})
        bar->setValue((bar->minimum() + bar->maximum()) / 2);
    WindowRig::settle();
    if (picture->zoom().factor != zoomFactor || !rig.window.magnifier().isVisible() || picture->devicePixelRatioF() != 1.0) {
        state.SkipWithError("the picture is not at 400 % with the magnifier shown");
        return nullptr;
    }
    return &rig;
}

// 1,000 positions a pixel apart along a row of the picture area, in the picture widget's
// coordinates.
std::vector<QPointF> dragOverPicture(WindowRig& rig)
{
    const QWidget* area = rig.plotArea().viewport();
    std::vector<QPointF> path;
    for (int i = 0; i < moves; ++i)
        path.emplace_back(rig.plotWidget()->mapFrom(area, QPoint(200 + i, area->height() / 2)));
    return path;
}

void plotmeterFollows(benchmark::State& state, Pace pace)
{
    WindowRig* rig = zoomedIn(state);
    if (rig == nullptr)
        return;
    const std::vector<QPointF> path = dragOverPicture(*rig);
    PlotImageWidget* picture = rig->plotWidget();
    const QWidget* lens = rig->window.magnifier().findChild<QWidget*>(QStringLiteral("magnifierLens"));
    const ReadoutText* readout = rig->window.findChild<ReadoutText*>(QStringLiteral("pointerReadout"));
    const QRect onShow = picture->visibleRegion().boundingRect();
    if (lens == nullptr || readout == nullptr || !onShow.contains(path.front().toPoint()) ||
        !onShow.contains(path.back().toPoint())) {
        state.SkipWithError("no lens, no readout, or the drag is not over the part of the picture on show");
        return;
    }
    // Where the last move is: the centre of the screen pixel under it, in picture
    // coordinates (the height less the row, in picture pixels).
    const QPointF centre = path.back() + QPointF(0.5, 0.5);
    const double height = picture->pyramid()->picture().height();
    const DPoint last{centre.x() / zoomFactor - 0.5, height + 0.5 - centre.y() / zoomFactor};
    const QString expected = rig->window.navigation().readout(last);

    MoveWatch watch(picture, lens, path.back());
    for (auto _ : state) {
        std::string why;
        const double seconds = drive(*picture, path, watch, pace, why);
        if (seconds < 0.0) {
            state.SkipWithError(why.c_str());
            break;
        }
        state.SetIterationTime(seconds);
        const std::optional<DPoint> shown = rig->window.magnifier().shownPoint();
        if (readout->text() != expected || !shown || shown->x != last.x || shown->y != last.y) {
            why = "after the last move the readout shows \"";
            why += readout->text().toStdString();
            why += "\" instead of \"";
            why += expected.toStdString();
            why += "\", or the magnifier another point";
            state.SkipWithError(why.c_str());
            break;
        }
    }
}

void bareWidgetFollows(benchmark::State& state, Pace pace)
{
    WindowRig* rig = zoomedIn(state);
    if (rig == nullptr)
        return;
    const QImage& picture = rig->plotWidget()->pyramid()->picture();
    BarePointerPanel panel(rig->window.magnifier().size(),
                           picture.copy(picture.width() / 2, picture.height() / 2, lensSide, lensSide));
    panel.show();
    if (!waitForExposure(panel)) {
        state.SkipWithError("the bare widget was never exposed");
        return;
    }
    // As many moves, a pixel apart, back and forth over the bare widget.
    const int span = panel.width() - 20;
    std::vector<QPointF> path;
    for (int i = 0; i < moves; ++i) {
        const int step = i % (2 * span);
        path.emplace_back(10 + (step < span ? step : 2 * span - step), panel.height() / 2);
    }
    MoveWatch watch(&panel, &panel, path.back());
    for (auto _ : state) {
        std::string why;
        const double seconds = drive(panel, path, watch, pace, why);
        if (seconds < 0.0) {
            state.SkipWithError(why.c_str());
            break;
        }
        state.SetIterationTime(seconds);
    }
    if (!panel.text().startsWith(QLatin1String("x ")))
        state.SkipWithError("the bare widget's label was never set");
}

void registerPointer(Pace pace, const char* who, void (*follow)(benchmark::State&, Pace))
{
    benchmark::RegisterBenchmark(runName(pace, who).c_str(), [pace, follow](benchmark::State& state) { follow(state, pace); })
        ->Repetitions(9)
        ->DisplayAggregatesOnly(true)
        ->ComputeStatistics("fastest", fastestRepetition)
        ->UseManualTime()
        ->MinTime(0.2)
        ->Unit(benchmark::kMillisecond);
}

} // namespace

void registerPointerBenchmarks(const QStringList& pictures)
{
    for (const QString& path : pictures)
        if (path.endsWith(QLatin1String("plot-120mp.png")))
            large = path;
    if (large.isEmpty())
        return;
    for (const Pace pace : {Pace::burst, Pace::steady}) {
        registerPointer(pace, "plotmeter", plotmeterFollows);
        registerPointer(pace, "bare widget", bareWidgetFollows);
    }
}

void pointerRows(const RunTimes& times, std::vector<FigureRow>& rows)
{
    if (large.isEmpty())
        return;
    for (const Pace pace : {Pace::burst, Pace::steady}) {
        std::string figure = "coordinates and magnifier follow 1,000 mouse moves over the 120 MP PNG at 400 %, ";
        figure += pace == Pace::burst ? "posted at once" : "posted one at a time";
        figure += ": time per move vs bare widget (label + 200 x 200 image)";
        const std::string plotmeter = runName(pace, "plotmeter");
        const std::string floor = runName(pace, "bare widget");
        std::string why = times.error(plotmeter);
        if (why.empty())
            why = times.error(floor);
        if (!why.empty())
            why.insert(0, "error: ");
        const double perMove = 1.0 / moves;
        const double p = times.seconds(plotmeter);
        const double f = times.seconds(floor);
        rows.push_back(ratioRow(9, figure, p < 0.0 ? p : p * perMove, f < 0.0 ? f : f * perMove, 2.0, formatSeconds, why));
    }
}
