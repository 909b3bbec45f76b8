// Screens destroyed in the middle of transitions, animations and rounds: nothing calls into them afterwards
// (AddressSanitizer reports any such call), and the run loop is left with nothing of theirs to do.

#include "app_fixture.h"

#include <memory>

#include "platform/Notification.h"
#include "platform/RunLoop.h"

namespace plumbrick::testing {
namespace {

class Teardown : public AppTest {
protected:
    // The application forgets its delegate: the root controller and every screen it owns go.
    void destroyScreens() {
        const platform::Lifetime::Watch rootAlive = root->lifetime().watch();
        app().reset();
        root = nullptr;
        delegate = nullptr;
        ASSERT_TRUE(rootAlive.gone());
    }
    // The clock runs on past every animation end and round timer, and the will-terminate notification goes out:
    // nothing is called, nothing stays due.
    void expectNothingCalledBack() {
        env.advance(400);   // past the intro's last pulse
        EXPECT_EQ(platform::RunLoop::main().pendingCount(), 0u);
        platform::NotificationCenter::defaultCenter().postNotificationName(
            platform::ApplicationWillTerminateNotification);
        EXPECT_TRUE(env.logLines().empty());
    }
    // Into the game of the menu's first page (the egg game), which grows in over 0.75 s.
    View* enterGame() {
        dismissIntro();
        touch({240, 150});
        return root->getViewControllerGame(1)->view();
    }
};

TEST_F(Teardown, DuringTheIntrosFadeIn) {
    env.advance(0.04);
    destroyScreens();
    expectNothingCalledBack();
}

TEST_F(Teardown, WhileAGameGrowsInOverTheMenu) {
    enterGame();
    env.advance(0.3);
    destroyScreens();
    expectNothingCalledBack();
}

TEST_F(Teardown, WhileAGameFadesOutToTheMenu) {
    View* gameView = enterGame();
    env.advance(2.0);
    ASSERT_TRUE(platform::pressKey(*gameView, "escape"));
    env.advance(0.6);   // the button is down; the game fades out
    destroyScreens();
    expectNothingCalledBack();
}

// A round's timers run on the game's controller; its view, kept by someone else, still has the controls bound
// to the controller's actions. Every slot: each game's own layout loads with the names its controller binds.
class TeardownInARound : public Teardown, public ::testing::WithParamInterface<int> {};

TEST_P(TeardownInARound, StopsTheTimersAndTheControlsOfTheGoneGame) {
    dismissIntro();
    root->switchGameFromMenu(GetParam());
    std::shared_ptr<View> kept = root->getViewControllerGame(GetParam())->viewShared();
    env.advance(2.0);
    ASSERT_TRUE(platform::pressKey(*kept, "2"));
    env.advance(3.0);
    destroyScreens();
    EXPECT_EQ(platform::RunLoop::main().pendingCount(), 0u) << "the round's timers went with the game";
    for (const char* key : {"2", "space", "escape", "i"}) platform::pressKey(*kept, key);
    expectNothingCalledBack();
}

INSTANTIATE_TEST_SUITE_P(EveryGame, TeardownInARound, ::testing::Range(1, 7));

}   // namespace
}   // namespace plumbrick::testing
