#pragma once
// Four food items, each at one of five heights above its column (height 0 is the pan).

#include <array>

#include "platform/Segment.h"

namespace plumbrick {

class VCFood {
public:
    static constexpr int kBaseTag = 400;
    // The segment of the item of `column` at `height`.
    static constexpr int tag(int column, int height) { return kBaseTag + 10 * column + height; }
    explicit VCFood(platform::View& gameView);

    // Shows or hides the item of `column` at `height`.
    void show(int height, int column, bool visible);
    // true: the item of the column leaves the pan (height 0 off, height 1 on); false: it lies in the pan.
    void showToss(int column, bool toss);
    void showUp();      // every column in use: from the pan to height 1
    void showDown();    // every column in use: from height 1 to the pan
    void hiddenAll();   // all twenty segments
    int getCountVisible() const { return countVisible; }
    void setCountVisible(int count) { countVisible = count; }

private:
    int countVisible = 4;
    std::array<std::array<platform::Segment, 4>, 5> image;   // image[height][column]
};

}   // namespace plumbrick
