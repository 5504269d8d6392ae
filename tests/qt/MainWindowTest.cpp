#include "WindowDriver.h"

#include "desktop/DataScrollView.h"
#include "desktop/MainWindow.h"
#include "desktop/PlotImageWidget.h"
#include "desktop/PointTableView.h"
#include "desktop/QtPlatform.h"
#include "desktop/WorldValueDelegate.h"
#include "ui_MainWindow.h"
#include "view/PlotmeterView.h"

#include "desktop/SeriesPanel.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QToolTip>
#include <QtTest>

// The assembled window, driven under the offscreen platform as a user would drive it.
class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void doubleClickBecomesARowInPictureUnits();
    void singleClickMakesNoPointAndTripleClickOne();
    void typedWorldValuesDriveTheFit();
    void worldCellRefusesWhatIsNotANumber_data();
    void worldCellRefusesWhatIsNotANumber();
    void alertIsARealMessageBox();
    void controlTwoChoosesAcquireAsAClickWould();
    void openPanelOpensThePlotAndNamesTheWindow();
    void savePanelWritesTheDataFile();
    void tablesShowTheirColumnsAndCells();
    void pointsAreMarkedWhereTheyWereTaken();
    void undoRedoAndSeriesFromTheWindow();
    void closingWithUnsavedPointsAsksFirst();
    void openingAnotherPlotWithUnsavedPointsAsksFirst();

  private:
    void calibrateAndAcquireOnePoint();
    PlotImageWidget* plotWidget() const;
    QLineEdit* openEditor() const;
    void doubleClickAt(double x, double y);
    void typeWorldValues(const QString& x, const QString& y);
    PointTable& calibration() { return *window_->manager().calMatrix(); }
    static double cellValue(const PointTable& table, int row, int column)
    {
        return table.cellAtRow(row, column).number.value_or(-1.0);
    }
    PointTable& data() { return *window_->manager().acquireMatrix(); }

    std::unique_ptr<ModalGuard> guard_;
    std::unique_ptr<QTemporaryDir> folder_;
    QString picture_;
    std::unique_ptr<QtPlatform> platform_;
    std::unique_ptr<MainWindow> window_;
};

void MainWindowTest::init()
{
    guard_ = std::make_unique<ModalGuard>();
    folder_ = std::make_unique<QTemporaryDir>();
    picture_ = makePicture(*folder_, QStringLiteral("plot.png"), 640, 480);
    platform_ = std::make_unique<QtPlatform>();
    window_ = std::make_unique<MainWindow>(*platform_);
    // Room for the 640 x 480 picture at 100 %.
    window_->resize(1400, 880);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    window_->launch({picture_});
    QVERIFY(plotWidget() != nullptr);
}

void MainWindowTest::cleanup()
{
    QCOMPARE(guard_->unexpected(), QStringList());
    window_.reset();
    platform_.reset();
    folder_.reset();
}

PlotImageWidget* MainWindowTest::plotWidget() const
{
    return qobject_cast<PlotImageWidget*>(window_->ui().plotScrollArea->widget());
}

// A closed editor lingers, hidden, until the event loop deletes it.
QLineEdit* MainWindowTest::openEditor() const
{
    for (QLineEdit* editor : window_->findChildren<QLineEdit*>(QStringLiteral("worldValueEditor")))
        if (editor->isVisible())
            return editor;
    return nullptr;
}

// (x, y) in picture units: from the lower-left corner, y upward.
void MainWindowTest::doubleClickAt(double x, double y)
{
    QTest::mouseDClick(plotWidget(), Qt::LeftButton, {}, QPoint(qRound(x), 480 - qRound(y)));
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

void MainWindowTest::doubleClickBecomesARowInPictureUnits()
{
    QCOMPARE(plotWidget()->size(), QSize(640, 480));
    doubleClickAt(10, 20);
    QCOMPARE(calibration().numberOfRows(), 1);
    QCOMPARE(cellValue(calibration(), 0, 0), 10.0);
    QCOMPARE(cellValue(calibration(), 0, 1), 20.0);
    QVERIFY(plotWidget()->cursor().shape() == Qt::BitmapCursor);
}

void MainWindowTest::singleClickMakesNoPointAndTripleClickOne()
{
    QTest::mouseClick(plotWidget(), Qt::LeftButton, {}, QPoint(50, 50));
    QCOMPARE(calibration().numberOfRows(), 0);

    // Press, double-click press, then a third press at once at the same place.
    const QPointF at(100, 100);
    const QPointF global = plotWidget()->mapToGlobal(at);
    const QEvent::Type types[] = {QEvent::MouseButtonPress,   QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                                  QEvent::MouseButtonRelease, QEvent::MouseButtonPress,   QEvent::MouseButtonRelease};
    quint64 time = 1'000'000;
    for (QEvent::Type type : types) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, global, Qt::LeftButton, held, {});
        event.setTimestamp(time += 20);
        QApplication::sendEvent(plotWidget(), &event);
    }
    QCOMPARE(calibration().numberOfRows(), 1);
}

