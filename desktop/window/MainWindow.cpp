#include "desktop/window/MainWindow.h"

#include "desktop/window/NoteLabel.h"
#include "desktop/window/QtPlatform.h"
#include "ui_MainWindow.h"
#include "view/PlotmeterView.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QVBoxLayout>

MainWindow::MainWindow(QtPlatform& platform, QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::MainWindow>())
{
    ui_->setupUi(this);
    modeGroup_.addButton(ui_->calibrateButton, 0);
    modeGroup_.addButton(ui_->acquireButton, 1);

    platform.setWindow(this);
    manager_ = std::make_unique<PlotmeterManager>(platform);
    plotView_ = std::make_unique<PlotScrollView>(*ui_->plotScrollArea);
    dataView_ = std::make_unique<DataScrollView>(*ui_->dataStack);
    modeButtons_ = std::make_unique<QtModeButtons>(modeGroup_);
    manager_->connectOutlets(*plotView_, *dataView_, *modeButtons_);
    editor_ = new PictureEditor(*manager_, *dataView_, this);
    dataView_->setViewListener([this](PointTableView& view) { editor_->watch(view); });
    connect(editor_, &PictureEditor::marksChanged, this, [this] { plotView_->refresh(); });
    marks_ = std::make_unique<PlotMarks>(*manager_, *editor_);
    grid_ = std::make_unique<CalibrationGrid>(*manager_);
    plotView_->setOverlay([this](QPainter& painter, const QRect& exposed, const PictureZoom& zoom) {
        const PlotmeterView* view = manager_->plotmeterView();
        if (view == nullptr)
            return;
        if (ui_->actionShowCalibrationGrid->isChecked()) {
            const QWidget* shown = ui_->plotScrollArea->widget();
            const QSizeF picture(view->bounds().size.width, view->bounds().size.height);
            grid_->paint(painter, exposed, zoom, picture,
                         shown != nullptr ? shown->visibleRegion().boundingRect() : QRect());
        }
        extraction_->paint(painter, exposed, zoom);
        measure_->paint(painter, exposed, zoom);
        marks_->paint(painter, exposed, zoom);
    });

    axisControls_ = new AxisControls(*manager_, *ui_->modeMenu, ui_->sidePanel);
    ui_->sideLayout->insertWidget(ui_->sideLayout->indexOf(ui_->modeBox) + 1, axisControls_);
    placeWarningBar();
    magnifier_ = new Magnifier;
    navigation_ =
        new PictureNavigation(*manager_, *ui_->plotScrollArea, *ui_->viewMenu, *ui_->statusBar, *magnifier_, *this);
    placeExtraction();
    plotView_->setWidgetListener([this](PlotImageWidget& widget) {
        widget.setEditor(editor_);
        widget.setTool(pictureTool());
        widget.setSnapper([this](DPoint picture, double factor, bool shift) {
            return snapper_->snap(picture, factor, shift);
        });
        navigation_->follow(widget);
        extraction_->pictureChanged();
        if (findAxesNote_ != nullptr)
            findAxesNote_->hide();
    });
    fitStatus_ = new QLabel(this);
    fitStatus_->setObjectName(QStringLiteral("fitStatus"));
    ui_->statusBar->addWidget(fitStatus_, 1);
    seriesPanel_ = new SeriesPanel(*manager_, ui_->sidePanel);
    ui_->sideLayout->insertWidget(ui_->sideLayout->indexOf(ui_->dataStack), seriesPanel_);
    // The table takes what height there is; the series list stays compact above it.
    ui_->sideLayout->setStretchFactor(ui_->dataStack, 1);
    placeDocks();
    ui_->actionUndo->setShortcuts(QKeySequence::Undo);
    ui_->actionRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    recovery_ = new RecoveryCopy(*manager_, this);
    connect(recovery_, &RecoveryCopy::writeFailed, this, [this](const QString& why) {
        statusBar()->showMessage(tr("Plotmeter could not keep a recovery copy of your work: %1. Save the project to "
                                    "keep it.")
                                     .arg(why),
                                 15000);
    });
    manager_->setDocumentListener([this] { documentChanged(); });
    connectActions();
    connectFileActions();
    restoreSettings();
    documentChanged();
}

// The views go first, while the controller's tables they observe are still there; so do
// the panels that talk to the controller, before it goes.
MainWindow::~MainWindow()
{
    manager_->setDocumentListener({});
    delete seriesPanel_;
    delete extraction_;
    delete axisControls_;
    delete recovery_;
    dataView_.reset();
    plotView_.reset();
    manager_.reset();
}

