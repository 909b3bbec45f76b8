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
    // Opens a block that reports its end to `stops`.
    void begin(const std::string& id, double duration, void* context = nullptr) {
        View::beginAnimations(id, context);
        View::setAnimationDuration(duration);
        View::setAnimationDelegate([this](const std::string& id, bool finished, void* context) {
            stops.push_back({id, finished, context, RunLoop::main().now()});
        });
    }
};

TEST_F(AnimationTest, ModelChangesAtOnceAndTheEndCallbackCarriesItsContextAfterTheDuration) {
    View game;
    game.setAlpha(0);
    game.setTransform(AffineTransform::identity().scaled(0.7, 0.7));
    int context = 0;
    begin("", 0.75, &context);
    game.setAlpha(1);
    game.setTransform(AffineTransform::identity());
    View::commitAnimations();

    EXPECT_EQ(game.alpha(), 1.0);
    EXPECT_TRUE(game.transform().isIdentity());
    EXPECT_EQ(game.presentationAlpha(), 0.0);
    EXPECT_TRUE(View::hasRunningAnimations());
    env.advance(0.375);
    EXPECT_NEAR(game.presentationAlpha(), 0.5, 1e-9);
    EXPECT_NEAR(game.presentationTransform().a, 0.85, 1e-9);
    env.advance(0.374);
    EXPECT_TRUE(stops.empty());
    env.advance(0.001);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_TRUE(stops[0].finished);
    EXPECT_EQ(stops[0].context, &context);
    EXPECT_NEAR(stops[0].at, 0.75, 1e-12);
    EXPECT_EQ(game.presentationAlpha(), 1.0);
    EXPECT_FALSE(View::hasRunningAnimations());

    // A block that changes nothing (its view was not found) still ends after its duration.
    begin("empty", 0.4, &context);
    View::commitAnimations();
    env.advance(0.39);
    EXPECT_EQ(stops.size(), 1u);
    env.advance(0.01);
    ASSERT_EQ(stops.size(), 2u);
    EXPECT_EQ(stops[1].id, "empty");
    EXPECT_EQ(stops[1].context, &context);
}

TEST_F(AnimationTest, AnAutoreversingRepeatedAnimationPulsesAndEndsAtItsTarget) {
    View prompt;
    prompt.setAlpha(0);
    begin("pulse", 1.5);
    View::setAnimationRepeatAutoreverses(true);
    View::setAnimationRepeatCount(3);
    prompt.setAlpha(1);
    View::commitAnimations();
    env.advance(1.5);
    EXPECT_NEAR(prompt.presentationAlpha(), 1.0, 1e-9);   // up
    env.advance(0.75);
    EXPECT_NEAR(prompt.presentationAlpha(), 0.5, 1e-9);   // on the way down
    env.advance(6.7);
    EXPECT_LT(prompt.presentationAlpha(), 0.01);   // the last pass falls
    EXPECT_TRUE(stops.empty());
    env.advance(0.05);   // 3 x 2 x 1.5 = 9 s
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_NEAR(stops[0].at, 9.0, 1e-12);
    EXPECT_EQ(prompt.presentationAlpha(), 1.0);   // ends at the target, not where the pass ended
}

TEST_F(AnimationTest, RemoveAllAnimationsShowsTheModelAndReportsUnfinishedOnceOnTheNextTurn) {
    View prompt;
    prompt.setAlpha(0);
    int ctx = 7;
    begin("", 1.5, &ctx);
    View::setAnimationRepeatAutoreverses(true);
    View::setAnimationRepeatCount(127);
    prompt.setAlpha(1);
    View::commitAnimations();
    env.advance(10);
    EXPECT_LT(prompt.presentationAlpha(), 1.0);
    prompt.layer().removeAllAnimations();
    EXPECT_EQ(prompt.presentationAlpha(), 1.0);
    EXPECT_FALSE(prompt.layer().hasAnimations());
    EXPECT_TRUE(stops.empty());   // not from inside removeAllAnimations
    env.advance(400);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_FALSE(stops[0].finished);
    EXPECT_EQ(stops[0].context, &ctx);
    EXPECT_NEAR(stops[0].at, 10, 1e-12);
}

TEST_F(AnimationTest, ANewAnimationReplacesTheRunningOneFromTheModelOrTheDrawnValue) {
    View a, b;
    for (View* v : {&a, &b}) {
        begin("first", 1);
        v->setAlpha(0);
        View::commitAnimations();
    }
    env.advance(0.5);   // both are drawn at 0.5 now, their model is 0
    for (View* v : {&a, &b}) {
        begin("second", 1);
        View::setAnimationBeginsFromCurrentState(v == &a);
        v->setAlpha(1);
        View::commitAnimations();
    }
    EXPECT_NEAR(a.presentationAlpha(), 0.5, 1e-9);   // from what was drawn
    EXPECT_NEAR(b.presentationAlpha(), 0.0, 1e-9);   // from the former model value
    env.advance(1);
    ASSERT_EQ(stops.size(), 4u);   // the replaced ones end unfinished, at once
    EXPECT_FALSE(stops[0].finished);
    EXPECT_FALSE(stops[1].finished);
    EXPECT_NEAR(stops[1].at, 0.5, 1e-12);
    EXPECT_TRUE(stops[2].finished);
    EXPECT_TRUE(stops[3].finished);
}

TEST_F(AnimationTest, AViewThatDiesMidAnimationLetsItsBlockEnd) {
    auto v = std::make_shared<View>();
    begin("gone", 1);
    v->setAlpha(0);
    View::commitAnimations();
    env.advance(0.5);
    v.reset();
    EXPECT_FALSE(View::hasRunningAnimations());
    env.advance(1);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_TRUE(stops[0].finished);
}

}   // namespace
