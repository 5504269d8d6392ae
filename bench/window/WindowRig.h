#pragma once

#include "platform/Geometry.h"
#include "desktop/window/MainWindow.h"
#include "desktop/window/QtPlatform.h"

#include "common/PointSequence.h"
#include <QObject>
#include <QSize>
#include <QString>

#include <string>

class PlotImageWidget;
class PointTableView;
class QScrollArea;

// The window system of the real program, except that an alert is noted rather than shown:
// a benchmark has nobody to dismiss it.
class BenchQtPlatform : public QtPlatform {
  public:
    void runAlertPanel(const std::string& title, const std::string& message) override;
    std::string lastAlert;
};

// Counts, while it lives, the paint events of the widgets with the given object name, or
// of the one widget given.
class PaintCounter : public QObject {
  public:
    explicit PaintCounter(QString objectName);
    explicit PaintCounter(const QObject* target);
    ~PaintCounter() override;
    PaintCounter(const PaintCounter&) = delete;
    PaintCounter& operator=(const PaintCounter&) = delete;
    int count = 0;

  protected:
    bool eventFilter(QObject* object, QEvent* event) override;

  private:
    QString objectName_;
    const QObject* target_ = nullptr;
};

// The assembled main window, shown, as the user has it after start-up on a large screen:
// sized so that the picture area (the plot scroll area's viewport, without scroll bars) is
// `pictureArea`, with the side panel at its usual 600 pixels.
class WindowRig {
  public:
    enum class Start { calibrating, acquiring };
    explicit WindowRig(Start start = Start::calibrating);

    static constexpr QSize pictureArea{1600, 1000};

    // Opens the picture as File ▸ Open Plot… does and returns once it is painted; false,
    // with the reason in platform.lastAlert, when it was refused.
    bool openPicture(const QString& path);
    // Waits, handling events, until the picture's reduced copies are all made; false, with
    // the reason in platform.lastAlert, when there is no picture or they are not made
    // within `timeoutMs`.
    bool waitForReducedCopies(int timeoutMs = 120'000);
    // `rows` double-clicks' worth of data points, as in acquisition.
    void addDataRows(int rows);
    DPoint nextPoint() { return points_.nextPoint(); }
    // Lets the window catch up with everything posted: layout, repaints.
    static void settle();

    PlotImageWidget* plotWidget();
    QScrollArea& plotArea();
    PointTableView* shownTable();
    PlotmeterManager& manager() { return window.manager(); }

    BenchQtPlatform platform;
    MainWindow window{platform};

  private:
    PointSequence points_{12345};
};
