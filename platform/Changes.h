#pragma once
// What changed on screen since the last frame: the areas that views cover in their window's points, as the
// renderer draws them (presentation values, each transform about the frame's centre, scroll views clipping
// their content), gathered per window so that only those are drawn again.

#include <vector>

#include "platform/Geometry.h"

namespace platform {

class Layer;
class View;

// A window's changed areas, kept short: an area inside one already listed adds nothing, and past a few dozen
// an area joins the one it grows least.
class ChangeList {
public:
    void add(Rect area);   // points; an empty area adds nothing
    bool empty() const { return areas_.empty(); }
    // Hands over (and forgets) the areas.
    std::vector<Rect> take();

private:
    std::vector<Rect> areas_;
};

// Reports the area the view and its subviews cover (its own hidden state aside) to its window, when the
// window draws it.
void reportArea(const View& view);
// Before the view leaves its tree: the area now and where its subtree's running animations were last drawn.
void reportLeaving(const View& view);

// Layers with running animations, collected with every frame.
void trackAnimatedLayer(Layer& layer);
void forgetAnimatedLayer(const Layer& layer);   // before the layer goes
// Reports to their windows the areas that views with running animations covered when last collected and
// cover now, and forgets the views whose animations have ended (after reporting them once more).
void collectAnimationChanges();
// Whether some view's animation still has to be collected.
bool hasAnimationChanges();

}   // namespace platform
