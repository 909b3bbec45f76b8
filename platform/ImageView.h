#pragma once
// A view that shows an image.

#include <memory>

#include "platform/Image.h"
#include "platform/View.h"

namespace platform {

// Like the platform's, an image view takes no touches unless told to (they go to the view behind it).
class ImageView : public View {
public:
    explicit ImageView(Rect frame = {}) : View(frame) { userInteractionEnabled_ = false; }
    // Framed to the image's size at (0, 0); a null image gives a zero frame.
    explicit ImageView(std::shared_ptr<Image> image);
    void setImage(std::shared_ptr<Image> image) {
        if (image == image_) return;
        image_ = std::move(image);
        setNeedsDisplay();
    }
    const std::shared_ptr<Image>& image() const { return image_; }
    const char* className() const override { return "ImageView"; }

private:
    std::shared_ptr<Image> image_;
};

}   // namespace platform
