#include "platform/View.h"

#include <algorithm>
#include <cmath>

#include "platform/Changes.h"
#include "platform/ViewController.h"
#include "platform/Window.h"

namespace platform {

View::View(Rect frame) : frame_(frame) {}

View::~View() {
    for (auto& child : subviews_)
        if (child && child->superview_ == this) child->superview_ = nullptr;
    if (layer_) forgetAnimatedLayer(*layer_);
}

Layer& View::layer() {
    if (!layer_) layer_ = std::make_unique<Layer>(*this);
    return *layer_;
}

void View::addSubview(std::shared_ptr<View> view) {
    insertSubviewAtIndex(std::move(view), static_cast<std::size_t>(-1));
}

void View::insertSubviewAtIndex(std::shared_ptr<View> view, std::size_t index) {
    if (!view || view.get() == this || isDescendantOf(view.get())) return;   // no cycles
    if (view->superview_) {
        auto& siblings = view->superview_->subviews_;
        std::erase(siblings, view);
    }
    if (view->shownOrWasShown()) reportLeaving(*view);
    view->superview_ = this;
    index = std::min(index, subviews_.size());
    View& added = *view;
    subviews_.insert(subviews_.begin() + static_cast<std::ptrdiff_t>(index), std::move(view));
    ++displayGeneration_;
    if (!added.hidden_) reportArea(added);
}

void View::removeFromSuperview() {
    View* parent = superview_;
    if (!parent) return;
    auto& siblings = parent->subviews_;
    auto it = std::find_if(siblings.begin(), siblings.end(), [this](const auto& v) { return v.get() == this; });
    if (shownOrWasShown()) reportLeaving(*this);
    superview_ = nullptr;
    if (it == siblings.end()) return;
    std::shared_ptr<View> keep = std::move(*it);   // this view may die with the last reference, after we are done
    siblings.erase(it);
    ++parent->displayGeneration_;
}

View* View::viewWithTag(int tag) {
    if (tag_ == tag) return this;
    for (const auto& child : subviews_)
        if (View* found = child->viewWithTag(tag)) return found;
    return nullptr;
}

bool View::isDescendantOf(const View* other) const {
    if (!other) return false;
    for (const View* v = this; v; v = v->superview_)
        if (v == other) return true;
    return false;
}

void View::setFrame(Rect frame) {
    if (frame == frame_) return;
    reportArea(*this);
    frame_ = frame;
    setNeedsDisplay();
}

void View::setAlpha(double alpha) {
    if (std::isnan(alpha)) alpha = 0;
    alpha = std::clamp(alpha, 0.0, 1.0);
    const bool collecting = Layer::collecting();
    if (collecting) layer().animateAlpha(alpha_, alpha);
    const bool animated = layer_ && layer_->hasAnimations();
    if (alpha == alpha_ && !animated && !collecting) return;
    alpha_ = alpha;
    if (collecting) trackAnimatedLayer(layer());
    setNeedsDisplay();
}

void View::setTransform(const AffineTransform& t) {
    const bool collecting = Layer::collecting();
    if (t == transform_ && !collecting && !(layer_ && layer_->hasAnimations())) return;
    reportArea(*this);
    if (collecting) {
        trackAnimatedLayer(layer());
        layer().animateTransform(transform_, t);
    }
    transform_ = t;
    setNeedsDisplay();
}

double View::presentationAlpha() const { return layer_ ? layer_->presentationAlpha(alpha_) : alpha_; }

AffineTransform View::presentationTransform() const {
    return layer_ ? layer_->presentationTransform(transform_) : transform_;
}

void View::touchesBegan() {
    if (viewController_)
        viewController_->touchesBegan();
    else if (superview_)
        superview_->touchesBegan();
}

Point View::convertToRoot(Point p) const {
    // Root coordinates are measured from the root's top-left corner as drawn (its scroll offset applied).
    for (const View* v = this;; v = v->superview_) {
        p.x -= v->boundsOrigin_.x;
        p.y -= v->boundsOrigin_.y;
        if (!v->superview_) break;
        p.x += v->frame_.origin.x;
        p.y += v->frame_.origin.y;
    }
    return p;
}

Window* View::window() const {
    const View* v = this;
    while (v->superview_) v = v->superview_;
    return v->isWindow_ ? static_cast<Window*>(const_cast<View*>(v)) : nullptr;
}

void View::setNeedsDisplay() {
    ++displayGeneration_;
    reportArea(*this);
}

void View::setHidden(bool hidden) {
    if (hidden == hidden_) return;
    // Listed with the window and looked at when the frame is drawn: a segment hidden and shown again
    // within one tick changes nothing on screen.
    if (!hiddenChangePending_) {
        if (Window* w = window()) {
            std::weak_ptr<View> self = weak_from_this();
            if (!self.expired()) {
                hiddenChangePending_ = true;
                hiddenBefore_ = hidden_;
                w->hiddenChanges_.push_back(std::move(self));
            } else {
                reportArea(*this);
            }
        }
    }
    hidden_ = hidden;
}

void View::setBackgroundColor(Color c) {
    if (c == backgroundColor_) return;
    backgroundColor_ = c;
    setNeedsDisplay();
}

}   // namespace platform
