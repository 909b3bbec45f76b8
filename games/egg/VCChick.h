#pragma once
// The chick of a missed egg. Left side (decks 0 and 1) uses segments 300..304, right side (decks 2
// and 3) 400..404. Segment 0 shows where the egg broke; a running chick (distract) then walks
// through segments 1 to 4. It changes on every 8th tick.

#include <memory>

#include "games/egg/VCLifeTimeProtocol.h"
#include "platform/Segment.h"
#include "platform/View.h"

namespace plumbrick {

class VCChick : public VCLifeTimeProtocol {
public:
    static constexpr int kLeftTag = 300, kRightTag = 400;   // segment i of a side at its tag + i
    // A chick for the side of deck d, lit at segment 0. With run, it walks off; without, it only shows
    // the broken egg for 8 ticks. The chick keeps its segments alive for its whole life.
    VCChick(platform::View& gameView, int d, bool run);

    // True once the chick has finished (position 5).
    bool isDelete() const override { return position == 5; }
    // One tick of the chick's countdown; every 8th call moves it (or, without distract, finishes it).
    void cycleLifeTime() override;

    bool getDistract() const { return distract; }
    void setDistract(bool d) { distract = d; }
    // The side: 0 left, 1 right.
    int getDeck() const { return deck; }
    void setDeck(int d) { deck = d; }
    int getPosition() const { return position; }
    void setPosition(int p) { position = p; }
    int getTimeChangePosition() const { return timeChangePosition; }
    void setTimeChangePosition(int t) { timeChangePosition = t; }

    // Hides both sides' chick segments (300..304 and 400..404) of `view`.
    static void hiddenAll(platform::View& view);

    static constexpr int kTicksPerStep = 7;   // the countdown restarts at 7: a change every 8 calls

private:
    bool distract = false;
    int deck = 0;
    int position = 0;
    int timeChangePosition = 0;
    platform::Segment image[5];
    std::shared_ptr<platform::View> keep[5];   // the references the chick holds on its segments
};

}   // namespace plumbrick
