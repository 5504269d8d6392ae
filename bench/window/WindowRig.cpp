#include "window/WindowRig.h"

#include "desktop/PlotImageWidget.h"
#include "desktop/PointTableView.h"
#include "ui_MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPaintEvent>
#include <QRadioButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QWindow>

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
    window.resize(1240, 780);
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
