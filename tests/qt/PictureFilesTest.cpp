#include "ShownWindow.h"

#include "desktop/files/ImageLoading.h"
#include "ui_MainWindow.h"

#include <QImageWriter>
#include <QRandomGenerator>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.write(image);
    return bytes;
}

QImage testPattern(int width, int height, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(width, height, format);
    image.fill(Qt::white);
    for (int y = 5; y < 21 && y < height; ++y)
        for (int x = 5; x < 21 && x < width; ++x)
            image.setPixelColor(x, y, Qt::black);
    return image;
}

// A well-formed PNG, checksums and all, whose header claims 100,000 x 100,000 pixels with
// almost no picture data behind it: signature, IHDR, IDAT, IEND.
const QByteArray giantPng = QByteArray::fromHex("89504e470d0a1a0a"
                                                "0000000d49484452000186a0000186a0080200000027309c9f"
                                                "0000000849444154789c030000000001480689d2"
                                                "0000000049454e44ae426082");

const QString fixtures = QStringLiteral(PLOTMETER_TEST_PICTURES);

} // namespace

// Every kind of picture file a user may throw at the open panel gets a clear answer:
// the picture as they would expect to see it, or the reason it cannot be opened.
class PictureFilesTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { folder_ = std::make_unique<QTemporaryDir>(); }

    void answersEveryKindOfFile_data();
    void answersEveryKindOfFile();
    void unreadableFileIsRefusedEvenForAnAdministrator();
    void picturesShowAsTheUserSeesThem();
    void refusedPictureKeepsThePlotAndItsPoints();
    void hugeScanOpensAndCanBeDigitized();
    void pictureDecodedAheadIsTheOneAskedFor();

  private:
    QString path(const QString& name) const { return folder_->filePath(name); }
    std::unique_ptr<QTemporaryDir> folder_;
};

void PictureFilesTest::answersEveryKindOfFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("size");     // of the picture shown; invalid when refused
    QTest::addColumn<QString>("reason"); // part of the reason given when refused

    const QByteArray png = encoded(testPattern(200, 100), "png");
    const QByteArray jpeg = encoded(testPattern(200, 100), "jpeg");
    QByteArray noise(4096, '\0');
    QRandomGenerator random(42);
    for (char& byte : noise)
        byte = static_cast<char>(random.bounded(256));
    QDir(folder_->path()).mkdir("results.png");
    // Writes `bytes`, if any, to the named file and adds the row.
    const auto row = [this](const char* name, const QString& file, const std::optional<QByteArray>& bytes, QSize size,
                            const QString& reason = {}) {
        const QString at = QDir::isAbsolutePath(file) ? file : path(file);
        QVERIFY(!bytes || writeFile(at, *bytes));
        QTest::newRow(name) << at << size << reason;
    };
    row("empty file", "empty.png", QByteArray(), {}, "the file is empty");
    row("truncated PNG", "truncated.png", png.left(png.size() / 2), {}, "damaged or cut short");
    row("truncated JPEG", "truncated.jpg", jpeg.left(jpeg.size() / 2), {}, "damaged or cut short");
    row("random bytes named .png", "noise.png", noise, {}, "not a picture in a format");
    row("folder", "results.png", {}, {}, "it is a folder");
    row("path that vanished", "gone.png", {}, {}, "does not exist");
    row("header claiming 100,000 x 100,000 pixels", "giant.png", giantPng, {},
        "100000 × 100000 pixels (10000 megapixels)");
    row("1 x 1 picture", "dot.png", encoded(testPattern(1, 1), "png"), {1, 1});
    row("16-bit PNG", "deep.png", encoded(testPattern(30, 20, QImage::Format_RGBA64), "png"), {30, 20});
    row("greyscale PNG", "grey.png", encoded(testPattern(30, 20, QImage::Format_Grayscale8), "png"), {30, 20});
    row("CMYK JPEG", fixtures + "/cmyk.jpg", {}, {64, 48});
    row("two-page TIFF: first page", fixtures + "/two-pages.tiff", {}, {64, 48});
    row("two-frame GIF: first frame", fixtures + "/two-frames.gif", {}, {64, 48});
    row("non-ASCII name with spaces", "Kalibrierung März (Seite 2).png", png, {200, 100});
    // The first bytes, not the name, say which decoder reads the file.
    row("JPEG named .png", "photo.png", jpeg, {200, 100});
    row("PNG named .jpg", "chart.jpg", png, {200, 100});
    row("BMP, left to Qt to recognize", "scan.bmp", encoded(testPattern(200, 100), "bmp"), {200, 100});
}

void PictureFilesTest::answersEveryKindOfFile()
{
    QFETCH(QString, file);
    QFETCH(QSize, size);
    QFETCH(QString, reason);

    const ImageLoadResult loaded = loadPlotImage(file);
    if (!size.isValid()) {
        QVERIFY2(loaded.image.isNull(), "the file is refused");
        QVERIFY2(loaded.error.contains(reason), qPrintable(loaded.error));
        return;
    }
    QVERIFY2(!loaded.image.isNull(), qPrintable(loaded.error));
    QCOMPARE(loaded.image.size(), size);
    // The picture's content is there: white where the pattern is white, dark where black.
    if (size.width() > 40 && size.height() > 40) {
        QVERIFY(qGray(loaded.image.pixel(10, 10)) < 60);
        QVERIFY(qGray(loaded.image.pixel(40, 40)) > 200);
    }
}

