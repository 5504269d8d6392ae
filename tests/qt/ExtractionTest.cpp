#include "ShownWindow.h"

#include "cli/Command.h"
#include "desktop/panels/ExtractionPanel.h"
#include "desktop/panels/FindAxesControl.h"
#include "desktop/window/MainWindow.h"
#include "desktop/picture/PicturePixels.h"
#include "desktop/picture/PlotImageWidget.h"
#include "desktop/window/QtPlatform.h"
#include "document/ProjectFile.h"
#include "ui_MainWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <sstream>

// Automatic extraction and snapping in the assembled window, and `plotmeter extract` on
// real picture files, under the offscreen platform. The plot is drawn here, so where its
// curve runs is known.
class ExtractionTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void panelExtractsIntoOneStepToUndo();
    void panelExtractsBarsFromTheBaselineGiven();
    void shiftDoubleClickSnapsToCurvesAndCrossings();
    void extractCommandReadsEveryPictureFormat();
    void extractCommandReadsTheProjectsPdfPage();
    void findAxesProposesTheCalibrationAsOneStep();

  private:
    // The curve's middle: picture row (from the top, pixel centres whole) at column x.
    static double curveRow(double x) { return 300.0 + 120.0 * std::sin(x / 90.0); }
    // How far a point in picture coordinates is from the curve's middle, in pixels.
    static double offCurve(DPoint p)
    {
        double nearest = 1e9;
        for (double x = p.x - 4.0; x <= p.x + 4.0; x += 0.01)
            nearest = std::min(nearest, std::hypot(x - p.x, curveRow(x) - (height - p.y)));
        return nearest;
    }
    // A white 800 x 600 plot: light grey gridlines every 100 pixels, the red curve 2 px
    // wide, anti-aliased, and a blue straight line across it.
    static QImage plot(QImage::Format format = QImage::Format_RGB32);
    PlotImageWidget* widget() const { return shown_->plot(); }
    // World values are the picture coordinates: x the column, y the height minus the row.
    void calibrate(bool thenAcquire);
    QString save(const QImage& image, const QString& name);
    // Writes a project calibrated so that world values are picture coordinates.
    QString saveProject(Document& document, const QString& name);
    // `plotmeter extract` with these arguments after "extract": exit status, and what it
    // wrote to standard error.
    static std::pair<int, std::string> extract(const std::vector<QString>& arguments);
    // The CSV `plotmeter extract` wrote, checked for its header and colour: its points.
    static std::vector<DPoint> readPoints(const QString& path);

    static constexpr int height = 600;
    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<ShownWindow> shown_;
    MainWindow* window_ = nullptr;
};

QImage ExtractionTest::plot(QImage::Format format)
{
    QImage image(800, height, format);
    image.fill(format == QImage::Format_ARGB32 ? Qt::transparent : Qt::white);
    QPainter painter(&image);
    for (int at = 100; at < 800; at += 100) {
        painter.fillRect(at, 0, 1, height, QColor(0xcc, 0xcc, 0xcc));
        if (at < height)
            painter.fillRect(0, at, 800, 1, QColor(0xcc, 0xcc, 0xcc));
    }
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath curve;
    // Qt puts pixel centres at half-integers.
    curve.moveTo(0.5, curveRow(0.0) + 0.5);
    for (double x = 0.25; x < 800.0; x += 0.25)
        curve.lineTo(x + 0.5, curveRow(x) + 0.5);
    painter.setPen(QPen(QColor(0xd6, 0x27, 0x28), 2.0));
    painter.drawPath(curve);
    painter.setPen(QPen(QColor(0x1f, 0x77, 0xb4), 2.0));
    painter.drawLine(QPointF(0.5, 560.5), QPointF(799.5, 60.5));
    return image;
}

void ExtractionTest::init()
{
    QSettings().remove(QStringLiteral("extraction")); // the step and tolerance of the last run
    folder_ = std::make_unique<QTemporaryDir>();
    shown_ = std::make_unique<ShownWindow>(save(plot(), QStringLiteral("plot.png")));
    window_ = shown_->window.get();
    QVERIFY(shown_->ready);
    widget()->setZoom(1.0);
}

void ExtractionTest::cleanup()
{
    QCOMPARE(shown_->guard.unexpected(), QStringList());
    shown_.reset();
    folder_.reset();
}

