// The egg game's segment elements on a face built from a layout with the real segment tags.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "games/egg/VCChick.h"
#include "games/egg/VCEgg.h"
#include "games/egg/VCGril.h"
#include "games/egg/VCHare.h"
#include "games/egg/VCHen.h"
#include "games/egg/VCWolf.h"
#include "platform/Layout.h"
#include "platform/headless/Headless.h"

using namespace plumbrick;

namespace {

std::vector<int> segmentTags() {
    std::vector<int> tags;
    for (int base : {100, 200, 300, 400, 500, 600, 700, 800, 900}) {
        const int count = base == 100 ? 4 : base == 200 || base == 900 ? 3 : 5;
        for (int i = 0; i < count; ++i) tags.push_back(base + i);
    }
    return tags;
}

// A face with every segment of the egg game, all hidden (or all shown), nested one level deep
// like a real face.
std::shared_ptr<platform::View> makeFace(bool hidden = true) {
    std::string json = R"({"root":{"class":"View","frame":[0,0,480,320],"subviews":[
        {"class":"ImageView","frame":[0,0,480,320]},
        {"class":"View","frame":[0,0,480,320],"subviews":[)";
    bool first = true;
    for (int tag : segmentTags()) {
        if (!first) json += ",";
        first = false;
        json += R"({"class":"ImageView","frame":[0,0,10,10],"tag":)" + std::to_string(tag) +
                R"(,"hidden":)" + (hidden ? "true" : "false") + "}";
    }
    json += "]}]}}";
    return platform::loadLayoutFromString(json, "test_face.json", {});
}

class Elements : public ::testing::Test {
protected:
    platform::headless::Environment env;
    std::shared_ptr<platform::View> face = makeFace();

    bool lit(int tag) { return !face->viewWithTag(tag)->isHidden(); }
    // The tags of all lit segments, in increasing order.
    std::set<int> litTags() {
        std::set<int> out;
        for (int tag : segmentTags())
            if (lit(tag)) out.insert(tag);
        return out;
    }
};

using Tags = std::set<int>;

}  // namespace

TEST_F(Elements, WolfClampsTheBasketAndMovesOneSegment) {
    VCWolf wolf(*face);
    EXPECT_EQ(wolf.getPosBasket(), 0);
    EXPECT_EQ(litTags(), Tags{}) << "making the wolf lights nothing";

    wolf.setPosBasket(7);
    EXPECT_EQ(wolf.getPosBasket(), 3);
    EXPECT_EQ(litTags(), Tags{103});

    wolf.setPosBasket(-1);
    EXPECT_EQ(wolf.getPosBasket(), 0);
    EXPECT_EQ(litTags(), Tags{100});

    wolf.setPosBasket(2);
    wolf.setPosBasket(2);
    EXPECT_EQ(litTags(), Tags{102}) << "the same position again stays lit";
    wolf.setPosBasket(1);
    EXPECT_EQ(litTags(), Tags{101});
}

TEST_F(Elements, EggsStepThroughTheirDecksFiveSegments) {
    const std::map<int, int> base = {{0, 500}, {1, 600}, {2, 800}, {3, 700}};
    for (auto [deck, tag] : base) {
        VCEgg egg(*face, deck);
        EXPECT_EQ(egg.getDeck(), deck);
        EXPECT_EQ(egg.getPosition(), 0);
        EXPECT_EQ(litTags(), Tags{tag}) << "deck " << deck;
        for (int step = 1; step <= 4; ++step) {
            egg.nextPosition();
            EXPECT_EQ(egg.getPosition(), step);
            EXPECT_EQ(litTags(), Tags{tag + step}) << "deck " << deck;
            EXPECT_FALSE(egg.isDelete());
        }
        egg.nextPosition();
        EXPECT_EQ(egg.getPosition(), 5);
        EXPECT_TRUE(egg.isDelete());
        EXPECT_EQ(litTags(), Tags{});
        egg.nextPosition();
        egg.cycleLifeTime();
        EXPECT_EQ(egg.getPosition(), 5) << "an egg off its deck stays there";
        EXPECT_EQ(litTags(), Tags{});
    }
}

TEST_F(Elements, HenLaysOneUnplacedEggPerLaying) {
    VCHen hen(*face);
    EXPECT_EQ(hen.getEgg(), nullptr);
    hen.cycleLifeTime();
    auto first = hen.getEgg();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(litTags(), Tags{}) << "an unplaced egg has no segments";
    first->nextPosition();   // harmless without segments
    EXPECT_EQ(litTags(), Tags{});

    hen.cycleLifeTime();
    auto second = hen.getEgg();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first) << "every laying makes a new egg";

