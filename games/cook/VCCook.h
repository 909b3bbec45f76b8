#pragma once
// The cook with his pan at one of four places: a low (down) pose and a raised (toss) pose per place.

#include <array>

#include "platform/Segment.h"

namespace plumbrick {

class VCCook {
public:
    static constexpr int kDownTag = 100;   // the down pose at place p: kDownTag + p
    static constexpr int kTossTag = 110;   // the toss pose at place p: kTossTag + p
    explicit VCCook(platform::View& gameView);

    int getPosCook() const { return position; }
    // Clamps (above 3 to the last place in use, below 0 to 0), clears the old place, shows the down pose at p.
    void setPosCook(int p);
    // Direction 0 moves towards place 0, any other value towards the last place in use.
    void stepCook(int direction);
    // At the current place: true shows the toss pose, false the down pose.
    void showToss(bool toss);
    void show(int place, bool visible);
    void showUp();      // every place in use in the toss pose
    void showDown();    // every place in use in the down pose
    void hiddenAll();   // all four places, both poses
    int getCountVisible() const { return countVisible; }
    void setCountVisible(int count) { countVisible = count; }

private:
    int countVisible = 4;
    int position = 0;
    std::array<platform::Segment, 4> image;
    std::array<platform::Segment, 4> imageUp;
};

}   // namespace plumbrick