QString ExtractionTest::save(const QImage& image, const QString& name)
{
    const QString path = folder_->filePath(name);
    if (!image.save(path))
        qFatal("cannot save %s", qPrintable(path));
    return path;
}

void ExtractionTest::calibrate(bool thenAcquire)
{
    PlotmeterManager& manager = window_->manager();
    const DPoint marks[] = {{20, 20}, {780, 20}, {20, 580}};
    for (int row = 0; row < 3; ++row) {
        manager.newScreenPoint(marks[row]);
        manager.setCalibrationValue(row, 2, QString::number(marks[row].x).toStdString());
        manager.setCalibrationValue(row, 3, QString::number(marks[row].y).toStdString());
    }
    if (thenAcquire) {
        window_->ui().acquireButton->click();
        QCOMPARE(manager.mode(), PlotmeterManager::acquireMode);
    }
}

// Pick the colour on the picture, see it matched, extract into a new series as one step
// to undo; a colour that is not there, a Cancel, and a box drawn each add nothing more
// than they should.
void ExtractionTest::panelExtractsIntoOneStepToUndo()
{
    ExtractionPanel& panel = window_->extraction();
    PlotmeterManager& manager = window_->manager();
    // Before calibrating: acquisition is tried, refused with its alert, and the panel says why.
    panel.setColour({0xd6, 0x27, 0x28});
    QString refused;
    answerNextDialog<QMessageBox>([&refused](QMessageBox& box) {
        refused = box.windowTitle();
        box.accept();
    });
    QVERIFY(!panel.extract());
    QCOMPARE(refused, QStringLiteral("Insufficient Data"));
    QVERIFY2(panel.message().startsWith(QStringLiteral("Calibrate first")), qPrintable(panel.message()));
    QVERIFY(manager.document().active().points.empty());

    calibrate(false);
    window_->findChild<QMenu*>(QStringLiteral("toolsMenu"))->actions().first()->trigger();
    QVERIFY(panel.isVisible());
    panel.findChild<QToolButton*>(QStringLiteral("eyedropper"))->click();
    QVERIFY(widget()->cursor().shape() == Qt::PointingHandCursor);
    QVERIFY2(panel.message().contains(QStringLiteral("Click the curve or a marker")), qPrintable(panel.message()));
    // The curve's middle at column 400, clicked where it runs.
    const QPoint onCurve(400, static_cast<int>(std::lround(curveRow(400.0))));
    QTest::mouseClick(widget(), Qt::LeftButton, {}, onCurve);
    QVERIFY(panel.colour().has_value());
    QVERIFY2(colourDifference(*panel.colour(), {0xd6, 0x27, 0x28}) < 25.0, rgbText(*panel.colour()).c_str());
    QTRY_VERIFY(panel.overlay().shown());
    QVERIFY(panel.overlay().matchingCells() > 1000);

    // Extract asks for acquisition itself, and runs while the window waits: a double-click
    // meanwhile changes nothing under it.
    panel.findChild<QComboBox*>(QStringLiteral("extractionInto"))->setCurrentIndex(1);
    QSignalSpy ended(&panel, &ExtractionPanel::extractionEnded);
    panel.findChild<QPushButton*>(QStringLiteral("extractButton"))->click();
    QVERIFY(panel.running());
    QCOMPARE(manager.mode(), PlotmeterManager::acquireMode);
    QTest::mouseDClick(widget(), Qt::LeftButton, {}, QPoint(500, 100));
    QVERIFY(manager.document().active().points.empty());
    QVERIFY(ended.wait());
    QCOMPARE(ended.takeFirst().at(0).toBool(), true);
    QCOMPARE(manager.document().series().size(), std::size_t{2});
    const Series& found = manager.document().active();
    QCOMPARE(found.look.name, rgbText(*panel.colour()));
    // Inside the calibration points: columns 20 to 780, one point each, on the curve.
    QVERIFY2(found.points.size() >= 740 && found.points.size() <= 761, qPrintable(panel.message()));
    double worst = 0.0;
    for (std::size_t i = 0; i < found.points.size(); ++i) {
        const DPoint p = found.points[i];
        worst = std::max(worst, offCurve(p));
        if (i > 0)
            QVERIFY(p.x > found.points[i - 1].x);
    }
    QVERIFY2(worst < 1.0, qPrintable(QString::number(worst)));
    QCOMPARE(manager.history().undoName(), std::string("Extract Points"));
    QVERIFY2(panel.message().startsWith(QStringLiteral("Added")), qPrintable(panel.message()));
    // The data plot draws them in world units, and follows the Undo.
    window_->dataPlotDock().show();
    window_->dataPlotDock().raise();
    const auto plotted = [this] {
        window_->dataPlot().grab();
        return window_->dataPlot().shownPoints();
    };
    QCOMPARE(plotted(), found.points.size());
    window_->ui().actionUndo->trigger();
    QCOMPARE(manager.document().series().size(), std::size_t{1});
    QVERIFY(manager.document().series()[0].points.empty());
    QVERIFY2(panel.message().isEmpty(), qPrintable("after Undo: " + panel.message()));
    QCOMPARE(plotted(), std::size_t{0});

    // A colour nowhere on the picture: a message, nothing added.
    panel.setColour({0x00, 0xff, 0x00});
    panel.findChild<QComboBox*>(QStringLiteral("extractionInto"))->setCurrentIndex(0);
    QVERIFY(!panel.extract());
    QVERIFY2(panel.message().startsWith(QStringLiteral("Found no line of colour #00ff00")), qPrintable(panel.message()));
    QCOMPARE(manager.history().redoName(), std::string("Extract Points"));

    // Cancel pressed while it runs: nothing added.
    panel.setColour({0xd6, 0x27, 0x28});
    ended.clear();
    QVERIFY(panel.start());
    auto* progress = window_->findChild<QProgressDialog*>(QStringLiteral("extractionProgress"));
    QVERIFY(progress != nullptr);
    progress->cancel();
    QVERIFY(ended.wait());
    QCOMPARE(ended.takeFirst().at(0).toBool(), false);
    QVERIFY2(panel.message().startsWith(QStringLiteral("Cancelled")), qPrintable(panel.message()));
    QVERIFY(manager.document().active().points.empty());

    // A box drawn from column 100 to 300: only points in it, into the active series.
    panel.findChild<QToolButton*>(QStringLiteral("drawBox"))->click();
    QTest::mousePress(widget(), Qt::LeftButton, {}, QPoint(100, 50));
    QTest::mouseMove(widget(), QPoint(200, 300));
    QTest::mouseRelease(widget(), Qt::LeftButton, {}, QPoint(300, 550));
    QCOMPARE(panel.findChild<QComboBox*>(QStringLiteral("extractionRegion"))->currentIndex(), 1);
    QVERIFY(panel.extract());
    const std::vector<DPoint>& boxed = manager.document().active().points;
    QVERIFY(boxed.size() >= 195 && boxed.size() <= 201);
    QVERIFY(boxed.front().x >= 100.0 && boxed.back().x <= 300.0);

    // A step of 50 in x units (here one unit a pixel): a point every 50 pixels.
    window_->ui().actionUndo->trigger();
    panel.findChild<QDoubleSpinBox*>(QStringLiteral("extractionStep"))->setValue(50.0);
    panel.findChild<QComboBox*>(QStringLiteral("extractionStepUnit"))->setCurrentIndex(1);
    QVERIFY(panel.extract());
    const std::vector<DPoint>& coarse = manager.document().active().points;
    QVERIFY2(coarse.size() >= 4 && coarse.size() <= 5, qPrintable(QString::number(coarse.size())));
    QVERIFY(std::abs(coarse[1].x - coarse[0].x - 50.0) < 1.0);
}

