#include "ShownWindow.h"

#include "desktop/panels/ExtractionPanel.h"
#include "desktop/panels/MeasurePanel.h"
#include "desktop/tables/DataScrollView.h"
#include "desktop/tables/PointTableView.h"
#include "desktop/panels/SeriesPanel.h"
#include "desktop/tables/WorldValueDelegate.h"
#include "ui_MainWindow.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QToolTip>

// The assembled window, driven under the offscreen platform as a user would drive it.
class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { QVERIFY((shown_ = std::make_unique<ShownWindow>(QSize(640, 480)))->ready); }
    void cleanup()
    {
        QCOMPARE(shown_->guard.unexpected(), QStringList());
        shown_.reset();
    }

    void clicksBecomeTableRowsInPictureUnits();
    void typedWorldValuesDriveTheFitAndTheDataFile();
    void worldCellRefusesWhatIsNotANumber_data();
    void worldCellRefusesWhatIsNotANumber();
    void acquiringUncalibratedIsRefused_data();
    void acquiringUncalibratedIsRefused();
    void undoRedoSeriesAndMarksFromTheWindow();
    void calibrationGridFollowsTheCalibrationInEitherMode();
    void longValuesWidenTheirColumns();
    void polarAxesFromTheAxesPanel();
    void measuringWithAScaleBar();
    void unsavedPointsAreAskedAboutFirst();

  private:
    Ui::MainWindow& ui() const { return shown_->ui(); }
    PointTable& calibration() const { return shown_->calibration(); }
    PointTable& data() const { return shown_->data(); }
    QLineEdit* openEditor() const;
    // (x, y) in picture units: from the lower-left corner, y upward.
    void doubleClickAt(double x, double y)
    {
        QTest::mouseDClick(shown_->plot(), Qt::LeftButton, {}, QPoint(qRound(x), 480 - qRound(y)));
    }
    QColor colourAt(int x, int y) const { return shown_->plot()->grab().toImage().pixelColor(x, 480 - y); }
    // The pixels of the plot area in the grid's teal, over the white picture.
    int gridPixels() const;
    void typeWorldValues(const QString& x, const QString& y);
    // Picture (100, 100), (300, 100), (100, 400) stand for world (0, 0), (10, 0), (0, 60);
    // then one point at (200, 250), world (5, 30).
    void calibrateAndAcquireOnePoint();

    std::unique_ptr<ShownWindow> shown_;
};

// A closed editor lingers, hidden, until the event loop deletes it.
QLineEdit* MainWindowTest::openEditor() const
{
    for (QLineEdit* editor : shown_->window->findChildren<QLineEdit*>(QStringLiteral("worldValueEditor")))
        if (editor->isVisible())
            return editor;
    return nullptr;
}

void MainWindowTest::typeWorldValues(const QString& x, const QString& y)
{
    QLineEdit* editor = openEditor();
    QVERIFY2(editor != nullptr, "the world x cell of the new row opens for typing");
    QTest::keyClicks(editor, x);
    QTest::keyClick(editor, Qt::Key_Tab);
    editor = openEditor();
    QVERIFY2(editor != nullptr, "Tab moves on to world y");
    QTest::keyClicks(editor, y);
    QTest::keyClick(editor, Qt::Key_Return);
    // The view commits the typed value once the key press is through.
    QCoreApplication::processEvents();
}

void MainWindowTest::calibrateAndAcquireOnePoint()
{
    doubleClickAt(100, 100);
    typeWorldValues(QStringLiteral("0"), QStringLiteral("0"));
    doubleClickAt(300, 100);
    typeWorldValues(QStringLiteral("10"), QStringLiteral("0"));
    doubleClickAt(100, 400);
    typeWorldValues(QStringLiteral("0"), QStringLiteral("6e1"));
    ui().acquireButton->click();
    doubleClickAt(200, 250);
}

