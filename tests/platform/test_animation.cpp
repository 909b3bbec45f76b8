// View animations: model values at once, drawn values over run-loop time, end callbacks from the run loop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/View.h"
#include "platform/headless/Headless.h"

using namespace platform;
using platform::headless::Environment;

namespace {

struct Stop {
    std::string id;
    bool finished;
    void* context;
    double at;
};

class AnimationTest : public ::testing::Test {
protected:
    Environment env;
    std::vector<Stop> stops;
    View::AnimationDidStop recorder() {
        return [this](const std::string& id, bool finished, void* context) {
            stops.push_back({id, finished, context, RunLoop::main().now()});
        };
    }
};

TEST_F(AnimationTest, ModelChangesAtOnceDrawnValueFollowsTheClockAndTheEndCallbackCarriesTheContext) {
    auto game = std::make_shared<View>(Rect(0, 0, 480, 320));
    game->setAlpha(0);
    game->setTransform(AffineTransform::identity().scaled(0.7, 0.7));
    int context = 0;
    View::beginAnimations("", &context);
    View::setAnimationDuration(0.75);
    View::setAnimationDelegate(recorder());
    View::setAnimationTransition(0, game.get(), true);
    game->setAlpha(1);
    game->setTransform(AffineTransform::identity());
    View::commitAnimations();

    EXPECT_EQ(game->alpha(), 1.0);
    EXPECT_TRUE(game->transform().isIdentity());
    EXPECT_EQ(game->presentationAlpha(), 0.0);
    EXPECT_EQ(game->presentationTransform().a, 0.7);
    EXPECT_TRUE(View::hasRunningAnimations());
    EXPECT_TRUE(game->layer().hasAnimations());

    env.advance(0.375);
    EXPECT_NEAR(game->presentationAlpha(), 0.5, 1e-9);
    EXPECT_NEAR(game->presentationTransform().a, 0.85, 1e-9);
    double last = game->presentationAlpha();
    for (int i = 0; i < 7; ++i) {   // rises steadily
        env.advance(0.05);
        EXPECT_GT(game->presentationAlpha(), last);
        last = game->presentationAlpha();
    }
    EXPECT_TRUE(stops.empty());
    env.advance(0.1);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0].id, "");
    EXPECT_TRUE(stops[0].finished);
    EXPECT_EQ(stops[0].context, &context);
    EXPECT_NEAR(stops[0].at, 0.75, 1e-12);
    EXPECT_EQ(game->presentationAlpha(), 1.0);
    EXPECT_TRUE(game->presentationTransform().isIdentity());
    EXPECT_FALSE(View::hasRunningAnimations());
    EXPECT_FALSE(game->layer().hasAnimations());
}

TEST_F(AnimationTest, AutoreversingRepeatedAnimationPulsesAndEndsAtItsTarget) {
    View prompt;
    prompt.setAlpha(0);
    View::beginAnimations("pulse", nullptr);
    View::setAnimationDuration(1.5);
    View::setAnimationBeginsFromCurrentState(true);
    View::setAnimationRepeatAutoreverses(true);
    View::setAnimationRepeatCount(3);
    View::setAnimationDelegate(recorder());
    prompt.setAlpha(1);
    View::commitAnimations();

    env.advance(1.5);
    EXPECT_NEAR(prompt.presentationAlpha(), 1.0, 1e-9);   // up
    env.advance(0.75);
    EXPECT_NEAR(prompt.presentationAlpha(), 0.5, 1e-9);   // on the way down
    env.advance(0.75);
    EXPECT_NEAR(prompt.presentationAlpha(), 0.0, 1e-9);   // down again: a cycle is 3 s
    env.advance(5.95);
    EXPECT_LT(prompt.presentationAlpha(), 0.01);          // the last pass falls
    EXPECT_TRUE(stops.empty());
    env.advance(0.05);                                   // 3 x 2 x 1.5 = 9 s
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0].id, "pulse");
    EXPECT_NEAR(stops[0].at, 9.0, 1e-12);
    EXPECT_EQ(prompt.presentationAlpha(), 1.0);           // ends at the target, not where the pass ended
    EXPECT_EQ(prompt.alpha(), 1.0);
}

TEST_F(AnimationTest, RepeatCountsScaleTheDuration) {
    View v;
    View::beginAnimations("half", nullptr);
    View::setAnimationDuration(1);
    View::setAnimationRepeatCount(2.5);
    View::setAnimationDelegate(recorder());
    v.setAlpha(0);
    View::commitAnimations();
    env.advance(2.25);
    EXPECT_NEAR(v.presentationAlpha(), 1 - 0.15625, 1e-9);   // a quarter into the third pass, eased
    env.advance(1);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_NEAR(stops[0].at, 2.5, 1e-12);
}

TEST_F(AnimationTest, BeginsFromCurrentStateOrFromTheFormerModelValue) {
    View a, b;
    for (View* v : {&a, &b}) {
        View::beginAnimations();
        View::setAnimationDuration(1);
        v->setAlpha(0);
        View::commitAnimations();
    }
    env.advance(0.5);   // both are drawn at 0.5 now, their model is 0
    View::beginAnimations();
    View::setAnimationDuration(1);
    View::setAnimationBeginsFromCurrentState(true);
    a.setAlpha(1);
    View::commitAnimations();
    View::beginAnimations();
    View::setAnimationDuration(1);
    b.setAlpha(1);
    View::commitAnimations();
    EXPECT_NEAR(a.presentationAlpha(), 0.5, 1e-9);   // from what was drawn
    EXPECT_NEAR(b.presentationAlpha(), 0.0, 1e-9);   // from the former model value
    env.advance(1);
    EXPECT_EQ(a.presentationAlpha(), 1.0);
    EXPECT_EQ(b.presentationAlpha(), 1.0);
}

