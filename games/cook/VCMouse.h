#pragma once
// The mouse: 0 waiting at its hole, 1..4 on the floor under food columns 0..3, 5 one step past column 3.

#include <array>

#include "platform/Segment.h"

namespace plumbrick {

class VCMouse {
public:
    static constexpr int kBaseTag = 300;   // index i at kBaseTag + i (0..5)
    explicit VCMouse(platform::View& gameView);
    void show(int index, bool visible);
    void hiddenAll();

private:
    std::array<platform::Segment, 6> image;
};

// The penalty marks of the cook game: mark k shows while value > k.
class VCMousePenalty {
public:
    static constexpr int kBaseTag = 900;   // mark k (0..2) at kBaseTag + k
    explicit VCMousePenalty(platform::View& gameView);
    void setValue(int n);
    int getValue() const { return value; }
    // Mark number n (1..3) on or off; 0 does nothing; the value is not changed.
    void show(int n, bool visible);
    void clear();   // hides the three marks, keeps the value
    static void hiddenAll(platform::View& view);

private:
    int value = 0;
    std::array<platform::Segment, 3> image;
};

// The cat's fork over the first food column.
class VCFork {
public:
    static constexpr int kTag = 200;
    explicit VCFork(platform::View& gameView);
    void setHog(bool out);
    bool getHog() const { return hog; }

private:
    platform::Segment image;
    bool hog = false;
};

}   // namespace plumbrick