    second->init(*face, 2);
    EXPECT_EQ(litTags(), Tags{800});
    hen.setEgg(nullptr);
    EXPECT_EQ(hen.getEgg(), nullptr);
    second->nextPosition();
    EXPECT_EQ(litTags(), Tags{801}) << "the placed egg lives on in its new owner";
}

TEST_F(Elements, ChickWithoutDistractOnlyShowsTheBrokenEgg) {
    VCChick chick(*face, 1, false);
    EXPECT_EQ(chick.getDeck(), 0);
    EXPECT_EQ(litTags(), Tags{300});
    for (int call = 1; call <= 7; ++call) {
        chick.cycleLifeTime();
        EXPECT_FALSE(chick.isDelete()) << call;
        EXPECT_EQ(litTags(), Tags{300}) << call;
    }
    chick.cycleLifeTime();
    EXPECT_TRUE(chick.isDelete());
    EXPECT_EQ(litTags(), Tags{});
}

TEST_F(Elements, RunningChickWalksItsFiveSegments) {
    VCChick chick(*face, 3, true);
    EXPECT_EQ(chick.getDeck(), 1);
    EXPECT_TRUE(chick.getDistract());
    std::vector<int> walk;   // the lit segment after every call
    for (int call = 1; call <= 40; ++call) {
        chick.cycleLifeTime();
        auto now = litTags();
        walk.push_back(now.empty() ? -1 : *now.begin());
        EXPECT_LE(now.size(), 1u);
        EXPECT_EQ(chick.isDelete(), call == 40) << call;
    }
    for (int call = 1; call <= 40; ++call) {
        const int expected = call == 40 ? -1 : 400 + call / 8;
        EXPECT_EQ(walk[call - 1], expected) << "call " << call;
    }
    chick.cycleLifeTime();
    EXPECT_EQ(chick.getPosition(), 5);
    EXPECT_EQ(litTags(), Tags{});
}

TEST_F(Elements, ChickSidesFollowTheDecks) {
    for (int deck = 0; deck < 4; ++deck) {
        VCChick chick(*face, deck, false);
        EXPECT_EQ(litTags(), Tags{deck > 1 ? 400 : 300}) << deck;
        VCChick::hiddenAll(*face);
    }
}

TEST_F(Elements, ChickKeepsItsSegmentsAliveWhileItLives) {
    std::weak_ptr<platform::View> segment = face->viewWithTag(302)->weak_from_this();
    auto chick = std::make_unique<VCChick>(*face, 0, true);
    face->viewWithTag(302)->removeFromSuperview();
    EXPECT_FALSE(segment.expired());
    for (int i = 0; i < 40; ++i) chick->cycleLifeTime();   // walks over the detached segment
    EXPECT_TRUE(chick->isDelete());
    chick.reset();
    EXPECT_TRUE(segment.expired());
}

TEST_F(Elements, HareKeepsItsRhythm) {
    auto litFace = makeFace(false);   // everything lit: making the hare hides its three segments
    VCHare hare(*litFace);
    EXPECT_TRUE(litFace->viewWithTag(200)->isHidden());
    EXPECT_TRUE(litFace->viewWithTag(201)->isHidden());
    EXPECT_TRUE(litFace->viewWithTag(202)->isHidden());
    EXPECT_FALSE(litFace->viewWithTag(100)->isHidden());
    VCHare quiet(*face);
    quiet.setVisible(0);

    for (int call = 1; call < 800; ++call) quiet.cycleLifeTime();
    EXPECT_EQ(quiet.getVisible(), 0);
    EXPECT_EQ(litTags(), Tags{});
    quiet.cycleLifeTime();
    EXPECT_EQ(quiet.getVisible(), 1) << "out on the 800th call";
    EXPECT_EQ(litTags(), Tags{200});

    for (int call = 1; call < 320; ++call) quiet.cycleLifeTime();
    EXPECT_EQ(quiet.getVisible(), 1);
    quiet.cycleLifeTime();
    EXPECT_EQ(quiet.getVisible(), 0) << "away 320 calls later";
    EXPECT_EQ(litTags(), Tags{});
    EXPECT_EQ(quiet.getTimeState(), 800);
}

