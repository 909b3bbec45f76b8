#include "platform/Changes.h"

#include <algorithm>
#include <cstddef>

#include "platform/Animation.h"
#include "platform/ScrollView.h"
#include "platform/View.h"
#include "platform/Window.h"

namespace platform {

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

// A layer with running animations and the area it covered when last collected, in root points.
struct Tracked {
    Layer* layer;
    bool hasDrawn = false;
    Rect drawn;
};

std::vector<Tracked>& trackedLayers() {
    static auto* list = new std::vector<Tracked>;   // never destroyed: layers that die at exit still reach it
    return *list;
}

}   // namespace

void ChangeList::add(Rect area) {
    if (!(area.size.width > 0 && area.size.height > 0)) return;
    auto holds = [](const Rect& outer, const Rect& inner) {
        return inner.minX() >= outer.minX() && inner.minY() >= outer.minY() && inner.maxX() <= outer.maxX() &&
               inner.maxY() <= outer.maxY();
    };
    for (const Rect& r : areas_)
        if (holds(r, area)) return;
    std::erase_if(areas_, [&](const Rect& r) { return holds(area, r); });
    // A short list: past it, the area joins the one it grows least.
    constexpr std::size_t kMaxAreas = 32;
    if (areas_.size() < kMaxAreas) {
        areas_.push_back(area);
        return;
    }
    auto joined = [](const Rect& a, const Rect& b) {
        double x0 = std::min(a.minX(), b.minX()), y0 = std::min(a.minY(), b.minY());
        return Rect(x0, y0, std::max(a.maxX(), b.maxX()) - x0, std::max(a.maxY(), b.maxY()) - y0);
    };
    Rect* best = nullptr;
    double least = 0;
    for (Rect& r : areas_) {
        Rect j = joined(r, area);
        double growth = j.size.width * j.size.height - r.size.width * r.size.height;
        if (!best || growth < least) best = &r, least = growth;
    }
    *best = joined(*best, area);
}

std::vector<Rect> ChangeList::take() {
    auto taken = std::move(areas_);
    areas_.clear();
    return taken;
}

void reportArea(const View& view) {
    Map m;
    Window* w = nullptr;
    if (!rootMap(view, m, w)) return;
    Box b = subtreeBox(view, m);
    if (!b.empty()) w->invalidateRect(b.rect());
}

void reportLeaving(const View& view) {
    reportArea(view);
    Window* w = view.window();
    if (!w) return;
    for (const Tracked& t : trackedLayers())
        if (t.hasDrawn && t.layer->owner().isDescendantOf(&view)) w->invalidateRect(t.drawn);
}

void trackAnimatedLayer(Layer& layer) {
    auto& list = trackedLayers();
    if (std::none_of(list.begin(), list.end(), [&](const Tracked& t) { return t.layer == &layer; }))
        list.push_back(Tracked{&layer, false, Rect()});
}

void forgetAnimatedLayer(const Layer& layer) {
    std::erase_if(trackedLayers(), [&](const Tracked& t) { return t.layer == &layer; });
}

void collectAnimationChanges() {
    auto& list = trackedLayers();
    for (std::size_t i = 0; i < list.size();) {
        Tracked& t = list[i];
        const View& owner = t.layer->owner();
        Map m;
        Window* w = nullptr;
        Box now;
        const bool drawn = rootMap(owner, m, w);
        if (drawn) now = subtreeBox(owner, m);
        if (Window* target = w ? w : owner.window()) {
            if (t.hasDrawn) target->invalidateRect(t.drawn);
            if (!now.empty()) target->invalidateRect(now.rect());
        }
        t.hasDrawn = drawn && !now.empty();
        t.drawn = now.rect();
        if (t.layer->hasAnimations())
            ++i;
        else
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

bool hasAnimationChanges() { return !trackedLayers().empty(); }

}   // namespace platform
