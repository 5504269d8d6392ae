#include "desktop/panels/ExtractionPanel.h"

#include "controller/PlotmeterManager.h"
#include "desktop/picture/ClickSnapper.h"
#include "extraction/Palette.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <future>

namespace {

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

// The left button's job on the picture while a tool is chosen.
class ExtractionPanel::Tool : public PictureTool {
  public:
    Tool(ExtractionPanel& panel, ToolKind kind) : panel_(panel), kind_(kind) {}

    void pressed(DPoint picture) override
    {
        from_ = picture;
        act(picture, false);
    }
    void dragged(DPoint picture) override { act(picture, false); }
    void released(DPoint picture) override { act(picture, true); }
    QCursor cursor() const override { return kind_ == ToolKind::eyedropper ? Qt::PointingHandCursor : Qt::CrossCursor; }

  private:
    void act(DPoint picture, bool done)
    {
        switch (kind_) {
        case ToolKind::eyedropper:
            if (done)
                panel_.picked(picture);
            break;
        case ToolKind::box:
            panel_.boxDrawn(from_, picture, done);
            break;
        case ToolKind::brush:
            panel_.paintedOut(picture);
            break;
        case ToolKind::none:
            break;
        }
    }

    ExtractionPanel& panel_;
    ToolKind kind_;
    DPoint from_;
};

ExtractionPanel::ExtractionPanel(PlotmeterManager& manager, ShownPixels& pixels, std::function<bool()> acquire,
                                 QWidget* parent)
    : QDockWidget(tr("Automatic Extraction"), parent), manager_(manager), acquire_(std::move(acquire)), pixels_(pixels)
{
    setObjectName(QStringLiteral("extractionPanel"));
    buildControls();
    connect(&overlay_, &MatchOverlay::ready, this, &ExtractionPanel::pictureOverlayChanged);
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (!visible) {
            chooseTool(ToolKind::none);
        } else {
            refreshPalette();
            refreshOverlay();
        }
        emit pictureOverlayChanged();
    });
}

ExtractionPanel::~ExtractionPanel() = default;

void ExtractionPanel::buildControls()
{
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
    eyedropper_->setToolTip(tr("Click the curve or a marker on the picture to take its colour"));
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
    mode_->addItems({tr("Line"), tr("Markers")});
    mode_->setCurrentIndex(settings.value(QStringLiteral("extraction/mode"), 0).toInt() == 1 ? 1 : 0);
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
    auto* stepRow = new QHBoxLayout;
    stepRow->addWidget(step_, 1);
    stepRow->addWidget(stepUnit_);
    lineForm->addRow(tr("Step:"), stepRow);
    lineForm->addRow(keepAllRuns_);
    form->addRow(lineOptions_);

    markerOptions_ = new QWidget(body);
    auto* markerForm = new QFormLayout(markerOptions_);
    markerForm->setContentsMargins(0, 0, 0, 0);
    smallest_ = new QDoubleSpinBox(markerOptions_);
    largest_ = new QDoubleSpinBox(markerOptions_);
    for (QDoubleSpinBox* box : {smallest_, largest_}) {
        box->setRange(0.0, 1e6);
        box->setDecimals(0);
        box->setSuffix(tr(" px²"));
    }
    smallest_->setValue(MarkerOptions{}.minimumArea);
    largest_->setValue(MarkerOptions{}.maximumArea);
    markerForm->addRow(tr("Smallest marker:"), smallest_);
    markerForm->addRow(tr("Largest marker:"), largest_);
    form->addRow(markerOptions_);

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
    };
    showModeOptions();
    connect(mode_, &QComboBox::currentIndexChanged, this, [showModeOptions](int index) {
        showModeOptions();
        QSettings().setValue(QStringLiteral("extraction/mode"), index);
    });
    connect(tolerance_, &QDoubleSpinBox::valueChanged, this, [this](double value) {
        QSettings().setValue(QStringLiteral("extraction/tolerance"), value);
        refreshOverlay();
    });
    connect(step_, &QDoubleSpinBox::valueChanged, this,
            [](double value) { QSettings().setValue(QStringLiteral("extraction/step"), value); });
    connect(stepUnit_, &QComboBox::currentIndexChanged, this,
            [](int index) { QSettings().setValue(QStringLiteral("extraction/stepInUnits"), index == 1); });
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
            say(tr("Click the curve or a marker on the picture to take its colour."), false);
    });
    connect(drawBox_, &QToolButton::toggled, this, [this](bool on) { chooseTool(on ? ToolKind::box : ToolKind::none); });
    connect(brush_, &QToolButton::toggled, this, [this](bool on) { chooseTool(on ? ToolKind::brush : ToolKind::none); });
    connect(region_, &QComboBox::currentIndexChanged, this, [this] { emit pictureOverlayChanged(); });
    connect(clearPainted_, &QPushButton::clicked, this, [this] {
        excluded_.clear();
        emit pictureOverlayChanged();
    });
    connect(extract_, &QPushButton::clicked, this, [this] { extract(); });
}

