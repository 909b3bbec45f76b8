// The shell: the intro's dismissal, transitions overtaken by the next, information pages, the more-games
// control and the statistics screen.

#include "app_fixture.h"

#include "platform/Control.h"
#include "platform/Image.h"
#include "platform/ImageView.h"
#include "platform/Label.h"
#include "platform/Notification.h"
#include "services/GamesResultViewController.h"
#include "services/VCGamesResult.h"
#include "tests/support/recording_root.h"

namespace plumbrick::testing {
namespace {

using platform::ImageView;

// The menu's control with that tag: 1 to 6 the information controls, 0 MORE GAMES.
Control* menuControl(MainMenuViewController& menu, int tag) {
    for (const auto& v : menu.view()->subviews())
        if (auto* c = dynamic_cast<Control*>(v.get()); c && c->tag() == tag) return c;
    return nullptr;
}

// A touch during the fade-in or while pulsing asks the root once to bring up the menu, and no pulsing starts
// afterwards.
class IntroDismissal : public AppTest, public ::testing::WithParamInterface<double> {};

TEST_P(IntroDismissal, TouchAsksTheRootOnceAndNoPulsingStartsAfterwards) {
    plumbrick::testing::RecordingRoot recording;
    intro().setIdParentController(&recording);
    env.advance(GetParam());
    EXPECT_EQ(touch({240, 160}), nullptr);   // the intro has no control: the touch goes to its view
    env.advance(1.0);                        // the fade-in's end, if still due, finds the flag and starts nothing
    EXPECT_FALSE(intro().getIvContinue()->layer().hasAnimations());
    EXPECT_EQ(recording.calls, std::vector<std::string>{"switchToIntro"});
}

INSTANTIATE_TEST_SUITE_P(DuringFadeInAndWhilePulsing, IntroDismissal, ::testing::Values(0.03, 2.2));

// A transition begun before the one before it has ended wins: the overtaken one's end callback must
// not take away the menu that comes back, nor the game that is entered again.
TEST_F(AppTest, OvertakenTransitionsLeaveTheScreenOfTheLastOne) {
    dismissIntro();
    View* menuView = menu().view();
    touch({240, 150});
    View* gameView = root->getViewControllerGame(1)->view();
    env.advance(0.3);
    ASSERT_TRUE(platform::pressKey(*gameView, "escape"));   // the menu key while the game grows in
    env.advance(3);
    EXPECT_EQ(stack(), Views{menuView});
    touch({240, 150});
    env.advance(2);
    ASSERT_TRUE(platform::pressKey(*gameView, "escape"));
    env.advance(0.6);
    touch({240, 150});   // the same page again while the game fades out over it
    env.advance(3);
    EXPECT_EQ(stack(), Views{gameView});
    ASSERT_TRUE(platform::pressKey(*gameView, "escape"));
    env.advance(0.6);
    menu().getMenuScrolView()->setContentOffset({960, 0});
    touch({240, 150});   // another page while it fades out: the faded game still goes
    env.advance(3);
    EXPECT_EQ(stack(), Views{root->getViewControllerGame(3)->view()});
}

TEST_F(AppTest, AnInformationControlOpensItsPageWhichATouchDownRemoves) {
    dismissIntro();
    Control* control = menuControl(menu(), 2);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(touch({control->frame().midX(), control->frame().midY()}), control);
    ASSERT_EQ(stack().size(), 2u);
    auto* picture = stack()[1]->viewWithTagAs<ImageView>(2);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->image()->name(), "info_02.png");
    touch({10, 10}, false);   // touch-down is enough
    EXPECT_EQ(stack(), Views{menu().view()});
}

// MORE GAMES without a home page configured. With one, DesktopTest.MoreGamesHandsTheHomePageToTheOpener...
// (test_sdl) clicks it in the window.
class NoHomePageTest : public AppTest {
protected:
    void SetUp() override {
        setHomePage({});
        AppTest::SetUp();
    }
    void TearDown() override { setHomePage(saved); }
    std::string saved = homePage();
};

TEST_F(NoHomePageTest, MoreGamesIsHiddenAndItsPlaceOpensNothing) {
    dismissIntro();
    Control* more = menuControl(menu(), 0);
    ASSERT_NE(more, nullptr);
    EXPECT_TRUE(more->isHidden());
    EXPECT_NE(touch({more->frame().midX(), more->frame().midY()}), more);
    EXPECT_TRUE(env.openedURLs().empty());
    EXPECT_EQ(stack(), Views{menu().view()});
}

using platform::Label;
using platform::TableView;

// 14:05 on 3 February 2011 in Berlin (13:05 UTC).
constexpr double kFebruaryThird1405 = 1296738300.0;

class StatisticsTest : public AppTest {
protected:
    // Records a round of `gameId` in the results file, begun and ended at the given wall-clock time.
    void recordRound(const std::string& gameId, double wallClock, int score) {
        env.clock().setWallBase(wallClock - env.now());
        VCGamesResult store(gameId);
        store.Load();
        store.NewGame();
        store.EndGame(12, score, 1);
    }
    TableView& table() { return *root->getViewControllerGamesResult()->getTbStatistic(); }
    // The texts of the label with that tag (2 the date, 5 the score), row by row.
    std::vector<std::string> column(int tag) {
        std::vector<std::string> texts;
        for (int row = 0; row < table().numberOfRows(); ++row) {
            auto* label = table().cellForRow(row) ? table().cellForRow(row)->viewWithTagAs<Label>(tag) : nullptr;
            texts.push_back(label ? label->text() : "<none>");
        }
        return texts;
    }
};

TEST_F(StatisticsTest, TheScreenListsTheGamesRoundsHighestScoreFirstWithLocalDates) {
    recordRound("Yolkfall.v1", kFebruaryThird1405, 7);
    recordRound("Yolkfall.v1", kFebruaryThird1405 + 86460, 57);
    recordRound("Antlerby.v1", kFebruaryThird1405, 55);
    root->switchInfoFromGame("Yolkfall.v1");
    EXPECT_EQ(column(2), (std::vector<std::string>{"04.02.2011 14:06", "03.02.2011 14:05"}));
    EXPECT_EQ(column(5), (std::vector<std::string>{"57", "7"}));
}

}   // namespace
}   // namespace plumbrick::testing