void MainWindow::launch(const QStringList& arguments)
{
    manager_->applicationDidFinishLaunching();
    updateGuide();
    // Work a crash left behind comes first; recovered, it is what the window shows.
    if (!offerRecovery() && !arguments.isEmpty())
        manager_->openPath(QFile::encodeName(arguments.constFirst()).toStdString());
    updateGuide();
}

void MainWindow::connectActions()
{
    connect(ui_->actionOpenPlot, &QAction::triggered, this, [this] {
        if (!mayDiscardData())
            return;
        manager_->openPlotFile();
        updateGuide();
    });
    connect(ui_->actionSaveData, &QAction::triggered, this, [this] { manager_->saveData(); });
    connect(ui_->actionSaveProject, &QAction::triggered, this, [this] { manager_->saveProject(); });
    connect(ui_->actionSaveProjectAs, &QAction::triggered, this, [this] { manager_->saveProjectAs(); });
    connect(ui_->actionUndo, &QAction::triggered, this, [this] {
        manager_->undo();
        updateGuide();
    });
    connect(ui_->actionRedo, &QAction::triggered, this, [this] {
        manager_->redo();
        updateGuide();
    });
    connect(ui_->actionClearData, &QAction::triggered, this, [this] { manager_->clearData(); });
    connect(ui_->actionDeletePoints, &QAction::triggered, this, [this] { editor_->deleteSelected(); });
    connect(ui_->actionQuit, &QAction::triggered, this, &QWidget::close);
    connect(ui_->actionCalibrate, &QAction::triggered, ui_->calibrateButton, &QAbstractButton::click);
    connect(ui_->actionAcquire, &QAction::triggered, ui_->acquireButton, &QAbstractButton::click);
    connect(ui_->actionShowCalibrationGrid, &QAction::toggled, this, [this] { plotView_->refresh(); });
    // The grid's labels keep to the edges of the part of the picture on show.
    const auto followShownPart = [this] {
        if (ui_->actionShowCalibrationGrid->isChecked())
            plotView_->refresh();
    };
    for (QScrollBar* bar : {ui_->plotScrollArea->horizontalScrollBar(), ui_->plotScrollArea->verticalScrollBar()}) {
        connect(bar, &QScrollBar::valueChanged, this, followShownPart);
        connect(bar, &QScrollBar::rangeChanged, this, followShownPart);
    }
    connect(&modeGroup_, &QButtonGroup::idClicked, this, [this] {
        manager_->setMode();
        plotView_->refresh(); // the grid and the marks follow the mode
        dataPlot_->refresh();
        measure_->documentChanged(); // the values follow the fit
        updateGuide();
    });
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (mayDiscardData()) {
        saveSettings();
        recovery_->remove(); // a clean quit leaves nothing to recover
        event->accept();
    } else {
        event->ignore();
    }
}

