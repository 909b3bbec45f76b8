#pragma once
// One LCD segment of a game face: an image view found by tag, or null when the face lacks the tag.
// Every operation on a null segment does nothing (isHidden answers false, as a message to nil would).

#include "platform/View.h"

namespace platform {

class Segment {
public:
    Segment() = default;
    explicit Segment(View* view) : view_(view) {}
    static Segment withTag(View& face, int tag) { return Segment(face.viewWithTag(tag)); }

    void show() const {
        if (view_) view_->setHidden(false);
    }
    void hide() const {
        if (view_) view_->setHidden(true);
    }
    void setHidden(bool hidden) const {
        if (view_) view_->setHidden(hidden);
    }
    void toggle() const {
        if (view_) view_->setHidden(!view_->isHidden());
    }
    bool isHidden() const { return view_ ? view_->isHidden() : false; }
    View* view() const { return view_; }
    explicit operator bool() const { return view_ != nullptr; }
    friend bool operator==(const Segment&, const Segment&) = default;

private:
    View* view_ = nullptr;
};

}   // namespace platform