void MainWindowTest::typedWorldValuesDriveTheFit()
{
    // Screen (100, 100), (300, 100), (100, 400) stand for world (0, 0), (10, 0), (0, 60).
    doubleClickAt(100, 100);
    typeWorldValues(QStringLiteral("0"), QStringLiteral("0"));
    doubleClickAt(300, 100);
    typeWorldValues(QStringLiteral("10"), QStringLiteral("0"));
    doubleClickAt(100, 400);
    typeWorldValues(QStringLiteral("0"), QStringLiteral("6e1"));
    QCOMPARE(QString::fromStdString(calibration().cellAtRow(2, 3).stringValue()), QStringLiteral("60"));

    window_->ui().acquireButton->click();
    QCOMPARE(window_->manager().mode(), PlotmeterManager::acquireMode);
    doubleClickAt(200, 250);
    QCOMPARE(data().numberOfRows(), 1);
    QCOMPARE(cellValue(data(), 0, 2), 5.0);
    QCOMPARE(cellValue(data(), 0, 3), 30.0);
    auto* shown = qobject_cast<PointTableView*>(window_->ui().dataStack->currentWidget());
    QVERIFY(shown != nullptr);
    QCOMPARE(shown, window_->dataView().viewFor(&data()));
}

void MainWindowTest::worldCellRefusesWhatIsNotANumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");     // in the editor, after each key
    QTest::addColumn<QString>("committed"); // in the cell, after Enter
    QTest::newRow("letters") << "abc"
                             << ""
                             << "";
    QTest::newRow("nan") << "nan"
                         << ""
                         << "";
    QTest::newRow("inf") << "inf"
                         << ""
                         << "";
    QTest::newRow("decimal comma") << "1,5"
                                   << "1,5"
                                   << "";
    QTest::newRow("incomplete exponent") << "1e"
                                         << "1e"
                                         << "";
    QTest::newRow("beyond double precision") << "1e400"
                                             << "1e400"
                                             << "";
    QTest::newRow("blanks") << "  "
                            << "  "
                            << "";
    QTest::newRow("negative zero") << "-0"
                                   << "-0"
                                   << "-0";
    QTest::newRow("exponent") << "-2.5E-3"
                              << "-2.5E-3"
                              << "-0.0025";
}

void MainWindowTest::worldCellRefusesWhatIsNotANumber()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, committed);
    doubleClickAt(100, 100);
    QLineEdit* editor = openEditor();
    QVERIFY(editor != nullptr);
    QTest::keyClicks(editor, typed);
    QCOMPARE(editor->text(), shown);
    if (shown != typed)
        QVERIFY2(QToolTip::isVisible() && QToolTip::text() == WorldValueDelegate::hint(), "a refused key shows why");
    const bool acceptable = editor->hasAcceptableInput();
    QTest::keyClick(editor, Qt::Key_Return);
    if (!acceptable)
        QVERIFY2(QToolTip::isVisible() && QToolTip::text() == WorldValueDelegate::hint(), "Enter shows why");
    QCoreApplication::processEvents();
    QCOMPARE(QString::fromStdString(calibration().cellAtRow(0, 2).stringValue()), committed);
}

