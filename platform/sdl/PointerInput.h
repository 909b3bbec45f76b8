#pragma once
// Pointer and keyboard input on a view tree, in points: a press is a touch on the front-most control under
// the pointer (touch-down on press, touch-up-inside on release over the same control), or a touch on the
// view there when no control is; a drag or the wheel moves a scroll view, and a paged one settles on a
// whole page; keys named by controls press them. Knows nothing of SDL, so tests can drive it directly.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/Control.h"
#include "platform/ScrollView.h"
#include "platform/View.h"

namespace platform::sdl {

class PointerInput {
public:
    // Seconds, for the settling motion of scroll views. Default: the main run loop's clock.
    explicit PointerInput(std::function<double()> now = {});

    // Points are in root coordinates.
    void press(View& root, Point p) { press(root, p, false); }
    void move(View& root, Point p);
    void release(View& root, Point p) { release(root, p, false); }
    // Forgets a press without a touch-up (the pointer left the window, the window lost focus), and every
    // finger with it.
    void cancel();
    // Fingers on a touch screen, each by its id, in root coordinates. Every finger that lands on a control
    // holds that control on its own (touch-down on landing, touch-up-inside on lifting over it), so that one
    // thumb on each button plays; the first finger down is also the pointer: it drags scroll views and
    // touches a view without controls, as a mouse press does.
    void fingerDown(View& root, long long id, Point p);
    void fingerMove(View& root, long long id, Point p);
    void fingerUp(View& root, long long id, Point p);
    int fingersDown() const { return int(fingers_.size()) + (finger_ ? 1 : 0); }
    // The least size, in points each way, of the area in which a finger reaches a control, whatever the
    // control's drawn size (0, the default: a finger reaches what is under it, as the mouse does). The
    // browser page sets it so that the area is a thumb's width on the screen.
    void setTouchReach(double points) { reach_ = points; }
    double touchReach() const { return reach_; }
    // The control a finger at `p` reaches: the one under it; else, of the front-most screen's controls
    // whose touch area holds `p`, the nearest; a finger beside the screen (left or right of it, or on its
    // very edge) reaches the nearest control on that half whose touch area spans its height. Null if none.
    Control* reachedControl(View& root, Point p) const;
    // Wheel steps: positive moves towards the end (next page). True when a scroll view took them.
    bool wheel(View& root, Point p, int steps);
    // A key by its lowercase SDL name ("q", "return", "left"). Keys named by a control press it; "return"
    // otherwise touches a screen that takes touches itself (the intro); "left"/"right" and "pageup"/
    // "pagedown" otherwise page the front-most paged scroll view, unless another screen covers it. True when
    // the key did something.
    bool key(View& root, const std::string& name);

    // Touches (down and up) the middle of the front-most screen's paged strip: on the menu, the game shown.
    // False when no such strip is on the front-most screen.
    bool activate(View& root);

    // Runs the settling motion; true while one is under way (the caller then needs frames).
    void step();
    bool isAnimating() const { return settle_.has_value(); }
    bool isDragging() const { return dragging_; }
    // The control being held, or null.
    Control* heldControl() const;

    // Minimum pointer travel, in points, before a press becomes a drag.
    static constexpr double kDragThreshold = 6;
    // Fraction of a page that a drag must travel to turn the page.
    static constexpr double kPageTurn = 0.15;
    static constexpr double kSettleSeconds = 0.25;

private:
    void press(View& root, Point p, bool finger);
    void release(View& root, Point p, bool finger);
    struct Settle {
        std::weak_ptr<View> view;
        Point from, to;
        double start = 0;
    };
    void cancelPress();
    // The control under `p`, or for a finger the one it reaches.
    Control* controlFor(View& root, Point p, bool finger) const;
    void settleTo(ScrollView& view, Point target);
    void pageBy(ScrollView& view, int pages);
    double now() const;

    std::function<double()> now_;
    std::weak_ptr<View> control_;
    std::weak_ptr<View> scroll_;
    Point start_, startOffset_;
    bool pressed_ = false;
    bool dragging_ = false;
    std::optional<Settle> settle_;
    double reach_ = 0;
    std::optional<long long> finger_;                    // the finger that is the pointer
    std::map<long long, std::weak_ptr<View>> fingers_;   // the other fingers, each with the control it holds
};

// Sets a scroll view's offset (a table view also lays out the rows that came into view).
void setScrollOffset(ScrollView& view, Point offset);
// The nearest scroll view that holds `view` (or is it) and can move, or null.
ScrollView* scrollableAncestor(View* view);
// The front-most visible paged scroll view in the tree, or null.
ScrollView* frontPagedScrollView(View& root);

}   // namespace platform::sdl
