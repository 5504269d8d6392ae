#include "desktop/panels/ExtractionPanel.h"

#include "desktop/panels/ExtractionSwatch.h"

#include "controller/PlotmeterManager.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QToolButton>

#include <algorithm>
#include <limits>

QColor qColour(Rgb colour)
{
    return {colour.red, colour.green, colour.blue};
}

QIcon swatchIcon(QColor colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    QPainter painter(&pixmap);
    painter.setPen(QColor(0, 0, 0, 120));
    painter.drawRect(0, 0, 15, 15);
    return QIcon(pixmap);
}

namespace {

// Shows 8 as "8" and 0.001 as "0.001": a step in x units may need many decimals, a
// step in pixels rarely any.
class CompactSpinBox : public QDoubleSpinBox {
  public:
    using QDoubleSpinBox::QDoubleSpinBox;
    QString textFromValue(double value) const override
    {
        QLocale plain = locale();
        plain.setNumberOptions(QLocale::OmitGroupSeparator);
        return plain.toString(value, 'g', 10);
    }
};

} // namespace

// The controls of the panel, and the choices they show; each remembered for the next start.
void ExtractionPanel::buildControls()
{
    if (built_)
        return;
    built_ = true;
    auto* body = new QWidget(this);
    auto* form = new QFormLayout(body);

    // The colour: a swatch that opens the colour dialog, the eyedropper, the main colours.
    auto* colourRow = new QHBoxLayout;
    swatch_ = new QToolButton(body);
    swatch_->setObjectName(QStringLiteral("extractionColour"));
    swatch_->setText(tr("None"));
    swatch_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    swatch_->setToolTip(tr("The colour of the curve or markers; click to choose it"));
    eyedropper_ = new QToolButton(body);
    eyedropper_->setObjectName(QStringLiteral("eyedropper"));
    eyedropper_->setText(tr("Pick"));
    eyedropper_->setCheckable(true);
    eyedropper_->setToolTip(tr("Click the curve or a marker on the picture to take its colour; in line mode the "
                               "curve through the point clicked is the one followed"));
    colourRow->addWidget(swatch_);
    colourRow->addWidget(eyedropper_);
    colourRow->addStretch();
    form->addRow(tr("Colour:"), colourRow);
    palette_ = new QWidget(body);
    palette_->setLayout(new QHBoxLayout);
    palette_->layout()->setContentsMargins(0, 0, 0, 0);
    palette_->setToolTip(tr("The picture's main colours"));
    form->addRow(QString(), palette_);

    QSettings settings;
    tolerance_ = new QDoubleSpinBox(body);
    tolerance_->setObjectName(QStringLiteral("extractionTolerance"));
    tolerance_->setRange(1.0, 100.0);
    tolerance_->setDecimals(1);
    tolerance_->setValue(settings.value(QStringLiteral("extraction/tolerance"), defaultTolerance).toDouble());
    tolerance_->setToolTip(tr("How far a pixel's colour may be from the colour (CIELAB colour difference, "
                              "ΔE); %1 suits anti-aliased lines and JPEG pictures")
                               .arg(defaultTolerance));
    showMatches_ = new QCheckBox(tr("Show matching pixels"), body);
    showMatches_->setObjectName(QStringLiteral("showMatches"));
    showMatches_->setChecked(true);
    form->addRow(tr("Tolerance:"), tolerance_);
    form->addRow(QString(), showMatches_);

    mode_ = new QComboBox(body);
    mode_->setObjectName(QStringLiteral("extractionMode"));
    mode_->addItems({tr("Line"), tr("Markers"), tr("Bars"), tr("Horizontal bars")});
    mode_->setItemData(2, tr("One point a bar: the middle of its end, from the baseline up or down"), Qt::ToolTipRole);
    mode_->setItemData(3, tr("One point a bar: the middle of its end, from the baseline left or right"),
                       Qt::ToolTipRole);
    mode_->setCurrentIndex(std::clamp(settings.value(QStringLiteral("extraction/mode"), 0).toInt(), 0, 3));
    form->addRow(tr("Mode:"), mode_);

    lineOptions_ = new QWidget(body);
    auto* lineForm = new QFormLayout(lineOptions_);
    lineForm->setContentsMargins(0, 0, 0, 0);
    step_ = new CompactSpinBox(lineOptions_);
    step_->setObjectName(QStringLiteral("extractionStep"));
    step_->setRange(0.0001, 1e9);
    step_->setDecimals(4);
    step_->setValue(settings.value(QStringLiteral("extraction/step"), 1.0).toDouble());
    step_->setToolTip(tr("One point every so many picture pixels, or x units, along the x axis"));
    stepUnit_ = new QComboBox(lineOptions_);
    stepUnit_->setObjectName(QStringLiteral("extractionStepUnit"));
    stepUnit_->addItems({tr("pixels"), tr("x units")});
    stepUnit_->setCurrentIndex(settings.value(QStringLiteral("extraction/stepInUnits"), false).toBool() ? 1 : 0);
    stepUnit_->setToolTip(tr("x units are the x axis' own: decades on a log axis, seconds on a date axis"));
    keepAllRuns_ = new QCheckBox(tr("Keep every crossing, not one curve"), lineOptions_);
    gap_ = new QDoubleSpinBox(lineOptions_);
    gap_->setObjectName(QStringLiteral("extractionGap"));
    gap_->setRange(0.0, 500.0);
    gap_->setDecimals(0);
    gap_->setSuffix(tr(" px"));
    gap_->setValue(settings.value(QStringLiteral("extraction/gap"), defaultGap).toDouble());
    gap_->setToolTip(tr("The longest gap between the dashes or dots of a line that is bridged, in picture pixels"));
    auto* stepRow = new QHBoxLayout;
    stepRow->addWidget(step_, 1);
    stepRow->addWidget(stepUnit_);
    lineForm->addRow(tr("Step:"), stepRow);
    lineForm->addRow(tr("Bridge gaps up to:"), gap_);
    lineForm->addRow(keepAllRuns_);
    form->addRow(lineOptions_);

    markerOptions_ = new QWidget(body);
    auto* markerForm = new QFormLayout(markerOptions_);
    markerForm->setContentsMargins(0, 0, 0, 0);
    commonSize_ = new QCheckBox(tr("Sizes near the most common one"), markerOptions_);
    commonSize_->setObjectName(QStringLiteral("markerCommonSize"));
    commonSize_->setChecked(true);
    commonSize_->setToolTip(tr("Markers of about the size most shapes found have; off, the sizes below"));
    smallest_ = new QDoubleSpinBox(markerOptions_);
    largest_ = new QDoubleSpinBox(markerOptions_);
    smallest_->setObjectName(QStringLiteral("markerSmallest"));
    largest_->setObjectName(QStringLiteral("markerLargest"));
    for (QDoubleSpinBox* box : {smallest_, largest_}) {
        box->setRange(1.0, 1000.0);
        box->setDecimals(1);
        box->setSuffix(tr(" px"));
        box->setEnabled(false);
        box->setToolTip(tr("A marker's diameter, or a square's side, in picture pixels"));
    }
    smallest_->setValue(4.0);
    largest_->setValue(20.0);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(smallest_, 1);
    sizeRow->addWidget(new QLabel(tr("to"), markerOptions_));
    sizeRow->addWidget(largest_, 1);
    markerForm->addRow(commonSize_);
    markerForm->addRow(tr("Diameter:"), sizeRow);
    form->addRow(markerOptions_);

    barOptions_ = new QWidget(body);
    auto* barForm = new QFormLayout(barOptions_);
    barForm->setContentsMargins(0, 0, 0, 0);
    automaticBaseline_ = new QCheckBox(tr("At zero, or the box's lower end"), barOptions_);
    automaticBaseline_->setObjectName(QStringLiteral("automaticBaseline"));
    automaticBaseline_->setChecked(true);
    automaticBaseline_->setToolTip(tr("The bars grow from the value axis' zero where the box holds it; off, from the "
                                      "value below"));
    baseline_ = new QLineEdit(QStringLiteral("0"), barOptions_);
    baseline_->setObjectName(QStringLiteral("baseline"));
    baseline_->setEnabled(false);
    baseline_->setToolTip(tr("The value the bars grow from, in the value axis' units"));
    barForm->addRow(tr("Baseline:"), automaticBaseline_);
    barForm->addRow(QString(), baseline_);
    form->addRow(barOptions_);

    region_ = new QComboBox(body);
    region_->setObjectName(QStringLiteral("extractionRegion"));
    region_->addItems({tr("Inside the calibration points"), tr("Inside the box drawn")});
    drawBox_ = new QToolButton(body);
    drawBox_->setObjectName(QStringLiteral("drawBox"));
    drawBox_->setText(tr("Draw Box"));
    drawBox_->setCheckable(true);
    drawBox_->setToolTip(tr("Drag on the picture to draw the box to look in"));
    auto* regionRow = new QHBoxLayout;
    regionRow->addWidget(region_, 1);
    regionRow->addWidget(drawBox_);
    form->addRow(tr("Look:"), regionRow);

    brush_ = new QToolButton(body);
    brush_->setObjectName(QStringLiteral("paintOut"));
    brush_->setText(tr("Paint Out"));
    brush_->setCheckable(true);
    brush_->setToolTip(tr("Paint over legends and labels on the picture to leave them out"));
    brushSize_ = new QDoubleSpinBox(body);
    brushSize_->setRange(1.0, 500.0);
    brushSize_->setDecimals(0);
    brushSize_->setValue(12.0);
    brushSize_->setSuffix(tr(" px"));
    brushSize_->setToolTip(tr("The brush's radius in picture pixels"));
    clearPainted_ = new QPushButton(tr("Clear"), body);
    clearPainted_->setToolTip(tr("Forget what was painted out"));
    auto* brushRow = new QHBoxLayout;
    brushRow->addWidget(brush_);
    brushRow->addWidget(brushSize_);
    brushRow->addWidget(clearPainted_);
    brushRow->addStretch();
    form->addRow(QString(), brushRow);

    into_ = new QComboBox(body);
    into_->setObjectName(QStringLiteral("extractionInto"));
    into_->addItems({tr("The active series"), tr("A new series named after the colour")});
    form->addRow(tr("Points to:"), into_);

    extract_ = new QPushButton(tr("Extract"), body);
    extract_->setObjectName(QStringLiteral("extractButton"));
    extract_->setDefault(true);
    form->addRow(extract_);
    message_ = new QLabel(body);
    message_->setObjectName(QStringLiteral("extractionMessage"));
    message_->setWordWrap(true);
    form->addRow(message_);
    setWidget(body);

    const auto showModeOptions = [this] {
        lineOptions_->setVisible(mode_->currentIndex() == 0);
        markerOptions_->setVisible(mode_->currentIndex() == 1);
        barOptions_->setVisible(mode_->currentIndex() >= 2);
    };
    showModeOptions();
    connect(mode_, &QComboBox::currentIndexChanged, this, [this, showModeOptions](int index) {
        showModeOptions();
        emit pictureOverlayChanged(); // the point picked shows in line mode only
        QSettings().setValue(QStringLiteral("extraction/mode"), index);
    });
    connect(tolerance_, &QDoubleSpinBox::valueChanged, this, [this](double value) {
        QSettings().setValue(QStringLiteral("extraction/tolerance"), value);
        refreshOverlay();
    });
    connect(step_, &QDoubleSpinBox::valueChanged, this,
            [](double value) { QSettings().setValue(QStringLiteral("extraction/step"), value); });
    connect(gap_, &QDoubleSpinBox::valueChanged, this,
            [](double value) { QSettings().setValue(QStringLiteral("extraction/gap"), value); });
    connect(automaticBaseline_, &QCheckBox::toggled, this, [this](bool automatic) {
        baseline_->setEnabled(!automatic);
        if (!automatic)
            baseline_->setFocus();
    });
    connect(commonSize_, &QCheckBox::toggled, this, [this](bool common) {
        smallest_->setEnabled(!common);
        largest_->setEnabled(!common);
    });
    // The two sizes keep their order: raising the smallest above the largest raises both.
    connect(smallest_, &QDoubleSpinBox::valueChanged, this, [this](double value) {
        if (largest_->value() < value)
            largest_->setValue(value);
    });
    connect(largest_, &QDoubleSpinBox::valueChanged, this, [this](double value) {
        if (smallest_->value() > value)
            smallest_->setValue(value);
    });
    connect(stepUnit_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!manager_.document().axes().polar)
            QSettings().setValue(QStringLiteral("extraction/stepInUnits"), index == 1);
    });
    connect(showMatches_, &QCheckBox::toggled, this, [this] { refreshOverlay(); });
    connect(swatch_, &QToolButton::clicked, this, [this] {
        const QColor chosen = QColorDialog::getColor(colour_ ? qColour(*colour_) : Qt::red, this, tr("Colour to Extract"));
        if (chosen.isValid())
            setColour({static_cast<std::uint8_t>(chosen.red()), static_cast<std::uint8_t>(chosen.green()),
                       static_cast<std::uint8_t>(chosen.blue())});
    });
    connect(eyedropper_, &QToolButton::toggled, this, [this](bool on) {
        chooseTool(on ? ToolKind::eyedropper : ToolKind::none);
        if (on)
            say(tr("Click the curve or a marker on the picture: its colour, and in line mode the curve to follow."),
                false);
    });
    connect(drawBox_, &QToolButton::toggled, this, [this](bool on) { chooseTool(on ? ToolKind::box : ToolKind::none); });
    connect(brush_, &QToolButton::toggled, this, [this](bool on) { chooseTool(on ? ToolKind::brush : ToolKind::none); });
    connect(region_, &QComboBox::currentIndexChanged, this, [this] { emit pictureOverlayChanged(); });
    connect(clearPainted_, &QPushButton::clicked, this, [this] {
        excluded_.clear();
        emit pictureOverlayChanged();
    });
    connect(extract_, &QPushButton::clicked, this, [this] { start(); });
    followAxes();
}

