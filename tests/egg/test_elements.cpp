// The egg game's segment elements on a face built from a layout with the real segment tags.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "games/egg/VCChick.h"
#include "games/egg/VCEgg.h"
#include "games/egg/VCGril.h"
#include "games/egg/VCHare.h"
#include "games/egg/VCWolf.h"
#include "platform/Layout.h"
#include "platform/headless/Headless.h"

using namespace plumbrick;

namespace {

using Tags = std::set<int>;

std::vector<int> segmentTags() {
    std::vector<int> out;
    for (int base = 100; base <= 900; base += 100)
        for (int i = 0; i < (base == 100 ? 4 : base == 200 || base == 900 ? 3 : 5); ++i) out.push_back(base + i);
    return out;
}

// Every segment of the egg game, all hidden (or all shown), nested one level deep like a real face.
std::shared_ptr<platform::View> makeFace(bool hidden = true) {
    std::string json = R"({"root":{"class":"View","frame":[0,0,480,320],"subviews":[
        {"class":"ImageView","frame":[0,0,480,320]},{"class":"View","frame":[0,0,480,320],"subviews":[)";
    for (int tag : segmentTags())
        json += std::string(tag == 100 ? "" : ",") + R"({"class":"ImageView","frame":[0,0,10,10],"tag":)" +
                std::to_string(tag) + R"(,"hidden":)" + (hidden ? "true}" : "false}");
    return platform::loadLayoutFromString(json + "]}]}}", "test_face.json", {});
}

class Elements : public ::testing::Test {
protected:
    platform::headless::Environment env;
    std::shared_ptr<platform::View> face = makeFace();

    bool lit(int tag) { return !face->viewWithTag(tag)->isHidden(); }
    Tags litTags() {
        Tags out;
        for (int tag : segmentTags())
            if (lit(tag)) out.insert(tag);
        return out;
    }
    template <class E> void run(E& element, int calls) {
        while (calls-- > 0) element.cycleLifeTime();
    }
    // What each penalty mark does over 45 calls: '.' dark, 'L' lit, 'b' blinking.
    std::string marks(VCGril& gril) {
        bool on[3] = {}, off[3] = {};
        for (int t = 0; t < 45; ++t, gril.cycleLifeTime())
            for (int m = 0; m < 3; ++m) (lit(900 + m) ? on : off)[m] = true;
        std::string out;
        for (int m = 0; m < 3; ++m) out += on[m] && off[m] ? 'b' : on[m] ? 'L' : '.';
        return out;
    }
};

}  // namespace

TEST_F(Elements, WolfClampsTheBasketAndLightsOneSegment) {
    VCWolf wolf(*face);
    EXPECT_EQ(litTags(), Tags{});
    const int cases[][2] = {{7, 3}, {-1, 0}, {2, 2}, {2, 2}, {1, 1}, {4, 3}};   // set, position
    for (auto [set, pos] : cases) {
        wolf.setPosBasket(set);
        EXPECT_EQ(wolf.getPosBasket(), pos) << set;
        EXPECT_EQ(litTags(), Tags{100 + pos}) << set;
    }
}

TEST_F(Elements, EggsStepThroughTheirDecksFiveSegments) {
    const int base[4] = {500, 600, 800, 700};
    for (int deck = 0; deck < 4; ++deck) {
        VCEgg egg(*face, deck);
        for (int step = 0; step <= 6; ++step, egg.nextPosition()) {
            EXPECT_EQ(egg.getPosition(), std::min(step, 5)) << deck;
            EXPECT_EQ(egg.isDelete(), step >= 5) << deck;
            EXPECT_EQ(litTags(), step < 5 ? Tags{base[deck] + step} : Tags{}) << deck << " step " << step;
        }
    }
}

TEST_F(Elements, ChicksStandStillOrRunOnTheirDecksSide) {
    for (int deck = 0; deck < 4; ++deck) {
        const int side = deck > 1 ? 400 : 300;
        VCChick still(*face, deck, false);   // the broken egg, for 8 calls
        EXPECT_EQ(still.getDeck(), deck > 1);
        for (int call = 1; call <= 8; ++call) {
            EXPECT_EQ(litTags(), Tags{side}) << deck << " call " << call;
            still.cycleLifeTime();
            EXPECT_EQ(still.isDelete(), call == 8);
        }
        EXPECT_EQ(litTags(), Tags{});
        VCChick runner(*face, deck, true);   // a new segment every 8 calls, gone after the 40th
        for (int call = 1; call <= 40; ++call) {
            runner.cycleLifeTime();
            EXPECT_EQ(litTags(), call == 40 ? Tags{} : Tags{side + call / 8}) << deck << " call " << call;
            EXPECT_EQ(runner.isDelete(), call == 40);
        }
    }
}

TEST_F(Elements, HareIsAway800CallsOut320AndRingsInTwoPosesEvery12) {
    VCHare hare(*face);
    hare.setRing(true);   // ringing while away shows nothing
    run(hare, 799);
    EXPECT_EQ(hare.getVisible(), 0);
    EXPECT_EQ(litTags(), Tags{});
    run(hare, 1);
    EXPECT_EQ(hare.getVisible(), 1);
    EXPECT_FALSE(hare.getRing()) << "coming out ends the ringing";
    EXPECT_EQ(litTags(), Tags{200});

    hare.setRing(true);
    EXPECT_EQ(litTags(), Tags{201});
    const int poses[][2] = {{11, 201}, {1, 202}, {11, 202}, {1, 201}};   // calls, pose then
    for (auto [calls, pose] : poses) {
        run(hare, calls);
        EXPECT_EQ(litTags(), Tags{pose});
    }
    hare.setRing(false);
    EXPECT_EQ(litTags(), Tags{200});
    hare.setRing(true);
    run(hare, 320 - 24 - 1);
    EXPECT_EQ(hare.getVisible(), 1);
    run(hare, 1);
    EXPECT_EQ(hare.getVisible(), 0) << "away 320 calls after coming out";
    EXPECT_FALSE(hare.getRing());
    EXPECT_EQ(hare.getTimeState(), 800);
    EXPECT_EQ(litTags(), Tags{});
}

TEST_F(Elements, PenaltyMarksForEveryValueAndHowTheyGrow) {
    const char* shown[8] = {"...", "b..", "L..", "Lb.", "LL.", "LLb", "LLL", "LLL"};
    VCGril gril(*face);
    EXPECT_EQ(litTags(), Tags{});
    for (int v = 0; v <= 7; ++v) {
        gril.clear();
        gril.setValue(v);
        EXPECT_EQ(marks(gril), shown[v]) << "value " << v;
    }
    gril.clear();
    gril.setValue(3);   // a blinking mark is lit 20 calls, then dark 20
    run(gril, 19);
    EXPECT_EQ(litTags(), (Tags{900, 901}));
    run(gril, 1);
    EXPECT_EQ(litTags(), Tags{900});
    gril.addHalfGril();   // caught dark by the next half mark it is lit at once
    EXPECT_EQ(litTags(), (Tags{900, 901}));
    EXPECT_EQ(gril.getValue(), 4);
    gril.addGril();
    EXPECT_EQ(marks(gril), "LLL");
    gril.clear();
    EXPECT_EQ(litTags(), Tags{});
}

TEST_F(Elements, HiddenAllHidesExactlyItsOwnTags) {
    const std::pair<void (*)(platform::View&), std::vector<int>> cases[] = {
        {VCWolf::hiddenAll, {100, 103}}, {VCHare::hiddenAll, {200, 202}}, {VCChick::hiddenAll, {300, 404}},
        {VCEgg::hiddenAll, {500, 804}}, {VCGril::hiddenAll, {900, 902}}};   // first and last tag
    for (const auto& [hide, range] : cases) {
        face = makeFace(false);
        hide(*face);
        for (int tag : segmentTags())
            EXPECT_EQ(lit(tag), tag < range[0] || tag > range[1]) << "range from " << range[0] << ", tag " << tag;
    }
}
