#include "platform/Window.h"

namespace platform {

namespace {
Window* g_keyWindow = nullptr;
}   // namespace

Window::~Window() {
    if (g_keyWindow == this) g_keyWindow = nullptr;
}

void Window::makeKeyAndVisible() {
    if (g_keyWindow && g_keyWindow != this) g_keyWindow->key_ = false;
    g_keyWindow = this;
    key_ = true;
    if (!hidden_) return;
    hidden_ = false;
    reportArea(*this);
}

Window* Window::keyWindow() { return g_keyWindow; }

void Window::invalidateRect(Rect area) { changes_.add(area); }

std::vector<Rect> Window::takeChanges() {
    auto hidden = std::move(hiddenChanges_);
    hiddenChanges_.clear();
    for (const auto& weak : hidden) {
        auto v = weak.lock();
        if (!v || !v->hiddenChangePending_) continue;
        v->hiddenChangePending_ = false;
        if (v->hidden_ != v->hiddenBefore_) reportArea(*v);
    }
    collectAnimationChanges();
    return changes_.take();
}

}   // namespace platform
