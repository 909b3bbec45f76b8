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
    for (int deck = 0; deck < 4; ++deck)
        for (bool runs : {false, true}) {   // still: the broken egg for 8 calls; running: a step every 8 calls
            const int side = deck > 1 ? 400 : 300, life = runs ? 40 : 8;
            VCChick chick(*face, deck, runs);
            EXPECT_EQ(chick.getDeck(), deck > 1);
            for (int call = 0; call <= life; ++call, chick.cycleLifeTime()) {
                EXPECT_EQ(litTags(), call == life ? Tags{} : Tags{side + runs * call / 8}) << deck << runs << call;
                EXPECT_EQ(chick.isDelete(), call == life) << deck << runs << call;
            }
        }
}

TEST_F(Elements, HareIsAway800CallsOut320AndRingsInTwoPosesEvery12) {
    VCHare hare(*face);
    // Each step: ringing set on (1), off (0) or left (-1); calls; then the lit segment (0 none, -1 any).
    const int steps[][3] = {{1, 799, 0},   // ringing while away shows nothing
                            {-1, 1, 200},  // out on the 800th call, quiet: coming out ends the ringing
                            {1, 0, 201},   {-1, 11, 201}, {-1, 1, 202}, {-1, 11, 202}, {-1, 1, 201}, {0, 0, 200},
                            {1, 320 - 25, -1}, {-1, 1, 0}};   // away 320 calls after coming out
    for (auto [ring, calls, shown] : steps) {
        if (ring >= 0) hare.setRing(ring);
        run(hare, calls);
        EXPECT_TRUE(shown < 0 ? !litTags().empty() : litTags() == (shown ? Tags{shown} : Tags{})) << calls << shown;
    }
    EXPECT_FALSE(hare.getRing());
    EXPECT_EQ(hare.getTimeState(), 800);
}

TEST_F(Elements, PenaltyMarksForEveryValueAndHowTheyGrow) {
    const char* shown[8] = {"...", "b..", "L..", "Lb.", "LL.", "LLb", "LLL", "LLL"};
    VCGril gril(*face);
    for (int v = 0; v <= 7; ++v) {
        gril.clear();
        gril.setValue(v);
        EXPECT_EQ(marks(gril), shown[v]) << "value " << v;
    }
    gril.clear();
    gril.setValue(3);   // a blinking mark is lit 20 calls, then dark 20, and so on
    const std::pair<int, Tags> blink[] = {{19, {900, 901}}, {1, {900}}, {19, {900}}, {1, {900, 901}}, {20, {900}}};
    for (const auto& [calls, shown] : blink) {
        run(gril, calls);
        EXPECT_EQ(litTags(), shown) << calls;
    }
    gril.addHalfGril();   // caught dark by the next half mark it is lit at once
    EXPECT_EQ(litTags(), (Tags{900, 901}));
    EXPECT_EQ(gril.getValue(), 4);
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
