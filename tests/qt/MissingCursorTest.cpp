#include "ShownWindow.h"

// Built without the application's resources: there is no "cross" picture.
class MissingCursorTest : public QObject {
    Q_OBJECT

  private slots:
    void plotWorksWithTheOrdinaryCursor()
    {
        StderrCapture errors;
        ShownWindow shown(QSize(200, 100));
        QCOMPARE(errors.text(), QStringLiteral("Can't open cursor image cross.tiff\n"));
        QVERIFY(shown.ready);
        QVERIFY(shown.plot()->cursor().shape() != Qt::BitmapCursor);
        QTest::mouseDClick(shown.plot(), Qt::LeftButton, {}, QPoint(10, 100 - 20));
        QCOMPARE(shown.calibration().numberOfRows(), 1);
    }
};

QTEST_MAIN(MissingCursorTest)
#include "MissingCursorTest.moc"
