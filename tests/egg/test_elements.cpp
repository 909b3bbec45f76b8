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

constexpr int kBasket = VCWolf::kBaseTag, kHare = VCHare::kBaseTag, kMark = VCGril::kBaseTag;

// Every segment of the egg game, as the elements name them, in the order of their tags.
std::vector<int> segmentTags() {
    std::vector<int> out;
    const std::pair<int, int> groups[] = {{kBasket, 4},
                                          {kHare, 3},
                                          {VCChick::kLeftTag, 5},
                                          {VCChick::kRightTag, 5},
                                          {VCEgg::baseTagForDeck(0), 5},
                                          {VCEgg::baseTagForDeck(1), 5},
                                          {VCEgg::baseTagForDeck(3), 5},
                                          {VCEgg::baseTagForDeck(2), 5},
                                          {kMark, 3}};
    for (const auto& [base, count] : groups)
        for (int i = 0; i < count; ++i) out.push_back(base + i);
    return out;
}

// Every segment of the egg game, all hidden (or all shown), nested one level deep like a real face.
std::shared_ptr<platform::View> makeFace(bool hidden = true) {
    std::string json = R"({"root":{"class":"View","frame":[0,0,480,320],"subviews":[
        {"class":"ImageView","frame":[0,0,480,320]},{"class":"View","frame":[0,0,480,320],"subviews":[)";
    for (int tag : segmentTags())
        json += std::string(tag == kBasket ? "" : ",") + R"({"class":"ImageView","frame":[0,0,10,10],"tag":)" +
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
            for (int m = 0; m < 3; ++m) (lit(kMark + m) ? on : off)[m] = true;
        std::string out;
        for (int m = 0; m < 3; ++m) out += on[m] && off[m] ? 'b' : on[m] ? 'L' : '.';
        return out;
    }
};

}   // namespace

TEST_F(Elements, WolfClampsTheBasketAndLightsOneSegment) {
    VCWolf wolf(*face);
    EXPECT_EQ(litTags(), Tags{});
    const int cases[][2] = {{7, 3}, {-1, 0}, {2, 2}, {2, 2}, {1, 1}, {4, 3}};   // set, position
    for (auto [set, pos] : cases) {
        wolf.setPosBasket(set);
        EXPECT_EQ(wolf.getPosBasket(), pos) << set;
        EXPECT_EQ(litTags(), Tags{kBasket + pos}) << set;
    }
}

TEST_F(Elements, EggsStepThroughTheirDecksFiveSegments) {
    for (int deck = 0; deck < 4; ++deck) {
        const int base = VCEgg::baseTagForDeck(deck);
        VCEgg egg(*face, deck);
        for (int step = 0; step <= 6; ++step, egg.nextPosition()) {
            EXPECT_EQ(egg.getPosition(), std::min(step, 5)) << deck;
            EXPECT_EQ(egg.isDelete(), step >= 5) << deck;
            EXPECT_EQ(litTags(), step < 5 ? Tags{base + step} : Tags{}) << deck << " step " << step;
        }
    }
}

TEST_F(Elements, ChicksStandStillOrRunOnTheirDecksSide) {
    for (int deck = 0; deck < 4; ++deck)
        for (bool runs : {false, true}) {   // still: the broken egg for 8 calls; running: a step every 8 calls
            const int side = deck > 1 ? VCChick::kRightTag : VCChick::kLeftTag, life = runs ? 40 : 8;
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
    // Each step: ringing set on (1), off (0) or left (-1); calls; then the lit pose (kAway none, kAny any).
    constexpr int kAway = -1, kAny = -2;
    const int steps[][3] = {{1, 799, kAway},   // ringing while away shows nothing
                            {-1, 1, 0},        // out on the 800th call, quiet: coming out ends the ringing
                            {1, 0, 1},       {-1, 11, 1},         {-1, 1, 2},    {-1, 11, 2}, {-1, 1, 1},
                            {0, 0, 0},       {1, 320 - 25, kAny}, {-1, 1, kAway}};   // away 320 calls after coming out
    for (auto [ring, calls, pose] : steps) {
        if (ring >= 0) hare.setRing(ring);
        run(hare, calls);
        if (pose == kAny) {
            EXPECT_FALSE(litTags().empty()) << calls;
        } else {
            EXPECT_EQ(litTags(), pose == kAway ? Tags{} : Tags{kHare + pose}) << calls << " pose " << pose;
        }
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
    const std::pair<int, Tags> blink[] = {
        {19, {kMark, kMark + 1}}, {1, {kMark}}, {19, {kMark}}, {1, {kMark, kMark + 1}}, {20, {kMark}}};
    for (const auto& [calls, shown] : blink) {
        run(gril, calls);
        EXPECT_EQ(litTags(), shown) << calls;
    }
    gril.addHalfGril();   // caught dark by the next half mark it is lit at once
    EXPECT_EQ(litTags(), (Tags{kMark, kMark + 1}));
    EXPECT_EQ(gril.getValue(), 4);
    gril.clear();
    EXPECT_EQ(litTags(), Tags{});
}

TEST_F(Elements, HiddenAllHidesExactlyItsOwnTags) {
    const std::pair<void (*)(platform::View&), std::vector<int>> cases[] = {
        {VCWolf::hiddenAll, {kBasket, kBasket + 3}},
        {VCHare::hiddenAll, {kHare, kHare + 2}},
        {VCChick::hiddenAll, {VCChick::kLeftTag, VCChick::kRightTag + 4}},
        {VCEgg::hiddenAll, {VCEgg::baseTagForDeck(0), VCEgg::baseTagForDeck(2) + 4}},
        {VCGril::hiddenAll, {kMark, kMark + 2}}};   // first and last tag
    for (const auto& [hide, range] : cases) {
        face = makeFace(false);
        hide(*face);
        for (int tag : segmentTags())
            EXPECT_EQ(lit(tag), tag < range[0] || tag > range[1]) << "range from " << range[0] << ", tag " << tag;
    }
}