// A single click makes no point, a double click one, and a third press at once no second.
void MainWindowTest::clicksBecomeTableRowsInPictureUnits()
{
    QCOMPARE(shown_->plot()->size(), QSize(640, 480));
    QVERIFY(shown_->plot()->cursor().shape() == Qt::BitmapCursor);
    QTest::mouseClick(shown_->plot(), Qt::LeftButton, {}, QPoint(50, 50));
    QCOMPARE(calibration().numberOfRows(), 0);

    const QPointF at(10, 480 - 20);
    const QPointF global = shown_->plot()->mapToGlobal(at);
    const QEvent::Type types[] = {QEvent::MouseButtonPress,   QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                                  QEvent::MouseButtonRelease, QEvent::MouseButtonPress,   QEvent::MouseButtonRelease};
    quint64 time = 1'000'000;
    for (QEvent::Type type : types) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, global, Qt::LeftButton, held, {});
        event.setTimestamp(time += 20);
        QApplication::sendEvent(shown_->plot(), &event);
    }
    QCOMPARE(calibration().numberOfRows(), 1);
    QCOMPARE(calibration().cellAtRow(0, 0).number, std::optional(10.0));
    QCOMPARE(calibration().cellAtRow(0, 1).number, std::optional(20.0));

    // The table shows the row; only the world cells are for typing.
    PointTableView* view = shown_->window->dataView().viewFor(&calibration());
    QVERIFY(view != nullptr);
    QAbstractItemModel& model = *view->model();
    QStringList headers;
    for (int column = 0; column < model.columnCount(); ++column)
        headers << model.headerData(column, Qt::Horizontal).toString();
    QCOMPARE(headers, (QStringList{"Screen X", "Screen Y", "World X", "World Y", "Residual", "Off (px)"}));
    QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("10"));
    QCOMPARE(model.data(model.index(0, 0), Qt::BackgroundRole).value<QColor>(),
             QColor::fromRgbF(2.0f / 3, 2.0f / 3, 2.0f / 3));
    QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
    QVERIFY(model.flags(model.index(0, 2)) & Qt::ItemIsEditable);
    // As wide as the title needs, not the nominal 94 px: six columns fit beside the picture.
    const int title = QFontMetrics(view->horizontalHeader()->font()).horizontalAdvance(headers[0]);
    QVERIFY2(view->columnWidth(0) > title && view->columnWidth(0) < 94,
             qPrintable(QString::number(view->columnWidth(0))));
    QCOMPARE(view->rowHeight(0), 20);
}

void MainWindowTest::typedWorldValuesDriveTheFitAndTheDataFile()
{
    calibrateAndAcquireOnePoint();
    QCOMPARE(QString::fromStdString(calibration().cellAtRow(2, 3).stringValue()), QStringLiteral("60"));
    QCOMPARE(shown_->manager().mode(), PlotmeterManager::acquireMode);
    QCOMPARE(data().numberOfRows(), 1);
    auto* table = qobject_cast<PointTableView*>(ui().dataStack->currentWidget());
    QVERIFY(table != nullptr && table == shown_->window->dataView().viewFor(&data()));

    const QString target = shown_->file(QStringLiteral("data.txt"));
    chooseInNextFilePanel(target);
    ui().actionSaveData->trigger();
    QCOMPARE(readFile(target), QByteArray("   200.000   250.000         5.000000       30.000000\n"));
}

void MainWindowTest::worldCellRefusesWhatIsNotANumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");     // in the editor, after each key
    QTest::addColumn<QString>("committed"); // in the cell, after Enter
    QTest::addColumn<bool>("logAxis");
    QTest::addColumn<QString>("why"); // the tooltip after Enter when nothing is committed
    const QString notANumber = QStringLiteral("a point as the decimal mark");
    const QString notAboveZero = QStringLiteral("A log axis takes only values above zero.");
    const struct {
        const char* name;
        const char* typed;
        const char* shown;
        const char* committed;
        bool log;
        QString why;
    } rows[] = {
        {"letters", "abc", "", "", false, {}},
        {"nan", "nan", "", "", false, {}},
        {"inf", "inf", "", "", false, {}},
        {"decimal comma", "1,5", "1,5", "", false, notANumber},
        {"incomplete exponent", "1e", "1e", "", false, notANumber},
        {"beyond double precision", "1e400", "1e400", "", false, notANumber},
        {"blanks", "  ", "  ", "", false, {}},
        {"negative zero", "-0", "-0", "-0", false, {}},
        {"exponent", "-2.5E-3", "-2.5E-3", "-0.0025", false, {}},
        {"zero on a log axis", "0", "0", "", true, notAboveZero},
        {"negative on a log axis", "-5", "-5", "", true, notAboveZero},
        {"positive on a log axis", "1e-3", "1e-3", "0.001", true, {}},
    };
    for (const auto& row : rows)
        QTest::newRow(row.name) << QString(row.typed) << QString(row.shown) << QString(row.committed) << row.log
                                << row.why;
}