// The administrator can read any file, so the refusal is checked as an ordinary user.
void PictureFilesTest::unreadableFileIsRefusedEvenForAnAdministrator()
{
    const QString file = path("locked.png");
    QVERIFY(writeFile(file, encoded(testPattern(20, 20), "png")));
    QFile::setPermissions(file, QFileDevice::WriteOwner);
    QFile::setPermissions(folder_->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                               QFileDevice::ExeOther | QFileDevice::ReadOther);
    if (geteuid() != 0) {
        QVERIFY(loadPlotImage(file).error.contains("permission to read it is denied"));
        return;
    }
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        const bool dropped = setgid(65534) == 0 && setuid(65534) == 0;
        const ImageLoadResult loaded = loadPlotImage(file);
        _exit(!dropped ? 2 : loaded.image.isNull() && loaded.error.contains("permission to read it is denied") ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
}

// Transparent parts show over white. A camera stores a portrait page as landscape pixels
// plus a tag; the user sees it upright and clicks on what they see.
void PictureFilesTest::picturesShowAsTheUserSeesThem()
{
    QImage clear(40, 30, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    clear.setPixelColor(2, 2, Qt::black);
    QVERIFY(writeFile(path("clear.png"), encoded(clear, "png")));
    ShownWindow shown(path("clear.png"));
    QVERIFY(shown.ready);
    const QImage painted = shown.plot()->grab().toImage();
    QCOMPARE(painted.pixelColor(20, 15), QColor(Qt::white));
    QCOMPARE(painted.pixelColor(2, 2), QColor(Qt::black));

    QImageWriter writer(path("phone.jpg"), "jpeg");
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    QVERIFY(writer.write(testPattern(64, 48)));
    QVERIFY(shown.open(path("phone.jpg")));
    QCOMPARE(shown.plot()->size(), QSize(48, 64));
    QTest::mouseDClick(shown.plot(), Qt::LeftButton, {}, QPoint(10, 64 - 20));
    QCOMPARE(shown.calibration().cellAtRow(0, 0).number.value_or(-1.0), 10.0);
    QCOMPARE(shown.calibration().cellAtRow(0, 1).number.value_or(-1.0), 20.0);
}

void PictureFilesTest::refusedPictureKeepsThePlotAndItsPoints()
{
    QVERIFY(writeFile(path("plot.png"), encoded(testPattern(200, 100), "png")));
    QVERIFY(writeFile(path("notes.png"), "shopping list"));
    ShownWindow shown(path("plot.png"));
    QVERIFY(shown.ready);
    PlotImageWidget* plot = shown.plot();
    QTest::mouseDClick(plot, Qt::LeftButton, {}, QPoint(50, 50));

    QString text, title;
    answerNextMessageBox(QMessageBox::Ok, &text, &title);
    shown.manager().openPlotAtPath(QFile::encodeName(path("notes.png")).toStdString());
    QCOMPARE(title, QStringLiteral("Can't Open Image"));
    QVERIFY2(text.contains(path("notes.png")), qPrintable(text));
    QCOMPARE(shown.plot(), plot);
    QCOMPARE(shown.calibration().numberOfRows(), 1);
    QCOMPARE(shown.window->windowTitle(), QStringLiteral("plot.png[*] — Plotmeter"));
}

// A 121-megapixel scan, beyond Qt's own default limit, opens fitted to the window and
// takes points at 100 %.
void PictureFilesTest::hugeScanOpensAndCanBeDigitized()
{
    QImage scan(11000, 11000, QImage::Format_Grayscale8);
    scan.fill(255);
    QVERIFY(QImageWriter(path("scan.png"), "png").write(scan));
    scan = QImage();

    ShownWindow shown(path("scan.png"));
    QVERIFY(shown.ready);
    PlotImageWidget* plot = shown.plot();
    const QSize area = shown.ui().plotScrollArea->viewport()->size();
    QVERIFY2(plot->width() <= area.width() && plot->height() <= area.height(), "the whole scan is in sight");
    QVERIFY2(plot->width() == area.width() || plot->height() == area.height(), "and fills the area one way");
    plot->setZoom(1.0);
    QCOMPARE(plot->size(), QSize(11000, 11000));
    QTest::mouseDClick(plot, Qt::LeftButton, {}, QPoint(10500, 11000 - 10700));
    QCOMPARE(shown.calibration().cellAtRow(0, 0).number.value_or(-1.0), 10500.0);
    QCOMPARE(shown.calibration().cellAtRow(0, 1).number.value_or(-1.0), 10700.0);
}

QTEST_MAIN(PictureFilesTest)
// The picture named at start decodes while the window is built: opening it gives that
// picture; opening another one decodes the other.
void PictureFilesTest::pictureDecodedAheadIsTheOneAskedFor()
{
    const QString first = path("ahead.png");
    const QString other = path("other.png");
    QVERIFY(writeFile(first, encoded(testPattern(120, 80), "png")));
    QVERIFY(writeFile(other, encoded(testPattern(60, 40), "png")));
    decodeAhead(first);
    QCOMPARE(loadPlotImage(other).image.size(), QSize(60, 40));
    QCOMPARE(loadPlotImage(first).image.size(), QSize(120, 80));
    decodeAhead(first);
    forgetDecodeAhead();
    QFile::remove(first);
    QVERIFY(loadPlotImage(first).error.contains("does not exist")); // read anew, not kept
}

#include "PictureFilesTest.moc"