void ExtractionPanel::followAxes()
{
    if (!built_)
        return;
    const std::optional<PolarAxes> polar = manager_.document().axes().polar;
    // Called at every change of the document: only a change of the axes' kind or angle
    // unit has anything to do here.
    const std::optional<AngleUnit> unit = polar ? std::optional(polar->angle) : std::nullopt;
    if (followed_ && *followed_ == unit)
        return;
    followed_ = unit;
    stepUnit_->setItemText(1, !polar                                ? tr("x units")
                              : polar->angle == AngleUnit::degrees ? tr("degrees")
                                                                   : tr("radians"));
    if (auto* items = qobject_cast<QStandardItemModel*>(stepUnit_->model()))
        items->item(0)->setEnabled(!polar);
    // The choice kept in the settings is the Cartesian one.
    const QSignalBlocker quiet(stepUnit_);
    stepUnit_->setCurrentIndex(polar || QSettings().value(QStringLiteral("extraction/stepInUnits"), false).toBool() ? 1
                                                                                                                   : 0);
}

ExtractionSettings ExtractionPanel::settings() const
{
    ExtractionSettings settings;
    if (!built_)
        return settings;
    settings.colour = colour_.value_or(Rgb{});
    settings.tolerance = tolerance_->value();
    constexpr ExtractionMode modes[] = {ExtractionMode::line, ExtractionMode::markers, ExtractionMode::bars,
                                        ExtractionMode::horizontalBars};
    settings.mode = modes[std::clamp(mode_->currentIndex(), 0, 3)];
    if (settings.mode == ExtractionMode::bars || settings.mode == ExtractionMode::horizontalBars) {
        if (!automaticBaseline_->isChecked()) {
            // A value that is no number is the settings' problem to name.
            bool number = false;
            const double value = QLocale().toDouble(baseline_->text().trimmed(), &number);
            const double plain = number ? value : baseline_->text().trimmed().toDouble(&number);
            settings.baseline = number ? plain : std::numeric_limits<double>::quiet_NaN();
        }
    }
    if (stepUnit_->currentIndex() == 1)
        settings.worldStep = step_->value();
    else
        settings.step = step_->value();
    settings.keepAllRuns = keepAllRuns_->isChecked();
    // On polar axes the curve is followed ray by ray from the centre: the point picked only
    // chose the colour.
    if (!manager_.document().axes().polar)
        settings.start = start_;
    settings.gap = gap_->value();
    if (!commonSize_->isChecked()) {
        settings.markers.smallest = smallest_->value();
        settings.markers.largest = largest_->value();
    }
    if (region_->currentIndex() == 1 && drawnBox_)
        settings.box = drawnBox_;
    settings.excluded = excluded_;
    return settings;
}