// Bars up and down from a baseline typed in the panel: one point a bar, at the middle of
// its end; a baseline that is no number is named, and nothing added.
void ExtractionTest::panelExtractsBarsFromTheBaselineGiven()
{
    // Five blue bars, 40 pixels wide, from row 400 (world y 200) to these rows.
    const int ends[] = {150, 330, 470, 250, 520};
    QImage bars(800, height, QImage::Format_RGB32);
    bars.fill(Qt::white);
    QPainter painter(&bars);
    painter.fillRect(0, 400, 800, 1, Qt::black);
    for (int i = 0; i < 5; ++i)
        painter.fillRect(QRect(QPoint(100 + 130 * i, std::min(400, ends[i])), QPoint(139 + 130 * i, std::max(400, ends[i]))),
                         QColor(0x1f, 0x77, 0xb4));
    painter.end();
    shown_->restart(save(bars, QStringLiteral("bars.png")));
    window_ = shown_->window.get();
    QVERIFY(shown_->ready);
    calibrate(true);
    ExtractionPanel& panel = window_->extraction();
    window_->findChild<QMenu*>(QStringLiteral("toolsMenu"))->actions().first()->trigger();
    panel.setColour({0x1f, 0x77, 0xb4});
    panel.findChild<QComboBox*>(QStringLiteral("extractionMode"))->setCurrentIndex(2);
    panel.findChild<QCheckBox*>(QStringLiteral("automaticBaseline"))->setChecked(false);
    auto* baseline = panel.findChild<QLineEdit*>(QStringLiteral("baseline"));
    QVERIFY(baseline->isVisibleTo(&panel) && baseline->isEnabled());

    baseline->setText(QStringLiteral("ground"));
    QVERIFY(!panel.extract());
    QVERIFY2(panel.message().contains(QStringLiteral("baseline must be a number")), qPrintable(panel.message()));
    QVERIFY(window_->manager().document().active().points.empty());

    baseline->setText(QStringLiteral("200"));
    QVERIFY2(panel.extract(), qPrintable(panel.message()));
    const std::vector<DPoint>& found = window_->manager().document().active().points;
    QCOMPARE(found.size(), std::size_t{5});
    for (std::size_t i = 0; i < 5; ++i) {
        // The bar's middle, and its end: the edge of the last row it fills.
        const double end = ends[i] < 400 ? ends[i] - 0.5 : ends[i] + 0.5;
        QVERIFY2(std::abs(found[i].x - (119.5 + 130.0 * static_cast<double>(i))) < 0.5, qPrintable(QString::number(found[i].x)));
        QVERIFY2(std::abs(found[i].y - (height - end)) < 0.5, qPrintable(QString::number(found[i].y)));
    }
    QCOMPARE(window_->manager().history().undoName(), std::string("Extract Points"));
}