void MainWindowTest::alertIsARealMessageBox()
{
    QString title;
    QString text;
    answerNextDialog<QMessageBox>([&](QMessageBox& box) {
        title = box.windowTitle();
        text = box.text();
        box.accept();
    });
    window_->ui().acquireButton->click();
    QCOMPARE(title, QStringLiteral("Insufficient Data"));
    QCOMPARE(text, QStringLiteral("You must have at least three non-colinear calibration data points. The calibration "
                                  "table has 0 points."));
    QVERIFY(window_->ui().calibrateButton->isChecked());
}

void MainWindowTest::controlTwoChoosesAcquireAsAClickWould()
{
    QString title;
    answerNextDialog<QMessageBox>([&](QMessageBox& box) {
        title = box.windowTitle();
        box.accept();
    });
    QTest::keyClick(window_.get(), Qt::Key_2, Qt::ControlModifier);
    QCOMPARE(title, QStringLiteral("Insufficient Data"));
    QVERIFY(window_->ui().calibrateButton->isChecked());
    QCOMPARE(window_->manager().mode(), PlotmeterManager::calMode);
}

void MainWindowTest::openPanelOpensThePlotAndNamesTheWindow()
{
    doubleClickAt(100, 100);
    const QString other = makePicture(*folder_, QStringLiteral("scan of figure 3.png"), 320, 200);
    QStringList filters;
    answerNextDialog<QMessageBox>([&](QMessageBox& box) {
        answerNextDialog<QFileDialog>([&](QFileDialog& dialog) {
            filters = dialog.nameFilters();
            dialog.selectFile(other);
            static_cast<QDialog&>(dialog).accept();
        });
        box.button(QMessageBox::Discard)->click();
    });
    window_->ui().actionOpenPlot->trigger();
    QCOMPARE(filters.size(), 5);
    for (const char* pattern : {"*.plotmeter", "*.png", "*.jpeg", "*.tiff", "*.pdf"})
        QVERIFY2(filters.constFirst().contains(QLatin1String(pattern)), pattern);
    QVERIFY(filters.constLast().contains(QStringLiteral("(*)")));
    QCOMPARE(calibration().numberOfRows(), 0);
    QCOMPARE(plotWidget()->size(), QSize(320, 200));
    QCOMPARE(window_->windowTitle(), QStringLiteral("scan of figure 3.png[*] — Plotmeter"));
}

void MainWindowTest::calibrateAndAcquireOnePoint()
{
    doubleClickAt(100, 100);
    typeWorldValues(QStringLiteral("0"), QStringLiteral("0"));
    doubleClickAt(300, 100);
    typeWorldValues(QStringLiteral("10"), QStringLiteral("0"));
    doubleClickAt(100, 400);
    typeWorldValues(QStringLiteral("0"), QStringLiteral("60"));
    window_->ui().acquireButton->click();
    doubleClickAt(200, 250);
}

void MainWindowTest::savePanelWritesTheDataFile()
{
    calibrateAndAcquireOnePoint();

    const QString target = folder_->filePath(QStringLiteral("data.txt"));
    answerNextDialog<QFileDialog>([&](QFileDialog& dialog) {
        dialog.selectFile(target);
        static_cast<QDialog&>(dialog).accept();
    });
    window_->ui().actionSaveData->trigger();
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("   200.000   250.000         5.000000       30.000000\n"));
}

void MainWindowTest::tablesShowTheirColumnsAndCells()
{
    doubleClickAt(123, 45);
    PointTableView* view = window_->dataView().viewFor(&calibration());
    QVERIFY(view != nullptr);
    QAbstractItemModel& model = *view->model();
    QStringList headers;
    for (int column = 0; column < model.columnCount(); ++column)
        headers << model.headerData(column, Qt::Horizontal).toString();
    QCOMPARE(headers, (QStringList{"Screen X", "Screen Y", "World X", "World Y", "Residual", "Off (px)"}));
    QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("123"));
    QCOMPARE(model.data(model.index(0, 0), Qt::BackgroundRole).value<QColor>(),
             QColor::fromRgbF(2.0f / 3, 2.0f / 3, 2.0f / 3));
    QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
    QVERIFY(model.flags(model.index(0, 2)) & Qt::ItemIsEditable);
    QCOMPARE(view->columnWidth(0), 94);
    QCOMPARE(view->rowHeight(0), 20);
}