void MainWindowTest::worldCellRefusesWhatIsNotANumber()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, committed);
    QFETCH(bool, logAxis);
    QFETCH(QString, why);
    if (logAxis)
        shown_->manager().setAxisScale(0, AxisScale::log10);
    doubleClickAt(100, 100);
    QLineEdit* editor = openEditor();
    QVERIFY(editor != nullptr);
    QTest::keyClicks(editor, typed);
    QCOMPARE(editor->text(), shown);
    if (shown != typed)
        QVERIFY2(QToolTip::isVisible() && QToolTip::text() == WorldValueDelegate::hint(), "a refused key shows why");
    const bool acceptable = editor->hasAcceptableInput();
    QCOMPARE(acceptable, why.isEmpty());
    QCOMPARE(editor->styleSheet().contains(QStringLiteral("#ffd8d8")), !acceptable); // pink while refused
    QTest::keyClick(editor, Qt::Key_Return);
    if (!acceptable) {
        QVERIFY2(QToolTip::isVisible() && QToolTip::text().contains(why), qPrintable("Enter shows why: " + QToolTip::text()));
        QVERIFY2(openEditor() == editor, "the editor stays open with the text");
    }
    QCoreApplication::processEvents();
    QCOMPARE(QString::fromStdString(calibration().cellAtRow(0, 2).stringValue()), committed);
}

int MainWindowTest::gridPixels() const
{
    const QImage shot = shown_->plot()->grab().toImage();
    int teal = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            teal += c.red() + 40 < c.green() && std::abs(c.green() - c.blue()) < 8;
        }
    return teal;
}

// The grid is drawn as soon as three points have values, while calibrating too, and follows
// every change to them; no fourth point or mode switch is needed.
void MainWindowTest::calibrationGridFollowsTheCalibrationInEitherMode()
{
    ui().actionShowCalibrationGrid->setChecked(true);
    doubleClickAt(100, 100);
    typeWorldValues(QStringLiteral("0"), QStringLiteral("0"));
    doubleClickAt(300, 100);
    typeWorldValues(QStringLiteral("10"), QStringLiteral("0"));
    QCOMPARE(gridPixels(), 0); // two points fix nothing
    doubleClickAt(100, 400);
    typeWorldValues(QStringLiteral("0"), QStringLiteral("60"));
    QCOMPARE(shown_->manager().mode(), PlotmeterManager::calMode);
    const QImage before = shown_->plot()->grab().toImage();
    QVERIFY2(gridPixels() > 1000, qPrintable(QString::number(gridPixels())));

    shown_->manager().setCalibrationValue(1, 2, "20"); // x lines twice as close
    QVERIFY(shown_->plot()->grab().toImage() != before);
    ui().acquireButton->click();
    QCOMPARE(shown_->manager().mode(), PlotmeterManager::acquireMode);
    QVERIFY(gridPixels() > 1000);
    ui().actionShowCalibrationGrid->setChecked(false);
    QCOMPARE(gridPixels(), 0);
}

// No number is shown cut: its column widens to it, in the calibration and the data table.
void MainWindowTest::longValuesWidenTheirColumns()
{
    doubleClickAt(100, 100);
    typeWorldValues(QStringLiteral("-123456789.125"), QStringLiteral("0"));
    doubleClickAt(300, 100);
    typeWorldValues(QStringLiteral("-123456779.125"), QStringLiteral("0"));
    doubleClickAt(100, 400);
    typeWorldValues(QStringLiteral("-123456789.125"), QStringLiteral("6e5"));
    ui().acquireButton->click();
    doubleClickAt(211, 251);
    for (PointTable* table : {&calibration(), &data()}) {
        PointTableView* view = shown_->window->dataView().viewFor(table);
        QVERIFY(view != nullptr);
        const QModelIndex cell = view->model()->index(0, 2);
        const QString text = cell.data().toString();
        QVERIFY2(text.size() >= 14, qPrintable(text));
        const int needed = QFontMetrics(cell.data(Qt::FontRole).value<QFont>()).horizontalAdvance(text);
        QVERIFY2(view->columnWidth(2) > needed, qPrintable(QStringLiteral("%1 for %2").arg(view->columnWidth(2)).arg(text)));
    }
}