// Shift held or the toggle on: a double-click a few pixels off the curve lands on its
// middle; while calibrating, one near a gridline crossing lands on the crossing.
void ExtractionTest::shiftDoubleClickSnapsToCurvesAndCrossings()
{
    PlotmeterManager& manager = window_->manager();
    QTest::mouseDClick(widget(), Qt::LeftButton, Qt::ShiftModifier, QPoint(202, 97));
    QCOMPARE(manager.document().calibration().size(), std::size_t{1});
    const DPoint crossing = manager.document().calibration()[0].screen;
    QVERIFY2(std::abs(crossing.x - 200.0) < 0.1 && std::abs(crossing.y - (height - 100.0)) < 0.1,
             qPrintable(QStringLiteral("%1, %2").arg(crossing.x).arg(crossing.y)));
    window_->ui().actionUndo->trigger();
    calibrate(true);

    const double row = curveRow(250.0);
    QTest::mouseDClick(widget(), Qt::LeftButton, {}, QPoint(250, static_cast<int>(std::lround(row)) - 3));
    window_->snapClicks().setChecked(true);
    QTest::mouseDClick(widget(), Qt::LeftButton, {}, QPoint(250, static_cast<int>(std::lround(row)) - 3));
    const std::vector<DPoint>& points = manager.document().active().points;
    QCOMPARE(points.size(), std::size_t{2});
    QVERIFY(offCurve(points[0]) > 1.5); // not snapped
    QVERIFY2(offCurve(points[1]) < 0.2, qPrintable(QString::number(offCurve(points[1]))));
}

QString ExtractionTest::saveProject(Document& document, const QString& name)
{
    const DPoint marks[] = {{20, 20}, {780, 20}, {20, 580}};
    for (std::size_t i = 0; i < 3; ++i)
        document.apply(change::InsertCalibration{i, {marks[i], marks[i].x, marks[i].y}});
    const QString project = folder_->filePath(name);
    std::string error;
    if (!writeProjectFile(document, QFile::encodeName(project).toStdString(), error))
        qFatal("%s", error.c_str());
    return project;
}

std::pair<int, std::string> ExtractionTest::extract(const std::vector<QString>& arguments)
{
    std::vector<std::string> words = {"plotmeter", "extract"};
    for (const QString& argument : arguments)
        words.push_back(QFile::encodeName(argument).toStdString());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    std::ostringstream said, complaint;
    const int status = runCommand(static_cast<int>(argv.size()), argv.data(), said, complaint, decodePicture);
    return {status, complaint.str()};
}

