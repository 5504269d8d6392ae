#include "platform/qt/QtFilePanels.h"

#include <QFile>
#include <QFileDialog>
#include <QImageReader>

QStringList imageFileFilters()
{
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    return {QObject::tr("Images (%1)").arg(patterns.join(QLatin1Char(' '))), QObject::tr("All files (*)")};
}

namespace {

std::string localPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

QtOpenPanel::QtOpenPanel(QWidget* parent) : dialog_(new QFileDialog(parent, QObject::tr("Open Plot")))
{
    dialog_->setObjectName(QStringLiteral("openPanel"));
    dialog_->setFileMode(QFileDialog::ExistingFile);
    dialog_->setAcceptMode(QFileDialog::AcceptOpen);
    dialog_->setNameFilters(imageFileFilters());
}

QtOpenPanel::~QtOpenPanel()
{
    delete dialog_;
}

int QtOpenPanel::runModal()
{
    if (dialog_ == nullptr)
        return cancelButton;
    return dialog_->exec() == QDialog::Accepted ? okButton : cancelButton;
}

std::vector<std::string> QtOpenPanel::filenames() const
{
    std::vector<std::string> paths;
    if (dialog_ != nullptr)
        for (const QString& path : dialog_->selectedFiles())
            paths.push_back(localPath(path));
    return paths;
}

QtSavePanel::QtSavePanel(QWidget* parent) : dialog_(new QFileDialog(parent, QObject::tr("Save Data")))
{
    dialog_->setObjectName(QStringLiteral("savePanel"));
    dialog_->setFileMode(QFileDialog::AnyFile);
    dialog_->setAcceptMode(QFileDialog::AcceptSave);
    dialog_->setNameFilters({QObject::tr("Text files (*.txt *.dat)"), QObject::tr("All files (*)")});
}

QtSavePanel::~QtSavePanel()
{
    delete dialog_;
}

int QtSavePanel::runModal()
{
    if (dialog_ == nullptr)
        return cancelButton;
    return dialog_->exec() == QDialog::Accepted ? okButton : cancelButton;
}

std::string QtSavePanel::filename() const
{
    if (dialog_ == nullptr || dialog_->selectedFiles().isEmpty())
        return {};
    return localPath(dialog_->selectedFiles().constFirst());
}