TEST_F(Elements, RingingHareChangesPoseEveryTwelveTicksOnlyWhileOut) {
    VCHare hare(*face);
    hare.setRing(true);
    EXPECT_TRUE(hare.getRing());
    EXPECT_EQ(litTags(), Tags{}) << "a hare that is away lights nothing";
    for (int i = 0; i < 50; ++i) hare.cycleLifeTime();
    EXPECT_EQ(litTags(), Tags{}) << "no pose changes while away";

    hare.setVisible(1);
    EXPECT_FALSE(hare.getRing()) << "coming out ends the ringing";
    EXPECT_EQ(litTags(), Tags{200});
    hare.setRing(true);
    EXPECT_EQ(hare.getPosition(), 1);
    EXPECT_EQ(litTags(), Tags{201});
    for (int i = 1; i < 12; ++i) hare.cycleLifeTime();
    EXPECT_EQ(litTags(), Tags{201});
    hare.cycleLifeTime();
    EXPECT_EQ(hare.getPosition(), 2);
    EXPECT_EQ(litTags(), Tags{202});
    for (int i = 0; i < 12; ++i) hare.cycleLifeTime();
    EXPECT_EQ(litTags(), Tags{201});

    hare.setRing(false);
    EXPECT_EQ(litTags(), Tags{200});
    for (int i = 0; i < 20; ++i) hare.cycleLifeTime();   // the pose countdown runs on below 0
    EXPECT_LT(hare.getTimeStatePosition(), 0);
    hare.setRing(true);
    EXPECT_EQ(litTags(), Tags{201});
    hare.cycleLifeTime();
    EXPECT_EQ(litTags(), Tags{202}) << "the first ringing tick switches at once";

    while (hare.getVisible() == 1) hare.cycleLifeTime();
    EXPECT_FALSE(hare.getRing()) << "going away ends the ringing";
    EXPECT_EQ(hare.getPosition(), 0);
    EXPECT_EQ(litTags(), Tags{});
}

TEST_F(Elements, HareRestoredFromPositionAndVisibility) {
    VCHare hare(*face);
    hare.setPosition(2);
    hare.setVisible(1);
    EXPECT_EQ(hare.getPosition(), 0);
    EXPECT_EQ(hare.getTimeState(), 320);
    EXPECT_EQ(litTags(), Tags{200});
}

namespace {

// What a mark does over 45 ticks: dark, lit steadily, or blinking.
enum class Mark { Dark, Lit, Blinking };

std::vector<Mark> observeMarks(VCGril& gril, platform::View& face) {
    bool seenLit[3] = {}, seenDark[3] = {};
    for (int tick = 0; tick < 45; ++tick) {
        for (int m = 0; m < 3; ++m) (face.viewWithTag(900 + m)->isHidden() ? seenDark : seenLit)[m] = true;
        gril.cycleLifeTime();
    }
    std::vector<Mark> out;
    for (int m = 0; m < 3; ++m)
        out.push_back(seenLit[m] && seenDark[m] ? Mark::Blinking : seenLit[m] ? Mark::Lit : Mark::Dark);
    return out;
}

std::vector<Mark> expectedMarks(int value) {
    std::vector<Mark> out;
    for (int m = 1; m <= 3; ++m)
        out.push_back(m <= value / 2 ? Mark::Lit : (value % 2 == 1 && m == value / 2 + 1) ? Mark::Blinking : Mark::Dark);
    return out;
}

}  // namespace

TEST_F(Elements, PenaltyMarksForEveryValueFromScratch) {
    VCGril gril(*face);
    EXPECT_EQ(gril.getValue(), 0);
    EXPECT_EQ(litTags(), Tags{});
    for (int v = 0; v <= 7; ++v) {
        gril.clear();
        gril.setValue(v);
        EXPECT_EQ(gril.getValue(), v);
        EXPECT_EQ(observeMarks(gril, *face), expectedMarks(v)) << "value " << v;
    }
}

TEST_F(Elements, PenaltyMarksGrowByHalvesAndWholes) {
    VCGril gril(*face);
    for (int v = 1; v <= 6; ++v) {
        gril.addHalfGril();
        EXPECT_EQ(gril.getValue(), v);
        EXPECT_EQ(gril.getHalfGril(), v % 2 ? v / 2 + 1 : 0);
        EXPECT_EQ(observeMarks(gril, *face), expectedMarks(v)) << "after half marks to " << v;
    }
    gril.addHalfGril();
    EXPECT_EQ(gril.getValue(), 6) << "half marks stop at 6";
    EXPECT_EQ(observeMarks(gril, *face), expectedMarks(6));

    for (int start : {0, 1, 2, 3, 4, 5, 6}) {
        gril.clear();
        gril.setValue(start);
        gril.addGril();
        const int v = start + 2 > 6 ? 6 : start + 2;
        EXPECT_EQ(gril.getValue(), v);
        EXPECT_EQ(observeMarks(gril, *face), expectedMarks(v)) << "whole mark from " << start;
    }
}

