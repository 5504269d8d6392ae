#pragma once

#include "platform/CellStyle.h"
#include "platform/NumberText.h"

#include <memory>
#include <string>

// One cell of a point table: a text or a single-precision number, whether the user may
// type into it, the format its number is shown in, and how it looks.
//
// A number set with setFloatValue is given back exactly by floatValue; its display
// format changes only how it is shown. A text is read as the number it starts with.
class TableCell {
  public:
    TableCell();
    explicit TableCell(std::string text);

    void setEditable(bool editable) { editable_ = editable; }
    bool isEditable() const { return editable_; }

    void setFloatingPointFormat(bool autorange, unsigned left, unsigned right);
    FloatingPointFormat floatingPointFormat() const { return format_; }

    void setFloatValue(float value);
    float floatValue() const;
    void setStringValue(std::string text);
    std::string stringValue() const;
    bool holdsNumber() const { return holdsNumber_; }

    const CellStyle& style() const { return *style_; }
    void setStyle(const CellStyle& style);

    void setFont(const Font& font);
    void setBezeled(bool bezeled);
    void setBordered(bool bordered);
    void setBackgroundColor(const Color& color);
    void setTextColor(const Color& color);
    void setAlignment(TextAlignment alignment);

  private:
    template <typename Change> void changeStyle(Change change);

    std::string text_;
    float number_ = 0.0f;
    bool holdsNumber_ = false;
    bool editable_ = false;
    FloatingPointFormat format_;
    // Copies of one prototype share its style rather than holding one each.
    std::shared_ptr<const CellStyle> style_;
};
