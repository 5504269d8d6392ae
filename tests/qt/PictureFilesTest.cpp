#include "WindowDriver.h"

#include "desktop/ImageLoading.h"
#include "desktop/MainWindow.h"
#include "desktop/PlotImageWidget.h"
#include "desktop/QtPlatform.h"
#include "ui_MainWindow.h"

#include <QImageWriter>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QtTest>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

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

quint32 crc32(const QByteArray& bytes)
{
    quint32 crc = 0xffffffffu;
    for (char byte : bytes) {
        crc ^= static_cast<quint8>(byte);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void appendBigEndian(QByteArray& bytes, quint32 value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.append(static_cast<char>((value >> shift) & 0xff));
}

void appendChunk(QByteArray& png, const char* type, const QByteArray& data)
{
    appendBigEndian(png, static_cast<quint32>(data.size()));
    const QByteArray body = QByteArray(type) + data;
    png.append(body);
    appendBigEndian(png, crc32(body));
}

// A well-formed PNG whose header claims a picture of width x height, with almost no
// picture data behind it.
QByteArray pngHeaderClaiming(quint32 width, quint32 height)
{
    QByteArray header;
    appendBigEndian(header, width);
    appendBigEndian(header, height);
    header.append("\x08\x02\x00\x00\x00", 5);
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", QByteArray("\x78\x9c\x03\x00\x00\x00\x00\x01", 8));
    appendChunk(png, "IEND", {});
    return png;
}

const QString fixtures = QStringLiteral(PLOTMETER_TEST_PICTURES);

// The main window, shown, with a picture opened at launch as from the command line.
struct ShownWindow {
    explicit ShownWindow(const QString& picture) : window(platform)
    {
        window.show();
        exposed = QTest::qWaitForWindowExposed(&window);
        window.launch({picture});
    }
    PlotImageWidget* plot() { return qobject_cast<PlotImageWidget*>(window.ui().plotScrollArea->widget()); }
    PointTable& calibration() { return *window.manager().calMatrix(); }

    QtPlatform platform;
    MainWindow window;
    bool exposed = false;
};

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
    void transparentPartsShowOverWhite();
    void orientationTagTurnsThePictureAndItsClicksUpright();
    void refusedPictureKeepsThePlotAndItsPoints();
    void hugeScanOpensAndCanBeDigitized();

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

    writeBytes(path("empty.png"), {});
    QTest::newRow("empty file") << path("empty.png") << QSize() << "the file is empty";

    writeBytes(path("truncated.png"), png.left(png.size() / 2));
    QTest::newRow("truncated PNG") << path("truncated.png") << QSize() << "damaged or cut short";

    writeBytes(path("truncated.jpg"), jpeg.left(jpeg.size() / 2));
    QTest::newRow("truncated JPEG") << path("truncated.jpg") << QSize() << "damaged or cut short";

    QByteArray noise(4096, '\0');
    QRandomGenerator random(42);
    for (char& byte : noise)
        byte = static_cast<char>(random.bounded(256));
    writeBytes(path("noise.png"), noise);
    QTest::newRow("random bytes named .png") << path("noise.png") << QSize() << "not a picture in a format";

    QDir(folder_->path()).mkdir("results.png");
    QTest::newRow("folder") << path("results.png") << QSize() << "it is a folder";

    QTest::newRow("path that vanished") << path("gone.png") << QSize() << "does not exist";

    writeBytes(path("giant.png"), pngHeaderClaiming(100000, 100000));
    QTest::newRow("header claiming 100,000 x 100,000 pixels")
        << path("giant.png") << QSize() << "100000 × 100000 pixels (10000 megapixels)";

    writeBytes(path("dot.png"), encoded(testPattern(1, 1), "png"));
    QTest::newRow("1 x 1 picture") << path("dot.png") << QSize(1, 1) << "";

    writeBytes(path("deep.png"), encoded(testPattern(30, 20, QImage::Format_RGBA64), "png"));
    QTest::newRow("16-bit PNG") << path("deep.png") << QSize(30, 20) << "";

    writeBytes(path("grey.png"), encoded(testPattern(30, 20, QImage::Format_Grayscale8), "png"));
    QTest::newRow("greyscale PNG") << path("grey.png") << QSize(30, 20) << "";

    QTest::newRow("CMYK JPEG") << fixtures + "/cmyk.jpg" << QSize(64, 48) << "";
    QTest::newRow("two-page TIFF: first page") << fixtures + "/two-pages.tiff" << QSize(64, 48) << "";
    QTest::newRow("two-frame GIF: first frame") << fixtures + "/two-frames.gif" << QSize(64, 48) << "";

    writeBytes(path("Kalibrierung März (Seite 2).png"), png);
    QTest::newRow("non-ASCII name with spaces") << path("Kalibrierung März (Seite 2).png") << QSize(200, 100) << "";
}

void PictureFilesTest::answersEveryKindOfFile()
{
    QFETCH(QString, file);
    QFETCH(QSize, size);
    QFETCH(QString, reason);

    const ImageLoadResult loaded = loadPlotImage(file);
    if (!size.isValid()) {
        QVERIFY2(loaded.image.isNull(), "the file is refused");
        QVERIFY2(!loaded.error.isEmpty(), "with a reason");
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
    writeBytes(file, encoded(testPattern(20, 20), "png"));
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

void PictureFilesTest::transparentPartsShowOverWhite()
{
    QImage clear(40, 30, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    clear.setPixelColor(2, 2, Qt::black);
    writeBytes(path("clear.png"), encoded(clear, "png"));

    ShownWindow shown(path("clear.png"));
    QVERIFY(shown.exposed);
    PlotImageWidget* plot = shown.plot();
    QVERIFY(plot != nullptr);
    const QImage painted = plot->grab().toImage();
    QCOMPARE(painted.pixelColor(20, 15), QColor(Qt::white));
    QCOMPARE(painted.pixelColor(2, 2), QColor(Qt::black));
}

// A camera stores a portrait page as landscape pixels plus a tag; the user sees it upright
// and clicks on what they see.
void PictureFilesTest::orientationTagTurnsThePictureAndItsClicksUpright()
{
    QImageWriter writer(path("phone.jpg"), "jpeg");
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    QVERIFY(writer.write(testPattern(64, 48)));

    ShownWindow shown(path("phone.jpg"));
    QVERIFY(shown.exposed);
    PlotImageWidget* plot = shown.plot();
    QVERIFY(plot != nullptr);
    QCOMPARE(plot->size(), QSize(48, 64));
    QTest::mouseDClick(plot, Qt::LeftButton, {}, QPoint(10, 64 - 20));
    QCOMPARE(shown.calibration().cellAtRow(0, 0).number.value_or(-1.0), 10.0);
    QCOMPARE(shown.calibration().cellAtRow(0, 1).number.value_or(-1.0), 20.0);
}

void PictureFilesTest::refusedPictureKeepsThePlotAndItsPoints()
{
    writeBytes(path("plot.png"), encoded(testPattern(200, 100), "png"));
    writeBytes(path("notes.png"), "shopping list");
    ShownWindow shown(path("plot.png"));
    QVERIFY(shown.exposed);
    PlotImageWidget* plot = shown.plot();
    QTest::mouseDClick(plot, Qt::LeftButton, {}, QPoint(50, 50));

    QString title, text;
    answerNextDialog<QMessageBox>([&](QMessageBox& box) {
        title = box.windowTitle();
        text = box.text();
        box.accept();
    });
    shown.window.manager().openPlotAtPath(QFile::encodeName(path("notes.png")).toStdString());
    QCOMPARE(title, QStringLiteral("Can't Open Image"));
    QVERIFY2(text.contains(path("notes.png")), qPrintable(text));
    QCOMPARE(shown.plot(), plot);
    QCOMPARE(shown.calibration().numberOfRows(), 1);
    QCOMPARE(shown.window.windowTitle(), QStringLiteral("plot.png[*] — Plotmeter"));
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
    QVERIFY(shown.exposed);
    PlotImageWidget* plot = shown.plot();
    QVERIFY(plot != nullptr);
    const QSize area = shown.window.ui().plotScrollArea->viewport()->size();
    QVERIFY2(plot->width() <= area.width() && plot->height() <= area.height(), "the whole scan is in sight");
    QVERIFY(plot->width() == area.width() || plot->height() == area.height());
    plot->setZoom(1.0);
    QCOMPARE(plot->size(), QSize(11000, 11000));
    QTest::mouseDClick(plot, Qt::LeftButton, {}, QPoint(10500, 11000 - 10700));
    QCOMPARE(shown.calibration().cellAtRow(0, 0).number.value_or(-1.0), 10500.0);
    QCOMPARE(shown.calibration().cellAtRow(0, 1).number.value_or(-1.0), 10700.0);
}

QTEST_MAIN(PictureFilesTest)
#include "PictureFilesTest.moc"
