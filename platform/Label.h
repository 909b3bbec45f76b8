#pragma once
// A view that shows one line of text.

#include <string>

#include "platform/View.h"

namespace platform {

enum TextAlignment : int { TextAlignmentLeft = 0, TextAlignmentCenter = 1, TextAlignmentRight = 2 };

struct Font {
    std::string name = "Helvetica";
    double size = 17;   // the label's default font
    friend bool operator==(const Font&, const Font&) = default;
};

class Label : public View {
public:
    explicit Label(Rect frame = {}) : View(frame) {}
    const std::string& text() const { return text_; }
    void setText(std::string text) {
        if (text == text_) return;
        text_ = std::move(text);
        setNeedsDisplay();
    }
    const Font& font() const { return font_; }
    void setFont(Font font) {
        font_ = std::move(font);
        setNeedsDisplay();
    }
    int textAlignment() const { return alignment_; }
    void setTextAlignment(int alignment) {
        alignment_ = alignment;
        setNeedsDisplay();
    }
    Color textColor() const { return textColor_; }
    void setTextColor(Color c) {
        textColor_ = c;
        setNeedsDisplay();
    }
    const char* className() const override { return "Label"; }

private:
    std::string text_;
    Font font_;
    int alignment_ = TextAlignmentLeft;
    Color textColor_ = Color::black();
};

}   // namespace platform
