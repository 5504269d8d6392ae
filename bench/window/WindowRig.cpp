#include "window/WindowRig.h"

#include "desktop/picture/PicturePyramid.h"
#include "desktop/picture/PlotImageWidget.h"
#include "desktop/tables/PointTableView.h"
#include "ui_MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPaintEvent>
#include <QRadioButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTimer>
#include <QWindow>
#include <string>

void BenchQtPlatform::runAlertPanel(const std::string& title, const std::string& message)
{
    lastAlert = title + ": " + message;
}

PaintCounter::PaintCounter(QString objectName) : objectName_(std::move(objectName))
{
    QCoreApplication::instance()->installEventFilter(this);
}

PaintCounter::PaintCounter(const QObject* target) : target_(target)
{
    QCoreApplication::instance()->installEventFilter(this);
}

PaintCounter::~PaintCounter()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool PaintCounter::eventFilter(QObject* object, QEvent* event)
{
    if (event->type() == QEvent::Paint &&
        (target_ != nullptr ? object == target_ : object->objectName() == objectName_))
        ++count;
    return false;
}

// Calibration happens before the window is shown, so that no world value editor opens.
WindowRig::WindowRig(Start start)
{
    window.resize(pictureArea.width() + 640, pictureArea.height() + 150);
    window.launch({});
    if (start == Start::acquiring) {
        const DPoint screen[] = {{100.0, 100.0}, {300.0, 100.0}, {100.0, 400.0}};
        const char* const world[][2] = {{"0", "0"}, {"10", "0"}, {"0", "60"}};
        for (int i = 0; i < 3; ++i) {
            manager().newScreenPoint(screen[i]);
            manager().calMatrix()->setStringValue(i, 2, world[i][0]);
            manager().calMatrix()->setStringValue(i, 3, world[i][1]);
        }
        window.ui().acquireButton->click();
    }
    window.show();
    QElapsedTimer waited;
    waited.start();
    while (!window.windowHandle()->isExposed() && waited.elapsed() < 10'000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    settle();
    // The window grows by what the picture area lacks: the picture is the central widget,
    // and the menu bar, the status bar and the panels keep their size.
    for (int pass = 0; pass < 4 && plotArea().viewport()->size() != pictureArea; ++pass) {
        window.resize(window.size() + (pictureArea - plotArea().viewport()->size()));
        settle();
    }
}

void WindowRig::settle()
{
    for (int pass = 0; pass < 3; ++pass) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

bool WindowRig::openPicture(const QString& path)
{
    PaintCounter paints(QStringLiteral("plotImage"));
    platform.lastAlert.clear();
    manager().openPlotAtPath(QFile::encodeName(path).toStdString());
    if (!platform.lastAlert.empty())
        return false;
    QElapsedTimer waited;
    waited.start();
    while (paints.count == 0 && waited.elapsed() < 60'000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (paints.count == 0)
        platform.lastAlert = "the picture was never painted";
    return paints.count > 0;
}

bool WindowRig::waitForReducedCopies(int timeoutMs)
{
    PlotImageWidget* widget = plotWidget();
    const PicturePyramid* copies = widget != nullptr ? widget->pyramid() : nullptr;
    if (copies == nullptr) {
        platform.lastAlert = "no picture is shown";
        return false;
    }
    // The copies arrive as queued calls, which wake the event loop; the timer wakes it to
    // look at the clock.
    QTimer wake;
    wake.start(100);
    QElapsedTimer waited;
    waited.start();
    while (!copies->complete() && waited.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    settle();
    if (!copies->complete()) {
        // Appended piece by piece: GCC 12 warns falsely about a literal plus a string.
        std::string why = "the reduced copies were not made within ";
        why += std::to_string(timeoutMs / 1000);
        why += " s (";
        why += std::to_string(copies->levels());
        why += " made)";
        platform.lastAlert = why;
        return false;
    }
    return true;
}

void WindowRig::addDataRows(int rows)
{
    for (int i = 0; i < rows; ++i) {
        manager().newScreenPoint(points_.nextPoint());
        if (i % 1000 == 999)
            settle();
    }
    settle();
}

PlotImageWidget* WindowRig::plotWidget()
{
    return qobject_cast<PlotImageWidget*>(window.ui().plotScrollArea->widget());
}

QScrollArea& WindowRig::plotArea()
{
    return *window.ui().plotScrollArea;
}

PointTableView* WindowRig::shownTable()
{
    return qobject_cast<PointTableView*>(window.ui().dataStack->currentWidget());
}
