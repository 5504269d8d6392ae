#include "WindowDriver.h"

#include "desktop/MainWindow.h"
#include "desktop/PlotImageWidget.h"
#include "desktop/QtPlatform.h"
#include "ui_MainWindow.h"

#include <QScrollArea>
#include <QtTest>

// Built without the application's resources: there is no "cross" picture.
class MissingCursorTest : public QObject {
    Q_OBJECT

  private slots:
    void plotWorksWithTheOrdinaryCursor()
    {
        QTemporaryDir folder;
        const QString picture = makePicture(folder, QStringLiteral("plot.png"), 200, 100);
        QtPlatform platform;
        MainWindow window(platform);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        StderrCapture errors;
        window.launch({picture});
        QCOMPARE(errors.text(), QStringLiteral("Can't open cursor image cross.tiff\n"));

        auto* plot = qobject_cast<PlotImageWidget*>(window.ui().plotScrollArea->widget());
        QVERIFY(plot != nullptr);
        QVERIFY(plot->cursor().shape() != Qt::BitmapCursor);
        QTest::mouseDClick(plot, Qt::LeftButton, {}, QPoint(10, 100 - 20));
        QCOMPARE(window.manager().calMatrix()->numberOfRows(), 1);
    }
};

QTEST_MAIN(MissingCursorTest)
#include "MissingCursorTest.moc"
