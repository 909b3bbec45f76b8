#pragma once
// A view that takes touches and keys and sends actions to its targets, per event mask.

#include <functional>
#include <string>
#include <vector>

#include "platform/Lifetime.h"
#include "platform/View.h"

namespace platform {

// Control events, as the platform's masks.
enum ControlEvent : int {
    ControlEventTouchDown = 1,
    ControlEventTouchUpInside = 64,
};

class Control : public View {
public:
    using Action = std::function<void(View* sender)>;
    explicit Control(Rect frame = {}) : View(frame) {}
    // Calls action(this) for every event in mask that is sent, never once its owner (a Lifetime, a Watch of
    // one, or Unowned{}) is gone. A target method's target is its owner.
    void addTarget(Action action, int eventMask, Lifetime::Watch owner);
    template <OwnsLifetime T> void addTarget(T* target, void (T::*action)(View*), int eventMask) {
        addTarget([target, action](View* sender) { (target->*action)(sender); }, eventMask, watchOf(target));
    }
    // Delivers the events of mask to every target registered for one of them, in registration order.
    void sendActionsForControlEvents(int eventMask);
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool on) { enabled_ = on; }
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool on) {
        if (on == highlighted_) return;
        highlighted_ = on;
        setNeedsDisplay();
    }
    // Keyboard key (lowercase SDL key name) that presses this control; empty for none.
    const std::string& keyEquivalent() const { return key_; }
    void setKeyEquivalent(std::string key) { key_ = std::move(key); }
    const char* className() const override { return "Control"; }

private:
    struct Target {
        Action action;
        int mask;
        Lifetime::Watch owner;
    };
    std::vector<Target> targets_;
    std::string key_;
    bool enabled_ = true;
    bool highlighted_ = false;
};

}   // namespace platform