// Polar axes chosen in the panel: calibrated on angle and radius, the tables and the
// readout say Angle and Radius, a click gives its angle and radius, the grid draws rings.
void MainWindowTest::polarAxesFromTheAxesPanel()
{
    auto* kind = shown_->window->findChild<QComboBox*>(QStringLiteral("axesKind"));
    QVERIFY(kind != nullptr);
    kind->setCurrentIndex(1);
    emit kind->activated(1); // as a user's choice
    QVERIFY(shown_->manager().document().axes().polar.has_value());
    QVERIFY(shown_->window->findChild<QWidget*>(QStringLiteral("polarControls"))->isVisible());
    // The centre at picture (320, 240), 10 pixels a unit of radius, angle 0 to the right.
    const struct {
        double x, y;
        const char* angle;
        const char* radius;
    } marks[] = {{420, 240, "0", "10"}, {320, 340, "90", "10"}, {270, 240, "180", "5"}};
    for (const auto& mark : marks) {
        doubleClickAt(mark.x, mark.y);
        typeWorldValues(QString::fromLatin1(mark.angle), QString::fromLatin1(mark.radius));
    }
    ui().actionShowCalibrationGrid->setChecked(true);
    QVERIFY2(gridPixels() > 500, "rings and spokes");
    ui().acquireButton->click();
    QCOMPARE(shown_->manager().mode(), PlotmeterManager::acquireMode);
    doubleClickAt(320 - 60, 240 - 80); // angle 233.13, radius 10
    QCOMPARE(QString::fromStdString(data().columnTitle(2)), QStringLiteral("Angle"));
    QCOMPARE(QString::fromStdString(data().columnTitle(3)), QStringLiteral("Radius"));
    QVERIFY(std::abs(*data().cellAtRow(0, 2).number - (180 + std::atan2(80, 60) * 180 / M_PI)) < 1e-9);
    QVERIFY(std::abs(*data().cellAtRow(0, 3).number - 10.0) < 1e-9);
    // The extraction's step is an angle here, whatever was chosen on Cartesian axes.
    ExtractionPanel& extraction = shown_->window->extraction();
    shown_->window->findChild<QMenu*>(QStringLiteral("toolsMenu"))->actions().first()->trigger();
    auto* unit = extraction.findChild<QComboBox*>(QStringLiteral("extractionStepUnit"));
    QCOMPARE(unit->currentText(), QStringLiteral("degrees"));
    extraction.findChild<QDoubleSpinBox*>(QStringLiteral("extractionStep"))->setValue(5.0);
    QCOMPARE(extraction.settings().worldStep.value_or(0.0), 5.0);
}

// Tools > Measure: a scale bar of 100 pixels for 50 µm, then a distance of 200 pixels
// reads 100 µm in the Measurements panel; each is one step to undo, and Copy copies it.
void MainWindowTest::measuringWithAScaleBar()
{
    const auto click = [this](double x, double y) {
        QTest::mouseClick(shown_->plot(), Qt::LeftButton, {}, QPoint(qRound(x), 480 - qRound(y)));
        QTest::qWait(QApplication::doubleClickInterval() + 20); // single clicks, not a double one
    };
    shown_->window->findChild<QAction*>(QStringLiteral("measureScaleBar"))->trigger();
    answerNextDialog<QInputDialog>([](QInputDialog& dialog) {
        dialog.setTextValue(QStringLiteral("50 µm"));
        dialog.accept();
    });
    click(100, 100);
    click(100, 200);
    QVERIFY(shown_->manager().document().measurements().scale.has_value());
    shown_->window->findChild<QAction*>(QStringLiteral("measureDistance"))->trigger();
    click(50, 300);
    click(250, 300);
    auto* list = shown_->window->findChild<QListWidget*>(QStringLiteral("measurementList"));
    QCOMPARE(list->count(), 1);
    QVERIFY2(list->item(0)->text().startsWith(QStringLiteral("Distance: 100 µm")), qPrintable(list->item(0)->text()));
    QCOMPARE(ui().actionUndo->text(), QStringLiteral("&Undo Measure Distance"));
    QVERIFY(shown_->window->measurements().text().contains(QStringLiteral("200 px")));
    ui().actionUndo->trigger();
    QCOMPARE(list->count(), 0);
}

void MainWindowTest::acquiringUncalibratedIsRefused_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::newRow("Acquire button") << false;
    QTest::newRow("Ctrl+2") << true;
}

void MainWindowTest::acquiringUncalibratedIsRefused()
{
    QFETCH(bool, byKey);
    QString text, title;
    answerNextMessageBox(QMessageBox::Ok, &text, &title);
    if (byKey)
        QTest::keyClick(shown_->window.get(), Qt::Key_2, Qt::ControlModifier);
    else
        ui().acquireButton->click();
    QCOMPARE(title, QStringLiteral("Insufficient Data"));
    QCOMPARE(text, QStringLiteral("You must have at least three non-colinear calibration data points. The calibration "
                                  "table has 0 points."));
    QVERIFY(ui().calibrateButton->isChecked());
    QCOMPARE(shown_->manager().mode(), PlotmeterManager::calMode);
}

