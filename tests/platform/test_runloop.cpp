// Run loop, timers, the virtual clock, dates, notifications, sounds and the log on the headless backend.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <ctime>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Date.h"
#include "platform/Log.h"
#include "platform/Notification.h"
#include "platform/RunLoop.h"
#include "platform/Sound.h"
#include "platform/headless/Headless.h"

using namespace platform;
using platform::headless::Environment;

namespace {

struct Fired {
    std::string name;
    double at;
    friend bool operator==(const Fired&, const Fired&) = default;
};
void PrintTo(const Fired& f, std::ostream* os) { *os << f.name << "@" << f.at; }

class RunLoopTest : public ::testing::Test {
protected:
    Environment env;
    std::vector<Fired> fired;
    std::function<void(Timer&)> record(const std::string& name) {
        return [this, name](Timer&) { fired.push_back({name, RunLoop::main().now()}); };
    }
};

TEST_F(RunLoopTest, TimersFireInDueOrderWithTheirOwnTimes) {
    auto oneShot = Timer::scheduled(0.25, record("once"), false);
    auto fast = Timer::scheduled(0.1, record("fast"), true);
    auto slow = Timer::scheduled(0.2, record("slow"), true);
    env.advance(0.45);
    const std::vector<Fired> want = {{"fast", 0.1}, {"fast", 0.2}, {"slow", 0.2}, {"once", 0.25},
                                     {"fast", 0.30000000000000004}, {"fast", 0.4}, {"slow", 0.4}};
    ASSERT_EQ(fired.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(fired[i].name, want[i].name) << i;
        EXPECT_NEAR(fired[i].at, want[i].at, 1e-12) << i;
    }
    EXPECT_FALSE(oneShot->isValid());
    EXPECT_TRUE(fast->isValid());
    EXPECT_NEAR(env.now(), 0.45, 1e-12);
}

TEST_F(RunLoopTest, TiesFireInSchedulingOrder) {
    auto b = Timer::scheduled(0.5, record("b"), true);
    auto a = Timer::scheduled(0.25, record("a"), true);
    RunLoop::main().callAt(0.5, [this] { fired.push_back({"call", RunLoop::main().now()}); });
    env.advance(0.5);
    // At 0.5 all three are due: b was scheduled first, then a, then the call.
    ASSERT_EQ(fired.size(), 4u);
    EXPECT_EQ(fired[0], (Fired{"a", 0.25}));
    EXPECT_EQ(fired[1].name, "b");
    EXPECT_EQ(fired[2].name, "a");
    EXPECT_EQ(fired[3].name, "call");
}

TEST_F(RunLoopTest, TimerInvalidatedInItsOwnCallbackIsNeverCalledAgain) {
    int calls = 0;
    std::shared_ptr<Timer> timer = Timer::scheduled(
        0.1,
        [&calls](Timer& t) {
            if (++calls == 3) t.invalidate();
        },
        true);
    env.advance(5);
    EXPECT_EQ(calls, 3);
    EXPECT_FALSE(timer->isValid());
    EXPECT_EQ(RunLoop::main().pendingCount(), 0u);

    // Also when the owner replaces the timer inside the callback, the usual pattern of the games.
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
    env.advance(0.55);
    EXPECT_EQ(ticks, 1);
    env.advance(1.0);
    EXPECT_EQ(ticks, 1);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_NEAR(fired[0].at, 5.1 + 1.0, 1e-9);
}

TEST_F(RunLoopTest, TimerInvalidatedByAnotherCallbackAtTheSameTimeDoesNotFire) {
    std::shared_ptr<Timer> victim;
    auto killer = Timer::scheduled(0.5, [&](Timer&) { victim->invalidate(); }, false);
    victim = Timer::scheduled(0.5, record("victim"), true);
    env.advance(2);
    EXPECT_TRUE(fired.empty());
}

TEST_F(RunLoopTest, RunLoopKeepsAnUnownedTimerAliveUntilItEnds) {
    int calls = 0;
    std::weak_ptr<Timer> weak = Timer::scheduled(0.2, [&calls](Timer&) { ++calls; }, false);
    EXPECT_FALSE(weak.expired());
    env.advance(1);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(weak.expired());
}

TEST_F(RunLoopTest, AdvanceFiresEveryIntervalButAStalledLoopFiresOnce) {
    int ticks = 0;
    auto tick = Timer::scheduled(0.025, [&ticks](Timer&) { ++ticks; }, true);
    env.advance(1.0);
    EXPECT_EQ(ticks, 40);
    env.advance(60.0);   // sums of 0.025 must not drift off the grid
    EXPECT_EQ(ticks, 40 + 2400);
    EXPECT_NEAR(tick->fireDate(), 61.025, 1e-9);

    // A stall: the clock jumps 10 s and the loop runs once. The timer fires once, at its own due time,
    // and its next firing lies on its grid after the stall.
    std::vector<double> at;
    auto stalled = Timer::scheduled(0.1, [&at](Timer&) { at.push_back(RunLoop::main().now()); }, true);
    tick->invalidate();
    env.clock().set(env.now() + 10.0);
    EXPECT_EQ(RunLoop::main().runUntil(env.now()), 1);
    ASSERT_EQ(at.size(), 1u);
    EXPECT_NEAR(at[0], 61.1, 1e-9);
    EXPECT_NEAR(stalled->fireDate(), 71.1, 1e-9);
    env.advance(0.1);
    EXPECT_EQ(at.size(), 2u);
}

TEST_F(RunLoopTest, NonPositiveIntervalIsATenthOfAMillisecond) {
    int zero = 0, negative = 0;
    auto a = Timer::scheduled(0, [&zero](Timer&) { ++zero; }, true);
    auto b = Timer::scheduled(-3, [&negative](Timer&) { ++negative; }, true);
    EXPECT_DOUBLE_EQ(a->timeInterval(), 0.0001);
    EXPECT_DOUBLE_EQ(b->timeInterval(), 0.0001);
    env.advance(0.001);
    EXPECT_EQ(zero, 10);
    EXPECT_EQ(negative, 10);
}

TEST_F(RunLoopTest, CallbacksSeeTheirDueTimeAndScheduleFromIt) {
    Timer::scheduled(0.5, [this](Timer&) { Timer::scheduled(0.25, record("inner"), false); }, false);
    env.advance(3.0);   // one big step: the inner timer still counts from 0.5
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_NEAR(fired[0].at, 0.75, 1e-12);
}

TEST_F(RunLoopTest, DeferredCallsRunOnTheNextTurnAndResetDropsEverything) {
    bool ran = false;
    RunLoop::main().callSoon([&ran] { ran = true; });
    EXPECT_FALSE(ran);
    env.advance(0);
    EXPECT_TRUE(ran);

    auto t = Timer::scheduled(0.1, record("t"), true);
    RunLoop::main().callAt(0.5, [this] { fired.push_back({"call", 0}); });
    EXPECT_EQ(RunLoop::main().pendingCount(), 2u);
    RunLoop::main().reset();
    EXPECT_FALSE(t->isValid());
    EXPECT_EQ(RunLoop::main().pendingCount(), 0u);
    EXPECT_TRUE(std::isinf(RunLoop::main().nextDueTime()));
    env.advance(1);
    EXPECT_TRUE(fired.empty());
}

TEST_F(RunLoopTest, WallClockMovesWithTheVirtualClock) {
    const Date start = Date::date();
    EXPECT_DOUBLE_EQ(start.timeIntervalSince1970, 1296741900.0);
    std::vector<double> inside;
    Timer::scheduled(2.5, [&inside](Timer&) { inside.push_back(Date::date().timeIntervalSince1970); }, false);
    env.advance(10);
    ASSERT_EQ(inside.size(), 1u);
    EXPECT_DOUBLE_EQ(inside[0] - start.timeIntervalSince1970, 2.5);
    EXPECT_DOUBLE_EQ(Date::date().timeIntervalSinceDate(start), 10.0);
    EXPECT_DOUBLE_EQ(Date::dateWithTimeIntervalSince1970(978307200.0 + 5).timeIntervalSinceReferenceDate(), 5.0);
}

TEST(DateFormatterTest, FormatsInTheLocalTimeZone) {
    const char* saved = std::getenv("TZ");
    const std::string savedTz = saved ? saved : "";
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    DateFormatter f;
    f.setDateFormat("dd.MM.yyyy HH:mm");
    // 3 February 2011, 13:05:30 UTC is 14:05 in Berlin.
    EXPECT_EQ(f.stringFromDate(Date::dateWithTimeIntervalSince1970(1296738330.9)), "03.02.2011 14:05");
    f.setDateFormat("yy-M-d H:m:ss 'at' h");
    EXPECT_EQ(f.stringFromDate(Date::dateWithTimeIntervalSince1970(1296738330.9)), "11-2-3 14:5:30 at 2");
    if (saved) setenv("TZ", savedTz.c_str(), 1);
    else unsetenv("TZ");
    tzset();
}

TEST(NotificationTest, WillTerminateIsPostedOnceAndOpenURLEndsTheApplication) {
    Environment env;
    struct Game {
        int saves = 0;
        void applicationWillTerminate(const std::string&) { ++saves; }
    } first, second;
    NotificationCenter::defaultCenter().addObserver(&first, &Game::applicationWillTerminate,
                                                    ApplicationWillTerminateNotification);
    NotificationCenter::defaultCenter().addObserver(&second, &Game::applicationWillTerminate,
                                                    ApplicationWillTerminateNotification);
    Application& app = Application::sharedApplication();
    EXPECT_TRUE(app.openURL("https://example.org/more"));
    app.terminate();
    app.terminate();
    EXPECT_EQ(first.saves, 1);
    EXPECT_EQ(second.saves, 1);
    EXPECT_TRUE(app.isTerminating());
    EXPECT_TRUE(env.stopped());
    EXPECT_EQ(env.openedURLs(), (std::vector<std::string>{"https://example.org/more"}));
}

TEST(SoundTest, IdsRecordTheirPathsAndPlaysTheirTimes) {
    Environment env;
    const SystemSoundID beep = AudioServicesCreateSystemSoundID("/res/sounds/yolkfall_02.aif");
    const SystemSoundID missing = AudioServicesCreateSystemSoundID("/nowhere/gone.aif");
    EXPECT_NE(beep, 0u);
    EXPECT_NE(missing, beep);
    EXPECT_EQ(AudioServicesCreateSystemSoundID(""), 0u);
    AudioServicesPlaySystemSound(beep);
    Timer::scheduled(0.5, [beep](Timer&) { AudioServicesPlaySystemSound(beep); }, false);
    env.advance(1);
    AudioServicesPlaySystemSound(0);
    AudioServicesPlaySystemSound(12345);
    ASSERT_EQ(env.sounds().size(), 3u);
    EXPECT_EQ(env.sounds()[0].path, "/res/sounds/yolkfall_02.aif");
    EXPECT_DOUBLE_EQ(env.sounds()[0].time, 0.0);
    EXPECT_DOUBLE_EQ(env.sounds()[1].time, 0.5);
    EXPECT_EQ(env.sounds()[2].path, "");
    EXPECT_EQ(env.countPlays("yolkfall_02"), 2);
    EXPECT_EQ(env.countPlays("gone"), 0);
    env.clearSounds();
    EXPECT_TRUE(env.sounds().empty());
}

TEST(LogTest, OneFormattedLinePerCallCapturedByTheEnvironment) {
    Environment env;
    NSLog("ERROR %s:%s: %d", "VCGamesResult", "EndGame", 42);
    NSLog("two\nlines\n");
    const std::string longText(2000, 'z');
    NSLog("%s!", longText.c_str());
    ASSERT_EQ(env.logLines().size(), 3u);
    EXPECT_EQ(env.logLines()[0], "ERROR VCGamesResult:EndGame: 42");
    EXPECT_EQ(env.logLines()[1], "two lines");
    EXPECT_EQ(env.logLines()[2], longText + "!");
    EXPECT_TRUE(env.logContains("EndGame"));
    EXPECT_FALSE(env.logContains("LoadFileException"));

    std::vector<std::string> mine;
    setLogHook([&mine](const std::string& l) { mine.push_back(l); }, true);
    logLine("direct");
    EXPECT_EQ(mine, (std::vector<std::string>{"direct"}));
    EXPECT_EQ(env.logLines().size(), 3u);
}

TEST(EnvironmentTest, ResetsTheSharedStateAndCleansUpItsFolder) {
    std::string docs;
    {
        Environment env;
        docs = env.documents();
        EXPECT_TRUE(std::filesystem::is_directory(docs));
        Timer::scheduled(1, [](Timer&) { FAIL() << "a timer outlived its environment"; }, false);
        NotificationCenter::defaultCenter().addObserver(nullptr, "n", [](const std::string&) { FAIL(); });
        env.advance(0.5);
        EXPECT_DOUBLE_EQ(env.now(), 0.5);
    }
    EXPECT_FALSE(std::filesystem::exists(docs));
    Environment env;
    EXPECT_DOUBLE_EQ(env.now(), 0.0);
    EXPECT_NE(env.documents(), docs);
    EXPECT_EQ(RunLoop::main().pendingCount(), 0u);
    NotificationCenter::defaultCenter().postNotificationName("n");
    env.advance(2);
    EXPECT_FALSE(Application::sharedApplication().isTerminating());
}

}  // namespace
