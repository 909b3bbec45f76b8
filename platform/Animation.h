#pragma once
// View animations. An animation is an object: Animation::start runs a function that changes alpha and
// transforms, and those changes are animated from the run loop's time on (the views take the new values at
// once; only what is drawn moves over time). Its handle cancels it; its completion is bound to an owner.

#include <functional>
#include <memory>
#include <vector>

#include "platform/Geometry.h"
#include "platform/Lifetime.h"

namespace platform {

class View;

struct AnimationOptions {
    double duration = 0.2;           // of one pass, seconds
    double repeatCount = 0;          // passes (or there and back again with autoreverses); 0 means once
    bool autoreverses = false;       // every second pass runs backwards
    bool fromCurrentState = false;   // starts from what is drawn now rather than from the model value
};

class Animation {
public:
    // Called once when the animation ends: finished is false when all it animated was taken over by later
    // animations or removed (Layer::removeAllAnimations) before its end.
    using Completion = std::function<void(bool finished)>;

    Animation() = default;   // a handle to no animation
    // Runs `changes` now; the alpha and transform changes that it makes are animated with `options`. The
    // completion is called from the run loop, never after its owner (a Lifetime, a Watch of one, or Unowned{})
    // is gone. Inside another animation's changes the view changes join the inner one.
    static Animation start(const AnimationOptions& options, const std::function<void()>& changes, Lifetime::Watch owner,
                           Completion completion);
    // Without a completion.
    static Animation start(const AnimationOptions& options, const std::function<void()>& changes);

    // Stops it: its views are drawn at their model values at once and its completion never runs. Dropping
    // the handle does not cancel it.
    void cancel();
    // Keeps it running to its end, but its completion never runs.
    void cancelCompletion();
    // Started, not cancelled, and not past its end.
    bool isRunning() const;

    // While animations are disabled, changes are never animated (layouts are built so).
    static bool areEnabled();
    static void setEnabled(bool on);
    // Whether any animation is running (drawing needs frames while one is).
    static bool anyRunning();
    // Tests: ends the changes of any animation still being set up, silently, and enables animations again
    // (running animations stay).
    static void reset();

    struct Block;   // defined in Animation.cpp

private:
    explicit Animation(std::shared_ptr<Block> block) : block_(std::move(block)) {}
    std::shared_ptr<Block> block_;
};

// The part of a view that carries its running animations, one per property at most: a new animation of a
// property replaces the one running on it (whose animation then ends unfinished, unless it still animates
// something else).
class Layer {
public:
    explicit Layer(View& owner) : owner_(owner) {}
    ~Layer();
    Layer(const Layer&) = delete;
    Layer& operator=(const Layer&) = delete;
    // Drops every running animation of the view: it is drawn at its model values again at once. An animation
    // left without anything to animate reports its end (finished false) on the next run-loop turn.
    void removeAllAnimations();
    bool hasAnimations() const;
    View& owner() { return owner_; }
    const View& owner() const { return owner_; }

    // Whether the view's changes are animated now (inside an animation's changes, animations enabled).
    static bool collecting();
    // Animates a property from its model value (or from what is drawn, as the animation says) to `to`; a
    // second change within the same animation keeps the start value and takes the new target. Only while
    // collecting().
    void animateAlpha(double model, double to);
    void animateTransform(const AffineTransform& model, const AffineTransform& to);
    // What is drawn now of a property whose model value is given: the running animation's value at the run
    // loop's time (eased in and out: smoothstep of the elapsed fraction of each pass), else the model.
    double presentationAlpha(double model) const;
    AffineTransform presentationTransform(const AffineTransform& model) const;

    struct Property;   // defined in Animation.cpp

private:
    View& owner_;
    std::vector<std::shared_ptr<Property>> properties_;
};

}   // namespace platform