// Points are marked where taken; the shortcuts work wherever the focus is and the menu
// names the step; a new series gets its own colour, and a hidden one is not drawn.
void MainWindowTest::undoRedoSeriesAndMarksFromTheWindow()
{
    QCOMPARE(colourAt(106, 100), QColor(Qt::white));
    doubleClickAt(100, 100);
    const QColor ring = colourAt(106, 100);
    QVERIFY2(ring.red() > 150 && ring.green() < 120 && ring.blue() < 120, qPrintable(ring.name()));
    ui().actionClearData->trigger();
    QCOMPARE(colourAt(106, 100), QColor(Qt::white));

    calibrateAndAcquireOnePoint();
    QCOMPARE(ui().actionUndo->text(), QStringLiteral("&Undo Add Point"));
    QTest::keyClick(shown_->window.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(data().numberOfRows(), 0);
    QCOMPARE(ui().actionRedo->text(), QStringLiteral("&Redo Add Point"));
    QTest::keyClick(shown_->window.get(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(data().numberOfRows(), 1);
    QTest::keyClick(shown_->window.get(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(shown_->window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(data().numberOfRows(), 1);

    auto* list = shown_->window->findChild<QListWidget*>(QStringLiteral("seriesList"));
    QVERIFY(list != nullptr);
    shown_->window->findChild<SeriesPanel*>()->findChild<QPushButton*>()->click(); // Add
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->currentRow(), 1);
    QCOMPARE(data().numberOfRows(), 0);
    doubleClickAt(400, 300);
    const QColor mark = colourAt(400, 300);
    QVERIFY2(mark.red() > 150 && mark.blue() < 120, qPrintable(mark.name())); // the second colour, red
    list->item(1)->setCheckState(Qt::Unchecked);
    QCOMPARE(colourAt(400, 300), QColor(Qt::white));
    QCOMPARE(ui().actionUndo->text(), QStringLiteral("&Undo Hide Series"));
    // A point added to the hidden series shows it again, ticked, with its marks.
    doubleClickAt(420, 320);
    QCOMPARE(list->item(1)->checkState(), Qt::Checked);
    QCOMPARE(colourAt(400, 300), mark);
    list->setCurrentRow(0);
    QCOMPARE(data().numberOfRows(), 1);
}

// Closing or opening another plot with unsaved points asks first: Cancel keeps them,
// Discard goes on to the open panel, Save to the save panel.
void MainWindowTest::unsavedPointsAreAskedAboutFirst()
{
    calibrateAndAcquireOnePoint();
    QString question;
    answerNextMessageBox(QMessageBox::Cancel, &question);
    shown_->window->close();
    QCOMPARE(question, QStringLiteral("The calibration or the points have changes that have not been saved."));
    QVERIFY2(shown_->window->isVisible(), "Cancel keeps the window and its points");
    answerNextMessageBox(QMessageBox::Cancel);
    ui().actionOpenPlot->trigger();
    QCOMPARE(data().numberOfRows(), 1);

    const QString other = makePicture(shown_->folder, QStringLiteral("scan of figure 3.png"), 320, 200);
    QStringList filters;
    answerNextMessageBox(QMessageBox::Discard);
    answerNextDialog<QFileDialog>([&](QFileDialog& dialog) {
        filters = dialog.nameFilters();
        dialog.selectFile(other);
        static_cast<QDialog&>(dialog).accept();
    });
    ui().actionOpenPlot->trigger();
    QCOMPARE(filters.size(), 5);
    for (const char* pattern : {"*.plotmeter", "*.png", "*.jpeg", "*.tiff", "*.pdf"})
        QVERIFY2(filters.constFirst().contains(QLatin1String(pattern)), pattern);
    QVERIFY(filters.constLast().contains(QStringLiteral("(*)")));
    QCOMPARE(calibration().numberOfRows(), 0);
    QCOMPARE(data().numberOfRows(), 0);
    QCOMPARE(shown_->plot()->size(), QSize(320, 200));
    QCOMPARE(shown_->window->windowTitle(), QStringLiteral("scan of figure 3.png[*] — Plotmeter"));

    doubleClickAt(100, 400); // (100, 120) on the new, 200 pixels high picture
    const QString target = shown_->file(QStringLiteral("kept.plotmeter"));
    answerNextMessageBox(QMessageBox::Save);
    chooseInNextFilePanel(target);
    shown_->window->close();
    QVERIFY(!shown_->window->isVisible());
    QVERIFY(QFile::exists(target));
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
