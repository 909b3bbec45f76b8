#pragma once
// The hen lays eggs: each laying leaves one unplaced egg in `egg`, which the controller places on a
// deck (VCEgg::init) and then takes or drops through setEgg(nullptr).

#include <memory>

#include "games/egg/VCEgg.h"
#include "platform/View.h"

namespace plumbrick {

class VCHen {
public:
    // No egg yet; keeps the game view.
    explicit VCHen(platform::View& gameView) : view(&gameView) {}

    // Lays an egg: `egg` becomes a new egg with no deck and no segments.
    void cycleLifeTime();

    // The egg just laid and not yet placed, or null.
    const std::shared_ptr<VCEgg>& getEgg() const { return egg; }
    void setEgg(std::shared_ptr<VCEgg> e) { egg = std::move(e); }

    // The game view the hen lays into.
    platform::View* getView() const { return view; }

    // Do nothing (kept so that callers written against the full interface build).
    void birthEgg(void*) {}
    void hiddenAll() {}

private:
    platform::View* view = nullptr;   // the game view, not owned
    std::shared_ptr<VCEgg> egg;
    int numDeck = 0;   // kept for the record; nothing uses it
};

}   // namespace plumbrick
