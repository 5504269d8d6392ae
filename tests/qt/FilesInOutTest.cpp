#include "ShownWindow.h"

#include "desktop/tables/DataScrollView.h"
#include "desktop/files/ExportDialog.h"
#include "desktop/files/PdfPages.h"
#include "desktop/picture/PicturePyramid.h"
#include "desktop/tables/PointTableView.h"
#include "ui_MainWindow.h"

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>

// Files in and out of the window: export, the clipboard, dropped files, PDF pages and the
// list of recent files, under the offscreen platform.
class FilesInOutTest : public QObject {
    Q_OBJECT

  private slots:
    void init()
    {
        QSettings().clear();
        shown_ = std::make_unique<ShownWindow>();
        QVERIFY(shown_->ready);
    }
    void cleanup()
    {
        QCOMPARE(shown_->guard.unexpected(), QStringList());
        shown_.reset();
    }

    void exportCopyAndPasteCarryThePoints();
    void exportAndCopyAllRowsFollowTheChosenXValues();
    void droppedFilesOpenAndRecentFilesSurviveARestart();
    void pdfOpensOnTheChosenPageAtTheChosenResolution();
    void brokenPdfIsRefusedWithAReason();

  private:
    QString file(const QString& name) const { return shown_->file(name); }
    QImage picture() const { return shown_->plot()->pyramid()->picture(); }
    Ui::MainWindow& ui() const { return shown_->ui(); }
    PlotmeterManager& manager() const { return shown_->manager(); }
    static QString readText(const QString& path) { return QString::fromUtf8(readFile(path)); }
    // Calibrated with world = (x / 10, y / 100 - 1) and two series of points.
    void calibrateWithTwoSeries();
    // Three A4 pages, each with a black square 72 points (one inch) wide whose top-left
    // corner is at (72 k, 144) points on page k.
    QString writePdf();

    std::unique_ptr<ShownWindow> shown_;
};

void FilesInOutTest::calibrateWithTwoSeries()
{
    PlotmeterManager& manager = shown_->manager();
    const DPoint marks[] = {{0, 0}, {500, 0}, {0, 400}};
    for (int row = 0; row < 3; ++row) {
        manager.newScreenPoint(marks[row]);
        manager.setCalibrationValue(row, 2, QString::number(marks[row].x / 10).toStdString());
        manager.setCalibrationValue(row, 3, QString::number(marks[row].y / 100 - 1).toStdString());
    }
    ui().acquireButton->click();
    manager.renameSeries(0, "Upper, \"fast\"");
    manager.newScreenPoint({12.5, 100.25});
    manager.newScreenPoint({30, 350});
    manager.addSeries();
    manager.newScreenPoint({7, 0.1});
}

