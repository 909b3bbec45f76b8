// The virtual clock: timers invalidated from their own callbacks, on a grid that does not drift;
// animation end callbacks from the run loop, also for a block that changes nothing and one cut short.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/RunLoop.h"
#include "platform/View.h"
#include "platform/headless/Headless.h"

using namespace platform;

namespace {

struct Fired {
    std::string name;
    double at;
};

struct Stop {
    std::string id;
    bool finished;
    void* context;
    double at;
};

class ClockTest : public ::testing::Test {
protected:
    headless::Environment env;
    std::vector<Fired> fired;
    std::vector<Stop> stops;
    std::function<void(Timer&)> record(const std::string& name) {
        return [this, name](Timer&) { fired.push_back({name, RunLoop::main().now()}); };
    }
    void expectFired(const std::vector<Fired>& want) {
        ASSERT_EQ(fired.size(), want.size());
        for (std::size_t i = 0; i < want.size(); ++i) {
            EXPECT_EQ(fired[i].name, want[i].name) << i;
            EXPECT_NEAR(fired[i].at, want[i].at, 1e-9) << i;
        }
    }
    // Opens an animation block that reports its end to `stops`.
    void begin(const std::string& id, double duration, void* context = nullptr) {
        View::beginAnimations(id, context);
        View::setAnimationDuration(duration);
        View::setAnimationDelegate([this](const std::string& id, bool finished, void* context) {
            stops.push_back({id, finished, context, RunLoop::main().now()});
        });
    }
};

TEST_F(ClockTest, ATimerInvalidatedInsideACallbackIsNeverCalledAgain) {
    // The games' pattern: the owner replaces its timer from inside the timer's own callback.
    std::shared_ptr<Timer> field;
    int ticks = 0;
    field = Timer::scheduled(
        0.1,
        [&](Timer&) {
            ++ticks;
            field->invalidate();
            field = Timer::scheduled(1.0, record("next"), false);
        },
        true);
    // Another callback due at the same time invalidates it first.
    std::shared_ptr<Timer> victim;
    auto killer = Timer::scheduled(
        0.5, [&](Timer&) { victim->invalidate(); }, false);
    victim = Timer::scheduled(0.5, record("victim"), true);
    env.advance(5);
    EXPECT_EQ(ticks, 1);
    expectFired({{"next", 1.1}});
    EXPECT_EQ(RunLoop::main().pendingCount(), 0u);
}

TEST_F(ClockTest, FortyFiringsASecondWithoutDriftButAStalledLoopFiresOnce) {
    int ticks = 0;
    auto tick = Timer::scheduled(
        0.025, [&ticks](Timer&) { ++ticks; }, true);
    env.advance(1.0);
    EXPECT_EQ(ticks, 40);
    env.advance(60.0);   // sums of 0.025 must not drift off the grid
    EXPECT_EQ(ticks, 40 + 2400);
    tick->invalidate();

    // The clock jumps 10 s and the loop runs once: one firing at the timer's own due time, the next on its grid.
    auto stalled = Timer::scheduled(0.1, record("stalled"), true);
    env.clock().set(env.now() + 10.0);
    EXPECT_EQ(RunLoop::main().runUntil(env.now()), 1);
    expectFired({{"stalled", 61.1}});
    EXPECT_NEAR(stalled->fireDate(), 71.1, 1e-9);
}

// A block whose view was not found changes nothing and still ends after its duration.
TEST_F(ClockTest, AnAnimationThatChangesNothingStillEndsAfterItsDurationWithItsContext) {
    int context = 0;
    begin("empty", 0.4, &context);
    View::commitAnimations();
    env.advance(0.39);
    EXPECT_TRUE(stops.empty());
    env.advance(0.01);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_TRUE(stops[0].finished);
    EXPECT_EQ(stops[0].context, &context);
}

TEST_F(ClockTest, RemoveAllAnimationsShowsTheModelAndReportsUnfinishedOnceOnTheNextTurn) {
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

TEST_F(ClockTest, AViewThatDiesMidAnimationLetsItsBlockEnd) {
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
