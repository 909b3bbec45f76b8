#include "platform/View.h"

#include <algorithm>
#include <cmath>

#include "platform/RunLoop.h"
#include "platform/ViewController.h"

namespace platform {

// ---------------------------------------------------------------------------------------------------------
// Animation blocks

namespace anim {

// One beginAnimations ... commitAnimations block: its parameters and the state of its end report.
struct Block {
    std::string id;
    void* context = nullptr;
    View::AnimationDidStop didStop;
    Lifetime::Watch owner;   // of didStop
    double duration = 0.2;
    double repeatCount = 0;   // 0 means once
    bool autoreverses = false;
    bool fromCurrentState = false;

    double start = 0;
    bool committed = false;
    bool delivered = false;
    bool cancelled = false;   // an animation of the block was removed before its end
    int live = 0;             // animations of the block still attached to a layer

    double passes() const {
        const double r = repeatCount > 0 ? repeatCount : 1.0;
        return autoreverses ? 2 * r : r;
    }
    double end() const { return start + std::max(0.0, duration) * passes(); }
    bool runningAt(double t) const { return !committed || t < end(); }
};

struct State {
    std::vector<std::shared_ptr<Block>> open;      // nested blocks, innermost last
    std::vector<std::weak_ptr<Block>> committed;   // for hasRunningAnimations
    bool enabled = true;
};

State& state() {
    static State* s = new State;   // never destroyed: layers that die at exit still reach it
    return *s;
}

double now() { return RunLoop::main().now(); }

void deliver(const std::shared_ptr<Block>& b) {
    if (b->delivered) return;
    b->delivered = true;
    if (b->didStop && !b->owner.gone()) b->didStop(b->id, !b->cancelled, b->context);
}

// Where along its way (0 = from, 1 = to) an animation of the block is drawn at time t.
double progressAt(const Block& b, double t) {
    if (!b.committed || b.duration <= 0) return 0;
    const double elapsed = t - b.start;
    if (elapsed <= 0) return 0;
    const double passes = elapsed / b.duration;
    const double pass = std::floor(passes);
    double f = passes - pass;
    if (b.autoreverses && std::fmod(pass, 2.0) >= 1.0) f = 1 - f;
    return f * f * (3 - 2 * f);   // ease in, ease out
}

// The block that property changes join now, or null (no block, or animations disabled).
std::shared_ptr<Block> currentBlock() {
    State& s = state();
    if (!s.enabled || s.open.empty()) return nullptr;
    return s.open.back();
}

}   // namespace anim

enum class AnimatedProperty { Alpha, Transform };

struct Layer::Animation {
    AnimatedProperty property;
    double fromAlpha = 1, toAlpha = 1;
    AffineTransform fromTransform, toTransform;
    std::shared_ptr<anim::Block> block;
};

namespace {

// Takes an animation off its layer. `cancel`: it was stopped before its end (its block then ends unfinished).
void detach(Layer::Animation& a, bool cancel) {
    anim::Block& b = *a.block;
    if (!b.runningAt(anim::now())) return;   // already over; its block reports at its end
    --b.live;
    if (!cancel) return;
    b.cancelled = true;
    if (b.live == 0 && b.committed && !b.delivered && b.didStop) {
        auto block = a.block;
        RunLoop::main().callSoon([block] { anim::deliver(block); }, block->owner);
    }
}

const Layer::Animation* runningAnimation(const std::vector<std::shared_ptr<Layer::Animation>>& list,
                                         AnimatedProperty p) {
    const double t = anim::now();
    for (const auto& a : list)
        if (a->property == p && a->block->runningAt(t)) return a.get();
    return nullptr;
}

}   // namespace

// ---------------------------------------------------------------------------------------------------------
// Changed areas: what a view covers on screen, in its root's points, as the renderer draws it (presentation
// values, each transform about the frame's centre, scroll views clipping their content).

namespace {

struct Box {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool empty() const { return !(x1 > x0 && y1 > y0); }
    void add(const Box& b) {
        if (b.empty()) return;
        if (empty()) {
            *this = b;
            return;
        }
        x0 = std::min(x0, b.x0);
        y0 = std::min(y0, b.y0);
        x1 = std::max(x1, b.x1);
        y1 = std::max(y1, b.y1);
    }
    void clip(const Box& b) {
        x0 = std::max(x0, b.x0);
        y0 = std::max(y0, b.y0);
        x1 = std::min(x1, b.x1);
        y1 = std::min(y1, b.y1);
    }
    Rect rect() const { return empty() ? Rect() : Rect(x0, y0, x1 - x0, y1 - y0); }
};

// Local (bounds) points to root points: x' = sx * x + tx, y' = sy * y + ty.
struct Map {
    double sx = 1, sy = 1, tx = 0, ty = 0;
    Box apply(const Rect& r) const {
        Box b{sx * r.minX() + tx, sy * r.minY() + ty, sx * r.maxX() + tx, sy * r.maxY() + ty};
        if (b.x1 < b.x0) std::swap(b.x0, b.x1);
        if (b.y1 < b.y0) std::swap(b.y0, b.y1);
        return b;
    }
};

Map childMap(const View& v, const Map& parent) {
    const AffineTransform t = v.presentationTransform();
    const Rect frame = v.frame(), bounds = v.bounds();
    const double cx = frame.midX(), cy = frame.midY();
    const double ox = t.a * (frame.minX() - bounds.minX() - cx) + cx + t.tx;
    const double oy = t.d * (frame.minY() - bounds.minY() - cy) + cy + t.ty;
    return {parent.sx * t.a, parent.sy * t.d, parent.sx * ox + parent.tx, parent.sy * oy + parent.ty};
}

// The map of v and the window at its root; false when v is not drawn (a hidden ancestor, hidden in the last
// frame too) or has no window.
bool rootMap(const View& v, Map& m, Window*& w) {
    if (const View* p = v.superview()) {
        if (!p->shownOrWasShown() || !rootMap(*p, m, w)) return false;
    } else {
        w = v.window();
        if (!w) return false;
        m = Map{};
    }
    m = childMap(v, m);
    return true;
}

// What v and its subviews shown now or in the last frame cover, v's own hidden state aside.
Box subtreeBox(const View& v, const Map& m) {
    const Box own = m.apply(v.bounds());
    Box box = own, children;
    for (const auto& child : v.subviews())
        if (child->shownOrWasShown()) children.add(subtreeBox(*child, childMap(*child, m)));
    if (dynamic_cast<const ScrollView*>(&v)) children.clip(own);
    box.add(children);
    return box;
}

// Layers with running animations, collected with every frame.
std::vector<Layer*>& trackedLayers() {
    static auto* list = new std::vector<Layer*>;   // never destroyed: layers that die at exit still reach it
    return *list;
}

}   // namespace

Window* View::window() const {
    const View* v = this;
    while (v->superview_) v = v->superview_;
    return v->isWindow_ ? static_cast<Window*>(const_cast<View*>(v)) : nullptr;
}

void View::reportArea() const {
    Map m;
    Window* w = nullptr;
    if (!rootMap(*this, m, w)) return;
    Box b = subtreeBox(*this, m);
    if (!b.empty()) w->invalidateRect(b.rect());
}

void View::reportLeaving() const {
    reportArea();
    Window* w = window();
    if (!w) return;
    for (Layer* layer : trackedLayers())
        if (layer->hasDrawn_ && layer->owner_.isDescendantOf(this)) w->invalidateRect(layer->drawn_);
}

void View::setNeedsDisplay() {
    ++displayGeneration_;
    reportArea();
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
                reportArea();
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

void Layer::track() {
    if (tracked_) return;
    tracked_ = true;
    trackedLayers().push_back(this);
}

void View::collectAnimationChanges() {
    auto& list = trackedLayers();
    for (std::size_t i = 0; i < list.size();) {
        Layer& layer = *list[i];
        Map m;
        Window* w = nullptr;
        Box now;
        const bool drawn = rootMap(layer.owner_, m, w);
        if (drawn) now = subtreeBox(layer.owner_, m);
        if (Window* target = w ? w : layer.owner_.window()) {
            if (layer.hasDrawn_) target->invalidateRect(layer.drawn_);
            if (!now.empty()) target->invalidateRect(now.rect());
        }
        layer.hasDrawn_ = drawn && !now.empty();
        layer.drawn_ = now.rect();
        if (layer.hasAnimations()) {
            ++i;
        } else {
            layer.tracked_ = false;
            layer.hasDrawn_ = false;
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}

bool View::hasAnimationChanges() { return !trackedLayers().empty(); }

Layer::~Layer() {
    if (tracked_) std::erase(trackedLayers(), this);
    // Its blocks end when they were to end (finished), as the other views of a block still animate.
    for (auto& a : animations_) detach(*a, false);
}

void Layer::removeAllAnimations() {
    auto list = std::move(animations_);
    animations_.clear();
    for (auto& a : list) detach(*a, true);
}

bool Layer::hasAnimations() const {
    const double t = anim::now();
    return std::any_of(animations_.begin(), animations_.end(), [t](const auto& a) { return a->block->runningAt(t); });
}

void View::beginAnimations(const std::string& animationId, void* context) {
    anim::State& s = anim::state();
    auto block = std::make_shared<anim::Block>();
    if (!s.open.empty()) {   // a nested block starts with the timing of the one around it
        const anim::Block& outer = *s.open.back();
        block->duration = outer.duration;
        block->repeatCount = outer.repeatCount;
        block->autoreverses = outer.autoreverses;
        block->fromCurrentState = outer.fromCurrentState;
    }
    block->id = animationId;
    block->context = context;
    s.open.push_back(std::move(block));
}

void View::setAnimationDuration(double seconds) {
    anim::State& s = anim::state();
    if (!s.open.empty()) s.open.back()->duration = std::max(0.0, seconds);
}

void View::setAnimationDelegate(AnimationDidStop callback, Lifetime::Watch owner) {
    anim::State& s = anim::state();
    if (s.open.empty()) return;
    s.open.back()->didStop = std::move(callback);
    s.open.back()->owner = std::move(owner);
}

void View::setAnimationBeginsFromCurrentState(bool on) {
    anim::State& s = anim::state();
    if (!s.open.empty()) s.open.back()->fromCurrentState = on;
}

void View::setAnimationRepeatAutoreverses(bool on) {
    anim::State& s = anim::state();
    if (!s.open.empty()) s.open.back()->autoreverses = on;
}

void View::setAnimationRepeatCount(double count) {
    anim::State& s = anim::state();
    if (!s.open.empty()) s.open.back()->repeatCount = std::isfinite(count) && count > 0 ? count : 0;
}

void View::setAnimationTransition(int kind, View* forView, bool cache) {
    // Only the transition "none" exists here: nothing to set up.
    (void)kind;
    (void)forView;
    (void)cache;
}

void View::commitAnimations() {
    anim::State& s = anim::state();
    if (s.open.empty()) return;
    std::shared_ptr<anim::Block> block = std::move(s.open.back());
    s.open.pop_back();
    block->start = anim::now();
    block->committed = true;
    // Pruned here so that the list stays as short as the number of running blocks.
    std::erase_if(s.committed, [](const std::weak_ptr<anim::Block>& w) {
        auto b = w.lock();
        return !b || b->live <= 0 || !b->runningAt(anim::now());
    });
    s.committed.push_back(block);
    // The end report, when there is someone to report to, and only while that owner lives.
    if (!block->didStop) return;
    RunLoop& loop = RunLoop::main();
    if (block->cancelled && block->live == 0) loop.callSoon([block] { anim::deliver(block); }, block->owner);
    loop.callAt(
        block->end(), [block] { anim::deliver(block); }, block->owner);
}

bool View::areAnimationsEnabled() { return anim::state().enabled; }
void View::setAnimationsEnabled(bool on) { anim::state().enabled = on; }

bool View::hasRunningAnimations() {
    const double t = anim::now();
    for (const auto& w : anim::state().committed)
        if (auto b = w.lock(); b && b->live > 0 && b->runningAt(t)) return true;
    return false;
}

void View::resetAnimations() {
    anim::State& s = anim::state();
    // Changes made in blocks that will never be committed are drawn at their model values, silently.
    for (auto& block : s.open) {
        block->start = anim::now();
        block->duration = 0;
        block->committed = true;
        block->delivered = true;
    }
    s.open.clear();
    s.enabled = true;
}

// ---------------------------------------------------------------------------------------------------------
// View

namespace {
View* g_keyWindow = nullptr;

// Adds an animation of a property to a layer's list, replacing the one running on it. Null when the
// property already changed in this block: that animation keeps its start value and takes the new target.
Layer::Animation* addAnimation(std::vector<std::shared_ptr<Layer::Animation>>& list, AnimatedProperty p,
                               const std::shared_ptr<anim::Block>& block, Layer::Animation** same) {
    *same = nullptr;
    const double t = anim::now();
    // Drop the ones that have ended; their blocks report at their end times.
    std::erase_if(list, [t](const auto& a) { return !a->block->runningAt(t); });
    for (auto it = list.begin(); it != list.end(); ++it) {
        if ((*it)->property != p) continue;
        if ((*it)->block == block) {
            *same = it->get();
            return nullptr;
        }
        auto old = *it;
        list.erase(it);
        detach(*old, true);
        break;
    }
    auto a = std::make_shared<Layer::Animation>();
    a->property = p;
    a->block = block;
    ++block->live;
    list.push_back(a);
    return a.get();
}
}   // namespace

View::View(Rect frame) : frame_(frame) {}

View::~View() {
    for (auto& child : subviews_)
        if (child && child->superview_ == this) child->superview_ = nullptr;
    if (g_keyWindow == this) g_keyWindow = nullptr;
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
    if (view->shownOrWasShown()) view->reportLeaving();
    view->superview_ = this;
    index = std::min(index, subviews_.size());
    View& added = *view;
    subviews_.insert(subviews_.begin() + static_cast<std::ptrdiff_t>(index), std::move(view));
    ++displayGeneration_;
    if (!added.hidden_) added.reportArea();
}

void View::removeFromSuperview() {
    View* parent = superview_;
    if (!parent) return;
    auto& siblings = parent->subviews_;
    auto it = std::find_if(siblings.begin(), siblings.end(), [this](const auto& v) { return v.get() == this; });
    if (shownOrWasShown()) reportLeaving();
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
    reportArea();
    frame_ = frame;
    setNeedsDisplay();
}

void View::setAlpha(double alpha) {
    if (std::isnan(alpha)) alpha = 0;
    alpha = std::clamp(alpha, 0.0, 1.0);
    if (auto block = anim::currentBlock()) {
        const double from = block->fromCurrentState ? presentationAlpha() : alpha_;
        Layer::Animation* same = nullptr;
        if (Layer::Animation* a = addAnimation(layer().animations_, AnimatedProperty::Alpha, block, &same)) {
            a->fromAlpha = from;
            a->toAlpha = alpha;
        } else {
            same->toAlpha = alpha;
        }
    }
    const bool animated = layer_ && layer_->hasAnimations();
    if (alpha == alpha_ && !animated && !anim::currentBlock()) return;
    alpha_ = alpha;
    if (anim::currentBlock()) layer().track();
    setNeedsDisplay();
}

void View::setTransform(const AffineTransform& t) {
    if (t == transform_ && !anim::currentBlock() && !(layer_ && layer_->hasAnimations())) return;
    reportArea();
    if (auto block = anim::currentBlock()) {
        layer().track();
        const AffineTransform from = block->fromCurrentState ? presentationTransform() : transform_;
        Layer::Animation* same = nullptr;
        if (Layer::Animation* a = addAnimation(layer().animations_, AnimatedProperty::Transform, block, &same)) {
            a->fromTransform = from;
            a->toTransform = t;
        } else {
            same->toTransform = t;
        }
    }
    transform_ = t;
    setNeedsDisplay();
}

double View::presentationAlpha() const {
    if (!layer_) return alpha_;
    const Layer::Animation* a = runningAnimation(layer_->animations_, AnimatedProperty::Alpha);
    if (!a) return alpha_;
    const double f = anim::progressAt(*a->block, anim::now());
    return a->fromAlpha + (a->toAlpha - a->fromAlpha) * f;
}

AffineTransform View::presentationTransform() const {
    if (!layer_) return transform_;
    const Layer::Animation* a = runningAnimation(layer_->animations_, AnimatedProperty::Transform);
    if (!a) return transform_;
    return AffineTransform::interpolate(a->fromTransform, a->toTransform, anim::progressAt(*a->block, anim::now()));
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

// ---------------------------------------------------------------------------------------------------------
// Subclasses

ImageView::ImageView(std::shared_ptr<Image> image)
    : View(image ? Rect(0, 0, image->size().width, image->size().height) : Rect()), image_(std::move(image)) {
    userInteractionEnabled_ = false;
}

void Control::addTarget(Action action, int eventMask) {
    if (!action || eventMask == 0) return;
    targets_.push_back(Target{std::move(action), eventMask});
}

void Control::sendActionsForControlEvents(int eventMask) {
    auto keep = weak_from_this().lock();   // an action may take this control out of the tree
    const std::vector<Target> targets = targets_;
    for (const Target& t : targets)
        if (t.mask & eventMask) t.action(this);
}

void ScrollView::setContentOffset(Point p) {
    const double maxX = std::max(0.0, contentSize_.width - frame_.size.width);
    const double maxY = std::max(0.0, contentSize_.height - frame_.size.height);
    const Point clamped{std::clamp(p.x, 0.0, maxX), std::clamp(p.y, 0.0, maxY)};
    if (clamped == boundsOrigin_) return;
    reportArea();
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

void Window::makeKeyAndVisible() {
    if (g_keyWindow && g_keyWindow != this) static_cast<Window*>(g_keyWindow)->key_ = false;
    g_keyWindow = this;
    key_ = true;
    if (!hidden_) return;
    hidden_ = false;
    reportArea();
}

Window* Window::keyWindow() { return static_cast<Window*>(g_keyWindow); }

void Window::invalidateRect(Rect area) {
    if (!(area.size.width > 0 && area.size.height > 0)) return;
    auto holds = [](const Rect& outer, const Rect& inner) {
        return inner.minX() >= outer.minX() && inner.minY() >= outer.minY() && inner.maxX() <= outer.maxX() &&
               inner.maxY() <= outer.maxY();
    };
    for (const Rect& r : changes_)
        if (holds(r, area)) return;
    std::erase_if(changes_, [&](const Rect& r) { return holds(area, r); });
    // A short list: past it, the area joins the one it grows least.
    constexpr std::size_t kMaxAreas = 32;
    if (changes_.size() < kMaxAreas) {
        changes_.push_back(area);
        return;
    }
    auto joined = [](const Rect& a, const Rect& b) {
        double x0 = std::min(a.minX(), b.minX()), y0 = std::min(a.minY(), b.minY());
        return Rect(x0, y0, std::max(a.maxX(), b.maxX()) - x0, std::max(a.maxY(), b.maxY()) - y0);
    };
    Rect* best = nullptr;
    double least = 0;
    for (Rect& r : changes_) {
        Rect j = joined(r, area);
        double growth = j.size.width * j.size.height - r.size.width * r.size.height;
        if (!best || growth < least) best = &r, least = growth;
    }
    *best = joined(*best, area);
}

std::vector<Rect> Window::takeChanges() {
    auto hidden = std::move(hiddenChanges_);
    hiddenChanges_.clear();
    for (const auto& weak : hidden) {
        auto v = weak.lock();
        if (!v || !v->hiddenChangePending_) continue;
        v->hiddenChangePending_ = false;
        if (v->hidden_ != v->hiddenBefore_) v->reportArea();
    }
    collectAnimationChanges();
    auto taken = std::move(changes_);
    changes_.clear();
    return taken;
}

}   // namespace platform
