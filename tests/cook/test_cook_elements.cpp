// The cook game's segment elements on a face built of tagged image views.
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

#include "games/cook/VCCook.h"
#include "games/cook/VCFood.h"
#include "games/cook/VCMouse.h"
#include "platform/View.h"

using namespace plumbrick;
using platform::ImageView;
using platform::View;

namespace {

// A face with every cook segment, all shown, so that tests see what an element hides.
std::shared_ptr<View> makeFace() {
    auto face = std::make_shared<View>(platform::Rect(0, 0, 480, 320));
    auto add = [&](int tag) {
        auto v = std::make_shared<ImageView>(platform::Rect(0, 0, 10, 10));
        v->setTag(tag);
        face->addSubview(v);
    };
    for (int i = 0; i < 4; ++i) { add(100 + i); add(110 + i); }
    add(200);
    for (int i = 0; i < 6; ++i) add(300 + i);
    for (int c = 0; c < 4; ++c)
        for (int h = 0; h < 5; ++h) add(400 + 10 * c + h);
    for (int i = 0; i < 3; ++i) add(900 + i);
    return face;
}

bool shown(View& face, int tag) { return !face.viewWithTag(tag)->isHidden(); }

void hideAll(View& face) {
    for (auto& v : face.subviews()) v->setHidden(true);
}

}  // namespace

TEST(CookElements, ConstructionChangesNothingOnScreen) {
    auto face = makeFace();
    VCCook cook(*face);
    VCFood food(*face);
    VCMouse mouse(*face);
    VCMousePenalty marks(*face);
    VCFork fork(*face);
    for (auto& v : face->subviews()) EXPECT_FALSE(v->isHidden()) << v->tag();
    EXPECT_EQ(cook.getPosCook(), 0);
    EXPECT_EQ(cook.getCountVisible(), 4);
    EXPECT_EQ(food.getCountVisible(), 4);
    EXPECT_EQ(marks.getValue(), 0);
    EXPECT_FALSE(fork.getHog());
}

TEST(CookElements, SetPosCookClampsAndClearsTheOldPlace) {
    auto face = makeFace();
    VCCook cook(*face);
    cook.setCountVisible(3);
    cook.setPosCook(7);   // above 3: the last place in use
    EXPECT_EQ(cook.getPosCook(), 2);
    EXPECT_TRUE(shown(*face, 102));
    EXPECT_FALSE(shown(*face, 100));
    EXPECT_FALSE(shown(*face, 110));
    cook.showToss(true);
    cook.setPosCook(-1);
    EXPECT_EQ(cook.getPosCook(), 0);
    EXPECT_FALSE(shown(*face, 102));
    EXPECT_FALSE(shown(*face, 112));
    EXPECT_TRUE(shown(*face, 100));
    // 3 is not above 3: it is kept even with three places in use.
    cook.setPosCook(3);
    EXPECT_EQ(cook.getPosCook(), 3);
}

TEST(CookElements, StepCookStopsAtTheEndsAndRedraws) {
    auto face = makeFace();
    hideAll(*face);
    VCCook cook(*face);
    cook.setCountVisible(3);
    cook.stepCook(0);
    EXPECT_EQ(cook.getPosCook(), 0);
    EXPECT_TRUE(shown(*face, 100));
    cook.stepCook(1);
    cook.stepCook(1);
    cook.stepCook(1);
    EXPECT_EQ(cook.getPosCook(), 2);
    cook.showToss(true);
    EXPECT_TRUE(shown(*face, 112));
    cook.stepCook(1);   // stays, back in the down pose
    EXPECT_EQ(cook.getPosCook(), 2);
    EXPECT_TRUE(shown(*face, 102));
    EXPECT_FALSE(shown(*face, 112));
    cook.setCountVisible(4);
    cook.stepCook(7);   // any non-zero direction moves right
    EXPECT_EQ(cook.getPosCook(), 3);
}

TEST(CookElements, TossPoseTouchesOnlyTheCurrentPlace) {
    auto face = makeFace();
    hideAll(*face);
    VCCook cook(*face);
    cook.setPosCook(1);
    cook.showToss(true);
    EXPECT_FALSE(shown(*face, 101));
    EXPECT_TRUE(shown(*face, 111));
    cook.showToss(false);
    EXPECT_TRUE(shown(*face, 101));
    EXPECT_FALSE(shown(*face, 111));
    for (int tag : {100, 102, 103, 110, 112, 113}) EXPECT_FALSE(shown(*face, tag)) << tag;
}

