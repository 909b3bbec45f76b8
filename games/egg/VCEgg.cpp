#include "games/egg/VCEgg.h"

namespace plumbrick {

namespace {
constexpr int kDeckBase[4] = {500, 600, 800, 700};
}

VCEgg::VCEgg(platform::View& gameView, int d) { init(gameView, d); }

int VCEgg::baseTagForDeck(int d) { return d >= 0 && d < 4 ? kDeckBase[d] : kDeckBase[0]; }

void VCEgg::init(platform::View& gameView, int d) {
    const int base = baseTagForDeck(d);
    for (int i = 0; i < 5; ++i) image[i] = platform::Segment::withTag(gameView, base + i);
    deck = d;
    position = 0;
    image[0].show();
}

void VCEgg::nextPosition() {
    if (position == 5) return;
    if (position >= 0 && position < 5) image[position].hide();
    ++position;
    if (position >= 0 && position < 5) image[position].show();
}

void VCEgg::hiddenAll(platform::View& view) {
    for (int base : kDeckBase)
        for (int i = 0; i < 5; ++i) platform::Segment::withTag(view, base + i).hide();
}

}   // namespace plumbrick
