#pragma once
// The view tree: views, image views, controls, buttons, labels, scroll views, windows,
// and the block-style view animations that change alpha and transform over time.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Geometry.h"
#include "platform/Image.h"
#include "platform/Lifetime.h"

namespace platform {

class ViewController;
class Layer;
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
    void setAlpha(double alpha);   // clamped to 0..1; animated inside a block
    AffineTransform transform() const { return transform_; }
    void setTransform(const AffineTransform& t);   // animated inside a block
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

    // ---- View animations (class operations) ----
    using AnimationDidStop = std::function<void(const std::string& animationId, bool finished, void* context)>;
    static void beginAnimations(const std::string& animationId = {}, void* context = nullptr);
    static void setAnimationDuration(double seconds);
    // The delegate plus its did-stop selector in one. With an owner, it is not called once the owner is gone.
    static void setAnimationDelegate(AnimationDidStop callback, Lifetime::Watch owner = {});
    static void setAnimationDelegate(const Lifetime& owner, AnimationDidStop callback) {
        setAnimationDelegate(std::move(callback), owner.watch());
    }
    static void setAnimationBeginsFromCurrentState(bool on);
    static void setAnimationRepeatAutoreverses(bool on);
    static void setAnimationRepeatCount(double count);
    static void setAnimationTransition(int kind, View* forView, bool cache);   // only kind 0 (none) exists
    static void commitAnimations();
    static bool areAnimationsEnabled();
    static void setAnimationsEnabled(bool on);
    // Whether any animation is running (drawing needs frames while one is).
    static bool hasRunningAnimations();
    // Tests: closes every open block and enables animations again (running animations stay).
    static void resetAnimations();
    // Reports to their windows the areas that views with running animations covered when last collected and
    // cover now, and forgets the views whose animations have ended (after reporting them once more).
    static void collectAnimationChanges();
    // Whether some view's animation still has to be collected.
    static bool hasAnimationChanges();

protected:
    friend class Layer;
    friend class Window;
    // Reports this view's drawn area (its own hidden state aside) to its window, when the window draws it.
    void reportArea() const;
    // Before leaving the tree: the area now and what its running animations were last drawn over.
    void reportLeaving() const;
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

// The part of a view that carries its running animations.
// A new animation of a property replaces the one running on it (whose block then stops unfinished).
class Layer {
public:
    explicit Layer(View& owner) : owner_(owner) {}
    ~Layer();
    Layer(const Layer&) = delete;
    Layer& operator=(const Layer&) = delete;
    // Drops every running animation of the view: it is drawn at its model values again at once. A block
    // left without animations reports its end (finished false) on the next run-loop turn.
    void removeAllAnimations();
    bool hasAnimations() const;
    View& owner() { return owner_; }
    struct Animation;   // defined in View.cpp
private:
    friend class View;
    void track();
    View& owner_;
    std::vector<std::shared_ptr<Animation>> animations_;
    bool tracked_ = false;    // listed for View::collectAnimationChanges
    bool hasDrawn_ = false;   // drawn_: the area covered when last collected, in root points
    Rect drawn_;
};

// Like the platform's, an image view takes no touches unless told to (they go to the view behind it).
class ImageView : public View {
public:
    explicit ImageView(Rect frame = {}) : View(frame) { userInteractionEnabled_ = false; }
    // Framed to the image's size at (0, 0); a null image gives a zero frame.
    explicit ImageView(std::shared_ptr<Image> image);
    void setImage(std::shared_ptr<Image> image) {
        if (image == image_) return;
        image_ = std::move(image);
        setNeedsDisplay();
    }
    const std::shared_ptr<Image>& image() const { return image_; }
    const char* className() const override { return "ImageView"; }

private:
    std::shared_ptr<Image> image_;
};

// Control events, as the platform's masks.
enum ControlEvent : int {
    ControlEventTouchDown = 1,
    ControlEventTouchUpInside = 64,
};

class Control : public View {
public:
    using Action = std::function<void(View* sender)>;
    explicit Control(Rect frame = {}) : View(frame) {}
    // Calls action(this) for every event in mask that is sent. An action bound to an owner's Lifetime is not
    // called once the owner is gone; a target that holds a Lifetime (OwnsLifetime) binds its own.
    void addTarget(Action action, int eventMask);
    template <class T> void addTarget(T* target, void (T::*action)(View*), int eventMask) {
        addTarget(boundTo(target, [target, action](View* sender) { (target->*action)(sender); }), eventMask);
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
    };
    std::vector<Target> targets_;
    std::string key_;
    bool enabled_ = true;
    bool highlighted_ = false;
};

class Button : public Control {
public:
    explicit Button(Rect frame = {}) : Control(frame) {}
    void setImage(std::shared_ptr<Image> image) {
        if (image == image_) return;
        image_ = std::move(image);
        setNeedsDisplay();
    }
    const std::shared_ptr<Image>& image() const { return image_; }
    const char* className() const override { return "Button"; }

private:
    std::shared_ptr<Image> image_;
};

enum TextAlignment : int { TextAlignmentLeft = 0, TextAlignmentCenter = 1, TextAlignmentRight = 2 };

struct Font {
    std::string name = "Helvetica";
    double size = 17;   // the label's default font
    friend bool operator==(const Font&, const Font&) = default;
};

class Label : public View {
public:
    explicit Label(Rect frame = {}) : View(frame) {}
    const std::string& text() const { return text_; }
    void setText(std::string text) {
        if (text == text_) return;
        text_ = std::move(text);
        setNeedsDisplay();
    }
    const Font& font() const { return font_; }
    void setFont(Font font) {
        font_ = std::move(font);
        setNeedsDisplay();
    }
    int textAlignment() const { return alignment_; }
    void setTextAlignment(int alignment) {
        alignment_ = alignment;
        setNeedsDisplay();
    }
    Color textColor() const { return textColor_; }
    void setTextColor(Color c) {
        textColor_ = c;
        setNeedsDisplay();
    }
    const char* className() const override { return "Label"; }

private:
    std::string text_;
    Font font_;
    int alignment_ = TextAlignmentLeft;
    Color textColor_ = Color::black();
};

class ScrollView : public View {
public:
    explicit ScrollView(Rect frame = {}) : View(frame) {}
    Size contentSize() const { return contentSize_; }
    void setContentSize(Size s) { contentSize_ = s; }
    Point contentOffset() const { return boundsOrigin_; }
    // Clamped to the content; with paging, a drag ends on a whole page (see snapToPage).
    virtual void setContentOffset(Point p);
    bool isScrollEnabled() const { return scrollEnabled_; }
    void setScrollEnabled(bool on) { scrollEnabled_ = on; }
    bool isPagingEnabled() const { return pagingEnabled_; }
    void setPagingEnabled(bool on) { pagingEnabled_ = on; }
    // Moves the offset to the nearest whole page of the view's width (when paging is on).
    void snapToPage();
    int currentPage() const;
    const char* className() const override { return "ScrollView"; }

private:
    Size contentSize_;
    bool scrollEnabled_ = true;
    bool pagingEnabled_ = false;
};

// The application's window: the root of everything drawn. It gathers the areas, in its own points, that its
// views report changed since the last frame, so that only those are drawn again.
class Window : public View {
public:
    explicit Window(Rect frame = {0, 0, 480, 320}) : View(frame) { isWindow_ = true; }
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
    std::vector<Rect> changes_;
    std::vector<std::weak_ptr<View>> hiddenChanges_;   // views shown or hidden since the last frame
};

}   // namespace platform
