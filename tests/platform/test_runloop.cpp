// Timers on the virtual clock, and the will-terminate notification.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Date.h"
#include "platform/Notice.h"
#include "platform/Notification.h"
#include "platform/RunLoop.h"
#include "platform/headless/Headless.h"

using namespace platform;
using platform::headless::Environment;

namespace {

struct Fired {
    std::string name;
    double at;
};

class RunLoopTest : public ::testing::Test {
protected:
    Environment env;
    std::vector<Fired> fired;
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
};

TEST_F(RunLoopTest, TimersFireInDueOrderTiesInSchedulingOrder) {
    auto tie = Timer::scheduled(0.4, record("tie"), false);
    auto once = Timer::scheduled(0.25, record("once"), false);
    auto fast = Timer::scheduled(0.1, record("fast"), true);
    auto slow = Timer::scheduled(0.2, record("slow"), true);
    // Callbacks run at their own due time, so what they schedule counts from it even in one big step.
    Timer::scheduled(
        0.05, [this](Timer&) { Timer::scheduled(0.3, record("inner"), false); }, false);
    // The run loop keeps a timer that nobody holds alive until it has fired.
    std::weak_ptr<Timer> unowned = Timer::scheduled(0.15, record("unowned"), false);
    env.advance(0.45);
    expectFired({{"fast", 0.1},
                 {"unowned", 0.15},
                 {"fast", 0.2},
                 {"slow", 0.2},
                 {"once", 0.25},
                 {"fast", 0.3},
                 {"inner", 0.35},
                 {"tie", 0.4},
                 {"fast", 0.4},
                 {"slow", 0.4}});
    EXPECT_FALSE(once->isValid());
    EXPECT_TRUE(fast->isValid());
    EXPECT_TRUE(unowned.expired());
    EXPECT_NEAR(env.now(), 0.45, 1e-12);
    EXPECT_DOUBLE_EQ(Date::date().timeIntervalSince1970, 1296741900.45);   // the wall clock moves with it
}

TEST_F(RunLoopTest, ATimerInvalidatedInsideACallbackIsNeverCalledAgain) {
    int calls = 0;
    auto self = Timer::scheduled(
        0.1,
        [&calls](Timer& t) {
            if (++calls == 3) t.invalidate();
        },
        true);
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
    EXPECT_EQ(calls, 3);
    EXPECT_FALSE(self->isValid());
    EXPECT_EQ(ticks, 1);
    expectFired({{"next", 1.1}});
    EXPECT_EQ(RunLoop::main().pendingCount(), 0u);
}

TEST_F(RunLoopTest, FortyFiringsASecondWithoutDriftButAStalledLoopFiresOnce) {
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

TEST_F(RunLoopTest, WillTerminateObserversAreCalledOnce) {
    int saves[2] = {0, 0};
    for (int& n : saves)
        NotificationCenter::defaultCenter().addObserver(&n, ApplicationWillTerminateNotification,
                                                        [&n](const std::string&) { ++n; });
    Application& app = Application::sharedApplication();
    EXPECT_TRUE(app.openURL("https://example.org/more"));   // handing a URL over ends the application
    app.terminate();
    EXPECT_EQ(saves[0], 1);
    EXPECT_EQ(saves[1], 1);
    EXPECT_TRUE(env.stopped());
    EXPECT_EQ(env.openedURLs(), (std::vector<std::string>{"https://example.org/more"}));
}

}   // namespace

TEST(Notices, ANoticeShowsUntilItsTimeAndALaterOneReplacesIt) {
    headless::Environment env;
    postNotice("first", 2);
    ASSERT_NE(Notices::shared().current(env.now()), nullptr);
    EXPECT_EQ(Notices::shared().current(env.now())->text, "first");
    EXPECT_EQ(Notices::shared().nextChange(env.now()), 2);
    env.advance(1);
    postNotice("second", 2);
    EXPECT_EQ(Notices::shared().current(env.now())->text, "second");
    env.advance(1.5);
    EXPECT_NE(Notices::shared().current(env.now()), nullptr) << "the second keeps its own time";
    env.advance(0.5);
    EXPECT_EQ(Notices::shared().current(env.now()), nullptr);
    EXPECT_EQ(Notices::shared().posted(), (std::vector<std::string>{"first", "second"}));
}