PictureTool* ExtractionPanel::tool() const
{
    return tool_.get();
}

void ExtractionPanel::chooseTool(ToolKind kind)
{
    if (kind == toolKind_)
        return;
    toolKind_ = kind;
    // The tool may be the caller (the eyedropper puts itself away): it goes at the next change.
    retired_ = std::move(tool_);
    tool_ = kind == ToolKind::none ? nullptr : std::make_unique<Tool>(*this, kind);
    const QSignalBlocker a(eyedropper_), b(drawBox_), c(brush_);
    eyedropper_->setChecked(kind == ToolKind::eyedropper);
    drawBox_->setChecked(kind == ToolKind::box);
    brush_->setChecked(kind == ToolKind::brush);
    emit pictureOverlayChanged();
}

std::shared_ptr<const PicturePixels> ExtractionPanel::pixels()
{
    return pixels_.get();
}

void ExtractionPanel::pictureChanged()
{
    drawnBox_.reset();
    excluded_.clear();
    region_->setCurrentIndex(0);
    overlay_.clear();
    if (isVisible()) {
        refreshPalette();
        refreshOverlay();
    }
}

void ExtractionPanel::setColour(Rgb colour)
{
    colour_ = colour;
    swatch_->setIcon(swatchIcon(qColour(colour)));
    swatch_->setText(QString::fromStdString(rgbText(colour)));
    refreshOverlay();
}

void ExtractionPanel::refreshOverlay()
{
    const auto picture = pixels();
    if (!colour_ || picture == nullptr || !showMatches_->isChecked() || !isVisible()) {
        if (overlay_.shown())
            overlay_.clear();
        return;
    }
    overlay_.show(picture, *colour_, tolerance_->value());
}