bool MainWindow::mayDiscardData()
{
    if (!manager_->hasUnsavedChanges())
        return true;
    QMessageBox box(QMessageBox::Question, tr("Unsaved Changes"),
                    tr("The calibration or the points have changes that have not been saved."),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setObjectName(QStringLiteral("unsavedDataQuestion"));
    box.setInformativeText(tr("Save them in a project before they are discarded?"));
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save:
        manager_->saveProject();
        return !manager_->hasUnsavedChanges();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void MainWindow::documentChanged()
{
    const History& history = manager_->history();
    ui_->actionUndo->setEnabled(history.canUndo());
    ui_->actionUndo->setText(history.canUndo() ? tr("&Undo %1").arg(QString::fromStdString(history.undoName()))
                                               : tr("&Undo"));
    ui_->actionRedo->setEnabled(history.canRedo());
    ui_->actionRedo->setText(history.canRedo() ? tr("&Redo %1").arg(QString::fromStdString(history.redoName()))
                                               : tr("&Redo"));
    ui_->actionLocatePicture->setEnabled(manager_->pictureMissing());
    recovery_->documentChanged();
    extraction_->documentChanged();
    measure_->documentChanged();
    dataPlot_->refresh();
    seriesPanel_->refresh();
    axisControls_->refresh();
    showCalibrationCheck();
    plotView_->refresh();

    const std::string& project = manager_->projectPath();
    const std::string& picture = manager_->document().picture();
    const std::string& shown = project.empty() ? picture : project;
    const QString name = shown.empty() ? QString() : QFileInfo(QFile::decodeName(shown.c_str())).fileName();
    setWindowTitle(name.isEmpty() ? tr("Plotmeter[*]") : tr("%1[*] — Plotmeter").arg(name));
    setWindowModified(manager_->hasUnsavedChanges());
    noteRecentFile();
}

// A bar above the picture for what the calibration's check finds wrong: shown only then,
// and never in the way of a click.
void MainWindow::placeWarningBar()
{
    warningBar_ = new NoteLabel(QColor(0xff, 0xf3, 0xc4), QColor(0x5a, 0x45, 0x00), QColor(0xe0, 0xc0, 0x60),
                                ui_->centralWidget);
    warningBar_->setObjectName(QStringLiteral("calibrationWarnings"));
    warningBar_->hide();
    ui_->centralLayout->insertWidget(0, warningBar_);
}

void MainWindow::showCalibrationCheck()
{
    const std::optional<CalibrationCheck>& check = manager_->calibrationCheck();
    if (!check) {
        fitStatus_->clear();
        warningBar_->hide();
        return;
    }
    QStringList warnings;
    for (const std::string& warning : check->warnings)
        warnings << QString::fromStdString(warning);
    const QString summary = QString::fromStdString(fitSummary(check->report));
    fitStatus_->setText(warnings.isEmpty() ? summary
                                           : summary + QStringLiteral(" — ") + warnings.join(QStringLiteral("; ")));
    warningBar_->setText(tr("Check the calibration: %1").arg(warnings.join(QStringLiteral("\n"))));
    warningBar_->setVisible(!warnings.isEmpty());
}

// Tools ▸ Automatic Extraction shows the extraction panel, docked beside the picture;
// Tools ▸ Snap Clicks to Marks puts double-clicks on the middle of what they hit.
void MainWindow::placeExtraction()
{
    shownPixels_ = std::make_unique<ShownPixels>(*manager_);
    extraction_ = new ExtractionPanel(*manager_, *shownPixels_, [this] {
        ui_->acquireButton->click();
        return manager_->mode() == PlotmeterManager::acquireMode && manager_->worldMap().has_value();
    }, this);
    extraction_->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    const auto toolChanged = [this] {
        if (PlotImageWidget* widget = plotView_->widget())
            widget->setTool(pictureTool());
        plotView_->refresh();
    };
    connect(extraction_, &ExtractionPanel::pictureOverlayChanged, this, toolChanged);
    auto* tools = new QMenu(tr("&Tools"), this);
    tools->setObjectName(QStringLiteral("toolsMenu"));
    menuBar()->insertMenu(ui_->modeMenu->menuAction(), tools);
    QAction* show = extraction_->toggleViewAction();
    show->setText(tr("&Automatic Extraction"));
    show->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_X));
    tools->addAction(show);
    snapClicks_ = tools->addAction(tr("&Snap Clicks to Marks"));
    snapClicks_->setObjectName(QStringLiteral("actionSnapClicks"));
    snapClicks_->setCheckable(true);
    snapClicks_->setToolTip(tr("Double-clicks land on the middle of the line, marker, tick or gridline crossing "
                               "under them (or hold Shift for one click)"));
    snapper_ = std::make_unique<ClickSnapper>(*manager_, *shownPixels_, *snapClicks_);
    measure_ = new MeasurePanel(*manager_, *tools, this);
    connect(measure_, &MeasurePanel::pictureOverlayChanged, this, toolChanged);
    placeFindAxes();
}

// A measuring tool, while one is chosen, has the left button; else the extraction's.
PictureTool* MainWindow::pictureTool() const
{
    if (measure_ != nullptr && measure_->tool() != nullptr)
        return measure_->tool();
    return extraction_->tool();
}

// Mode > Find Axes, and its button beside the mode while calibrating; what it found, or
// why it found nothing, in a note under the guide, with the calibration grid to check it.
void MainWindow::placeFindAxes()
{
    findAxes_ = new FindAxesControl(*manager_, *shownPixels_, *ui_->modeMenu, *this);
    findAxesButton_ = new QPushButton(tr("Find Axes"), ui_->modeBox);
    findAxesButton_->setObjectName(QStringLiteral("findAxesButton"));
    findAxesButton_->setToolTip(findAxes_->action()->toolTip() + QStringLiteral(" (Ctrl+Shift+A)"));
    ui_->modeLayout->addWidget(findAxesButton_);
    connect(findAxesButton_, &QPushButton::clicked, findAxes_, &FindAxesControl::start);
    findAxesNote_ = new NoteLabel(QColor(0xe8, 0xf4, 0xf8), QColor(), QColor(0x9c, 0xc8, 0xd8), ui_->sidePanel);
    findAxesNote_->setObjectName(QStringLiteral("findAxesNote"));
    findAxesNote_->setContentsMargins(4, 4, 4, 4);
    findAxesNote_->hide();
    ui_->sideLayout->insertWidget(ui_->sideLayout->indexOf(ui_->guideLabel) + 1, findAxesNote_);
    connect(findAxes_, &FindAxesControl::ended, this, [this](bool proposed, const QString& sentence) {
        findAxesNote_->setText(sentence);
        findAxesNote_->setVisible(!sentence.isEmpty());
        if (proposed)
            ui_->actionShowCalibrationGrid->setChecked(true);
        updateGuide();
    });
}

