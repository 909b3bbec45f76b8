#include "platform/Input.h"

#include <cmath>

namespace platform {

namespace {

bool takesTouches(const View& v) { return !v.isHidden() && v.userInteractionEnabled() && v.alpha() >= 0.01; }

// `local` is in v's bounds coordinates.
View* hit(View& v, Point local) {
    if (!takesTouches(v) || !v.bounds().contains(local)) return nullptr;
    const auto& children = v.subviews();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        View& child = **it;
        // Undo the child's drawn transform, which acts about the centre of its frame.
        const Rect f = child.frame();
        const AffineTransform t = child.presentationTransform();
        const double det = t.a * t.d - t.b * t.c;
        if (std::fabs(det) < 1e-12) continue;   // squashed flat: nothing to touch
        const double dx = local.x - f.midX() - t.tx, dy = local.y - f.midY() - t.ty;
        const double ux = (t.d * dx - t.c * dy) / det, uy = (-t.b * dx + t.a * dy) / det;
        const Rect b = child.bounds();
        if (View* found = hit(child, {b.midX() + ux, b.midY() + uy})) return found;
    }
    return &v;
}

bool covers(const View& child, const Rect& area) {
    const Rect f = child.frame();
    constexpr double e = 1e-6;
    return f.minX() <= area.minX() + e && f.minY() <= area.minY() + e && f.maxX() >= area.maxX() - e &&
           f.maxY() >= area.maxY() - e;
}

Control* findKey(View& v, const std::string& key) {
    if (!takesTouches(v)) return nullptr;
    const auto& children = v.subviews();
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (Control* c = findKey(**it, key)) return c;
    auto* c = dynamic_cast<Control*>(&v);
    return c && c->isEnabled() && c->keyEquivalent() == key ? c : nullptr;
}

// Touch down, then (when `release`) touch up inside if the control is still on screen and enabled.
void press(View& root, Control& c, bool release) {
    auto keep = c.weak_from_this().lock();   // the actions may take the control out of the tree
    c.setHighlighted(true);
    c.sendActionsForControlEvents(ControlEventTouchDown);
    if (!release) return;
    c.setHighlighted(false);
    if (c.isDescendantOf(&root) && c.isEnabled()) c.sendActionsForControlEvents(ControlEventTouchUpInside);
}

}   // namespace

View* hitTest(View& root, Point p) {
    const Rect b = root.bounds();
    return hit(root, {p.x + b.minX(), p.y + b.minY()});
}

Control* controlAt(View& root, Point p) {
    for (View* v = hitTest(root, p); v; v = v == &root ? nullptr : v->superview()) {
        if (auto* c = dynamic_cast<Control*>(v)) return c->isEnabled() ? c : nullptr;
    }
    return nullptr;
}

View& frontScreen(View& root) {
    View* screen = &root;
    for (bool deeper = true; deeper;) {
        deeper = false;
        const auto& children = screen->subviews();
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            if (takesTouches(**it) && covers(**it, screen->bounds())) {
                screen = it->get();
                deeper = true;
                break;
            }
        }
    }
    return *screen;
}

bool isOnFrontScreen(View& root, const View& v) {
    View& screen = frontScreen(root);
    return &v == &screen || v.isDescendantOf(&screen);
}

Control* controlForKey(View& root, const std::string& key) {
    if (key.empty()) return nullptr;
    return findKey(frontScreen(root), key);
}

Control* touchAt(View& root, Point p, bool release) {
    if (Control* c = controlAt(root, p)) {
        press(root, *c, release);
        return c;
    }
    if (View* v = hitTest(root, p)) {
        auto keep = v->weak_from_this().lock();
        v->touchesBegan();
    }
    return nullptr;
}

bool pressKey(View& root, const std::string& key) {
    Control* c = controlForKey(root, key);
    if (!c) return false;
    press(root, *c, true);
    return true;
}

}   // namespace platform