// Export writes what the dialog and the file's extension ask for; Ctrl+C copies the
// selected rows at full precision; a pasted picture opens unsaved and goes beside the
// project when it is saved.
void FilesInOutTest::exportCopyAndPasteCarryThePoints()
{
    calibrateWithTwoSeries();
    const QString tsv = file(QStringLiteral("points.tsv"));
    answerNextDialog<ExportDialog>([&](ExportDialog& dialog) {
        dialog.findChild<QComboBox*>(QStringLiteral("exportSeparator"))->setCurrentIndex(1); // tab
        dialog.findChild<QComboBox*>(QStringLiteral("exportDecimal"))->setCurrentIndex(1);   // comma
        chooseInNextFilePanel(tsv);
        dialog.accept();
    });
    ui().actionExportData->trigger();
    // Rows of the name (quoted for its double quotes) and four numbers with decimal commas.
    const QStringList lines = readText(tsv).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[0], QStringLiteral("series\tx\ty\tscreen_x\tscreen_y"));
    const QString quoted = QStringLiteral("\"Upper, \"\"fast\"\"\"");
    const std::vector<std::pair<QString, std::array<double, 4>>> expected = {
        {quoted, {1.25, 0.0025, 12.5, 100.25}},
        {quoted, {3, 2.5, 30, 350}},
        {QStringLiteral("Series 2"), {0.7, -0.999, 7, 0.1}}};
    for (std::size_t row = 0; row < expected.size(); ++row) {
        const QStringList fields = lines[static_cast<int>(row) + 1].split(QLatin1Char('\t'));
        QCOMPARE(fields.size(), 5);
        QCOMPARE(fields[0], expected[row].first);
        for (int k = 0; k < 4; ++k) {
            QVERIFY2(!fields[k + 1].contains(QLatin1Char('.')), qPrintable(fields[k + 1]));
            const double value = QString(fields[k + 1]).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
            QVERIFY2(std::abs(value - expected[row].second[static_cast<std::size_t>(k)]) < 1e-9,
                     qPrintable(fields[k + 1]));
        }
    }

    // The same choices next time; a .csv file then has semicolons, for the decimal comma.
    const QString csv = file(QStringLiteral("points.csv"));
    answerNextDialog<ExportDialog>([&](ExportDialog& dialog) {
        QCOMPARE(dialog.layout().decimalComma, true);
        chooseInNextFilePanel(csv);
        dialog.accept();
    });
    ui().actionExportData->trigger();
    QVERIFY2(readText(csv).startsWith(QStringLiteral("series;x;y;screen_x;screen_y\r\n\"Upper, \"\"fast\"\"\";1,25;")),
             qPrintable(readText(csv)));

    // Copy: the selected row, its numbers as they are, not as the cells round them.
    PointTableView* table = shown_->window->dataView().viewFor(manager().acquireMatrix());
    table->selectRow(0);
    ui().actionCopy->trigger();
    const QStringList copied = QGuiApplication::clipboard()->text().split(QLatin1Char('\n'));
    QCOMPARE(copied.size(), 3);
    QCOMPARE(copied[0], QStringLiteral("Screen X\tScreen Y\tWorld X\tWorld Y"));
    QVERIFY2(copied[1].startsWith(QStringLiteral("7\t0.1\t0.7")), qPrintable(copied[1]));
    manager().setActiveSeries(0);
    ui().actionCopyAllRows->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text().count(QLatin1Char('\n')), 3);

    // Paste a picture: it opens, unsaved; saving the project keeps it beside the project.
    QImage pasted(321, 123, QImage::Format_RGB32);
    pasted.fill(Qt::yellow);
    QGuiApplication::clipboard()->setImage(pasted);
    answerNextMessageBox(QMessageBox::Discard);
    ui().actionPastePicture->trigger();
    QCOMPARE(picture().size(), QSize(321, 123));
    QVERIFY(manager().hasUnsavedChanges());
    const QString project = file(QStringLiteral("pasted.plotmeter"));
    chooseInNextFilePanel(project);
    ui().actionSaveProject->trigger();
    QVERIFY(!manager().hasUnsavedChanges());
    QCOMPARE(QImage(file(QStringLiteral("pasted-picture.png"))).pixelColor(5, 5), QColor(Qt::yellow));
    QVERIFY(readText(project).contains(QStringLiteral("\"picture\": \"pasted-picture.png\"")));
}

