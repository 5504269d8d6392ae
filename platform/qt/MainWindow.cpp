#include "platform/qt/MainWindow.h"

#include "platform/qt/QtImage.h"
#include "platform/qt/QtPlatform.h"
#include "ui_MainWindow.h"
#include "view/PlotmeterView.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QMessageBox>

MainWindow::MainWindow(QtPlatform& platform, QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::MainWindow>())
{
    ui_->setupUi(this);
    ui_->splitter->setStretchFactor(0, 1);
    ui_->splitter->setSizes({width() - 470, 470});
    modeGroup_.addButton(ui_->calibrateButton, 0);
    modeGroup_.addButton(ui_->acquireButton, 1);

    platform.setWindow(this);
    manager_ = std::make_unique<PlotmeterManager>(platform);
    plotView_ = std::make_unique<PlotScrollView>(*ui_->plotScrollArea);
    dataView_ = std::make_unique<DataScrollView>(*ui_->dataStack);
    modeButtons_ = std::make_unique<QtModeButtons>(modeGroup_);
    manager_->connectOutlets(*plotView_, *dataView_, *modeButtons_);
    marks_ = std::make_unique<PlotMarks>(*manager_);
    plotView_->setOverlay([this](QPainter& painter, const QRect& exposed) {
        if (const PlotmeterView* view = manager_->plotmeterView())
            marks_->paint(painter, exposed, qRound(view->bounds().size.height));
    });

    plotView_->onPictureShown([this](const QtImage& picture) {
        setWindowTitle(tr("%1 — Plotmeter").arg(QFileInfo(picture.path()).fileName()));
    });
    connectActions();
}

// The views go first, while the controller's tables they observe are still there.
MainWindow::~MainWindow()
{
    dataView_.reset();
    plotView_.reset();
    manager_.reset();
}

void MainWindow::launch(const QStringList& arguments)
{
    manager_->applicationDidFinishLaunching();
    updateGuide();
    if (!arguments.isEmpty())
        manager_->openPlotAtPath(QFile::encodeName(arguments.constFirst()).toStdString());
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
    connect(ui_->actionClearData, &QAction::triggered, this, [this] {
        manager_->clearData();
        plotView_->refresh();
    });
    connect(ui_->actionQuit, &QAction::triggered, this, &QWidget::close);
    connect(ui_->actionCalibrate, &QAction::triggered, ui_->calibrateButton, &QAbstractButton::click);
    connect(ui_->actionAcquire, &QAction::triggered, ui_->acquireButton, &QAbstractButton::click);
    connect(&modeGroup_, &QButtonGroup::idClicked, this, [this] {
        manager_->setMode();
        updateGuide();
    });
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (mayDiscardData())
        event->accept();
    else
        event->ignore();
}

bool MainWindow::mayDiscardData()
{
    if (!manager_->hasUnsavedData())
        return true;
    const int rows = manager_->acquireMatrix()->numberOfRows();
    QMessageBox box(QMessageBox::Question, tr("Unsaved Data"),
                    rows == 1 ? tr("The data table holds 1 point that has not been saved.")
                              : tr("The data table holds %1 points that have not been saved.").arg(rows),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setObjectName(QStringLiteral("unsavedDataQuestion"));
    box.setInformativeText(tr("Save them before they are discarded?"));
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save:
        manager_->saveData();
        return !manager_->hasUnsavedData();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

// One line under the mode buttons that tells a first-time user what a double-click does.
void MainWindow::updateGuide()
{
    QString guide;
    if (manager_->plotmeterView() == nullptr)
        guide = tr("Open a picture of a plot with File ▸ Open Plot… (Ctrl+O).");
    else if (manager_->mode() == PlotmeterManager::calMode)
        guide = tr("Calibrate: double-click three or more known points (axis marks) and type the values "
                   "they stand for. Then choose Acquire.");
    else
        guide = tr("Acquire: double-click points on the curve. Save Data… (Ctrl+S) writes them to a file.");
    ui_->guideLabel->setText(guide);
}
