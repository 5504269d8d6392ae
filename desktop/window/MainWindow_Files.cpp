// The main window's traffic with files and other programs: exporting, the clipboard,
// dropped files, recent files and the settings kept between runs.
#include "desktop/window/MainWindow.h"

#include "controller/TableText.h"
#include "desktop/files/ExportDialog.h"
#include "desktop/files/ImageLoading.h"
#include "desktop/window/RecoveryOffer.h"
#include "desktop/tables/PointTableView.h"
#include "ui_MainWindow.h"

#include <QClipboard>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>

namespace {

std::string localPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

void MainWindow::connectFileActions()
{
    recent_ = new RecentFiles(*ui_->openRecentMenu, this);
    connect(recent_, &RecentFiles::chosen, this, [this](const QString& path) {
        if (mayDiscardData())
            manager_->openPath(localPath(path));
        updateGuide();
    });
    connect(ui_->actionLocatePicture, &QAction::triggered, this, [this] { manager_->locatePicture(); });
    connect(ui_->actionExportData, &QAction::triggered, this, &MainWindow::exportData);
    connect(ui_->actionCopy, &QAction::triggered, this, [this] { copyRows(false); });
    connect(ui_->actionCopyAllRows, &QAction::triggered, this, [this] { copyRows(true); });
    connect(ui_->actionPastePicture, &QAction::triggered, this, [this] {
        releaseImagePlugins();
        const QImage image = QGuiApplication::clipboard()->image();
        if (image.isNull()) {
            statusBar()->showMessage(tr("The clipboard holds no picture to paste."), 5000);
            return;
        }
        openUnsavedPicture(image);
    });
    setAcceptDrops(true);
}

void MainWindow::exportData()
{
    if (!manager_->mayExport())
        return;
    const std::optional<ExportChoice> choice = chooseExport(
        QString::fromStdString(manager_->document().active().look.name), manager_->document().axes(), this);
    if (choice)
        manager_->exportData(localPath(choice->path), choice->layout, choice->allSeries, choice->resampling);
}

// The selected rows of the table on show, or every point of the active series.
void MainWindow::copyRows(bool all)
{
    const PointTable& table =
        all ? *manager_->acquireMatrix()
            : (manager_->mode() == PlotmeterManager::calMode ? *manager_->calMatrix() : *manager_->acquireMatrix());
    std::vector<int> rows;
    if (all)
        for (int row = 0; row < table.numberOfRows(); ++row)
            rows.push_back(row);
    else
        for (const std::size_t row : editor_->selectedRows())
            rows.push_back(static_cast<int>(row));
    if (rows.empty()) {
        statusBar()->showMessage(all ? tr("The active series has no points to copy.")
                                     : tr("Select rows of the table, or points on the picture, to copy them."),
                                 5000);
        return;
    }
    if (all && copyResampledRows())
        return;
    QGuiApplication::clipboard()->setText(QString::fromStdString(tableText(table, rows)));
    statusBar()->showMessage(rows.size() == 1 ? tr("Copied 1 row.") : tr("Copied %1 rows.").arg(rows.size()), 5000);
}

// Copy All Rows at the x values chosen in Export Data…, once there is a calibration to
// interpolate with; false when none were chosen (every row is copied as it is).
bool MainWindow::copyResampledRows()
{
    const AxisScales axes = manager_->document().axes();
    std::string problem;
    const Resampling resampling = rememberedResampling(axes.x, problem);
    if (!problem.empty()) {
        statusBar()->showMessage(tr("Nothing was copied: %1 Choose the x values again in File ▸ Export Data….")
                                     .arg(QString::fromStdString(problem)),
                                 8000);
        return true;
    }
    if (!resampling.resamples())
        return false;
    if (!manager_->worldMap()) {
        statusBar()->showMessage(
            tr("Nothing was copied: the rows are resampled at the x values chosen in Export Data…, which needs "
               "the calibration. Choose Acquire first."),
            8000);
        return true;
    }
    const ResampledSeries sampled = resampleSeries(manager_->document().series(), *manager_->worldMap(), resampling,
                                                   manager_->document().activeSeries());
    if (!sampled.problem.empty()) {
        statusBar()->showMessage(tr("Nothing was copied: %1.").arg(QString::fromStdString(sampled.problem)), 8000);
        return true;
    }
    const std::vector<SampledPoint>& points = sampled.series.front().points;
    QGuiApplication::clipboard()->setText(QString::fromStdString(sampledRowsText(points, axes)));
    const QString how = QString::fromStdString(describeResampling(resampling, axes));
    const QString copied = points.size() == 1 ? tr("Copied 1 row") : tr("Copied %1 rows").arg(points.size());
    statusBar()->showMessage(tr("%1, %2, as chosen in File ▸ Export Data….").arg(copied, how), 8000);
    return true;
}

// A picture from the clipboard or a drop: kept as a PNG beside the recovery copy, so that
// a crash loses it no more than the points, until a project keeps it.
void MainWindow::openUnsavedPicture(const QImage& image)
{
    if (!mayDiscardData())
        return;
    QString why;
    const QString path = recovery_->keepPicture(image, why);
    if (path.isEmpty()) {
        QMessageBox::warning(this, tr("Can't Paste Picture"), tr("The picture could not be kept: %1.").arg(why));
        return;
    }
    manager_->openUnsavedPicture(localPath(path));
    updateGuide();
}

bool MainWindow::isUnsavedPicture(const std::string& path) const
{
    return recovery_->keeps(QFile::decodeName(path.c_str()));
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    releaseImagePlugins();
    const QMimeData* dropped = event->mimeData();
    const bool file = dropped->hasUrls() && !dropped->urls().isEmpty() && dropped->urls().constFirst().isLocalFile();
    if (file || dropped->hasImage())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QMimeData* dropped = event->mimeData();
    event->acceptProposedAction();
    if (dropped->hasUrls() && !dropped->urls().isEmpty() && dropped->urls().constFirst().isLocalFile()) {
        const QString path = dropped->urls().constFirst().toLocalFile();
        if (mayDiscardData())
            manager_->openPath(localPath(path));
        updateGuide();
    } else if (dropped->hasImage()) {
        openUnsavedPicture(qvariant_cast<QImage>(dropped->imageData()));
    }
}

// The file on show goes to the top of File ▸ Open Recent.
void MainWindow::noteRecentFile()
{
    const std::string& project = manager_->projectPath();
    const std::string& shown = project.empty() ? manager_->document().picture() : project;
    if (shown.empty() || shown == lastShown_ || isUnsavedPicture(shown))
        return;
    lastShown_ = shown;
    recent_->add(QFile::decodeName(shown.c_str()));
}

void MainWindow::restoreSettings()
{
    const QSettings settings;
    restoreGeometry(settings.value(QStringLiteral("window/geometry")).toByteArray());
    magnifier_->setEnlargement(settings.value(QStringLiteral("magnifier/enlargement"), 6).toInt());
    ui_->actionShowCalibrationGrid->setChecked(settings.value(QStringLiteral("view/calibrationGrid"), false).toBool());
    // The panels as the user left them; a layout saved by an older version is not this one's.
    restoreState(settings.value(QStringLiteral("window/panels")).toByteArray(), panelLayoutVersion);
    snapClicks_->setChecked(settings.value(QStringLiteral("view/snapClicks"), false).toBool());
}

void MainWindow::saveSettings() const
{
    QSettings settings;
    settings.setValue(QStringLiteral("window/geometry"), saveGeometry());
    settings.setValue(QStringLiteral("magnifier/enlargement"), magnifier_->enlargement());
    settings.setValue(QStringLiteral("view/calibrationGrid"), ui_->actionShowCalibrationGrid->isChecked());
    settings.setValue(QStringLiteral("window/panels"), saveState(panelLayoutVersion));
    settings.setValue(QStringLiteral("view/snapClicks"), snapClicks_->isChecked());
}

// Copies of work a crash left behind, offered before anything else: true when one was
// recovered and the window now shows it.
bool MainWindow::offerRecovery()
{
    QStringList damaged;
    std::vector<RecoverableCopy> copies = findRecoverableCopies(RecoveryCopy::folder(), damaged);
    if (!damaged.isEmpty())
        QMessageBox::warning(this, tr("Damaged Recovery Copy"),
                             tr("A copy of unsaved work could not be read, and has been put aside: %1.")
                                 .arg(damaged.join(QStringLiteral("; "))));
    if (copies.empty())
        return false;
    RecoveryDialog dialog(copies, this);
    dialog.exec();
    RecoverableCopy* chosen = dialog.chosen();
    if (chosen == nullptr)
        return false;
    // A pasted picture kept beside the copy becomes this window's to keep.
    const bool pasted = QFileInfo(chosen->picture).absolutePath() == QFileInfo(chosen->path).absolutePath();
    if (pasted)
        recovery_->adoptPicture(chosen->picture);
    const bool opened = manager_->openRecoveredCopy(localPath(chosen->path), pasted ? localPath(chosen->picture) : "");
    if (opened) {
        chosen->picture.clear(); // kept: it is the recovered document's now
        chosen->discard();
        recovery_->writeNow(); // the window's own copy from now on
    }
    return opened;
}