// One line under the mode buttons that tells a first-time user what a double-click does.
void MainWindow::updateGuide()
{
    findAxesButton_->setVisible(manager_->mode() == PlotmeterManager::calMode);
    findAxes_->action()->setEnabled(manager_->plotmeterView() != nullptr);
    findAxesButton_->setEnabled(manager_->plotmeterView() != nullptr);
    if (manager_->mode() != PlotmeterManager::calMode)
        findAxesNote_->hide();
    QString guide;
    if (manager_->plotmeterView() == nullptr)
        guide = tr("Open a picture of a plot, or a project, with File ▸ Open… (Ctrl+O).");
    else if (manager_->mode() == PlotmeterManager::calMode)
        guide = tr("Calibrate: double-click three or more known points (axis marks) and type the values "
                   "they stand for, or let Find Axes read them; to check them, add gridline crossings or the far "
                   "corner. Then choose Acquire.");
    else
        guide = tr("Acquire: double-click points on the curve (with Shift, on its middle), or find it all with "
                   "Tools ▸ Automatic Extraction. Save Data… (Ctrl+S) writes them to a file.");
    ui_->guideLabel->setText(guide);
}

// The panels share one column at the right of the picture, about 360 pixels wide: the
// magnifier on top, compact; under it the points, with the extraction and the data plot as
// tabs beside them, so that opening a panel never takes room from the picture. Each can be
// shown, hidden, moved or floated from View > Panels, and the window keeps the layout.
void MainWindow::placeDocks()
{
    magnifierDock_ = new QDockWidget(tr("Magnifier"), this);
    magnifierDock_->setObjectName(QStringLiteral("magnifierDock"));
    magnifierDock_->setWidget(magnifier_);
    addDockWidget(Qt::RightDockWidgetArea, magnifierDock_);
    addDockWidget(Qt::RightDockWidgetArea, ui_->pointsDock);
    splitDockWidget(magnifierDock_, ui_->pointsDock, Qt::Vertical);
    addDockWidget(Qt::RightDockWidgetArea, extraction_);
    tabifyDockWidget(ui_->pointsDock, extraction_);
    extraction_->hide();
    dataPlot_ = new DataPlot(*manager_);
    dataPlotDock_ = new QDockWidget(tr("Data Plot"), this);
    dataPlotDock_->setObjectName(QStringLiteral("dataPlotDock"));
    dataPlotDock_->setWidget(dataPlot_);
    addDockWidget(Qt::RightDockWidgetArea, dataPlotDock_);
    tabifyDockWidget(ui_->pointsDock, dataPlotDock_);
    addDockWidget(Qt::RightDockWidgetArea, measure_);
    tabifyDockWidget(ui_->pointsDock, measure_);
    measure_->hide();
    ui_->pointsDock->raise();
    resizeDocks({ui_->pointsDock}, {defaultPanelWidth}, Qt::Horizontal);

    magnifierDock_->toggleViewAction()->setObjectName(QStringLiteral("actionShowMagnifier"));
    ui_->viewMenu->addSeparator();
    QMenu* panels = ui_->viewMenu->addMenu(tr("&Panels"));
    panels->setObjectName(QStringLiteral("panelsMenu"));
    for (QDockWidget* dock :
         {ui_->pointsDock, magnifierDock_, static_cast<QDockWidget*>(extraction_), dataPlotDock_,
          static_cast<QDockWidget*>(measure_)}) {
        QAction* toggle = dock->toggleViewAction();
        panels->addAction(toggle);
        // A panel asked for comes to the front of its tabs.
        connect(toggle, &QAction::triggered, dock, [dock](bool shown) {
            if (shown)
                dock->raise();
        });
    }
}
