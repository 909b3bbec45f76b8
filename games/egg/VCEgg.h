#pragma once
// An egg rolling down one deck: five segments, position 0 at the hen to 4 just above the basket;
// position 5 means the egg has left its deck. Deck tags: 0 → 500..504, 1 → 600..604,
// 2 → 800..804, 3 → 700..704.

#include "games/egg/VCLifeTimeProtocol.h"
#include "platform/Segment.h"
#include "platform/View.h"

namespace plumbrick {

class VCEgg : public VCLifeTimeProtocol {
public:
    // An egg that has been laid but not placed yet: no deck, no segments (see init).
    VCEgg() = default;
    // Makes and places an egg in one step (same as VCEgg() followed by init).
    VCEgg(platform::View& gameView, int deck);

    // Places the egg on deck d (0..3): takes that deck's five segments, sets position 0 and lights segment 0.
    void init(platform::View& gameView, int d);

    // Rolls one place on: the lit segment moves down; from position 4 the egg goes dark at position 5.
    // At position 5 nothing happens.
    void nextPosition();

    // True once the egg has left its deck (position 5).
    bool isDelete() const override { return position == 5; }
    // Eggs move only through nextPosition; this does nothing.
    void cycleLifeTime() override {}

    int getDeck() const { return deck; }
    void setDeck(int d) { deck = d; }
    int getPosition() const { return position; }
    void setPosition(int p) { position = p; }

    // The first segment tag of deck d (0..3).
    static int baseTagForDeck(int d);
    // Hides all twenty egg segments of `view`.
    static void hiddenAll(platform::View& view);

private:
    int deck = 0;
    int position = 0;
    platform::Segment image[5];
};

}   // namespace plumbrick
