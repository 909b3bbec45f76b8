#include "games/egg/VCWolf.h"

namespace plumbrick {

VCWolf::VCWolf(platform::View& gameView) {
    state = 0;
    posBasket = 0;
    for (int i = 0; i < 4; ++i) image[i] = platform::Segment::withTag(gameView, kBaseTag + i);
}

void VCWolf::setPosBasket(int p) {
    if (p < 0) p = 0;
    if (p > 3) p = 3;
    image[posBasket].hide();
    posBasket = p;
    image[posBasket].show();
}

void VCWolf::hiddenAll(platform::View& view) {
    for (int i = 0; i < 4; ++i) platform::Segment::withTag(view, kBaseTag + i).hide();
}

}   // namespace plumbrick
