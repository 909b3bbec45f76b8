#include "platform/ScrollView.h"

#include <algorithm>
#include <cmath>

#include "platform/Changes.h"

namespace platform {

void ScrollView::setContentOffset(Point p) {
    const double maxX = std::max(0.0, contentSize_.width - frame_.size.width);
    const double maxY = std::max(0.0, contentSize_.height - frame_.size.height);
    const Point clamped{std::clamp(p.x, 0.0, maxX), std::clamp(p.y, 0.0, maxY)};
    if (clamped == boundsOrigin_) return;
    reportArea(*this);
    boundsOrigin_ = clamped;
    setNeedsDisplay();
}

void ScrollView::snapToPage() {
    if (!pagingEnabled_) return;
    Point p = boundsOrigin_;
    const double w = frame_.size.width, h = frame_.size.height;
    if (w > 0) p.x = std::round(p.x / w) * w;
    if (h > 0) p.y = std::round(p.y / h) * h;
    setContentOffset(p);
}

int ScrollView::currentPage() const {
    const double w = frame_.size.width;
    return w > 0 ? static_cast<int>(std::lround(boundsOrigin_.x / w)) : 0;
}

}   // namespace platform
