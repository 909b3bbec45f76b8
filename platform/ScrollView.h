#pragma once
// A view whose content is larger than itself, moved by its offset, optionally by whole pages.

#include "platform/View.h"

namespace platform {

class ScrollView : public View {
public:
    explicit ScrollView(Rect frame = {}) : View(frame) {}
    Size contentSize() const { return contentSize_; }
    void setContentSize(Size s) { contentSize_ = s; }
    Point contentOffset() const { return boundsOrigin_; }
    // Clamped to the content; with paging, a drag ends on a whole page (see snapToPage).
    virtual void setContentOffset(Point p);
    bool isScrollEnabled() const { return scrollEnabled_; }
    void setScrollEnabled(bool on) { scrollEnabled_ = on; }
    bool isPagingEnabled() const { return pagingEnabled_; }
    void setPagingEnabled(bool on) { pagingEnabled_ = on; }
    // Moves the offset to the nearest whole page of the view's width (when paging is on).
    void snapToPage();
    int currentPage() const;
    const char* className() const override { return "ScrollView"; }

private:
    Size contentSize_;
    bool scrollEnabled_ = true;
    bool pagingEnabled_ = false;
};

}   // namespace platform
