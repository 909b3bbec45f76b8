#pragma once
// A control that shows an image.

#include <memory>

#include "platform/Control.h"
#include "platform/Image.h"

namespace platform {

class Button : public Control {
public:
    explicit Button(Rect frame = {}) : Control(frame) {}
    void setImage(std::shared_ptr<Image> image) {
        if (image == image_) return;
        image_ = std::move(image);
        setNeedsDisplay();
    }
    const std::shared_ptr<Image>& image() const { return image_; }
    const char* className() const override { return "Button"; }

private:
    std::shared_ptr<Image> image_;
};

}   // namespace platform