std::vector<DPoint> ExtractionTest::readPoints(const QString& path)
{
    QFile written(path);
    if (!written.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> lines = written.readAll().split('\n');
    if (lines.first() != QByteArray("series,x,y,screen_x,screen_y\r"))
        return {};
    std::vector<DPoint> points;
    for (const QByteArray& line : lines.mid(1, lines.size() - 2)) {
        const QList<QByteArray> fields = line.trimmed().split(',');
        if (fields.size() != 5 || fields[0] != QByteArray("#d62728"))
            return {};
        points.push_back({fields[1].toDouble(), fields[2].toDouble()});
    }
    return points;
}

// The command line decodes with the window's code: PNG (with transparency), JPEG, TIFF
// and a PDF page give the curve, in world values.
void ExtractionTest::extractCommandReadsEveryPictureFormat()
{
    Document document;
    const QString project = saveProject(document, QStringLiteral("plot.plotmeter"));
    const QString pdf = folder_->filePath(QStringLiteral("plot.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(QSizeF(800 * 72.0 / 300.0, height * 72.0 / 300.0), QPageSize::Point));
        writer.setPageMargins({});
        writer.setResolution(300); // painter units are pixels of the page at 300 dpi
        QPainter painter(&writer);
        painter.drawImage(0, 0, plot());
    }
    const QString pictures[] = {save(plot(QImage::Format_ARGB32), QStringLiteral("clear.png")),
                                save(plot(), QStringLiteral("plot.jpg")), save(plot(), QStringLiteral("plot.tiff")),
                                pdf};
    for (const QString& picture : pictures) {
        const QString out = folder_->filePath(QStringLiteral("found.csv"));
        QFile::remove(out);
        const auto [status, complaint] = extract({project, "--colour", "#d62728", "--picture", picture, "-o", out});
        QVERIFY2(status == 0, complaint.c_str());
        const std::vector<DPoint> points = readPoints(out);
        double worst = 0.0;
        for (const DPoint point : points)
            worst = std::max(worst, offCurve(point));
        const QString figures = QStringLiteral("%1: %2 rows, worst %3 px").arg(picture).arg(points.size()).arg(worst);
        QVERIFY2(points.size() >= 740 && points.size() <= 761 && worst <= 1.0, qPrintable(figures));
    }
}

// A project calibrated on page 2 of a PDF at 150 dpi reads that page at that resolution,
// also when the PDF is given again with --picture; --page and --dpi choose others, and a
// page the document lacks is refused.
void ExtractionTest::extractCommandReadsTheProjectsPdfPage()
{
    const QString pdf = folder_->filePath(QStringLiteral("pages.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(QSizeF(800 * 72.0 / 150.0, height * 72.0 / 150.0), QPageSize::Point));
        writer.setPageMargins({});
        writer.setResolution(150);
        QPainter painter(&writer);
        painter.fillRect(0, 0, 800, height, Qt::white); // page 1: nothing of the curve
        writer.newPage();
        painter.drawImage(0, 0, plot());
    }
    Document onPage;
    onPage.setPicture(QFile::encodeName(pdf).toStdString());
    onPage.setPdfPage(PdfPage{2, 150.0});
    const QString project = saveProject(onPage, QStringLiteral("page2.plotmeter"));
    Document onPng;
    onPng.setPicture(QFile::encodeName(save(plot(), QStringLiteral("plot.png"))).toStdString());
    const QString pngProject = saveProject(onPng, QStringLiteral("png.plotmeter"));

    const QString out = folder_->filePath(QStringLiteral("found.csv"));
    const struct {
        std::vector<QString> arguments;
        const char* refusal; // part of the one line on stderr, or null when it succeeds
    } cases[] = {
        {{project}, nullptr},
        {{project, "--picture", pdf}, nullptr},
        {{pngProject, "--picture", pdf, "--page", "2", "--dpi", "150"}, nullptr},
        {{project, "--picture", pdf, "--page", "3"}, "has 2 pages, and no page 3"},
        {{project, "--page", "0"}, "--page needs a page number from 1"},
        {{project, "--dpi", "5"}, "--dpi needs a resolution from 10 to 2400"},
        {{pngProject, "--page", "2"}, "--page is for PDF documents"},
    };
    std::vector<DPoint> first;
    for (const auto& c : cases) {
        QFile::remove(out);
        std::vector<QString> arguments = c.arguments;
        arguments.insert(arguments.end(), {"--colour", "#d62728", "-o", out});
        const auto [status, complaint] = extract(arguments);
        const QString described = QStringList(c.arguments.begin(), c.arguments.end()).join(' ');
        if (c.refusal) {
            QVERIFY2(status == 1 && complaint.find(c.refusal) != std::string::npos, qPrintable(described));
            QVERIFY2(std::count(complaint.begin(), complaint.end(), '\n') == 1, complaint.c_str());
            QVERIFY(!QFile::exists(out));
            continue;
        }
        QVERIFY2(status == 0, qPrintable(described + ": " + QString::fromStdString(complaint)));
        const std::vector<DPoint> points = readPoints(out);
        QVERIFY2(points.size() >= 740, qPrintable(described));
        if (first.empty())
            first = points;
        QCOMPARE(points.size(), first.size());
        for (std::size_t i = 0; i < points.size(); ++i)
            QVERIFY2(std::abs(points[i].x - first[i].x) < 1e-9 && std::abs(points[i].y - first[i].y) < 1e-9,
                     qPrintable(described));
        QVERIFY(offCurve(points[points.size() / 2]) < 1.0);
    }
}

// A plot drawn here with its axes' labels in a common font: Mode > Find Axes reads them
// and puts four calibration points in place as one step to undo, with the grid to check
// them; on a picture with no axes it proposes nothing and says so.
void ExtractionTest::findAxesProposesTheCalibrationAsOneStep()
{
    QImage image(900, 650, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(18);
        painter.setFont(font);
        painter.setPen(QPen(Qt::black, 2));
        const QRect frame(120, 40, 700, 500); // x 0..10 over 700 px, y 0..50 over 500 px
        painter.drawRect(frame);
        for (int k = 0; k <= 5; ++k) {
            const int x = frame.left() + k * 140;
            painter.drawLine(x, frame.bottom(), x, frame.bottom() + 8);
            painter.drawText(QRect(x - 40, frame.bottom() + 12, 80, 24), Qt::AlignCenter, QString::number(2 * k));
            const int y = frame.bottom() - k * 100;
            painter.drawLine(frame.left() - 8, y, frame.left(), y);
            painter.drawText(QRect(frame.left() - 70, y - 12, 56, 24), Qt::AlignRight | Qt::AlignVCenter,
                             QString::number(10 * k));
        }
    }
    QVERIFY(shown_->open(save(image, QStringLiteral("axes.png"))));
    PlotmeterManager& manager = window_->manager();
    auto* note = window_->findChild<QLabel*>(QStringLiteral("findAxesNote"));
    QSignalSpy ended(&window_->findAxes(), &FindAxesControl::ended);
    QTest::keyClick(window_, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(ended.wait(60'000));
    QVERIFY2(ended.takeFirst().at(0).toBool(), qPrintable(note->text()));
    QCOMPARE(manager.document().calibration().size(), std::size_t{4});
    QCOMPARE(manager.history().undoName(), std::string("Find Axes"));
    QVERIFY(window_->ui().actionShowCalibrationGrid->isChecked());
    QVERIFY2(note->isVisible() && note->text().startsWith(QStringLiteral("x axis: linear")), qPrintable(note->text()));
    // Each proposed point is where the drawing puts its values: a 2 px line drawn at x
    // covers the columns x - 1 and x, so its middle is at x - 0.5 (pixel centres whole).
    for (const CalibrationPoint& point : manager.document().calibration()) {
        const double column = 119.5 + 70 * *point.worldX, row = 538.5 - 10 * *point.worldY;
        QVERIFY2(std::hypot(point.screen.x - column, point.screen.y - (650 - row)) < 0.5,
                 qPrintable(QStringLiteral("(%1, %2) at (%3, %4)")
                                .arg(*point.worldX).arg(*point.worldY).arg(point.screen.x).arg(point.screen.y)));
    }
    window_->ui().actionUndo->trigger();
    QVERIFY(manager.document().calibration().empty());

    // A picture without axes: nothing proposed, and the note says why.
    QVERIFY(shown_->open(save(plot(), QStringLiteral("plain.png"))));
    window_->findAxes().start();
    QVERIFY(ended.wait(60'000));
    QVERIFY(!ended.takeFirst().at(0).toBool());
    QVERIFY(manager.document().calibration().empty());
    QVERIFY2(note->text().contains(QStringLiteral("Calibrate by hand")), qPrintable(note->text()));
}

QTEST_MAIN(ExtractionTest)
#include "ExtractionTest.moc"
