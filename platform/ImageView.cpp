#include "platform/ImageView.h"

namespace platform {

ImageView::ImageView(std::shared_ptr<Image> image)
    : View(image ? Rect(0, 0, image->size().width, image->size().height) : Rect()), image_(std::move(image)) {
    userInteractionEnabled_ = false;
}

}   // namespace platform
