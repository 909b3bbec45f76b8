#pragma once
// The application's window.

#include <memory>
#include <vector>

#include "platform/Changes.h"
#include "platform/View.h"

namespace platform {

// The application's window: the root of everything drawn. It gathers the areas, in its own points, that its
// views report changed since the last frame, so that only those are drawn again.
class Window : public View {
public:
    explicit Window(Rect frame = {0, 0, 480, 320}) : View(frame) { isWindow_ = true; }
    ~Window() override;
    void makeKeyAndVisible();
    bool isKeyWindow() const { return key_; }
    static Window* keyWindow();
    const char* className() const override { return "Window"; }

    // Marks an area (points) to be drawn again with the next frame; anything drawn over the tree may use it too.
    void invalidateRect(Rect area);
    // Whether anything was reported since the last takeChanges (running animations aside).
    bool hasChanges() const { return !changes_.empty() || !hiddenChanges_.empty(); }
    // Collects running animations, then hands over (and forgets) the changed areas.
    std::vector<Rect> takeChanges();

private:
    friend class View;
    bool key_ = false;
    ChangeList changes_;
    std::vector<std::weak_ptr<View>> hiddenChanges_;   // views shown or hidden since the last frame
};

}   // namespace platform