void MainWindowTest::pointsAreMarkedWhereTheyWereTaken()
{
    const auto colourAt = [this](int x, int y) { return plotWidget()->grab().toImage().pixelColor(x, 480 - y); };
    QCOMPARE(colourAt(106, 100), QColor(Qt::white));
    doubleClickAt(100, 100);
    const QColor ring = colourAt(106, 100);
    QVERIFY2(ring.red() > 150 && ring.green() < 120 && ring.blue() < 120, qPrintable(ring.name()));

    window_->ui().actionClearData->trigger();
    QCOMPARE(colourAt(106, 100), QColor(Qt::white));
}

// The shortcuts work wherever the focus is; the menu names the step; a new series gets its
// own colour on the picture, and a hidden one is not drawn.
void MainWindowTest::undoRedoAndSeriesFromTheWindow()
{
    calibrateAndAcquireOnePoint();
    const auto colourAt = [this](int x, int y) { return plotWidget()->grab().toImage().pixelColor(x, 480 - y); };
    QCOMPARE(window_->ui().actionUndo->text(), QStringLiteral("&Undo Add Point"));
    QTest::keyClick(window_.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(data().numberOfRows(), 0);
    QCOMPARE(window_->ui().actionRedo->text(), QStringLiteral("&Redo Add Point"));
    QTest::keyClick(window_.get(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(data().numberOfRows(), 1);
    QTest::keyClick(window_.get(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(window_.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(data().numberOfRows(), 1);

    auto* list = window_->findChild<QListWidget*>(QStringLiteral("seriesList"));
    QVERIFY(list != nullptr);
    window_->findChild<SeriesPanel*>()->findChild<QPushButton*>()->click(); // Add
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->currentRow(), 1);
    QCOMPARE(data().numberOfRows(), 0);
    doubleClickAt(400, 300);
    const QColor mark = colourAt(400, 300);
    QVERIFY2(mark.red() > 150 && mark.blue() < 120, qPrintable(mark.name())); // the second colour, red
    list->item(1)->setCheckState(Qt::Unchecked);
    QCOMPARE(colourAt(400, 300), QColor(Qt::white));
    QCOMPARE(window_->ui().actionUndo->text(), QStringLiteral("&Undo Hide Series"));
    list->setCurrentRow(0);
    QCOMPARE(data().numberOfRows(), 1);
}

void MainWindowTest::closingWithUnsavedPointsAsksFirst()
{
    calibrateAndAcquireOnePoint();
    QString question;
    answerNextDialog<QMessageBox>([&](QMessageBox& box) {
        question = box.text();
        box.button(QMessageBox::Cancel)->click();
    });
    window_->close();
    QCOMPARE(question, QStringLiteral("The calibration or the points have changes that have not been saved."));
    QVERIFY2(window_->isVisible(), "Cancel keeps the window and its points");

    const QString target = folder_->filePath(QStringLiteral("kept.plotmeter"));
    answerNextDialog<QMessageBox>([&](QMessageBox& box) {
        answerNextDialog<QFileDialog>([&](QFileDialog& dialog) {
            dialog.selectFile(target);
            static_cast<QDialog&>(dialog).accept();
        });
        box.button(QMessageBox::Save)->click();
    });
    window_->close();
    QVERIFY(!window_->isVisible());
    QVERIFY(QFile::exists(target));
}

void MainWindowTest::openingAnotherPlotWithUnsavedPointsAsksFirst()
{
    calibrateAndAcquireOnePoint();
    answerNextDialog<QMessageBox>([&](QMessageBox& box) { box.button(QMessageBox::Cancel)->click(); });
    window_->ui().actionOpenPlot->trigger();
    QCOMPARE(data().numberOfRows(), 1);

    const QString other = makePicture(*folder_, QStringLiteral("next.png"), 50, 40);
    answerNextDialog<QMessageBox>([&](QMessageBox& box) {
        answerNextDialog<QFileDialog>([&](QFileDialog& dialog) {
            dialog.selectFile(other);
            static_cast<QDialog&>(dialog).accept();
        });
        box.button(QMessageBox::Discard)->click();
    });
    window_->ui().actionOpenPlot->trigger();
    QCOMPARE(data().numberOfRows(), 0);
    QCOMPARE(plotWidget()->size(), QSize(50, 40));
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
