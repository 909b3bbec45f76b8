#pragma once
// The view tree: a view, its subviews and its place among them, its geometry and appearance, and touches.
// The widgets are views of their own headers (ImageView, Control, Button, Label, ScrollView, TableView,
// Window); animations of alpha and transform live in platform/Animation.h, changed areas in
// platform/Changes.h.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Animation.h"
#include "platform/Geometry.h"

namespace platform {

class ViewController;
class Window;

struct Color {
    double r = 0, g = 0, b = 0, a = 1;
    friend bool operator==(const Color&, const Color&) = default;
    static Color white(double alpha = 1) { return {1, 1, 1, alpha}; }
    static Color black(double alpha = 1) { return {0, 0, 0, alpha}; }
    static Color clear() { return {0, 0, 0, 0}; }
};

class View : public std::enable_shared_from_this<View> {
public:
    explicit View(Rect frame = {});
    virtual ~View();
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    // Tree. A view owns its subviews; superview() is a plain back pointer.
    void addSubview(std::shared_ptr<View> view);   // on top; moves it from any former parent
    void insertSubviewAtIndex(std::shared_ptr<View> view, std::size_t index);   // index clamped to the count
    void removeFromSuperview();
    const std::vector<std::shared_ptr<View>>& subviews() const { return subviews_; }
    View* superview() const { return superview_; }
    // The view itself if its tag matches, else the first match in a depth-first, back-to-front search; null otherwise.
    View* viewWithTag(int tag);
    template <class T> T* viewWithTagAs(int tag) { return dynamic_cast<T*>(viewWithTag(tag)); }
    bool isDescendantOf(const View* other) const;

    // Geometry and appearance (model values).
    Rect frame() const { return frame_; }
    virtual void setFrame(Rect frame);
    Rect bounds() const { return {boundsOrigin_.x, boundsOrigin_.y, frame_.size.width, frame_.size.height}; }
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    bool isHidden() const { return hidden_; }
    // Shown now, or shown when its window last took its changes (hidden since: still to be drawn away).
    bool shownOrWasShown() const { return !hidden_ || (hiddenChangePending_ && !hiddenBefore_); }
    void setHidden(bool hidden);
    double alpha() const { return alpha_; }
    void setAlpha(double alpha);   // clamped to 0..1; animated inside an animation's changes
    AffineTransform transform() const { return transform_; }
    void setTransform(const AffineTransform& t);   // animated inside an animation's changes
    Color backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(Color c);
    bool userInteractionEnabled() const { return userInteractionEnabled_; }
    void setUserInteractionEnabled(bool on) { userInteractionEnabled_ = on; }
    // Reports the area this view and its subviews cover on screen to the window as changed.
    void setNeedsDisplay();
    std::uint64_t displayGeneration() const { return displayGeneration_; }
    // The window at the root of this view's tree, or null.
    Window* window() const;

    // What is drawn now: the model value, or the running animation's value at the run loop's time
    // (eased in and out: smoothstep of the elapsed fraction of each pass).
    double presentationAlpha() const;
    AffineTransform presentationTransform() const;
    Layer& layer();

    // Touches on a view that is not a control. The default hands the touch to the controller whose
    // view this is, if any, else to the superview.
    virtual void touchesBegan();
    void setViewController(ViewController* vc) { viewController_ = vc; }
    ViewController* viewController() const { return viewController_; }

    // Name of the class for layouts and for drawing ("View", "ImageView", ...).
    virtual const char* className() const { return "View"; }

    // Converts a point in this view's coordinates to root coordinates (from the top-left corner of the root as
    // drawn, its scroll offset applied), model values, no transforms.
    Point convertToRoot(Point p) const;

protected:
    friend class Window;
    std::vector<std::shared_ptr<View>> subviews_;
    View* superview_ = nullptr;
    Rect frame_;
    Point boundsOrigin_;
    int tag_ = 0;
    bool hidden_ = false;
    double alpha_ = 1.0;
    AffineTransform transform_;
    Color backgroundColor_ = Color::clear();
    bool userInteractionEnabled_ = true;
    std::uint64_t displayGeneration_ = 0;
    bool isWindow_ = false;              // set by Window: found at the root without a cast
    bool hiddenChangePending_ = false;   // listed with the window; hiddenBefore_ was the value at the last frame
    bool hiddenBefore_ = false;
    ViewController* viewController_ = nullptr;
    std::unique_ptr<Layer> layer_;
};

}   // namespace platform
