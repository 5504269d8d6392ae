#include "desktop/window/RecoveryOffer.h"

#include "document/ProjectFile.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QString lockOf(const QString& copy)
{
    return copy.left(copy.size() - static_cast<int>(qstrlen(".plotmeter"))) + QStringLiteral(".lock");
}

} // namespace

void RecoverableCopy::discard()
{
    QFile::remove(path);
    // A pasted picture kept beside the copy goes with it.
    const QFileInfo kept(picture);
    if (!picture.isEmpty() && kept.absolutePath() == QFileInfo(path).absolutePath())
        QFile::remove(picture);
    if (lock != nullptr)
        lock->unlock();
    lock.reset();
}

std::vector<RecoverableCopy> findRecoverableCopies(const QString& folder, QStringList& damaged)
{
    std::vector<RecoverableCopy> found;
    const QDir dir(folder);
    for (const QFileInfo& file : dir.entryInfoList({QStringLiteral("*.plotmeter")}, QDir::Files, QDir::Time)) {
        RecoverableCopy copy;
        copy.path = file.absoluteFilePath();
        copy.lock = std::make_unique<QLockFile>(lockOf(copy.path));
        copy.lock->setStaleLockTime(0); // owned as long as its process runs, however old
        if (!copy.lock->tryLock(0))
            continue; // a running Plotmeter's, or another start's being offered
        const ProjectReading reading = readProjectFile(QFile::encodeName(copy.path).toStdString());
        if (!reading.document) {
            dir.mkpath(QStringLiteral("damaged"));
            const QString aside = dir.filePath(QStringLiteral("damaged/") + file.fileName());
            QFile::remove(aside);
            QFile::rename(copy.path, aside);
            copy.lock->unlock();
            damaged << QObject::tr("%1 (%2), moved to %3")
                           .arg(file.fileName(), QString::fromStdString(reading.error), QDir::toNativeSeparators(aside));
            continue;
        }
        copy.written = file.lastModified();
        copy.picture = QFile::decodeName(reading.document->picture().c_str());
        copy.calibrationPoints = reading.document->calibration().size();
        for (const Series& series : reading.document->series())
            copy.dataPoints += series.points.size();
        found.push_back(std::move(copy));
    }
    return found;
}

RecoveryDialog::RecoveryDialog(std::vector<RecoverableCopy>& copies, QWidget* parent)
    : QDialog(parent), copies_(copies), list_(new QListWidget(this))
{
    setObjectName(QStringLiteral("recoveryDialog"));
    setWindowTitle(tr("Recover Unsaved Work"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(tr("Plotmeter ended before this work was saved. Recover it to go on where you left "
                               "off (then save it where you choose), or discard it."),
                            this);
    text->setWordWrap(true);
    layout->addWidget(text);
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* recover = buttons->addButton(tr("Recover"), QDialogButtonBox::AcceptRole);
    QPushButton* discard = buttons->addButton(tr("Discard"), QDialogButtonBox::DestructiveRole);
    buttons->addButton(tr("Later"), QDialogButtonBox::RejectRole);
    recover->setObjectName(QStringLiteral("recoverButton"));
    discard->setObjectName(QStringLiteral("discardButton"));
    recover->setDefault(true);
    layout->addWidget(buttons);
    connect(recover, &QPushButton::clicked, this, [this] {
        const int row = list_->currentRow();
        if (row < 0 || row >= static_cast<int>(copies_.size()))
            return;
        chosen_ = &copies_[static_cast<std::size_t>(row)];
        accept();
    });
    connect(discard, &QPushButton::clicked, this, [this] {
        const int row = list_->currentRow();
        if (row < 0 || row >= static_cast<int>(copies_.size()))
            return;
        copies_[static_cast<std::size_t>(row)].discard();
        copies_.erase(copies_.begin() + row);
        if (copies_.empty())
            reject();
        else
            fill();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    fill();
    resize(520, sizeHint().height());
}

void RecoveryDialog::fill()
{
    list_->clear();
    for (const RecoverableCopy& copy : copies_) {
        const QString picture = copy.picture.isEmpty() ? tr("no picture") : QFileInfo(copy.picture).fileName();
        list_->addItem(tr("%1 — written %2 — %3 calibration points, %4 data points")
                           .arg(picture, QLocale().toString(copy.written, QLocale::ShortFormat))
                           .arg(copy.calibrationPoints)
                           .arg(copy.dataPoints));
    }
    list_->setCurrentRow(0); // the newest
}
