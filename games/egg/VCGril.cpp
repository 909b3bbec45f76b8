#include "games/egg/VCGril.h"

namespace plumbrick {

VCGril::VCGril(platform::View& gameView) {
    value = 0;
    halfGril = 0;
    for (int i = 0; i < 3; ++i) image[i] = platform::Segment::withTag(gameView, kBaseTag + i);
    timePulse = kTicksPulse;
}

void VCGril::cycleLifeTime() {
    if (halfGril == 0) return;
    --timePulse;
    if (timePulse <= 0) {
        if (halfGril >= 1 && halfGril <= 4) image[halfGril - 1].toggle();
        timePulse = kTicksPulse;
    }
}

void VCGril::addHalfGril() {
    timePulse = 0;
    value += 1;
    if (value > 6) {
        value = 6;
        halfGril = 0;
    }
    if (value % 2 == 1) {
        halfGril = value / 2 + 1;
        image[halfGril - 1].show();
        timePulse = kTicksPulse;
    } else {
        halfGril = 0;
        if (value >= 2) image[value / 2 - 1].show();
    }
}

void VCGril::addGril() {
    value += 2;
    if (value > 6) {
        value = 6;
        halfGril = 0;
    }
    if (value == 2 || value == 3) image[0].show();
    if (value == 4 || value == 5) image[1].show();
    if (value == 6 || value == 7) image[2].show();
    if (value % 2 == 1) {
        halfGril = value / 2 + 1;
        image[halfGril - 1].show();
    }
}

void VCGril::setValue(int v) {
    value = v;
    if (v > 1) image[0].show();
    if (v > 3) image[1].show();
    if (v == 6 || v == 7) image[2].show();
    if (v > 0 && v % 2 == 1 && v / 2 + 1 <= 4) {
        halfGril = v / 2 + 1;
        image[halfGril - 1].show();
        timePulse = kTicksPulse;
    }
}

void VCGril::clear() {
    value = 0;
    halfGril = 0;
    timePulse = 0;
    for (int i = 0; i < 3; ++i) image[i].hide();
}

void VCGril::hiddenAll(platform::View& view) {
    for (int i = 0; i < 3; ++i) platform::Segment::withTag(view, kBaseTag + i).hide();
}

}   // namespace plumbrick
