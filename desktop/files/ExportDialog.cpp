#include "desktop/files/ExportDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>

namespace {

const char separators[] = {',', '\t', ';'};

// The grids in the order the dialog lists them, with the setting that keeps each one's text.
const Resampling::Grid grids[] = {Resampling::Grid::none, Resampling::Grid::step, Resampling::Grid::count,
                                  Resampling::Grid::values};
const char* const gridTextKeys[] = {"", "export/gridStep", "export/gridCount", "export/gridValues"};

// How a sentence about the text typed for a grid starts.
QString gridSubject(int grid)
{
    return grid == 1   ? QObject::tr("The step")
           : grid == 2 ? QObject::tr("The number of x values")
                       : QObject::tr("The list of x values");
}

// The name of the text field, with the unit of a step.
QString gridName(int grid, const AxisScales& axes)
{
    const std::string unit = stepUnit(axes);
    switch (grid) {
    case 1:
        return unit.empty() ? QObject::tr("Step:") : QObject::tr("Step (%1):").arg(QString::fromStdString(unit));
    case 2:
        return QObject::tr("How many:");
    case 3:
        return QObject::tr("Values:");
    default:
        return {};
    }
}

QString gridPlaceholder(int grid, const AxisScales& axes)
{
    switch (grid) {
    case 1:
        return axes.polar                   ? QObject::tr("such as 15")
               : axes.x == AxisScale::log10 ? QObject::tr("such as 0.1")
               : axes.x == AxisScale::date  ? QObject::tr("such as 3600")
                                            : QObject::tr("such as 0.5");
    case 2:
        return QObject::tr("2 or more, such as 50");
    case 3:
        return axes.x == AxisScale::date ? QObject::tr("dates or seconds: 2024-03-01, 2024-03-01T12:00")
                                         : QObject::tr("separated by commas: 1, 2.5, 10");
    default:
        return {};
    }
}

// Reads the text typed for a grid; the problem as a sentence, or empty.
QString readGridText(int grid, const QString& text, AxisScale x, Resampling& resampling)
{
    const std::string problem = readGrid(grids[grid], text.toStdString(), x, resampling);
    return problem.empty() ? QString() : gridSubject(grid) + QLatin1Char(' ') + QString::fromStdString(problem) + '.';
}

} // namespace

ExportDialog::ExportDialog(const QString& activeSeries, const AxisScales& axes, QWidget* parent)
    : QDialog(parent), axes_(axes)
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

    grid_ = new QComboBox(this);
    grid_->setObjectName(QStringLiteral("exportGrid"));
    grid_->addItems(
        {tr("Where the points were taken"), tr("Every multiple of a step"), tr("Evenly spaced"), tr("These values")});
    grid_->setToolTip(tr("Where the points are written: where they were taken, or at chosen x values within each "
                         "series' range, y interpolated between its points. Edit ▸ Copy All Rows follows this."));
    gridText_ = new QLineEdit(this);
    gridText_->setObjectName(QStringLiteral("exportGridText"));
    interpolation_ = new QComboBox(this);
    interpolation_->setObjectName(QStringLiteral("exportInterpolation"));
    interpolation_->addItems({tr("Straight lines"), tr("Natural cubic spline")});
    gridProblem_ = new QLabel(this);
    gridProblem_->setObjectName(QStringLiteral("exportGridProblem"));
    gridProblem_->setWordWrap(true);
    for (int grid = 1; grid < 4; ++grid)
        texts_[grid] = settings.value(QLatin1String(gridTextKeys[grid])).toString();
    grid_->setCurrentIndex(std::clamp(settings.value(QStringLiteral("export/grid"), 0).toInt(), 0, 3));
    interpolation_->setCurrentIndex(settings.value(QStringLiteral("export/cubic"), false).toBool() ? 1 : 0);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    export_ = buttons->addButton(tr("Export…"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(grid_, &QComboBox::currentIndexChanged, this, &ExportDialog::gridChanged);
    connect(gridText_, &QLineEdit::textChanged, this, &ExportDialog::checkGrid);
    shownGrid_ = grid_->currentIndex();
    gridText_->setText(texts_[shownGrid_]);
    gridLabel_ = new QLabel(this);
    gridChanged();

    auto* form = new QFormLayout(this);
    form->addRow(tr("Points of:"), series_);
    form->addRow(tr("Between values:"), separator_);
    form->addRow(tr("Decimal mark:"), decimal_);
    form->addRow(tr("Columns:"), screen_);
    form->addRow(QString(), seriesColumn_);
    form->addRow(QString(), header_);
    form->addRow(tr("At x values:"), grid_);
    form->addRow(gridLabel_, gridText_);
    form->addRow(tr("Between points:"), interpolation_);
    form->addRow(gridProblem_);
    form->addRow(buttons);
}

void ExportDialog::gridChanged()
{
    texts_[shownGrid_] = gridText_->text();
    shownGrid_ = grid_->currentIndex();
    gridText_->setText(texts_[shownGrid_]);
    gridText_->setPlaceholderText(gridPlaceholder(shownGrid_, axes_));
    gridLabel_->setText(gridName(shownGrid_, axes_));
    gridText_->setEnabled(shownGrid_ != 0);
    interpolation_->setEnabled(shownGrid_ != 0);
    checkGrid();
}

void ExportDialog::checkGrid()
{
    Resampling resampling;
    const int grid = grid_->currentIndex();
    const QString text = gridText_->text();
    const QString problem = grid == 0 ? QString() : readGridText(grid, text, axes_.x, resampling);
    // An empty field is waiting for its text, not wrong yet.
    gridProblem_->setText(text.trimmed().isEmpty() ? QString() : problem);
    gridProblem_->setVisible(!gridProblem_->text().isEmpty());
    export_->setEnabled(problem.isEmpty());
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

Resampling ExportDialog::resampling() const
{
    Resampling resampling;
    if (!readGridText(grid_->currentIndex(), gridText_->text(), axes_.x, resampling).isEmpty())
        return {};
    if (interpolation_->currentIndex() == 1)
        resampling.interpolation = Resampling::Interpolation::cubic;
    return resampling;
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
    settings.setValue(QStringLiteral("export/grid"), grid_->currentIndex());
    settings.setValue(QStringLiteral("export/cubic"), interpolation_->currentIndex() == 1);
    for (int grid = 1; grid < 4; ++grid)
        settings.setValue(QLatin1String(gridTextKeys[grid]),
                          grid == grid_->currentIndex() ? gridText_->text() : texts_[grid]);
}

Resampling rememberedResampling(AxisScale x, std::string& problem)
{
    problem.clear();
    const QSettings settings;
    const int grid = std::clamp(settings.value(QStringLiteral("export/grid"), 0).toInt(), 0, 3);
    Resampling resampling;
    if (grid == 0)
        return resampling;
    const QString text = settings.value(QLatin1String(gridTextKeys[grid])).toString();
    if (const QString why = readGridText(grid, text, x, resampling); !why.isEmpty()) {
        problem = why.toStdString();
        return {};
    }
    if (settings.value(QStringLiteral("export/cubic"), false).toBool())
        resampling.interpolation = Resampling::Interpolation::cubic;
    return resampling;
}

std::optional<ExportChoice> chooseExport(const QString& activeSeries, const AxisScales& axes, QWidget* parent)
{
    ExportDialog options(activeSeries, axes, parent);
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
    return ExportChoice{path, options.layout(), options.allSeries(), options.resampling()};
}