TEST_F(Elements, PenaltyMarkBlinksHalfASecondEachWay) {
    VCGril gril(*face);
    gril.setValue(3);
    EXPECT_EQ(litTags(), (Tags{900, 901}));
    for (int tick = 1; tick < 20; ++tick) gril.cycleLifeTime();
    EXPECT_TRUE(lit(901));
    gril.cycleLifeTime();
    EXPECT_FALSE(lit(901)) << "dark after 20 ticks";
    EXPECT_TRUE(lit(900));
    for (int tick = 0; tick < 20; ++tick) gril.cycleLifeTime();
    EXPECT_TRUE(lit(901)) << "lit again after 20 more";
}

TEST_F(Elements, AMarkCaughtDarkByTheNextHalfOrWholeStaysLit) {
    VCGril gril(*face);
    gril.addHalfGril();
    for (int tick = 0; tick < 20; ++tick) gril.cycleLifeTime();
    ASSERT_FALSE(lit(900));
    gril.addHalfGril();
    EXPECT_EQ(gril.getValue(), 2);
    EXPECT_EQ(observeMarks(gril, *face), expectedMarks(2));

    gril.clear();
    gril.setValue(5);
    for (int tick = 0; tick < 20; ++tick) gril.cycleLifeTime();
    ASSERT_FALSE(lit(902));
    gril.addGril();
    EXPECT_EQ(gril.getValue(), 6);
    EXPECT_EQ(gril.getHalfGril(), 0);
    EXPECT_EQ(observeMarks(gril, *face), expectedMarks(6));

    gril.clear();
    EXPECT_EQ(litTags(), Tags{});
    EXPECT_EQ(gril.getValue(), 0);
}

TEST_F(Elements, HiddenAllHidesExactlyItsOwnTags) {
    struct Case {
        const char* name;
        void (*hide)(platform::View&);
        std::set<int> tags;
    };
    const std::vector<Case> cases = {
        {"VCWolf", VCWolf::hiddenAll, {100, 101, 102, 103}},
        {"VCHare", VCHare::hiddenAll, {200, 201, 202}},
        {"VCEgg", VCEgg::hiddenAll, {500, 501, 502, 503, 504, 600, 601, 602, 603, 604,
                                     700, 701, 702, 703, 704, 800, 801, 802, 803, 804}},
        {"VCChick", VCChick::hiddenAll, {300, 301, 302, 303, 304, 400, 401, 402, 403, 404}},
        {"VCGril", VCGril::hiddenAll, {900, 901, 902}},
    };
    for (const auto& c : cases) {
        face = makeFace(false);
        c.hide(*face);
        for (int tag : segmentTags())
            EXPECT_EQ(face->viewWithTag(tag)->isHidden(), c.tags.count(tag) == 1) << c.name << " tag " << tag;
    }
}

TEST_F(Elements, HareHiddenAllWhateverPoseWasShown) {
    VCHare hare(*face);
    hare.setVisible(1);
    hare.setRing(true);
    for (int ticks : {0, 12}) {
        for (int i = 0; i < ticks; ++i) hare.cycleLifeTime();
        ASSERT_FALSE(litTags().empty());
        VCHare::hiddenAll(*face);
        EXPECT_EQ(litTags(), Tags{});
        hare.setRing(true);
    }
}

TEST_F(Elements, AFaceWithoutSegmentsIsHarmless) {
    platform::View empty;
    VCWolf wolf(empty);
    wolf.setPosBasket(2);
    EXPECT_EQ(wolf.getPosBasket(), 2);
    VCHare hare(empty);
    hare.setVisible(1);
    hare.setRing(true);
    for (int i = 0; i < 400; ++i) hare.cycleLifeTime();
    VCEgg egg(empty, 1);
    for (int i = 0; i < 6; ++i) egg.nextPosition();
    EXPECT_TRUE(egg.isDelete());
    VCChick chick(empty, 2, true);
    for (int i = 0; i < 40; ++i) chick.cycleLifeTime();
    EXPECT_TRUE(chick.isDelete());
    VCGril gril(empty);
    gril.setValue(7);
    for (int i = 0; i < 50; ++i) gril.cycleLifeTime();
    gril.addGril();
    gril.addHalfGril();
    EXPECT_EQ(gril.getValue(), 6);
    for (auto hide : {VCWolf::hiddenAll, VCHare::hiddenAll, VCEgg::hiddenAll, VCChick::hiddenAll, VCGril::hiddenAll})
        hide(empty);
}
