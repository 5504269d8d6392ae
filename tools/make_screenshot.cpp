// Digitizes the bundled sample plot as a user would and saves a picture of the window,
// for the README; given a second file name, saves the window again with View ▸ Show
// Calibration Grid on; given a third, zooms in on the curve with the cursor over it, a
// point selected and the magnifier following; given a fourth, extracts the curve
// automatically with its overlay on show; given a fifth, shows the data plot of what was
// digitized; given a sixth, first shows the calibration Find Axes proposes; given a
// seventh, shows File ▸ Export Data… set to write the points at chosen x values. At
// 1280 x 800, with no saved settings. Run by scripts/screenshot under Xvfb.

#include "SamplePlot.h"
#include "desktop/files/ExportDialog.h"
#include "desktop/window/MainWindow.h"
#include "desktop/window/PlotmeterStyle.h"
#include "desktop/picture/PlotImageWidget.h"
#include "desktop/window/QtPlatform.h"
#include "ui_MainWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QToolButton>
#include <QLineEdit>
#include <QScrollArea>
#include <QSignalSpy>
#include <QtTest>
#include <cmath>
#include <cstdio>

namespace {

PlotImageWidget* plotWidget(MainWindow& window)
{
    return qobject_cast<PlotImageWidget*>(window.ui().plotScrollArea->widget());
}

// A point of the plot's own units as the position a user double-clicks on the picture as
// it is zoomed now.
QPoint pictureSpot(MainWindow& window, double x, double y)
{
    const double factor = plotWidget(window)->zoom().factor;
    return {static_cast<int>(std::floor((samplePlot::pixelX(x) + 0.5) * factor)),
            static_cast<int>(std::floor((samplePlot::pixelY(y) + 0.5) * factor))};
}

QLineEdit* openEditor(QWidget& window)
{
    for (QLineEdit* editor : window.findChildren<QLineEdit*>(QStringLiteral("worldValueEditor")))
        if (editor->isVisible())
            return editor;
    return nullptr;
}

bool type(QWidget& window, const QString& text, Qt::Key then)
{
    QLineEdit* editor = openEditor(window);
    if (editor == nullptr)
        return false;
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, then);
    QCoreApplication::processEvents();
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setStyle(new PlotmeterStyle); // as the program's own window has it
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: make_screenshot SAMPLE_PLOT OUTPUT_PNG [GRID_PNG [ZOOM_PNG [EXTRACT_PNG [PLOT_PNG "
                     "[FIND_AXES_PNG [EXPORT_PNG]]]]]]\n");
        return 2;
    }
    QtPlatform platform;
    MainWindow window(platform);
    window.resize(1280, 800);
    window.show();
    QTest::qWait(200);
    window.launch({QString::fromLocal8Bit(argv[1])});
    QTest::qWait(200);
    PlotImageWidget* plot = plotWidget(window);

    // Find Axes on the sample plot: the calibration it proposes, the grid over it and the
    // note saying what it read; then taken back, to calibrate by hand below.
    if (argc > 7) {
        QSignalSpy ended(&window.findAxes(), &FindAxesControl::ended);
        window.findAxes().start();
        if (!ended.wait(60'000) || !ended.takeFirst().at(0).toBool()) {
            std::fprintf(stderr, "make_screenshot: Find Axes proposed nothing\n");
            return 1;
        }
        QTest::qWait(300);
        if (!window.grab().save(QString::fromLocal8Bit(argv[7]))) {
            std::fprintf(stderr, "make_screenshot: could not write %s\n", argv[7]);
            return 1;
        }
        window.ui().actionUndo->trigger();
        window.ui().actionShowCalibrationGrid->setChecked(false);
    }

    struct Mark {
        double x, y;
        const char* worldX;
        const char* worldY;
    };
    // Four marks, so that the calibration table has residuals to show.
    const Mark marks[] = {{0, 0, "0", "0"}, {10, 0, "10", "0"}, {0, 100, "0", "100"}, {10, 100, "10", "100"}};
    for (const Mark& mark : marks) {
        QTest::mouseDClick(plot, Qt::LeftButton, {}, pictureSpot(window, mark.x, mark.y));
        QCoreApplication::processEvents();
        if (!type(window, QString::fromLatin1(mark.worldX), Qt::Key_Tab) ||
            !type(window, QString::fromLatin1(mark.worldY), Qt::Key_Return)) {
            std::fprintf(stderr, "make_screenshot: the world cells did not open for typing\n");
            return 1;
        }
    }
    window.ui().acquireButton->click();
    PlotmeterManager& manager = window.manager();
    manager.renameSeries(0, "Signal");
    for (double t = 0.5; t < 10.0; t += 0.75)
        QTest::mouseDClick(plot, Qt::LeftButton, {}, pictureSpot(window, t, samplePlot::curve(t)));
    // A second series: the tops of the ripple, where 1.7 t is a quarter turn past a whole one.
    manager.addSeries();
    manager.renameSeries(1, "Ripple tops");
    for (int k = 0; k < 3; ++k) {
        const double t = (M_PI / 2 + 2 * M_PI * k) / 1.7;
        QTest::mouseDClick(plot, Qt::LeftButton, {}, pictureSpot(window, t, samplePlot::curve(t)));
    }
    QTest::qWait(300);

    if (!window.grab().save(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "make_screenshot: could not write %s\n", argv[2]);
        return 1;
    }
    // The grid over the plot, beside the calibration table with its residuals.
    if (argc > 3) {
        window.ui().actionShowCalibrationGrid->trigger();
        window.ui().calibrateButton->click();
        QTest::qWait(300);
        if (!window.grab().save(QString::fromLocal8Bit(argv[3]))) {
            std::fprintf(stderr, "make_screenshot: could not write %s\n", argv[3]);
            return 1;
        }
    }
    if (argc > 4) {
        window.ui().acquireButton->click();
        manager.setActiveSeries(0);
        // 4x about the curve at t = 3.5, the cursor just beside it, that point selected.
        const double t = 3.5;
        const QPoint mark = pictureSpot(window, t, samplePlot::curve(t));
        plot->setZoom(4.0, QPointF(plot->mapTo(window.ui().plotScrollArea->viewport(), mark)));
        QTest::qWait(300);
        const QPoint at = pictureSpot(window, t, samplePlot::curve(t));
        QTest::mouseClick(plot, Qt::LeftButton, {}, at);
        const QPoint hover = at + QPoint(14, -9);
        QMouseEvent move(QEvent::MouseMove, hover, plot->mapToGlobal(hover), Qt::NoButton, {}, {});
        QApplication::sendEvent(plot, &move);
        QTest::qWait(300);
        if (!window.grab().save(QString::fromLocal8Bit(argv[4]))) {
            std::fprintf(stderr, "make_screenshot: could not write %s\n", argv[4]);
            return 1;
        }
    }
    // Automatic extraction: the curve's colour picked with the eyedropper, its matching
    // pixels shown, and a point every 8 pixels extracted into a series of their own.
    if (argc > 5) {
        plot->zoomToFit();
        window.ui().actionShowCalibrationGrid->setChecked(false);
        window.extraction().show();
        window.extraction().raise();
        window.extraction().findChild<QToolButton*>(QStringLiteral("eyedropper"))->click();
        QTest::mouseClick(plot, Qt::LeftButton, {}, pictureSpot(window, 4.5, samplePlot::curve(4.5)));
        window.extraction().findChild<QDoubleSpinBox*>(QStringLiteral("extractionStep"))->setValue(8.0);
        window.extraction().findChild<QComboBox*>(QStringLiteral("extractionInto"))->setCurrentIndex(1);
        QTest::qWait(500);
        if (!window.extraction().extract()) {
            std::fprintf(stderr, "make_screenshot: extraction failed: %s\n",
                         qPrintable(window.extraction().message()));
            return 1;
        }
        QTest::qWait(300);
        if (!window.grab().save(QString::fromLocal8Bit(argv[5]))) {
            std::fprintf(stderr, "make_screenshot: could not write %s\n", argv[5]);
            return 1;
        }
    }
    // The data plot: every series digitized, in the plot's own units.
    if (argc > 6) {
        window.dataPlotDock().show();
        window.dataPlotDock().raise();
        QTest::qWait(300);
        if (!window.grab().save(QString::fromLocal8Bit(argv[6]))) {
            std::fprintf(stderr, "make_screenshot: could not write %s\n", argv[6]);
            return 1;
        }
    }
    // File ▸ Export Data…: every series at x = 0, 0.5, 1, ..., along a cubic spline.
    if (argc > 8) {
        ExportDialog dialog(QStringLiteral("Ripple tops"), manager.document().axes(), &window);
        dialog.findChild<QComboBox*>(QStringLiteral("exportGrid"))->setCurrentIndex(1);
        dialog.findChild<QLineEdit*>(QStringLiteral("exportGridText"))->setText(QStringLiteral("0.5"));
        dialog.findChild<QComboBox*>(QStringLiteral("exportInterpolation"))->setCurrentIndex(1);
        dialog.show();
        QTest::qWait(300);
        if (!dialog.grab().save(QString::fromLocal8Bit(argv[8]))) {
            std::fprintf(stderr, "make_screenshot: could not write %s\n", argv[8]);
            return 1;
        }
    }
    return 0;
}
