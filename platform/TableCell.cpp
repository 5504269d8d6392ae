#include "platform/TableCell.h"

namespace {
const std::shared_ptr<const CellStyle>& defaultStyle()
{
    static const auto style = std::make_shared<const CellStyle>();
    return style;
}
} // namespace

TableCell::TableCell() : style_(defaultStyle()) {}

TableCell::TableCell(std::string text) : text_(std::move(text)), style_(defaultStyle()) {}

void TableCell::setFloatingPointFormat(bool autorange, unsigned left, unsigned right)
{
    format_ = {autorange, left, right};
}

void TableCell::setFloatValue(float value)
{
    number_ = value;
    holdsNumber_ = true;
    text_.clear();
}

float TableCell::floatValue() const
{
    return holdsNumber_ ? number_ : readLeadingFloat(text_);
}

void TableCell::setStringValue(std::string text)
{
    text_ = std::move(text);
    holdsNumber_ = false;
}

std::string TableCell::stringValue() const
{
    return holdsNumber_ ? formatCellNumber(number_, format_) : text_;
}

void TableCell::setStyle(const CellStyle& style)
{
    style_ = std::make_shared<const CellStyle>(style);
}

template <typename Change> void TableCell::changeStyle(Change change)
{
    CellStyle changed = *style_;
    change(changed);
    setStyle(changed);
}

void TableCell::setFont(const Font& font)
{
    changeStyle([&](CellStyle& s) { s.font = font; });
}

void TableCell::setBezeled(bool bezeled)
{
    changeStyle([&](CellStyle& s) { s.bezeled = bezeled; });
}

void TableCell::setBordered(bool bordered)
{
    changeStyle([&](CellStyle& s) { s.bordered = bordered; });
}

void TableCell::setBackgroundColor(const Color& color)
{
    changeStyle([&](CellStyle& s) { s.backgroundColor = color; });
}

void TableCell::setTextColor(const Color& color)
{
    changeStyle([&](CellStyle& s) { s.textColor = color; });
}

void TableCell::setAlignment(TextAlignment alignment)
{
    changeStyle([&](CellStyle& s) { s.alignment = alignment; });
}