void ExtractionPanel::refreshPalette()
{
    QLayout* row = palette_->layout();
    while (QLayoutItem* item = row->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const auto picture = pixels();
    if (picture == nullptr)
        return;
    const PixelView view = picture->view();
    for (const PaletteColour& found : dominantColours(view, {0, 0, view.width, view.height}, 6)) {
        auto* button = new QToolButton(palette_);
        button->setIcon(swatchIcon(qColour(found.colour)));
        button->setToolTip(tr("%1, %2 % of the picture")
                               .arg(QString::fromStdString(rgbText(found.colour)))
                               .arg(found.share * 100.0, 0, 'g', 2));
        const Rgb colour = found.colour;
        connect(button, &QToolButton::clicked, this, [this, colour] { setColour(colour); });
        row->addWidget(button);
    }
}

void ExtractionPanel::picked(DPoint picture)
{
    const auto pixels = this->pixels();
    if (pixels == nullptr)
        return;
    const PixelView view = pixels->view();
    const PixelPoint clicked = pixelOf(picture, view.height);
    const long column = std::lround(clicked.column);
    const long row = std::lround(clicked.row);
    if (column < 0 || row < 0 || column >= view.width || row >= view.height)
        return;
    // Zoomed out, a click lands on a line's blended edge as often as on its middle: of the
    // pixels within two of the click, the one that stands out most from the background
    // around it is the colour meant.
    const auto clamped = [](long value, long high) { return static_cast<int>(std::clamp(value, 0L, high)); };
    const Rgb background = backgroundColour(view, {clamped(column - 15, view.width), clamped(row - 15, view.height),
                                                   clamped(column + 16, view.width), clamped(row + 16, view.height)});
    Rgb chosen = rgbOf(view.at(static_cast<int>(column), static_cast<int>(row)));
    double strongest = colourDifference(chosen, background);
    for (int r = clamped(row - 2, view.height - 1); r <= clamped(row + 2, view.height - 1); ++r)
        for (int c = clamped(column - 2, view.width - 1); c <= clamped(column + 2, view.width - 1); ++c) {
            const Rgb colour = rgbOf(view.at(c, r));
            if (const double difference = colourDifference(colour, background); difference > strongest) {
                strongest = difference;
                chosen = colour;
            }
        }
    setColour(chosen);
    chooseTool(ToolKind::none);
}

void ExtractionPanel::boxDrawn(DPoint from, DPoint to, bool done)
{
    drawnBox_ = std::pair{from, to};
    if (done) {
        region_->setCurrentIndex(1);
        chooseTool(ToolKind::none);
    }
    emit pictureOverlayChanged();
}

void ExtractionPanel::paintedOut(DPoint picture)
{
    excluded_.push_back({picture, brushSize_->value()});
    emit pictureOverlayChanged();
}

ExtractionSettings ExtractionPanel::settings() const
{
    ExtractionSettings settings;
    settings.colour = colour_.value_or(Rgb{});
    settings.tolerance = tolerance_->value();
    settings.mode = mode_->currentIndex() == 1 ? ExtractionMode::markers : ExtractionMode::line;
    if (stepUnit_->currentIndex() == 1)
        settings.worldStep = step_->value();
    else
        settings.step = step_->value();
    settings.keepAllRuns = keepAllRuns_->isChecked();
    settings.markers.minimumArea = smallest_->value();
    settings.markers.maximumArea = largest_->value();
    if (region_->currentIndex() == 1 && drawnBox_)
        settings.box = drawnBox_;
    settings.excluded = excluded_;
    return settings;
}

QString ExtractionPanel::message() const
{
    return message_->text();
}

void ExtractionPanel::say(const QString& text, bool problem)
{
    message_->setStyleSheet(problem ? QStringLiteral("color: #a40000;") : QString());
    message_->setText(text);
}

bool ExtractionPanel::extract()
{
    if (!colour_) {
        say(tr("Choose the colour first: click Pick, then the curve or a marker on the picture."), true);
        return false;
    }
    const auto picture = pixels();
    if (picture == nullptr) {
        say(tr("Open a picture of a plot first."), true);
        return false;
    }
    if ((manager_.mode() != PlotmeterManager::acquireMode || !manager_.worldMap()) && !acquire_()) {
        say(tr("Calibrate first: extraction needs three or more calibration points with their values."), true);
        return false;
    }
    const ExtractionSettings settings = this->settings();
    const WorldMap map = *manager_.worldMap();
    const std::vector<CalibrationPoint> calibration = manager_.document().calibration();

    std::atomic<bool> cancel{false};
    std::atomic<int> done{0};
    QProgressDialog progress(tr("Extracting points…"), tr("Cancel"), 0, 1000, window());
    progress.setObjectName(QStringLiteral("extractionProgress"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    auto running = std::async(std::launch::async, [&] {
        const Work work{&cancel, [&done](double fraction) { done = static_cast<int>(fraction * 1000.0); }};
        return extractFromPicture(picture->view(), map, calibration, settings, work);
    });
    // The window stays live (and Cancel works) while the work goes on; a Cancel pressed
    // at any time before the points go in means nothing goes in. Until the progress dialog
    // shows (and blocks the window), the user's clicks and keys wait, so nothing can change
    // the document under the extraction.
    do {
        progress.setValue(done.load());
        QCoreApplication::processEvents(progress.isVisible() ? QEventLoop::AllEvents
                                                             : QEventLoop::ExcludeUserInputEvents,
                                        20);
        if (progress.wasCanceled())
            cancel = true;
    } while (running.wait_for(std::chrono::milliseconds(15)) != std::future_status::ready);
    const PictureExtraction found = running.get();
    const bool cancelled = found.cancelled || progress.wasCanceled();
    progress.close();
    if (cancelled) {
        say(tr("Cancelled: no points were added."), false);
        return false;
    }
    if (found.points.empty()) {
        say(QString::fromStdString(found.problem), true);
        return false;
    }
    const bool intoNew = into_->currentIndex() == 1;
    manager_.addExtractedPoints(found.points, intoNew, {colour_->red, colour_->green, colour_->blue});
    const QString series = QString::fromStdString(manager_.document().active().look.name);
    say(tr("Added %n point(s) to %1. Undo takes them back.", nullptr, static_cast<int>(found.points.size()))
            .arg(series),
        false);
    addedAt_ = manager_.history().position();
    return true;
}

void ExtractionPanel::documentChanged()
{
    if (!addedAt_ || manager_.history().position() == *addedAt_)
        return;
    addedAt_.reset();
    say(QString(), false);
}

void ExtractionPanel::paint(QPainter& painter, const QRect& exposed, const PictureZoom& zoom) const
{
    if (!isVisible())
        return;
    overlay_.paint(painter, exposed, zoom);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const auto box = region_->currentIndex() == 1 && drawnBox_ ? drawnBox_
                                                                  : calibrationBox(manager_.document().calibration());
    if (box) {
        // Around the outer edges of the pixels inside.
        const DPoint low{std::min(box->first.x, box->second.x) - 0.5, std::min(box->first.y, box->second.y) - 0.5};
        const DPoint high{std::max(box->first.x, box->second.x) + 0.5, std::max(box->first.y, box->second.y) + 0.5};
        const DPoint topLeft = zoom.screenOf({low.x, high.y});
        const DPoint bottomRight = zoom.screenOf({high.x, low.y});
        QPen pen(QColor(0, 120, 215), 1.5, Qt::DashLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(QPointF(topLeft.x, topLeft.y), QPointF(bottomRight.x, bottomRight.y)));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(90, 90, 90, 110));
    for (const ExtractionSettings::Disc& disc : excluded_) {
        const DPoint centre = zoom.screenOf(disc.centre);
        const double radius = disc.radius * zoom.factor;
        painter.drawEllipse(QPointF(centre.x, centre.y), radius, radius);
    }
    painter.restore();
}