TEST_F(AnimationTest, RemoveAllAnimationsShowsTheModelAndReportsUnfinishedOnTheNextTurn) {
    View prompt;
    prompt.setAlpha(0);
    int ctx = 7;
    View::beginAnimations("", &ctx);
    View::setAnimationDuration(1.5);
    View::setAnimationRepeatAutoreverses(true);
    View::setAnimationRepeatCount(127);
    View::setAnimationDelegate(recorder());
    prompt.setAlpha(1);
    View::commitAnimations();
    env.advance(10);
    EXPECT_LT(prompt.presentationAlpha(), 1.0);
    prompt.layer().removeAllAnimations();
    EXPECT_EQ(prompt.presentationAlpha(), 1.0);
    EXPECT_FALSE(prompt.layer().hasAnimations());
    EXPECT_TRUE(stops.empty());   // not from inside removeAllAnimations
    env.advance(0);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_FALSE(stops[0].finished);
    EXPECT_EQ(stops[0].context, &ctx);
    env.advance(400);             // and never again
    EXPECT_EQ(stops.size(), 1u);
    prompt.layer().removeAllAnimations();
}

TEST_F(AnimationTest, ABlockThatChangesNothingStillEndsAfterItsDuration) {
    int ctx = 0;
    View::beginAnimations("", &ctx);
    View::setAnimationDuration(0.4);
    View::setAnimationDelegate(recorder());
    View* missing = nullptr;   // a lookup that found no menu-button view
    if (missing) missing->setTransform(AffineTransform::makeTranslation(0, -30));
    View::commitAnimations();
    env.advance(0.39);
    EXPECT_TRUE(stops.empty());
    env.advance(0.01);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_TRUE(stops[0].finished);
    EXPECT_EQ(stops[0].context, &ctx);
}

TEST_F(AnimationTest, NestedBlocksKeepTheirOwnSettings) {
    View outerView, innerView;
    View::beginAnimations("outer", nullptr);
    View::setAnimationDuration(2);
    View::setAnimationDelegate(recorder());
    outerView.setAlpha(0);
    View::beginAnimations("inner", nullptr);
    View::setAnimationDelegate(recorder());
    innerView.setAlpha(0);   // inherits 2 s ...
    View::setAnimationDuration(0.5);   // ... until it sets its own
    View::commitAnimations();
    View::commitAnimations();
    env.advance(0.5);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0].id, "inner");
    EXPECT_EQ(innerView.presentationAlpha(), 0.0);
    EXPECT_NEAR(outerView.presentationAlpha(), 1 - 0.15625, 1e-9);
    env.advance(1.5);
    ASSERT_EQ(stops.size(), 2u);
    EXPECT_EQ(stops[1].id, "outer");
}

TEST_F(AnimationTest, ANewAnimationOfAPropertyReplacesTheRunningOne) {
    View tab;   // the menu-button view: slid up, then down while the slide up still runs
    const AffineTransform up = AffineTransform::makeTranslation(0, -30), down = AffineTransform::makeTranslation(0, 30);
    View::beginAnimations("up", nullptr);
    View::setAnimationDuration(0.4);
    View::setAnimationDelegate(recorder());
    tab.setTransform(up);
    View::commitAnimations();
    env.advance(0.2);
    View::beginAnimations("down", nullptr);
    View::setAnimationDuration(0.4);
    View::setAnimationDelegate(recorder());
    tab.setTransform(down);
    tab.setTransform(down);   // set twice in one block: still one animation from the old model value
    View::commitAnimations();
    EXPECT_EQ(tab.presentationTransform(), up);
    env.advance(0);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0].id, "up");
    EXPECT_FALSE(stops[0].finished);
    env.advance(0.2);
    EXPECT_NEAR(tab.presentationTransform().ty, 0, 1e-9);
    env.advance(0.2);
    ASSERT_EQ(stops.size(), 2u);
    EXPECT_TRUE(stops[1].finished);
    EXPECT_EQ(tab.presentationTransform(), down);
}

TEST_F(AnimationTest, DisabledAnimationsChangeAtOnceAndSettersOutsideBlocksAreIgnored) {
    View v;
    View::setAnimationDuration(5);   // outside a block: no effect
    View::commitAnimations();        // unbalanced: no effect
    View::setAnimationsEnabled(false);
    EXPECT_FALSE(View::areAnimationsEnabled());
    View::beginAnimations();
    View::setAnimationDelegate(recorder());
    v.setAlpha(0.25);
    View::commitAnimations();
    EXPECT_EQ(v.presentationAlpha(), 0.25);
    EXPECT_FALSE(v.layer().hasAnimations());
    View::setAnimationsEnabled(true);
    env.advance(1);
    EXPECT_EQ(stops.size(), 1u);   // the block still reports its end (default duration 0.2 s)
    EXPECT_NEAR(stops[0].at, 0.2, 1e-12);

    View::beginAnimations();
    v.setAlpha(1);
    View::resetAnimations();       // an open block left behind is dropped
    v.setAlpha(0);
    EXPECT_EQ(v.presentationAlpha(), 0.0);
}

TEST_F(AnimationTest, AViewThatDiesMidAnimationLetsItsBlockEnd) {
    auto v = std::make_shared<View>();
    View::beginAnimations("gone", nullptr);
    View::setAnimationDuration(1);
    View::setAnimationDelegate(recorder());
    v->setAlpha(0);
    View::commitAnimations();
    env.advance(0.5);
    v.reset();
    EXPECT_FALSE(View::hasRunningAnimations());
    env.advance(1);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_TRUE(stops[0].finished);
}

}  // namespace
