// The run loop on the virtual clock: callbacks die with their owner (calls, timers, animation end reports, observers,
// control actions, table data sources); timers invalidated from their own callbacks stay quiet and do not drift;
// animation completions come from the run loop once, also for an animation that changes nothing and for one cut
// short, and never for one cancelled.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Animation.h"
#include "platform/Button.h"
#include "platform/Input.h"
#include "platform/Layout.h"
#include "platform/Notification.h"
#include "platform/RunLoop.h"
#include "platform/TableView.h"
#include "platform/View.h"
#include "platform/headless/Headless.h"

using namespace platform;
using platform::headless::Environment;

namespace {

// An owner that counts what reaches it, and its actions also into `calls`, which outlives it.
struct Owner {
    const Lifetime& lifetime() const { return life; }
    void note(const std::string&) { ++notes; }
    void act(View*) { ++actions, ++*calls; }
    Lifetime life;
    int ticks = 0, notes = 0, actions = 0;
    int* calls = nullptr;
    explicit Owner(int* counter = nullptr) : calls(counter) {}
};

class LifetimeTest : public ::testing::Test {
protected:
    Environment env;
    RunLoop& loop = RunLoop::main();
    int calls = 0;
    std::unique_ptr<Owner> owner = std::make_unique<Owner>(&calls);
};

// A copy of the owner has a lifetime of its own, which the original's end does not end.
TEST_F(LifetimeTest, ACallWhoseOwnerIsGoneIsDroppedUncalled) {
    const Owner copy = *owner;
    loop.callAt(
        1.0, [&] { ++calls; }, owner->lifetime());
    loop.callAt(
        2.0, [&] { ++calls; }, Unowned{});   // called in any case
    loop.callSoon([&] { ++calls; }, copy.lifetime());
    owner.reset();
    EXPECT_EQ(loop.pendingCount(), 2u) << "the owner's call no longer counts";
    env.advance(3.0);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(loop.pendingCount(), 0u);
}

TEST_F(LifetimeTest, AnOwnerDestroyedByItsOwnTimerIsNotCalledAgain) {
    Owner* raw = owner.get();
    auto timer = Timer::scheduled(
        0.1,
        [&, raw](Timer&) {
            ++raw->ticks;
            if (raw->ticks == 2) owner.reset();
        },
        true, raw->lifetime().watch());
    env.advance(1.0);
    EXPECT_EQ(owner, nullptr);
    EXPECT_FALSE(timer->isValid());
    EXPECT_EQ(loop.pendingCount(), 0u);
}

TEST_F(LifetimeTest, AnAnimationCompletionWhoseOwnerIsGoneIsNotCalled) {
    auto view = std::make_shared<View>(Rect(0, 0, 10, 10));
    int mine = 0, other = 0;
    Animation::start(
        {.duration = 0.5}, [&] { view->setAlpha(0.0); }, owner->lifetime(), [&](bool) { ++mine; });
    Animation::start(
        {.duration = 0.5}, [&] { view->setTransform(AffineTransform::makeTranslation(5, 0)); }, Unowned{},
        [&](bool) { ++other; });
    env.advance(0.25);
    owner.reset();
    env.advance(0.5);
    EXPECT_EQ(mine, 0);
    EXPECT_EQ(other, 1);
}

TEST_F(LifetimeTest, AnObserverWhoseOwnerIsGoneIsNotCalledEvenWithinTheSameDelivery) {
    auto& center = NotificationCenter::defaultCenter();
    auto first = std::make_unique<Owner>();
    auto second = std::make_unique<Owner>();
    Owner* secondRaw = second.get();
    center.addObserver(
        first.get(), "ping", [&](const std::string&) { second.reset(); }, first->lifetime().watch());
    center.addObserver(secondRaw, &Owner::note, "ping");
    center.postNotificationName("ping");   // the first observer destroys the second before its turn
    EXPECT_EQ(second, nullptr);
    first.reset();
    center.postNotificationName("ping");
    Owner third;
    center.addObserver(&third, &Owner::note, "ping");
    center.postNotificationName("ping");
    EXPECT_EQ(third.notes, 1);
}

TEST_F(LifetimeTest, AControlActionAndALayoutActionOfAGoneOwnerAreNotCalled) {
    auto control = std::make_shared<Control>(Rect(0, 0, 10, 10));
    control->addTarget(owner.get(), &Owner::act, ControlEventTouchUpInside);
    LayoutBindings bindings;
    bindings.action("act:", owner.get(), &Owner::act);
    control->addTarget(bindings.actions.at("act:"), ControlEventTouchUpInside, Unowned{});
    control->sendActionsForControlEvents(ControlEventTouchUpInside);
    EXPECT_EQ(owner->actions, 2);
    owner.reset();
    control->sendActionsForControlEvents(ControlEventTouchUpInside);
    EXPECT_EQ(calls, 2);
}

TEST_F(LifetimeTest, AControlThatItsTouchDownTakesOutOfTheTreeGetsNoTouchUp) {
    auto root = std::make_shared<View>(Rect(0, 0, 480, 320));
    std::weak_ptr<Control> page;
    int ups = 0;
    {
        auto control = std::make_shared<Button>(Rect(0, 0, 480, 320));
        control->addTarget([](View* sender) { sender->removeFromSuperview(); }, ControlEventTouchDown, Unowned{});
        control->addTarget([&ups](View*) { ++ups; }, ControlEventTouchUpInside, Unowned{});
        root->addSubview(control);
        page = control;
    }
    touchAt(*root, {10, 10});   // AddressSanitizer reports any use of the freed control
    EXPECT_TRUE(page.expired());
    EXPECT_EQ(ups, 0);
}

struct Rows : TableViewDataSource {
    const Lifetime& lifetime() const { return life; }
    int numberOfRowsInSection(TableView&, int) override { return 3; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView&, IndexPath) override {
        return std::make_shared<TableViewCell>(Rect(0, 0, 100, 44), "row");
    }
    Lifetime life;
};

TEST_F(LifetimeTest, ATableAsksNoGoneDataSource) {
    TableView table(Rect(0, 0, 100, 200));
    auto rows = std::make_unique<Rows>();
    table.setDataSource(rows.get());
    table.reloadData();
    EXPECT_NE(table.cellForRow(0), nullptr);
    rows.reset();
    EXPECT_EQ(table.dataSource(), nullptr);
    table.reloadData();
    EXPECT_EQ(table.cellForRow(0), nullptr);
}

struct Stop {
    bool finished;
    double at;
};

class ClockTest : public LifetimeTest {
protected:
    std::vector<double> fired;   // when record()'s timers fired
    std::vector<Stop> stops;
    std::function<void(Timer&)> record() {
        return [this](Timer&) { fired.push_back(RunLoop::main().now()); };
    }
    // Starts an animation that reports its end to `stops`.
    Animation animate(AnimationOptions options, const std::function<void()>& changes) {
        return Animation::start(options, changes, Unowned{}, [this](bool finished) {
            stops.push_back({finished, RunLoop::main().now()});
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
            field = Timer::scheduled(1.0, record(), false, Unowned{});
        },
        true, Unowned{});
    // Another callback due at the same time invalidates it first.
    std::shared_ptr<Timer> victim;
    auto killer = Timer::scheduled(
        0.5, [&](Timer&) { victim->invalidate(); }, false, Unowned{});
    victim = Timer::scheduled(0.5, record(), true, Unowned{});
    env.advance(5);
    EXPECT_EQ(ticks, 1);
    ASSERT_EQ(fired.size(), 1u) << "only the replacement fires";
    EXPECT_NEAR(fired[0], 1.1, 1e-9);
    EXPECT_EQ(RunLoop::main().pendingCount(), 0u);
}

TEST_F(ClockTest, FortyFiringsASecondWithoutDriftButAStalledLoopFiresOnce) {
    int ticks = 0;
    auto tick = Timer::scheduled(
        0.025, [&ticks](Timer&) { ++ticks; }, true, Unowned{});
    env.advance(1.0);
    EXPECT_EQ(ticks, 40);
    env.advance(60.0);   // sums of 0.025 must not drift off the grid
    EXPECT_EQ(ticks, 40 + 2400);
    tick->invalidate();

    // The clock jumps 10 s and the loop runs once: one firing at the timer's own due time, the next on its grid.
    auto stalled = Timer::scheduled(0.1, record(), true, Unowned{});
    env.clock().set(env.now() + 10.0);
    EXPECT_EQ(RunLoop::main().runUntil(env.now()), 1);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_NEAR(fired[0], 61.1, 1e-9);
    EXPECT_NEAR(stalled->fireDate(), 71.1, 1e-9);
}

// A loop that wakes every 50 ms lets a 25 ms timer fire at each of its times (a loop stalled for longer fires it
// once: FortyFiringsASecond...).
TEST_F(ClockTest, ATimerBehindByLessThanTheCatchUpFiresAtEachOfItsTimes) {
    RunLoop::main().setCatchUp(0.1);
    struct Restore {
        ~Restore() { RunLoop::main().setCatchUp(0); }
    } restore;
    auto tick = Timer::scheduled(0.025, record(), true, Unowned{});
    const double start = env.now();
    env.clock().set(start + 0.06);
    EXPECT_EQ(RunLoop::main().runUntil(env.now()), 2);
    ASSERT_EQ(fired.size(), 2u);
    EXPECT_NEAR(fired[1], start + 0.05, 1e-9);
    EXPECT_NEAR(tick->fireDate(), start + 0.075, 1e-9);
}

// An animation whose view was not found changes nothing and still ends after its duration.
TEST_F(ClockTest, AnAnimationThatChangesNothingStillEndsAfterItsDuration) {
    animate({.duration = 0.4}, nullptr);
    env.advance(0.39);
    EXPECT_TRUE(stops.empty());
    env.advance(0.01);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_TRUE(stops[0].finished);
}

TEST_F(ClockTest, RemoveAllAnimationsShowsTheModelAndReportsUnfinishedOnceOnTheNextTurn) {
    View prompt;
    prompt.setAlpha(0);
    animate({.duration = 1.5, .repeatCount = 127, .autoreverses = true}, [&] { prompt.setAlpha(1); });
    env.advance(10);
    EXPECT_LT(prompt.presentationAlpha(), 1.0);
    prompt.layer().removeAllAnimations();
    EXPECT_EQ(prompt.presentationAlpha(), 1.0);
    EXPECT_FALSE(prompt.layer().hasAnimations());
    EXPECT_TRUE(stops.empty());   // not from inside removeAllAnimations
    env.advance(400);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_FALSE(stops[0].finished);
    EXPECT_NEAR(stops[0].at, 10, 1e-12);
}

TEST_F(ClockTest, AViewThatDiesMidAnimationLetsItsAnimationEnd) {
    auto v = std::make_shared<View>();
    animate({.duration = 1}, [&] { v->setAlpha(0); });
    env.advance(0.5);
    v.reset();
    EXPECT_FALSE(Animation::anyRunning());
    env.advance(1);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_TRUE(stops[0].finished);
}

// A cancelled animation stops at once, its view drawn at the model value, and its completion never runs.
TEST_F(ClockTest, ACancelledAnimationStopsShowsTheModelValueAndNeverCompletes) {
    View view;
    view.setAlpha(0);
    Animation fade = animate({.duration = 1}, [&] { view.setAlpha(1); });
    env.advance(0.5);
    fade.cancel();
    EXPECT_FALSE(fade.isRunning());
    EXPECT_EQ(view.presentationAlpha(), 1.0);
    EXPECT_EQ(loop.pendingCount(), 0u) << "nothing of it stays due";
    env.advance(2);
    EXPECT_TRUE(stops.empty());
}

}   // namespace
