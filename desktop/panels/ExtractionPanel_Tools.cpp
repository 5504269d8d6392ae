#include "desktop/panels/ExtractionPanel.h"
#include "desktop/panels/ExtractionTool.h"

#include "desktop/picture/MatchOverlay.h"
#include "extraction/Palette.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QToolButton>
#include <algorithm>

ExtractionPanel::~ExtractionPanel() = default;

PictureTool* ExtractionPanel::tool() const
{
    return tool_.get();
}

void ExtractionPanel::chooseTool(ToolKind kind)
{
    buildControls();
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
    // The colour and the curve to follow in one click.
    start_ = picture;
    showColour(chosen);
    chooseTool(ToolKind::none);
    say(tr("Line mode follows the curve through the point marked, both ways from it."), false);
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

