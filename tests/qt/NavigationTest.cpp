#include "ShownWindow.h"

#include "desktop/tables/DataScrollView.h"
#include "desktop/picture/Magnifier.h"
#include "desktop/picture/PicturePyramid.h"
#include "desktop/tables/PointTableView.h"
#include "desktop/picture/ReadoutText.h"
#include "ui_MainWindow.h"

#include <QLabel>
#include <QPainter>
#include <cmath>

// Zoom, pan, the cursor's readout and editing points on the picture, in the assembled
// window under the offscreen platform.
class NavigationTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { QVERIFY((shown_ = std::make_unique<ShownWindow>(QSize(width, height)))->ready); }
    void cleanup()
    {
        QCOMPARE(shown_->guard.unexpected(), QStringList());
        shown_.reset();
    }

    void sameSpotGivesTheSamePictureCoordinateAtAnyZoom();
    void zoomKeepsThePointUnderTheCursorFromEveryShortcut();
    void pointsAreSelectedMovedNudgedAndDeletedOnThePicture();
    void readoutAndMagnifierFollowTheCursor();
    void zoomedInPixelsAreSquaresInFirstPaintsAndRepaints();

  private:
    PlotImageWidget* plot() const { return shown_->plot(); }
    MainWindow& window() const { return *shown_->window; }
    QWidget* viewport() const { return shown_->ui().plotScrollArea->viewport(); }
    // The widget position of a spot of the picture (pixels from its top-left corner).
    QPoint spot(QPointF picture) const;
    void doubleClick(QPointF picture) { QTest::mouseDClick(plot(), Qt::LeftButton, {}, spot(picture)); }
    // Calibrates with world = (2 x + 1, 3 y - 5) of the picture coordinates; then acquires.
    void calibrateAndAcquire();
    DPoint dataScreen(int row) const
    {
        return {*shown_->data().cellAtRow(row, 0).number, *shown_->data().cellAtRow(row, 1).number};
    }

    static constexpr int width = 800;
    static constexpr int height = 600;
    std::unique_ptr<ShownWindow> shown_;
};

QPoint NavigationTest::spot(QPointF picture) const
{
    const double factor = plot()->zoom().factor;
    return {static_cast<int>(std::floor(picture.x() * factor)), static_cast<int>(std::floor(picture.y() * factor))};
}

void NavigationTest::calibrateAndAcquire()
{
    PlotmeterManager& manager = shown_->manager();
    const DPoint marks[] = {{50, 40}, {750, 40}, {50, 560}};
    for (int row = 0; row < 3; ++row) {
        manager.newScreenPoint(marks[row]);
        manager.setCalibrationValue(row, 2, QString::number(2 * marks[row].x + 1).toStdString());
        manager.setCalibrationValue(row, 3, QString::number(3 * marks[row].y - 5).toStdString());
    }
    shown_->ui().acquireButton->click();
    QCOMPARE(manager.mode(), PlotmeterManager::acquireMode);
}

// The picture coordinate of a click is the centre of the screen pixel under the cursor:
// at 100 % whole numbers, at 4x quarter steps, and at any zoom within that pixel of the
// spot clicked; calibrating at one zoom and digitizing at another shifts nothing.
void NavigationTest::sameSpotGivesTheSamePictureCoordinateAtAnyZoom()
{
    calibrateAndAcquire();
    const QPointF spots[] = {{300.3, 200.7}, {12.9, 587.05}};
    const double zooms[] = {1.0, 4.0, 0.25, 2.0};
    int row = 0;
    for (const QPointF& at : spots) {
        // Data-file convention: x the column, y the height minus the row, centres at whole numbers.
        const DPoint truth{at.x() - 0.5, height + 0.5 - at.y()};
        for (const double zoom : zooms) {
            plot()->setZoom(zoom);
            QCOMPARE(plot()->zoom().factor, zoom);
            doubleClick(at);
            const DPoint got = dataScreen(row++);
            const QString where = QStringLiteral("zoom %1, got (%2, %3)").arg(zoom).arg(got.x).arg(got.y);
            QVERIFY2(std::abs(got.x - truth.x) <= 0.5 / zoom && std::abs(got.y - truth.y) <= 0.5 / zoom,
                     qPrintable(where));
            const double fraction = got.x - std::floor(got.x);
            if (zoom == 1.0)
                QVERIFY2(fraction == 0.0 && got.y == std::floor(got.y), qPrintable(where));
            if (zoom == 4.0)
                QVERIFY2(fraction == 0.125 || fraction == 0.375 || fraction == 0.625 || fraction == 0.875,
                         qPrintable(where));
            // The world value is the calibration's, whatever the zoom.
            QVERIFY(std::abs(*shown_->data().cellAtRow(row - 1, 2).number - (2 * got.x + 1)) < 1e-6);
            QVERIFY(std::abs(*shown_->data().cellAtRow(row - 1, 3).number - (3 * got.y - 5)) < 1e-6);
        }
    }
    // Zooming again leaves every point where it was.
    const std::vector<DPoint> taken = shown_->manager().document().active().points;
    QCOMPARE(taken.size(), std::size_t(8));
    plot()->setZoom(8.0);
    QVERIFY(shown_->manager().document().active().points == taken);
}

