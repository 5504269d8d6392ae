#include "desktop/files/QtFilePanels.h"

#include "desktop/files/ImageLoading.h"

#include <QFile>
#include <QFileDialog>
#include <QImageReader>
#include <QSettings>

QStringList imageFileFilters(bool withProjects)
{
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    patterns << QStringLiteral("*.pdf");
    const QString images = patterns.join(QLatin1Char(' '));
    QStringList filters;
    if (withProjects)
        filters << QObject::tr("Pictures, PDF documents and projects (*.plotmeter %1)").arg(images)
                << QObject::tr("Projects (*.plotmeter)");
    filters << QObject::tr("Pictures and PDF documents (%1)").arg(images) << QObject::tr("PDF documents (*.pdf)")
            << QObject::tr("All files (*)");
    return filters;
}

QString readableFormats()
{
    QStringList names;
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        const QString name = QString::fromLatin1(format).toUpper();
        // One name for each format that has two.
        if (name != QLatin1String("JPG") && name != QLatin1String("TIF") && !names.contains(name))
            names << name;
    }
    names << QStringLiteral("PDF");
    return names.join(QStringLiteral(", "));
}

namespace {

std::string localPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

QtOpenPanel::QtOpenPanel(QWidget* parent, FileKind kind)
    : dialog_(new QFileDialog(parent, kind == FileKind::picture ? QObject::tr("Locate Picture") : QObject::tr("Open")))
{
    dialog_->setObjectName(kind == FileKind::picture ? QStringLiteral("picturePanel") : QStringLiteral("openPanel"));
    dialog_->setFileMode(QFileDialog::ExistingFile);
    dialog_->setAcceptMode(QFileDialog::AcceptOpen);
    dialog_->setNameFilters(imageFileFilters(kind == FileKind::project));
    folderKey_ = QStringLiteral("folders/open");
    dialog_->setDirectory(QSettings().value(folderKey_).toString());
}

QtOpenPanel::~QtOpenPanel()
{
    delete dialog_;
}

int QtOpenPanel::runModal()
{
    releaseImagePlugins(); // the panel's icons and previews
    if (dialog_ == nullptr || dialog_->exec() != QDialog::Accepted)
        return cancelButton;
    QSettings().setValue(folderKey_, dialog_->directory().absolutePath());
    return okButton;
}

std::vector<std::string> QtOpenPanel::filenames() const
{
    std::vector<std::string> paths;
    if (dialog_ != nullptr)
        for (const QString& path : dialog_->selectedFiles())
            paths.push_back(localPath(path));
    return paths;
}

QtSavePanel::QtSavePanel(QWidget* parent, FileKind kind)
    : dialog_(
          new QFileDialog(parent, kind == FileKind::project ? QObject::tr("Save Project") : QObject::tr("Save Data")))
{
    dialog_->setFileMode(QFileDialog::AnyFile);
    dialog_->setAcceptMode(QFileDialog::AcceptSave);
    folderKey_ = kind == FileKind::project ? QStringLiteral("folders/project") : QStringLiteral("folders/data");
    dialog_->setDirectory(QSettings().value(folderKey_).toString());
    if (kind == FileKind::project) {
        dialog_->setObjectName(QStringLiteral("projectPanel"));
        dialog_->setNameFilters({QObject::tr("Plotmeter projects (*.plotmeter)")});
        dialog_->setDefaultSuffix(QStringLiteral("plotmeter"));
    } else {
        dialog_->setObjectName(QStringLiteral("savePanel"));
        dialog_->setNameFilters({QObject::tr("Text files (*.txt *.dat)"), QObject::tr("All files (*)")});
    }
}

QtSavePanel::~QtSavePanel()
{
    delete dialog_;
}

int QtSavePanel::runModal()
{
    releaseImagePlugins(); // the panel's icons and previews
    if (dialog_ == nullptr || dialog_->exec() != QDialog::Accepted)
        return cancelButton;
    QSettings().setValue(folderKey_, dialog_->directory().absolutePath());
    return okButton;
}

std::string QtSavePanel::filename() const
{
    if (dialog_ == nullptr || dialog_->selectedFiles().isEmpty())
        return {};
    return localPath(dialog_->selectedFiles().constFirst());
}
