#include "platform/Control.h"

namespace platform {

void Control::addTarget(Action action, int eventMask, Lifetime::Watch owner) {
    if (!action || eventMask == 0 || owner.gone()) return;
    targets_.push_back(Target{std::move(action), eventMask, std::move(owner)});
}

void Control::sendActionsForControlEvents(int eventMask) {
    auto keep = weak_from_this().lock();   // an action may take this control out of the tree
    const std::vector<Target> targets = targets_;
    for (const Target& t : targets)
        if ((t.mask & eventMask) && !t.owner.gone()) t.action(this);
}

}   // namespace platform