// Ctrl+wheel, Ctrl+= and Ctrl+- zoom about the cursor, wherever the focus is (the table
// included); Ctrl+Alt+0 shows 100 % and Ctrl+0 fits; the status bar says the zoom.
void NavigationTest::zoomKeepsThePointUnderTheCursorFromEveryShortcut()
{
    const QString big = makePicture(shown_->folder, QStringLiteral("big.png"), 3000, 2000);
    QVERIFY(shown_->open(big));
    PlotImageWidget* widget = plot();
    const QSize area = viewport()->size();
    // Fitted: wholly in sight, and touching two sides of the area.
    const auto fitted = [&] {
        return widget->width() <= area.width() && widget->height() <= area.height() &&
               (widget->width() == area.width() || widget->height() == area.height());
    };
    QVERIFY2(widget->zoom().factor < 1.0 && fitted(), "a picture larger than the area opens fitted");
    const auto label = [this] { return window().findChild<QLabel*>(QStringLiteral("zoomLevel"))->text(); };
    QCOMPARE(label(), QStringLiteral("Zoom %1%").arg(qRound(widget->zoom().factor * 100)));

    const QPoint cursor(area.width() / 3, area.height() / 2);
    const auto underCursor = [&] {
        const QPoint local = widget->mapFrom(viewport(), cursor);
        return widget->zoom().pictureOf({local.x() + 0.5, local.y() + 0.5});
    };
    const auto expectStill = [&](DPoint before, const char* how) {
        const DPoint after = underCursor();
        const double slack = 1.0 / widget->zoom().factor; // one screen pixel
        QVERIFY2(
            std::abs(after.x - before.x) <= slack && std::abs(after.y - before.y) <= slack,
            qPrintable(QString::asprintf("%s: (%g, %g) became (%g, %g)", how, before.x, before.y, after.x, after.y)));
    };

    const double fitFactor = widget->zoom().factor;
    DPoint before = underCursor();
    const QPoint local = widget->mapFrom(viewport(), cursor);
    QWheelEvent wheel(local, widget->mapToGlobal(local), {}, {0, 4 * 120}, Qt::NoButton, Qt::ControlModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &wheel);
    QCOMPARE(widget->zoom().factor, 4 * fitFactor); // two notches double it
    expectStill(before, "Ctrl+wheel");

    QCursor::setPos(viewport()->mapToGlobal(cursor));
    PointTableView* table = window().dataView().viewFor(shown_->manager().calMatrix());
    table->setFocus();
    const double factor = widget->zoom().factor;
    before = underCursor();
    QTest::keyClick(table, Qt::Key_Equal, Qt::ControlModifier);
    QCOMPARE(widget->zoom().factor, 2 * factor);
    expectStill(before, "Ctrl+=");
    QTest::keyClick(table, Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(widget->zoom().factor, factor);
    expectStill(before, "Ctrl+-");

    QTest::keyClick(table, Qt::Key_0, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(widget->zoom().factor, 1.0);
    QCOMPARE(widget->size(), QSize(3000, 2000));
    QCOMPARE(label(), QStringLiteral("Zoom 100%"));
    for (int k = 0; k < 8; ++k)
        QTest::keyClick(table, Qt::Key_Equal, Qt::ControlModifier);
    QCOMPARE(widget->zoom().factor, 32.0);
    QTest::keyClick(table, Qt::Key_0, Qt::ControlModifier);
    QVERIFY(fitted());
}

// A click on a mark selects its row and back; dragging a mark, the arrow keys and Delete
// change the points, table and file follow, and each is one step to undo.
void NavigationTest::pointsAreSelectedMovedNudgedAndDeletedOnThePicture()
{
    calibrateAndAcquire();
    plot()->setZoom(2.0);
    const QPointF spots[] = {{200.5, 300.5}, {400.5, 300.5}, {600.5, 300.5}};
    for (const QPointF& at : spots)
        doubleClick(at);
    PlotmeterManager& manager = shown_->manager();
    PointTableView* table = window().dataView().viewFor(manager.acquireMatrix());
    QCOMPARE(shown_->data().numberOfRows(), 3);

    // The halo of a selected mark lies 9 screen pixels right of its centre.
    const auto haloed = [this](QPointF at) {
        const QPoint p = spot(at) + QPoint(9, 0);
        const QColor c = plot()->grab(QRect(p, QSize(1, 1))).toImage().pixelColor(0, 0);
        return c.blue() > c.red() + 60;
    };
    QTest::mouseClick(plot(), Qt::LeftButton, {}, spot(spots[1]) + QPoint(2, -1));
    QCOMPARE(table->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(table->selectionModel()->selectedRows().front().row(), 1);
    QVERIFY(haloed(spots[1]) && !haloed(spots[0]));
    table->selectRow(0);
    QVERIFY(haloed(spots[0]) && !haloed(spots[1]));

    // Drag the first mark 40 screen pixels right and 20 up: 20 and 10 picture pixels at 2x.
    const DPoint start = dataScreen(0);
    const QPoint from = spot(spots[0]);
    QTest::mousePress(plot(), Qt::LeftButton, {}, from);
    for (int step = 1; step <= 4; ++step)
        QTest::mouseMove(plot(), from + QPoint(10 * step, -5 * step));
    QTest::mouseRelease(plot(), Qt::LeftButton, {}, from + QPoint(40, -20));
    QCOMPARE(dataScreen(0).x, start.x + 20);
    QCOMPARE(dataScreen(0).y, start.y + 10);
    QCOMPARE(*shown_->data().cellAtRow(0, 2).number, 2 * (start.x + 20) + 1);
    QCOMPARE(manager.history().undoName(), std::string("Move Point"));
    QVERIFY(haloed(spots[0] + QPointF(20, -10)));

    // An arrow key moves the selected point by one screen pixel: half a picture pixel.
    plot()->setFocus();
    QTest::keyClick(plot(), Qt::Key_Right);
    QTest::keyClick(plot(), Qt::Key_Up);
    QCOMPARE(dataScreen(0).x, start.x + 20.5);
    QCOMPARE(dataScreen(0).y, start.y + 10.5);

    const QString target = shown_->file(QStringLiteral("data.txt"));
    chooseInNextFilePanel(target);
    shown_->ui().actionSaveData->trigger();
    QVERIFY(readFile(target).startsWith(QString::asprintf("%10.3f%10.3f", start.x + 20.5, start.y + 10.5).toLatin1()));

    shown_->ui().actionDeletePoints->trigger();
    QCOMPARE(shown_->data().numberOfRows(), 2);
    QCOMPARE(dataScreen(0).x, start.x + 200);
    for (int k = 0; k < 4; ++k)
        shown_->ui().actionUndo->trigger();
    QCOMPARE(shown_->data().numberOfRows(), 3);
    QCOMPARE(dataScreen(0).x, start.x);
    QCOMPARE(dataScreen(0).y, start.y);

    // A calibration ring dragged while acquiring refits, and every row follows.
    const double before = *shown_->data().cellAtRow(2, 2).number;
    const QPoint ring = spot({750.5, 600.5 - 40});
    QTest::mousePress(plot(), Qt::LeftButton, {}, ring);
    QTest::mouseMove(plot(), ring + QPoint(10, 0));
    QTest::mouseMove(plot(), ring + QPoint(20, 0));
    QTest::mouseRelease(plot(), Qt::LeftButton, {}, ring + QPoint(20, 0));
    QCOMPARE(manager.document().calibration()[1].screen.x, 760.0);
    QVERIFY(std::abs(*shown_->data().cellAtRow(2, 2).number - before) > 1.0);
    shown_->ui().actionUndo->trigger();
    QCOMPARE(*shown_->data().cellAtRow(2, 2).number, before);
}

// Moving over the picture shows the cursor's picture and world coordinates in the status
// bar and its pixels in the magnifier, at the point a click there would give.
void NavigationTest::readoutAndMagnifierFollowTheCursor()
{
    calibrateAndAcquire();
    plot()->setZoom(4.0);
    const QPoint at = spot({100.0, 500.0});
    QMouseEvent move(QEvent::MouseMove, at, plot()->mapToGlobal(at), Qt::NoButton, {}, {});
    QApplication::sendEvent(plot(), &move);
    const DPoint expected = plot()->zoom().pictureAtPixel(at.x(), at.y());
    const QString readout = window().findChild<ReadoutText*>(QStringLiteral("pointerReadout"))->text();
    QVERIFY2(readout.startsWith(QStringLiteral("x 99.625, y 100.375")), qPrintable(readout));
    QVERIFY2(readout.contains(QStringLiteral("X 200.25, Y 296.125")), qPrintable(readout));
    QCOMPARE(window().magnifier().shownPoint(), std::optional(expected));
    window().magnifierDock().toggleViewAction()->trigger();
    QVERIFY(!window().magnifier().isVisible());
}

// Zoomed in, the picture area renders what is on show once per zoom and repaints copy from
// there; every paint shows each picture pixel as a whole square of its own colour, exactly
// where painting the picture straight at that zoom puts it.
void NavigationTest::zoomedInPixelsAreSquaresInFirstPaintsAndRepaints()
{
    QImage picture(37, 23, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb((x * 37) % 256, (y * 53) % 256, (x * y * 11) % 256));
    const PicturePyramid pyramid(picture);
    const auto paintedAt = [&pyramid](double factor, const QRect& target, const QRect& shown) {
        QImage area(shown.size(), QImage::Format_RGB32);
        area.fill(Qt::black);
        QPainter painter(&area);
        painter.translate(-shown.topLeft());
        painter.setClipRect(target);
        pyramid.paint(painter, target, factor, shown);
        return area;
    };
    for (const double factor : {2.0, 3.0, 32.0, 2.5, 20.5}) {
        const QRect whole(0, 0, static_cast<int>(std::ceil(picture.width() * factor)),
                          static_cast<int>(std::ceil(picture.height() * factor)));
        const QRect shown = whole.adjusted(whole.width() / 2, whole.height() / 2, -whole.width() / 6, 0);
        QImage straight(shown.size(), QImage::Format_RGB32);
        straight.fill(Qt::black);
        {
            QPainter painter(&straight);
            painter.translate(-shown.topLeft());
            painter.drawImage(QRectF(0.0, 0.0, picture.width() * factor, picture.height() * factor), picture);
        }
        const QRect part = shown.adjusted(7, 5, -shown.width() / 3, -3);
        const QImage first = paintedAt(factor, shown, shown);
        const QImage again = paintedAt(factor, part, shown);
        int wrong = 0;
        int wrongAgain = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x) {
                const QPoint at = QPoint(x, y) + shown.topLeft();
                QRgb expected = straight.pixel(x, y);
                if (factor == std::floor(factor))
                    expected = picture.pixel(at.x() / static_cast<int>(factor), at.y() / static_cast<int>(factor));
                wrong += first.pixel(x, y) != expected;
                wrongAgain += part.contains(at) ? again.pixel(x, y) != expected : again.pixel(x, y) != qRgb(0, 0, 0);
            }
        QVERIFY2(wrong == 0 && wrongAgain == 0, qPrintable(QStringLiteral("at %1 %: %2 pixels wrong, %3 in the repaint")
                                                            .arg(factor * 100)
                                                            .arg(wrong)
                                                            .arg(wrongAgain)));
    }
}

QTEST_MAIN(NavigationTest)
#include "NavigationTest.moc"
