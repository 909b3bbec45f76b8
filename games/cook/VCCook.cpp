#include "games/cook/VCCook.h"

namespace plumbrick {

VCCook::VCCook(platform::View& gameView) {
    for (int i = 0; i < 4; ++i) {
        image[i] = platform::Segment::withTag(gameView, kDownTag + i);
        imageUp[i] = platform::Segment::withTag(gameView, kTossTag + i);
    }
}

void VCCook::setPosCook(int p) {
    if (p > 3) p = countVisible - 1;
    if (p < 0) p = 0;
    image[position].hide();
    imageUp[position].hide();
    position = p;
    image[p].show();
}

void VCCook::stepCook(int direction) {
    int place;
    if (direction == 0) {
        place = position > 0 ? position - 1 : 0;
    } else {
        place = position < countVisible - 1 ? position + 1 : countVisible - 1;
    }
    setPosCook(place);
}

void VCCook::showToss(bool toss) {
    image[position].setHidden(toss);
    imageUp[position].setHidden(!toss);
}

void VCCook::show(int place, bool visible) {
    if (place >= 0 && place < 4) image[place].setHidden(!visible);
}

void VCCook::showUp() {
    for (int i = 0; i < countVisible && i < 4; ++i) {
        image[i].hide();
        imageUp[i].show();
    }
}

void VCCook::showDown() {
    for (int i = 0; i < countVisible && i < 4; ++i) {
        imageUp[i].hide();
        image[i].show();
    }
}

void VCCook::hiddenAll() {
    for (int i = 0; i < 4; ++i) {
        image[i].hide();
        imageUp[i].hide();
    }
}

}   // namespace plumbrick