// Export Data… at every multiple of a step: the text typed is checked as it is typed, the
// points written lie on the straight line through the clicks, at the steps within each
// series' range; Copy All Rows then copies the active series at the same x values, until
// the dialog is set back to the points as taken.
void FilesInOutTest::exportAndCopyAllRowsFollowTheChosenXValues()
{
    calibrateWithTwoSeries(); // the first series from (1.25, 0.0025) to (3, 2.5), the second one point
    const auto line = [](double x) { return 0.0025 + (x - 1.25) * (2.5 - 0.0025) / (3 - 1.25); };
    const QString csv = file(QStringLiteral("steps.csv"));
    answerNextDialog<ExportDialog>([&](ExportDialog& dialog) {
        dialog.findChild<QComboBox*>(QStringLiteral("exportGrid"))->setCurrentIndex(1); // a step
        auto* text = dialog.findChild<QLineEdit*>(QStringLiteral("exportGridText"));
        QPushButton* exportButton = nullptr;
        for (QPushButton* button : dialog.findChildren<QPushButton*>())
            if (button->text().startsWith(QStringLiteral("Export")))
                exportButton = button;
        QVERIFY(exportButton != nullptr);
        QVERIFY(!exportButton->isEnabled()); // nothing typed yet
        text->setText(QStringLiteral("-0.5"));
        QVERIFY(!exportButton->isEnabled());
        QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("exportGridProblem"))->text(),
                 QStringLiteral("The step needs a number above 0, not \"-0.5\"."));
        text->setText(QStringLiteral("0.5"));
        QVERIFY(exportButton->isEnabled());
        QCOMPARE(dialog.resampling().step, 0.5);
        chooseInNextFilePanel(csv);
        dialog.accept();
    });
    ui().actionExportData->trigger();
    const QStringList lines = readText(csv).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 5);
    for (int row = 1; row < lines.size(); ++row) {
        const QStringList fields = lines[row].split(QLatin1Char(','));
        QCOMPARE(fields.size(), 6); // the name holds a comma
        const double x = fields[2].toDouble();
        QCOMPARE(x, 1.0 + 0.5 * row);
        QVERIFY2(std::abs(fields[3].toDouble() - line(x)) < 1e-12, qPrintable(lines[row]));
        QVERIFY2(std::abs(fields[4].toDouble() - 10 * x) < 1e-9, qPrintable(lines[row])); // screen = 10 x
    }
    QVERIFY(shown_->window->statusBar()->currentMessage().contains(QStringLiteral("at x every 0.5")));

    manager().setActiveSeries(0);
    ui().actionCopyAllRows->trigger();
    QStringList copied = QGuiApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(copied.size(), 5);
    QCOMPARE(copied[0], QStringLiteral("Screen X\tScreen Y\tWorld X\tWorld Y"));
    QVERIFY2(copied[4].startsWith(QStringLiteral("30\t350\t3\t2.5")), qPrintable(copied[4]));
    QVERIFY(shown_->window->statusBar()->currentMessage().startsWith(QStringLiteral("Copied 4 rows, at x every 0.5")));

    answerNextDialog<ExportDialog>([&](ExportDialog& dialog) {
        QCOMPARE(dialog.findChild<QLineEdit*>(QStringLiteral("exportGridText"))->text(), QStringLiteral("0.5"));
        dialog.findChild<QComboBox*>(QStringLiteral("exportGrid"))->setCurrentIndex(0);
        chooseInNextFilePanel(file(QStringLiteral("taken.csv")));
        dialog.accept();
    });
    ui().actionExportData->trigger();
    // As taken: both series' three points.
    QCOMPARE(readText(file(QStringLiteral("taken.csv"))).count(QStringLiteral("\r\n")), 4);
    ui().actionCopyAllRows->trigger();
    copied = QGuiApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(copied.size(), 3);
}

