// Callbacks die with their owner: calls, timers, animation end reports, observers, control actions and table
// data sources bound to a Lifetime are never called once it is gone, and the run loop drops them; a control
// that its own touch-down frees is not touched again.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

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

// An owner that counts what reaches it.
struct Owner {
    const Lifetime& lifetime() const { return life; }
    void tick() { ++ticks; }
    void note(const std::string&) { ++notes; }
    void act(View*) { ++actions; }
    Lifetime life;
    int ticks = 0, notes = 0, actions = 0;
};

class LifetimeTest : public ::testing::Test {
protected:
    Environment env;
    RunLoop& loop = RunLoop::main();
};

TEST_F(LifetimeTest, ACallWhoseOwnerIsGoneIsDroppedUncalled) {
    int calls = 0;
    auto owner = std::make_unique<Owner>();
    loop.callAt(
        1.0, [&] { ++calls; }, owner->lifetime());
    loop.callAt(2.0, [&] { ++calls; });   // no owner: called in any case
    EXPECT_EQ(loop.pendingCount(), 2u);
    owner.reset();
    EXPECT_EQ(loop.pendingCount(), 1u) << "the owner's call no longer counts";
    env.advance(3.0);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(loop.pendingCount(), 0u);
}

TEST_F(LifetimeTest, CancelAllEndsEarlierBindingsOnly) {
    Owner owner;
    std::vector<std::string> calls;
    loop.callSoon([&] { calls.push_back("before"); }, owner.lifetime());
    auto bound = owner.lifetime().bind([&] { calls.push_back("bound before"); });
    owner.life.cancelAll();
    loop.callSoon([&] { calls.push_back("after"); }, owner.lifetime());
    env.advance(0.1);
    bound();
    EXPECT_EQ(calls, std::vector<std::string>{"after"});
}

TEST_F(LifetimeTest, ACopiedOwnerHasALifetimeOfItsOwn) {
    auto first = std::make_unique<Owner>();
    Owner copy = *first;
    int calls = 0;
    loop.callSoon([&] { ++calls; }, copy.lifetime());
    first.reset();
    env.advance(0.1);
    EXPECT_EQ(calls, 1);
}

TEST_F(LifetimeTest, ATimerOfAGoneOwnerNeverFiresAgainAndIsInvalid) {
    auto owner = std::make_unique<Owner>();
    auto timer = Timer::scheduled(0.1, owner.get(), &Owner::tick, true);
    env.advance(0.35);
    EXPECT_EQ(owner->ticks, 3);
    owner.reset();
    EXPECT_FALSE(timer->isValid());
    EXPECT_EQ(loop.pendingCount(), 0u);
    env.advance(1.0);   // AddressSanitizer reports any call into the freed owner
    EXPECT_FALSE(timer->isValid());
}

TEST_F(LifetimeTest, AnOwnerDestroyedByItsOwnTimerIsNotCalledAgain) {
    auto owner = std::make_unique<Owner>();
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

TEST_F(LifetimeTest, AnAnimationDelegateWhoseOwnerIsGoneIsNotCalled) {
    auto view = std::make_shared<View>(Rect(0, 0, 10, 10));
    auto owner = std::make_unique<Owner>();
    int mine = 0, other = 0;
    View::beginAnimations("fade");
    View::setAnimationDuration(0.5);
    View::setAnimationDelegate(owner->lifetime(), [&](const std::string&, bool, void*) { ++mine; });
    view->setAlpha(0.0);
    View::commitAnimations();
    View::beginAnimations("move");
    View::setAnimationDuration(0.5);
    View::setAnimationDelegate([&](const std::string&, bool, void*) { ++other; });
    view->setTransform(AffineTransform::makeTranslation(5, 0));
    View::commitAnimations();
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
    auto owner = std::make_unique<Owner>();
    auto control = std::make_shared<Control>(Rect(0, 0, 10, 10));
    control->addTarget(owner.get(), &Owner::act, ControlEventTouchUpInside);
    LayoutBindings bindings;
    bindings.action("act:", owner.get(), &Owner::act);
    control->addTarget(bindings.actions.at("act:"), ControlEventTouchUpInside);
    control->sendActionsForControlEvents(ControlEventTouchUpInside);
    EXPECT_EQ(owner->actions, 2);
    owner.reset();
    control->sendActionsForControlEvents(ControlEventTouchUpInside);   // AddressSanitizer would report a call
}

TEST_F(LifetimeTest, AControlThatItsTouchDownTakesOutOfTheTreeGetsNoTouchUp) {
    auto root = std::make_shared<View>(Rect(0, 0, 480, 320));
    std::weak_ptr<Control> page;
    int ups = 0;
    {
        auto control = std::make_shared<Button>(Rect(0, 0, 480, 320));
        control->addTarget([](View* sender) { sender->removeFromSuperview(); }, ControlEventTouchDown);
        control->addTarget([&ups](View*) { ++ups; }, ControlEventTouchUpInside);
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

}   // namespace