TEST(CookElements, ThreePlacesLeaveTheFourthAloneButHiddenAllCoversIt) {
    auto face = makeFace();
    hideAll(*face);
    VCCook cook(*face);
    VCFood food(*face);
    cook.setCountVisible(3);
    food.setCountVisible(3);
    cook.showUp();
    food.showUp();
    for (int tag : {110, 111, 112, 401, 411, 421}) EXPECT_TRUE(shown(*face, tag)) << tag;
    for (int tag : {103, 113, 430, 431}) EXPECT_FALSE(shown(*face, tag)) << tag;
    cook.showDown();
    food.showDown();
    for (int tag : {100, 101, 102, 400, 410, 420}) EXPECT_TRUE(shown(*face, tag)) << tag;
    for (int tag : {110, 111, 112, 401, 411, 421, 103, 113, 430, 431}) EXPECT_FALSE(shown(*face, tag)) << tag;

    auto full = makeFace();
    VCCook cook2(*full);
    VCFood food2(*full);
    cook2.setCountVisible(3);
    food2.setCountVisible(3);
    cook2.hiddenAll();
    food2.hiddenAll();
    for (int tag : {103, 113, 430, 434}) EXPECT_FALSE(shown(*full, tag)) << tag;
}

TEST(CookElements, FoodIsAddressedByHeightThenColumn) {
    auto face = makeFace();
    hideAll(*face);
    VCFood food(*face);
    food.show(3, 2, true);
    EXPECT_TRUE(shown(*face, 423));
    food.show(3, 2, false);
    EXPECT_FALSE(shown(*face, 423));
    food.showToss(1, true);
    EXPECT_TRUE(shown(*face, 411));
    EXPECT_FALSE(shown(*face, 410));
    food.showToss(1, false);
    EXPECT_TRUE(shown(*face, 410));
    EXPECT_FALSE(shown(*face, 411));
    food.show(5, 0, true);    // outside the face: nothing
    food.show(0, -1, true);
}

TEST(CookElements, PenaltyMarksFollowTheValue) {
    auto face = makeFace();
    VCMousePenalty marks(*face);
    const int expected[][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 1}};
    for (int n = -1; n <= 5; ++n) {
        marks.setValue(n);
        const int* row = expected[n < 0 ? 0 : (n > 3 ? 3 : n)];
        for (int k = 0; k < 3; ++k) EXPECT_EQ(shown(*face, 900 + k), row[k] == 1) << n << " " << k;
        EXPECT_EQ(marks.getValue(), n);
    }
    marks.setValue(2);
    marks.show(0, false);   // no such mark
    EXPECT_TRUE(shown(*face, 900));
    marks.show(3, true);
    EXPECT_TRUE(shown(*face, 902));
    EXPECT_EQ(marks.getValue(), 2);
    marks.clear();
    for (int k = 0; k < 3; ++k) EXPECT_FALSE(shown(*face, 900 + k));
    EXPECT_EQ(marks.getValue(), 2);
    auto other = makeFace();
    VCMousePenalty::hiddenAll(*other);
    for (int k = 0; k < 3; ++k) EXPECT_FALSE(shown(*other, 900 + k));
}

TEST(CookElements, MouseAndFork) {
    auto face = makeFace();
    hideAll(*face);
    VCMouse mouse(*face);
    VCFork fork(*face);
    mouse.show(3, true);
    EXPECT_TRUE(shown(*face, 303));
    mouse.hiddenAll();
    EXPECT_FALSE(shown(*face, 303));
    fork.setHog(true);
    EXPECT_TRUE(fork.getHog());
    EXPECT_TRUE(shown(*face, 200));
    fork.setHog(false);
    EXPECT_FALSE(shown(*face, 200));
}

TEST(CookElements, AFaceWithoutTheTagsIsHarmless) {
    View empty(platform::Rect(0, 0, 480, 320));
    VCCook cook(empty);
    VCFood food(empty);
    VCMouse mouse(empty);
    VCMousePenalty marks(empty);
    VCFork fork(empty);
    cook.setPosCook(2);
    cook.showToss(true);
    cook.showUp();
    food.showUp();
    mouse.show(0, true);
    marks.setValue(3);
    fork.setHog(true);
    EXPECT_EQ(cook.getPosCook(), 2);
    EXPECT_TRUE(fork.getHog());
}
