#include "games/egg/VCHare.h"

namespace plumbrick {

VCHare::VCHare(platform::View& gameView) {
    countImage = 0;
    visible = 0;
    position = 0;
    for (int i = 0; i < 3; ++i) image[i] = platform::Segment::withTag(gameView, kBaseTag + i);
    timeStatePosition = kTicksPose;
    timeState = kTicksAway;
    for (auto& segment : image) segment.hide();
}

void VCHare::setVisible(int v) {
    visible = v;
    ring = false;
    position = 0;
    if (v == 1) {
        timeState = kTicksOut;
        timeStatePosition = kTicksPose;
        image[0].show();
    } else {
        timeState = kTicksAway;
        image[0].hide();
    }
    image[1].hide();
    image[2].hide();
}

void VCHare::setRing(bool r) {
    ring = r;
    if (r) {
        position = 1;
        image[0].hide();
        image[1].setHidden(visible != 1);
    } else {
        image[0].setHidden(visible != 1);
        image[1].hide();
    }
    image[2].hide();
}

void VCHare::cycleLifeTime() {
    if (visible == 1) {
        --timeStatePosition;
        if (timeStatePosition <= 0 && ring) {
            position = position == 1 ? 2 : 1;
            image[position].show();
            image[position == 1 ? 2 : 1].hide();
            timeStatePosition = kTicksPose;
        }
    }
    --timeState;
    if (timeState <= 0) setVisible(visible == 0 ? 1 : 0);
}

void VCHare::hiddenAll(platform::View& view) {
    for (int i = 0; i < 3; ++i) platform::Segment::withTag(view, kBaseTag + i).hide();
}

}   // namespace plumbrick
