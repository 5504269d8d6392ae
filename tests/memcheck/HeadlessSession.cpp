// A whole working session in the real window under the offscreen platform, scripted:
// open a plot, calibrate by double-clicks and typed values, acquire 10,000 points, clear
// them, edit on the picture, extract its line automatically, open another plot. Run under valgrind by `make memcheck`; it must end with
// no memory error and nothing definitely lost.

#include "desktop/window/MainWindow.h"
#include "desktop/picture/PlotImageWidget.h"
#include "desktop/window/QtPlatform.h"
#include "ui_MainWindow.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>

namespace {

QString makePicture(const QTemporaryDir& folder, const QString& name, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0xd6, 0x27, 0x28), 2.0));
    painter.drawLine(QPointF(0, height * 0.5), QPointF(width, height * 0.4));
    painter.end();
    const QString path = folder.filePath(name);
    image.save(path);
    return path;
}

bool typeInto(QWidget& window, const QString& text, Qt::Key then)
{
    for (QLineEdit* editor : window.findChildren<QLineEdit*>(QStringLiteral("worldValueEditor"))) {
        if (!editor->isVisible())
            continue;
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, then);
        QCoreApplication::processEvents();
        return true;
    }
    return false;
}

int fail(const char* what)
{
    std::fprintf(stderr, "headless session: %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QTemporaryDir folder;
    const QString first = makePicture(folder, QStringLiteral("first.png"), 640, 480);
    const QString second = makePicture(folder, QStringLiteral("second.png"), 320, 240);

    QtPlatform platform;
    MainWindow window(platform);
    window.show();
    window.launch({first});
    QWidget* plot = window.ui().plotScrollArea->widget();
    PlotmeterManager& manager = window.manager();

    const int marks[][2] = {{100, 380}, {500, 380}, {100, 80}};
    const char* values[][2] = {{"0", "0"}, {"10", "0"}, {"0", "30"}};
    for (int i = 0; i < 3; ++i) {
        QTest::mouseDClick(plot, Qt::LeftButton, {}, QPoint(marks[i][0], marks[i][1]));
        QCoreApplication::processEvents();
        if (!typeInto(window, QString::fromLatin1(values[i][0]), Qt::Key_Tab) ||
            !typeInto(window, QString::fromLatin1(values[i][1]), Qt::Key_Return))
            return fail("the world cells did not open for typing");
    }
    window.ui().acquireButton->click();
    if (manager.mode() != PlotmeterManager::acquireMode)
        return fail("acquisition was not entered");

    QTest::mouseDClick(plot, Qt::LeftButton, {}, QPoint(300, 200));
    const int points = argc > 1 ? atoi(argv[1]) : 10000;
    for (int i = 1; i < points; ++i)
        manager.newScreenPoint({static_cast<double>(i % 640), static_cast<double>(i % 480)});
    QCoreApplication::processEvents();
    if (manager.acquireMatrix()->numberOfRows() != points)
        return fail("not every point reached the data table");

    manager.clearData();
    manager.undo();
    if (manager.acquireMatrix()->numberOfRows() != points)
        return fail("undo did not bring the cleared points back");
    manager.addSeries();
    QTest::mouseDClick(plot, Qt::LeftButton, {}, QPoint(10, 10));

    // Zoomed out the picture is painted from reduced copies made in a worker thread;
    // zoomed in, points are picked, dragged, nudged and deleted on it.
    auto* picture = qobject_cast<PlotImageWidget*>(plot);
    picture->setZoom(0.25);
    QTest::qWait(50);
    picture->repaint();
    picture->setZoom(4.0, QPointF(0, 0));
    QTest::mouseDClick(picture, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mousePress(picture, Qt::LeftButton, {}, QPoint(100, 100));
    for (int step = 1; step <= 10; ++step)
        QTest::mouseMove(picture, QPoint(100 + 3 * step, 100 + step));
    QTest::mouseRelease(picture, Qt::LeftButton, {}, QPoint(130, 110));
    picture->setFocus();
    QTest::keyClick(picture, Qt::Key_Left);
    window.ui().actionDeletePoints->trigger();
    if (manager.history().undoName() != "Delete Point")
        return fail("the point picked on the picture was not deleted");
    manager.undo();

    // Automatic extraction: the overlay and the extraction each run on a thread of their
    // own; a Shift+double-click snaps onto the line.
    picture->setZoom(1.0);
    window.extraction().show();
    window.extraction().setColour({0xd6, 0x27, 0x28});
    QTest::qWait(100);
    if (!window.extraction().extract() || manager.history().undoName() != "Extract Points")
        return fail("the line was not extracted");
    QTest::mouseDClick(picture, Qt::LeftButton, Qt::ShiftModifier, QPoint(320, 218));
    manager.openPlotAtPath(QFile::encodeName(second).toStdString());
    QCoreApplication::processEvents();
    if (manager.calMatrix()->numberOfRows() != 0 || manager.acquireMatrix()->numberOfRows() != 0)
        return fail("opening a plot did not start afresh");
    std::puts("headless session: done");
    return 0;
}
