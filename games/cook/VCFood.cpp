#include "games/cook/VCFood.h"

namespace plumbrick {

VCFood::VCFood(platform::View& gameView) {
    for (int h = 0; h < 5; ++h)
        for (int c = 0; c < 4; ++c) image[h][c] = platform::Segment::withTag(gameView, tag(c, h));
}

void VCFood::show(int height, int column, bool visible) {
    if (height < 0 || height > 4 || column < 0 || column > 3) return;
    image[height][column].setHidden(!visible);
}

void VCFood::showToss(int column, bool toss) {
    if (column < 0 || column > 3) return;
    image[0][column].setHidden(toss);
    image[1][column].setHidden(!toss);
}

void VCFood::showUp() {
    for (int c = 0; c < countVisible && c < 4; ++c) showToss(c, true);
}

void VCFood::showDown() {
    for (int c = 0; c < countVisible && c < 4; ++c) showToss(c, false);
}

void VCFood::hiddenAll() {
    for (auto& row : image)
        for (auto& segment : row) segment.hide();
}

}   // namespace plumbrick
