#include "games/egg/VCChick.h"

namespace plumbrick {

VCChick::VCChick(platform::View& gameView, int d, bool run) {
    distract = run;
    deck = d > 1 ? 1 : 0;
    const int base = deck == 0 ? kLeftTag : kRightTag;
    for (int i = 0; i < 5; ++i) {
        image[i] = platform::Segment::withTag(gameView, base + i);
        if (image[i]) keep[i] = image[i].view()->weak_from_this().lock();
    }
    image[0].show();
    timeChangePosition = kTicksPerStep;
    position = 0;
}

void VCChick::cycleLifeTime() {
    --timeChangePosition;
    if (timeChangePosition >= 0) return;
    timeChangePosition = kTicksPerStep;
    if (!distract) {
        image[0].hide();
        position = 5;
    } else if (position != 5) {
        if (position >= 0 && position < 5) image[position].hide();
        ++position;
        if (position >= 0 && position < 5) image[position].show();
    }
}

void VCChick::hiddenAll(platform::View& view) {
    for (int base : {kLeftTag, kRightTag})
        for (int i = 0; i < 5; ++i) platform::Segment::withTag(view, base + i).hide();
}

}   // namespace plumbrick
