#include "games/cook/VCMouse.h"

namespace plumbrick {

VCMouse::VCMouse(platform::View& gameView) {
    for (int i = 0; i < 6; ++i) image[i] = platform::Segment::withTag(gameView, kBaseTag + i);
}

void VCMouse::show(int index, bool visible) {
    if (index >= 0 && index < 6) image[index].setHidden(!visible);
}

void VCMouse::hiddenAll() {
    for (auto& segment : image) segment.hide();
}

VCMousePenalty::VCMousePenalty(platform::View& gameView) {
    for (int i = 0; i < 3; ++i) image[i] = platform::Segment::withTag(gameView, kBaseTag + i);
}

void VCMousePenalty::setValue(int n) {
    value = n;
    for (int k = 0; k < 3; ++k) image[k].setHidden(!(n > k));
}

void VCMousePenalty::show(int n, bool visible) {
    if (n < 1 || n > 3) return;
    image[n - 1].setHidden(!visible);
}

void VCMousePenalty::clear() {
    for (auto& segment : image) segment.hide();
}

void VCMousePenalty::hiddenAll(platform::View& view) {
    for (int tag = kBaseTag; tag <= kBaseTag + 2; ++tag) platform::Segment::withTag(view, tag).hide();
}

VCFork::VCFork(platform::View& gameView) : image(platform::Segment::withTag(gameView, kTag)) {}

void VCFork::setHog(bool out) {
    image.setHidden(!out);
    hog = out;
}

}   // namespace plumbrick
