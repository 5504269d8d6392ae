#include "desktop/files/ExportDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QSettings>

namespace {

const char separators[] = {',', '\t', ';'};

} // namespace

ExportDialog::ExportDialog(const QString& activeSeries, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("exportDialog"));
    setWindowTitle(tr("Export Data"));
    series_ = new QComboBox(this);
    series_->setObjectName(QStringLiteral("exportSeries"));
    series_->addItems({tr("Every series"), tr("The active series (%1)").arg(activeSeries)});
    separator_ = new QComboBox(this);
    separator_->setObjectName(QStringLiteral("exportSeparator"));
    separator_->addItems({tr("Comma (.csv)"), tr("Tab (.tsv)"), tr("Semicolon (.csv)")});
    decimal_ = new QComboBox(this);
    decimal_->setObjectName(QStringLiteral("exportDecimal"));
    decimal_->addItems({tr("Point: 12.5"), tr("Comma: 12,5")});
    screen_ = new QCheckBox(tr("Picture coordinates (screen_x, screen_y)"), this);
    seriesColumn_ = new QCheckBox(tr("Series name (series)"), this);
    header_ = new QCheckBox(tr("Header row"), this);

    const QSettings settings;
    series_->setCurrentIndex(settings.value(QStringLiteral("export/activeOnly"), false).toBool() ? 1 : 0);
    separator_->setCurrentIndex(std::clamp(settings.value(QStringLiteral("export/separator"), 0).toInt(), 0, 2));
    decimal_->setCurrentIndex(settings.value(QStringLiteral("export/decimalComma"), false).toBool() ? 1 : 0);
    screen_->setChecked(settings.value(QStringLiteral("export/screen"), true).toBool());
    seriesColumn_->setChecked(settings.value(QStringLiteral("export/series"), true).toBool());
    header_->setChecked(settings.value(QStringLiteral("export/header"), true).toBool());
    connect(separator_, &QComboBox::currentIndexChanged, this, &ExportDialog::separatorChanged);
    separatorChanged();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    buttons->addButton(tr("Export…"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout(this);
    form->addRow(tr("Points of:"), series_);
    form->addRow(tr("Between values:"), separator_);
    form->addRow(tr("Decimal mark:"), decimal_);
    form->addRow(tr("Columns:"), screen_);
    form->addRow(QString(), seriesColumn_);
    form->addRow(QString(), header_);
    form->addRow(buttons);
}

// A decimal comma cannot go with commas between the values.
void ExportDialog::separatorChanged()
{
    const bool comma = separator_->currentIndex() == 0;
    if (comma)
        decimal_->setCurrentIndex(0);
    decimal_->setEnabled(!comma);
}

TextLayout ExportDialog::layout() const
{
    TextLayout layout;
    layout.separator = separators[separator_->currentIndex()];
    layout.decimalComma = decimal_->currentIndex() == 1 && layout.separator != ',';
    layout.screenColumns = screen_->isChecked();
    layout.seriesColumn = seriesColumn_->isChecked();
    layout.header = header_->isChecked();
    return layout;
}

bool ExportDialog::allSeries() const
{
    return series_->currentIndex() == 0;
}

QString ExportDialog::suffix() const
{
    return separator_->currentIndex() == 1 ? QStringLiteral("tsv") : QStringLiteral("csv");
}

void ExportDialog::remember() const
{
    QSettings settings;
    settings.setValue(QStringLiteral("export/activeOnly"), !allSeries());
    settings.setValue(QStringLiteral("export/separator"), separator_->currentIndex());
    settings.setValue(QStringLiteral("export/decimalComma"), decimal_->currentIndex() == 1);
    settings.setValue(QStringLiteral("export/screen"), screen_->isChecked());
    settings.setValue(QStringLiteral("export/series"), seriesColumn_->isChecked());
    settings.setValue(QStringLiteral("export/header"), header_->isChecked());
}

std::optional<ExportChoice> chooseExport(const QString& activeSeries, QWidget* parent)
{
    ExportDialog options(activeSeries, parent);
    if (options.exec() != QDialog::Accepted)
        return std::nullopt;
    options.remember();

    QFileDialog panel(parent, QObject::tr("Export Data"));
    panel.setObjectName(QStringLiteral("exportPanel"));
    panel.setAcceptMode(QFileDialog::AcceptSave);
    panel.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = {QObject::tr("Comma-separated values (*.csv)"),
                                 QObject::tr("Tab-separated values (*.tsv)"),
                                 QObject::tr("Data file of the active series (*.txt)")};
    panel.setNameFilters(filters);
    panel.selectNameFilter(filters[options.suffix() == QLatin1String("tsv") ? 1 : 0]);
    panel.setDefaultSuffix(options.suffix());
    QSettings settings;
    panel.setDirectory(settings.value(QStringLiteral("export/folder")).toString());
    // The default suffix follows the kind of file chosen in the panel.
    QObject::connect(&panel, &QFileDialog::filterSelected, &panel, [&panel, &filters](const QString& filter) {
        const qsizetype kind = filters.indexOf(filter);
        panel.setDefaultSuffix(kind == 1   ? QStringLiteral("tsv")
                               : kind == 2 ? QStringLiteral("txt")
                                           : QStringLiteral("csv"));
    });
    if (panel.exec() != QDialog::Accepted || panel.selectedFiles().isEmpty())
        return std::nullopt;
    const QString path = panel.selectedFiles().constFirst();
    settings.setValue(QStringLiteral("export/folder"), panel.directory().absolutePath());
    return ExportChoice{path, options.layout(), options.allSeries()};
}