// A file dropped on the window opens as if chosen; the files opened are listed in File ▸
// Open Recent, newest first, after a restart too; one that has gone is taken off the list.
void FilesInOutTest::droppedFilesOpenAndRecentFilesSurviveARestart()
{
    const QString second = makePicture(shown_->folder, QStringLiteral("second.png"), 300, 200);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(second)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(shown_->window.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(shown_->window.get(), &drop);
    QCOMPARE(picture().size(), QSize(300, 200));

    const QString gone = makePicture(shown_->folder, QStringLiteral("gone.png"), 40, 30);
    QVERIFY(shown_->open(gone));
    QVERIFY(QFile::remove(gone));

    shown_->restart(file(QStringLiteral("plot.png")));
    emit ui().openRecentMenu->aboutToShow(); // as when the user opens it
    QStringList names;
    for (QAction* action : ui().openRecentMenu->actions())
        names << action->text();
    QCOMPARE(names.mid(0, 3), (QStringList{"&1 plot.png", "&2 gone.png", "&3 second.png"}));

    QString message;
    answerNextMessageBox(QMessageBox::Ok, &message);
    ui().openRecentMenu->actions().at(1)->trigger();
    QVERIFY2(message.contains(QStringLiteral("gone.png")) && message.contains(QStringLiteral("no longer there")),
             qPrintable(message));
    emit ui().openRecentMenu->aboutToShow();
    QCOMPARE(ui().openRecentMenu->actions().at(1)->text(), QStringLiteral("&2 second.png"));
    ui().openRecentMenu->actions().at(1)->trigger();
    QCOMPARE(picture().size(), QSize(300, 200));
}

QString FilesInOutTest::writePdf()
{
    const QString path = file(QStringLiteral("paper.pdf"));
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(72); // painter units are points
    QPainter painter(&writer);
    for (int page = 1; page <= 3; ++page) {
        if (page > 1)
            writer.newPage();
        painter.fillRect(QRectF(72.0 * page, 144.0, 72.0, 72.0), Qt::black);
    }
    painter.end();
    return path;
}

// A PDF of several pages asks which page and at what resolution; the picture is that page
// at that resolution, so its pixels scale with the dpi; a project keeps both and opens
// the same page again without asking.
void FilesInOutTest::pdfOpensOnTheChosenPageAtTheChosenResolution()
{
    const QString pdf = writePdf();
    // The centre of the black square, in the data file's picture coordinates.
    const auto squareCentre = [this] {
        const QImage page = picture();
        double sx = 0, sy = 0, n = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (qGray(page.pixel(x, y)) < 128) {
                    sx += x;
                    sy += y;
                    ++n;
                }
        return QPointF(sx / n, page.height() - sy / n);
    };
    QSize at300;
    for (const int dpi : {150, 300}) {
        int pages = 0;
        answerNextDialog<PdfPageChooser>([&](PdfPageChooser& chooser) {
            pages = chooser.findChild<QListWidget*>(QStringLiteral("pdfPages"))->count();
            chooser.choose({2, static_cast<double>(dpi)});
            chooser.accept();
        });
        QVERIFY(shown_->open(pdf));
        QCOMPARE(pages, 3);
        const double scale = dpi / 72.0;
        const QSize size = picture().size();
        QVERIFY(std::abs(size.width() - 595 * scale) <= 1.5 && std::abs(size.height() - 842 * scale) <= 1.5);
        // Page 2's square spans 144..216 points across, 144..216 down.
        const QPointF centre = squareCentre();
        const QString where = QStringLiteral("%1 dpi: (%2, %3)").arg(dpi).arg(centre.x()).arg(centre.y());
        QVERIFY2(std::abs(centre.x() - 180 * scale + 0.5) < 0.6, qPrintable(where));
        QVERIFY2(std::abs(centre.y() - (size.height() - 180 * scale)) < 1.0, qPrintable(where));
        QCOMPARE(manager().document().pdfPage(), std::optional(PdfPage{2, static_cast<double>(dpi)}));
        at300 = size;
    }

    const QString project = file(QStringLiteral("paper.plotmeter"));
    manager().newScreenPoint({10, 20});
    chooseInNextFilePanel(project);
    ui().actionSaveProject->trigger();
    QVERIFY(readText(project).contains(QStringLiteral("\"page\": 2, \"dpi\": 300")));
    QVERIFY(shown_->open(file(QStringLiteral("plot.png"))));
    QVERIFY(shown_->open(project)); // no chooser: the guard would say
    QCOMPARE(manager().document().pdfPage(), std::optional(PdfPage{2, 300}));
    QCOMPARE(picture().size(), at300);
}

// Hostile PDF documents get a reason and leave the plot on show as it was; a project that
// asks for a page the document lacks opens its points and says so.
void FilesInOutTest::brokenPdfIsRefusedWithAReason()
{
    const QByteArray whole = readFile(writePdf());
    const std::pair<const char*, QByteArray> cases[] = {
        {"cut.pdf", whole.left(whole.size() / 3)},
        {"noise.pdf", QByteArray("%PDF-1.7\n") + QByteArray(4000, '\x9c')},
        {"header-only.pdf", QByteArray("%PDF-")},
    };
    for (const auto& [name, bytes] : cases) {
        const QString path = file(QString::fromLatin1(name));
        QVERIFY(writeFile(path, bytes));
        QString text;
        answerNextMessageBox(QMessageBox::Ok, &text);
        QVERIFY(!shown_->open(path));
        QVERIFY2(text.contains(path) && text.contains(QStringLiteral("damaged or cut short")), qPrintable(text));
        QCOMPARE(picture().size(), QSize(800, 600));
    }

    const QString project = file(QStringLiteral("page9.plotmeter"));
    QVERIFY(writeFile(project, R"({"plotmeter": 1, "picture": "paper.pdf", "page": 9, "dpi": 72,
                 "calibration": [{"screen": [1, 2], "world": [3, 4]}], "series": []})"));
    QString text;
    answerNextMessageBox(QMessageBox::No, &text);
    QVERIFY(shown_->open(project));
    QVERIFY2(text.contains(QStringLiteral("has 3 pages, and no page 9")), qPrintable(text));
    QCOMPARE(manager().calMatrix()->numberOfRows(), 1);
}

QTEST_MAIN(FilesInOutTest)
#include "FilesInOutTest.moc"
