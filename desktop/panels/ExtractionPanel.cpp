#include "desktop/panels/ExtractionPanel.h"

#include "controller/PlotmeterManager.h"
#include "desktop/panels/ExtractionRun.h"
#include "desktop/panels/ExtractionSwatch.h"
#include "desktop/panels/ExtractionTool.h"
#include "extraction/Palette.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLayout>
#include <QEventLoop>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <algorithm>

ExtractionPanel::ExtractionPanel(PlotmeterManager& manager, ShownPixels& pixels, std::function<bool()> acquire,
                                 QWidget* parent)
    : QDockWidget(tr("Automatic Extraction"), parent), manager_(manager), acquire_(std::move(acquire)), pixels_(pixels)
{
    setObjectName(QStringLiteral("extractionPanel"));
    // The controls are made when the panel is first shown or used: not while the window
    // first shows, which needs none of them.
    connect(&overlay_, &MatchOverlay::ready, this, &ExtractionPanel::pictureOverlayChanged);
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (!visible) {
            if (built_)
                chooseTool(ToolKind::none);
        } else {
            buildControls();
            refreshPalette();
            refreshOverlay();
        }
        emit pictureOverlayChanged();
    });
}

std::shared_ptr<const PicturePixels> ExtractionPanel::pixels()
{
    return pixels_.get();
}

void ExtractionPanel::pictureChanged()
{
    drawnBox_.reset();
    excluded_.clear();
    start_.reset();
    if (built_)
        region_->setCurrentIndex(0);
    overlay_.clear();
    if (isVisible()) {
        refreshPalette();
        refreshOverlay();
    }
}

void ExtractionPanel::setColour(Rgb colour)
{
    if (start_) {
        start_.reset();
        emit pictureOverlayChanged();
    }
    showColour(colour);
}

void ExtractionPanel::showColour(Rgb colour)
{
    buildControls();
    colour_ = colour;
    swatch_->setIcon(swatchIcon(qColour(colour)));
    swatch_->setText(QString::fromStdString(rgbText(colour)));
    refreshOverlay();
}

void ExtractionPanel::refreshOverlay()
{
    if (!built_)
        return;
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

QString ExtractionPanel::message() const
{
    return built_ ? message_->text() : QString();
}

void ExtractionPanel::say(const QString& text, bool problem)
{
    buildControls();
    message_->setStyleSheet(problem ? QStringLiteral("color: #a40000;") : QString());
    message_->setText(text);
}

bool ExtractionPanel::start()
{
    buildControls();
    if (run_ != nullptr)
        return false;
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
    say(QString(), false);
    extract_->setEnabled(false);
    run_ = new ExtractionRun(picture, *manager_.worldMap(), manager_.document().calibration(), settings(),
                             *window());
    connect(run_, &ExtractionRun::finished, this, &ExtractionPanel::finished);
    return true;
}

bool ExtractionPanel::extract()
{
    if (!start())
        return false;
    QEventLoop waiting;
    connect(this, &ExtractionPanel::extractionEnded, &waiting, &QEventLoop::quit);
    waiting.exec();
    return lastAdded_;
}

// A Cancel pressed at any time before the points go in means nothing goes in.
void ExtractionPanel::finished(const PictureExtraction& found)
{
    run_->deleteLater();
    run_ = nullptr;
    extract_->setEnabled(true);
    lastAdded_ = false;
    if (found.cancelled) {
        say(tr("Cancelled: no points were added."), false);
    } else if (found.points.empty()) {
        say(QString::fromStdString(found.problem), true);
    } else {
        manager_.addExtractedPoints(found.points, into_->currentIndex() == 1,
                                    {colour_->red, colour_->green, colour_->blue});
        const QString series = QString::fromStdString(manager_.document().active().look.name);
        say(tr("Added %n point(s) to %1. Undo takes them back.", nullptr, static_cast<int>(found.points.size()))
                .arg(series),
            false);
        addedAt_ = manager_.history().position();
        lastAdded_ = true;
    }
    emit extractionEnded(lastAdded_);
}

void ExtractionPanel::documentChanged()
{
    followAxes();
    if (!addedAt_ || manager_.history().position() == *addedAt_)
        return;
    addedAt_.reset();
    say(QString(), false);
}

void ExtractionPanel::paint(QPainter& painter, const QRect& exposed, const PictureZoom& zoom) const
{
    if (!isVisible() || !built_)
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
    if (start_ && mode_->currentIndex() == 0) {
        // The point picked: a small ring with a cross, in the box's colour, the same size
        // at every zoom.
        const DPoint at = zoom.screenOf(*start_);
        const QPointF centre(at.x, at.y);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(255, 255, 255, 200), 3.0));
        painter.drawEllipse(centre, 5.0, 5.0);
        painter.setPen(QPen(QColor(0, 120, 215), 1.5));
        painter.drawEllipse(centre, 5.0, 5.0);
        painter.drawLine(centre - QPointF(8.0, 0.0), centre - QPointF(3.0, 0.0));
        painter.drawLine(centre + QPointF(3.0, 0.0), centre + QPointF(8.0, 0.0));
        painter.drawLine(centre - QPointF(0.0, 8.0), centre - QPointF(0.0, 3.0));
        painter.drawLine(centre + QPointF(0.0, 3.0), centre + QPointF(0.0, 8.0));
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
