#include "platform/sdl/PointerInput.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/Input.h"
#include "platform/RunLoop.h"
#include "platform/TableView.h"

namespace platform::sdl {

namespace {

bool canMove(const ScrollView& s) {
    return s.isScrollEnabled() &&
           (s.contentSize().width > s.frame().size.width || s.contentSize().height > s.frame().size.height);
}

bool horizontal(const ScrollView& s) { return s.contentSize().width > s.frame().size.width; }

int pageCount(const ScrollView& s) {
    double w = s.frame().size.width;
    return w > 0 ? std::max(1, static_cast<int>(std::ceil(s.contentSize().width / w - 1e-9))) : 1;
}

Point clampOffset(const ScrollView& s, Point p) {
    double maxX = std::max(0.0, s.contentSize().width - s.frame().size.width);
    double maxY = std::max(0.0, s.contentSize().height - s.frame().size.height);
    return {std::clamp(p.x, 0.0, maxX), std::clamp(p.y, 0.0, maxY)};
}

void findPaged(View& v, ScrollView*& found) {
    if (v.isHidden() || v.alpha() <= 0) return;
    if (auto* s = dynamic_cast<ScrollView*>(&v); s && s->isPagingEnabled() && canMove(*s) && horizontal(*s)) found = s;
    for (const auto& child : v.subviews()) findPaged(*child, found);
}

// A control a finger may reach: its area on screen (in root coordinates, clipped by the scroll views that
// hold it).
struct Reachable {
    Control* control;
    Rect area;
};

Rect intersection(const Rect& a, const Rect& b) {
    const double x0 = std::max(a.minX(), b.minX()), y0 = std::max(a.minY(), b.minY());
    const double x1 = std::min(a.maxX(), b.maxX()), y1 = std::min(a.maxY(), b.maxY());
    return {x0, y0, std::max(0.0, x1 - x0), std::max(0.0, y1 - y0)};
}

Rect rootRect(const View& v) {
    const Rect b = v.bounds();
    const Point a = v.convertToRoot({b.minX(), b.minY()}), z = v.convertToRoot({b.maxX(), b.maxY()});
    return {std::min(a.x, z.x), std::min(a.y, z.y), std::abs(z.x - a.x), std::abs(z.y - a.y)};
}

// The enabled controls shown in `v`'s tree, each with the part of it that is on screen.
void collectReachable(View& v, const Rect& clip, std::vector<Reachable>& out) {
    if (v.isHidden() || !v.userInteractionEnabled() || v.alpha() < 0.01) return;
    Rect inner = clip;
    if (dynamic_cast<ScrollView*>(&v)) inner = intersection(clip, rootRect(v));
    if (auto* c = dynamic_cast<Control*>(&v)) {
        const Rect shown = intersection(inner, rootRect(v));
        if (c->isEnabled() && shown.size.width > 0 && shown.size.height > 0) out.push_back({c, shown});
        return;   // a control's own subviews are part of it
    }
    for (const auto& child : v.subviews()) collectReachable(*child, inner, out);
}

// Distance from `p` to the nearest point of `r` along one axis.
double gap(double p, double lo, double hi) { return p < lo ? lo - p : p > hi ? p - hi : 0; }

// Rows scrolled by one wheel step of a scroll view that does not page.
constexpr double kWheelStepPoints = 25;

}   // namespace

void setScrollOffset(ScrollView& view, Point offset) {
    if (auto* table = dynamic_cast<TableView*>(&view))
        table->setContentOffset(offset);
    else
        view.setContentOffset(offset);
}

ScrollView* scrollableAncestor(View* view) {
    for (View* v = view; v; v = v->superview())
        if (auto* s = dynamic_cast<ScrollView*>(v); s && canMove(*s)) return s;
    return nullptr;
}

ScrollView* frontPagedScrollView(View& root) {
    ScrollView* found = nullptr;
    findPaged(root, found);
    return found;
}

PointerInput::PointerInput(std::function<double()> now) : now_(std::move(now)) {}

double PointerInput::now() const {
    if (now_) return now_();
    Clock* clock = RunLoop::main().clock();
    return clock ? clock->now() : 0.0;
}

Control* PointerInput::heldControl() const {
    auto held = control_.lock();
    return held ? static_cast<Control*>(held.get()) : nullptr;
}

Control* PointerInput::reachedControl(View& root, Point p) const {
    if (Control* c = controlAt(root, p)) return c;
    if (reach_ <= 0) return nullptr;
    const Rect screen = root.bounds();
    const double w = screen.size.width;
    std::vector<Reachable> controls;
    collectReachable(frontScreen(root), {0, 0, w, screen.size.height}, controls);
    const bool left = p.x <= 0, right = p.x >= w;   // beside the screen, or on its very edge
    Control* best = nullptr;
    double bestDistance = 0;
    for (const auto& [control, area] : controls) {
        // The touch area: the control's shown area grown, about its centre, to the reach each way.
        const double halfW = std::max(area.size.width, reach_) / 2, halfH = std::max(area.size.height, reach_) / 2;
        const double dx = gap(p.x, area.midX() - halfW, area.midX() + halfW);
        const double dy = gap(p.y, area.midY() - halfH, area.midY() + halfH);
        if (dy > 0) continue;
        if (left || right) {
            if (left ? area.midX() >= w / 2 : area.midX() < w / 2) continue;
        } else if (dx > 0) {
            continue;
        }
        const double distance = std::hypot(gap(p.x, area.minX(), area.maxX()), gap(p.y, area.minY(), area.maxY()));
        if (!best || distance < bestDistance) {
            best = control;
            bestDistance = distance;
        }
    }
    return best;
}

Control* PointerInput::controlFor(View& root, Point p, bool finger) const {
    return finger ? reachedControl(root, p) : controlAt(root, p);
}

void PointerInput::press(View& root, Point p, bool finger) {
    cancelPress();
    pressed_ = true;
    start_ = p;
    View* under = hitTest(root, p);
    if (ScrollView* s = scrollableAncestor(under)) {
        scroll_ = s->weak_from_this();
        startOffset_ = s->contentOffset();
    }
    if (Control* c = controlFor(root, p, finger)) {
        // Keep the control alive through its own action (an info page removes itself on touch-down).
        auto keep = c->weak_from_this().lock();
        control_ = c->weak_from_this();
        c->setHighlighted(true);
        c->sendActionsForControlEvents(ControlEventTouchDown);
    } else if (under) {
        under->touchesBegan();
    }
}

void PointerInput::move(View& root, Point p) {
    (void)root;
    if (!pressed_) return;
    auto scroll = scroll_.lock();
    if (!scroll) return;
    auto* s = static_cast<ScrollView*>(scroll.get());
    double dx = p.x - start_.x, dy = p.y - start_.y;
    if (!dragging_) {
        double along = horizontal(*s) ? dx : dy;
        if (std::abs(along) < kDragThreshold) return;
        dragging_ = true;
        // A drag catches a settling strip where it is and moves it from there.
        if (settle_ && settle_->view.lock() == scroll) settle_.reset();
        start_ = p;
        startOffset_ = s->contentOffset();
        dx = dy = 0;
        // A drag is not a press of the control it started on.
        if (Control* c = heldControl()) c->setHighlighted(false);
        control_.reset();
    }
    Point offset =
        horizontal(*s) ? Point{startOffset_.x - dx, startOffset_.y} : Point{startOffset_.x, startOffset_.y - dy};
    setScrollOffset(*s, clampOffset(*s, offset));
}

void PointerInput::release(View& root, Point p, bool finger) {
    if (!pressed_) return;
    pressed_ = false;
    finger_.reset();
    if (dragging_) {
        dragging_ = false;
        auto scroll = scroll_.lock();
        scroll_.reset();
        if (!scroll) return;
        auto* s = static_cast<ScrollView*>(scroll.get());
        if (!s->isPagingEnabled() || !horizontal(*s)) return;
        double w = s->frame().size.width;
        int startPage = static_cast<int>(std::lround(startOffset_.x / w));
        double dx = p.x - start_.x;
        int page = startPage;
        if (dx < -w * kPageTurn)
            page = startPage + 1;
        else if (dx > w * kPageTurn)
            page = startPage - 1;
        page = std::clamp(page, 0, pageCount(*s) - 1);
        settleTo(*s, {page * w, s->contentOffset().y});
        return;
    }
    scroll_.reset();
    auto held = control_.lock();
    control_.reset();
    if (!held) return;
    auto* c = static_cast<Control*>(held.get());
    c->setHighlighted(false);
    // Touch-up-inside only when released over the same control, still on screen.
    if (held->isDescendantOf(&root) && controlFor(root, p, finger) == c)
        c->sendActionsForControlEvents(ControlEventTouchUpInside);
}

void PointerInput::cancel() {
    cancelPress();
    for (auto& [id, held] : fingers_)
        if (auto c = held.lock()) static_cast<Control*>(c.get())->setHighlighted(false);
    fingers_.clear();
}

void PointerInput::fingerDown(View& root, long long id, Point p) {
    // A finger that lands again without having lifted is forgotten first, without a touch-up.
    if (finger_ == id) cancelPress();
    if (auto again = fingers_.find(id); again != fingers_.end()) {
        if (auto c = again->second.lock()) static_cast<Control*>(c.get())->setHighlighted(false);
        fingers_.erase(again);
    }
    if (!pressed_) {
        press(root, p, true);
        finger_ = id;
        return;
    }
    Control* c = reachedControl(root, p);
    if (!c) return;   // only the pointer finger touches views and drags
    auto keep = c->weak_from_this().lock();
    fingers_[id] = c->weak_from_this();
    c->setHighlighted(true);
    c->sendActionsForControlEvents(ControlEventTouchDown);
}

void PointerInput::fingerMove(View& root, long long id, Point p) {
    if (finger_ == id) move(root, p);
}

void PointerInput::fingerUp(View& root, long long id, Point p) {
    if (finger_ == id) {
        finger_.reset();
        release(root, p, true);
        return;
    }
    auto it = fingers_.find(id);
    if (it == fingers_.end()) return;
    auto held = it->second.lock();
    fingers_.erase(it);
    if (!held) return;
    auto* c = static_cast<Control*>(held.get());
    // Another finger may still hold the same control.
    bool stillHeld = heldControl() == c;
    for (auto& [other, view] : fingers_) stillHeld = stillHeld || view.lock() == held;
    if (!stillHeld) c->setHighlighted(false);
    if (held->isDescendantOf(&root) && reachedControl(root, p) == c)
        c->sendActionsForControlEvents(ControlEventTouchUpInside);
}

void PointerInput::cancelPress() {
    finger_.reset();
    if (Control* c = heldControl()) c->setHighlighted(false);
    control_.reset();
    if (dragging_) {
        if (auto scroll = scroll_.lock()) {
            auto* s = static_cast<ScrollView*>(scroll.get());
            if (s->isPagingEnabled() && horizontal(*s)) pageBy(*s, 0);
        }
    }
    scroll_.reset();
    pressed_ = false;
    dragging_ = false;
}

bool PointerInput::wheel(View& root, Point p, int steps) {
    if (steps == 0) return false;
    ScrollView* s = scrollableAncestor(hitTest(root, p));
    if (!s) return false;
    if (s->isPagingEnabled() && horizontal(*s)) {
        pageBy(*s, steps);
    } else {
        Point o = s->contentOffset();
        if (horizontal(*s))
            o.x += steps * kWheelStepPoints;
        else
            o.y += steps * kWheelStepPoints;
        setScrollOffset(*s, clampOffset(*s, o));
    }
    return true;
}

bool PointerInput::key(View& root, const std::string& name) {
    if (pressKey(root, name)) return true;
    if (name == "return") {
        // A screen that handles touches itself (no control at its centre) takes Return as a touch.
        Point centre{root.frame().size.width / 2, root.frame().size.height / 2};
        if (controlAt(root, centre)) return false;
        if (View* v = hitTest(root, centre)) {
            v->touchesBegan();
            return true;
        }
        return false;
    }
    int pages = 0;
    if (name == "right" || name == "pagedown") pages = 1;
    if (name == "left" || name == "pageup") pages = -1;
    if (pages == 0) return false;
    ScrollView* s = frontPagedScrollView(root);
    if (!s) return false;
    // A strip covered by another screen (an information page) is not the one the player sees: it stays.
    if (!isOnFrontScreen(root, *s)) return false;
    pageBy(*s, pages);
    return true;
}

bool PointerInput::activate(View& root) {
    ScrollView* s = frontPagedScrollView(root);
    if (!s || !isOnFrontScreen(root, *s)) return false;
    Point mid{s->frame().midX(), s->frame().midY()};
    if (View* up = s->superview()) mid = up->convertToRoot(mid);
    return touchAt(root, mid) != nullptr;
}

void PointerInput::pageBy(ScrollView& s, int pages) {
    double w = s.frame().size.width;
    if (w <= 0) return;
    double from = s.contentOffset().x;
    if (settle_ && settle_->view.lock().get() == &s) from = settle_->to.x;   // keep counting from where it goes
    int page = static_cast<int>(std::lround(from / w)) + pages;
    page = std::clamp(page, 0, pageCount(s) - 1);
    settleTo(s, {page * w, s.contentOffset().y});
}

void PointerInput::settleTo(ScrollView& view, Point target) {
    target = clampOffset(view, target);
    Settle settle{view.weak_from_this(), view.contentOffset(), target, now()};
    settle_ = settle;
    if (settle.from == target) {
        setScrollOffset(view, target);
        settle_.reset();
    }
}

void PointerInput::step() {
    if (!settle_) return;
    auto view = settle_->view.lock();
    if (!view) {
        settle_.reset();
        return;
    }
    auto* s = static_cast<ScrollView*>(view.get());
    double t = (now() - settle_->start) / kSettleSeconds;
    if (t >= 1) {
        setScrollOffset(*s, settle_->to);
        if (s->isPagingEnabled()) s->snapToPage();
        settle_.reset();
        return;
    }
    double k = 1 - std::pow(1 - std::max(0.0, t), 3);   // eases out
    Point p{settle_->from.x + (settle_->to.x - settle_->from.x) * k,
            settle_->from.y + (settle_->to.y - settle_->from.y) * k};
    setScrollOffset(*s, p);
}

}   // namespace platform::sdl
