// The shell: start-up, the intro's fade-in, pulse and dismissal, the menu's pages, information pages and
// more-games control, the road into a game and back, the slot cache, and the orientation answer of every screen.

#include "AppFixture.h"

#include <filesystem>
#include <fstream>
#include <set>

#include "games/egg/YolkfallViewController.h"
#include "platform/Image.h"
#include "platform/Notification.h"
#include "services/GamesResultViewController.h"

namespace plumbrick::test {
namespace {

using platform::AffineTransform;
using platform::ImageView;

// The menu's control with that tag: 1 to 6 the information controls, 0 the more-games control.
Control* menuControl(MainMenuViewController& menu, int tag) {
    for (const auto& v : menu.view()->subviews())
        if (auto* c = dynamic_cast<Control*>(v.get()); c && c->tag() == tag) return c;
    return nullptr;
}

TEST_F(AppTest, StartUpShowsOnlyTheIntroAndLeavesTheMenuUnloaded) {
    EXPECT_TRUE(delegate->window()->isKeyWindow());
    EXPECT_EQ(delegate->window()->subviews().at(0).get(), root->view());
    EXPECT_EQ(stack(), Views{intro().view()});
    ASSERT_NE(root->getViewControllerMenu(), nullptr);
    EXPECT_FALSE(menu().isViewLoaded());
    for (int slot = 1; slot <= 6; ++slot) EXPECT_EQ(root->getViewControllerGame(slot), nullptr);
}

TEST_F(AppTest, TheIntroFadesInThenThePromptPulses127Times) {
    View& introView = *intro().view();
    platform::ImageView& prompt = *intro().getIvContinue();
    EXPECT_NEAR(introView.presentationAlpha(), 0.0, 1e-9);
    env.advance(0.04);
    EXPECT_NEAR(introView.presentationAlpha(), 0.5, 0.45) << "half-way through the 0.08 s fade-in";
    EXPECT_FALSE(prompt.layer().hasAnimations()) << "the prompt waits for the fade-in";
    // From the fade-in's end the prompt rises to 1 over 1.5 s and falls back over the next 1.5 s.
    for (int i = 0; i < 4; ++i) {
        env.advance(i ? 1.5 : 0.04);
        EXPECT_NEAR(prompt.presentationAlpha(), i % 2, 1e-6) << i;
    }
    EXPECT_NEAR(introView.presentationAlpha(), 1.0, 1e-9);
    env.advance(375.75);   // 127 round trips of 3 s end at 381.08 s
    EXPECT_TRUE(prompt.layer().hasAnimations());
    env.advance(1.0);
    EXPECT_FALSE(prompt.layer().hasAnimations());
    EXPECT_DOUBLE_EQ(prompt.presentationAlpha(), 1.0);
}

// Counts the intro's calls to its root and passes them on.
struct CountingRoot : VCRootControllerProtocol {
    explicit CountingRoot(VCRootControllerProtocol* next) : next(next) {}
    void switchInfoFromGame(const std::string&) override {}
    void switchInfoFromMenu(int) override {}
    void switchGameFromMenu(int) override {}
    void switchMenuFromGame(platform::ViewController*) override {}
    void switchToIntro() override { ++calls, next->switchToIntro(); }
    void switchToViewWithIdentifierid() override {}
    VCRootControllerProtocol* next;
    int calls = 0;
};

// A touch during the fade-in or while pulsing: the intro goes, the menu comes up with its six pages,
// and no pulsing starts afterwards.
class IntroDismissal : public AppTest, public ::testing::WithParamInterface<double> {};

TEST_P(IntroDismissal, TouchDismissesOnceAndBringsUpTheMenuWithSixPages) {
    CountingRoot counting(root);
    intro().setIdParentController(&counting);
    env.advance(GetParam());
    EXPECT_EQ(touch({240, 160}), nullptr);   // the intro has no control: the touch goes to its view
    EXPECT_EQ(stack(), Views{menu().view()});
    env.advance(1.0);   // the fade-in's end, if still due, finds the flag and starts nothing
    EXPECT_FALSE(intro().getIvContinue()->layer().hasAnimations());
    EXPECT_EQ(stack(), Views{menu().view()});
    EXPECT_EQ(counting.calls, 1);

    platform::ScrollView& strip = *menu().getMenuScrolView();
    std::vector<double> xs;
    for (const auto& page : strip.subviews()) {
        xs.push_back(page->frame().origin.x);
        auto* picture = dynamic_cast<ImageView*>(page->subviews().at(0)->subviews().at(0).get());
        ASSERT_NE(picture, nullptr);
        ASSERT_TRUE(picture->image());
        EXPECT_EQ(picture->image()->name(), "menu_0" + std::to_string(page->tag()) + ".png");
    }
    EXPECT_EQ(xs, (std::vector<double>{63, 543, 1023, 1503, 1983, 2463}));
    EXPECT_DOUBLE_EQ(strip.contentSize().width, 2880);
}

INSTANTIATE_TEST_SUITE_P(DuringFadeInAndWhilePulsing, IntroDismissal, ::testing::Values(0.03, 2.2));

TEST_F(AppTest, IntoAGameFromPageThreeAndBackToTheMenuThenTheSameGameAgain) {
    dismissIntro();
    View* menuView = menu().view();
    menu().getMenuScrolView()->setContentOffset({960, 0});
    touch({240, 150});
    auto* game = dynamic_cast<YolkfallViewController*>(root->getViewControllerGame(3));
    ASSERT_NE(game, nullptr);
    View* gameView = game->view();
    View* button = gameView->viewWithTag(PlumbrickViewController::kMenuButtonTag);
    ASSERT_NE(button, nullptr);
    const double h = button->frame().size.height;
    const AffineTransform startScale = AffineTransform::makeScale(0.7, 0.7);
    // Entering: on top of the menu, drawn from alpha 0 and scale 0.7; after 0.75 s the menu goes and the
    // menu-button view slides up by its own height over 0.4 s.
    auto expectEntrance = [&] {
        EXPECT_EQ(stack(), (Views{menuView, gameView}));
        EXPECT_NEAR(gameView->presentationAlpha(), 0.0, 1e-9);
        EXPECT_EQ(gameView->presentationTransform(), startScale);
        env.advance(0.74);
        EXPECT_EQ(stack(), (Views{menuView, gameView}));
        env.advance(0.01);
        EXPECT_EQ(stack(), Views{gameView});
        env.advance(0.4);
        EXPECT_EQ(button->presentationTransform(), AffineTransform::makeTranslation(0, -h));
    };
    expectEntrance();

    // Leaving a playing round: paused, the button drops to (0, +h) over 0.4 s, then the menu goes in
    // behind and the game fades out over 0.75 s.
    game->pressBtStartGameA(nullptr);
    env.advance(1.0);
    ASSERT_EQ(game->getState(), YolkfallViewController::kPlaying);
    ASSERT_TRUE(platform::pressKey(*gameView, "escape"));
    EXPECT_EQ(game->getState(), YolkfallViewController::kPaused);
    EXPECT_EQ(button->transform(), AffineTransform::makeTranslation(0, h));
    env.advance(0.4);
    EXPECT_EQ(stack(), (Views{menuView, gameView}));
    EXPECT_DOUBLE_EQ(gameView->alpha(), 0.0);
    EXPECT_NEAR(gameView->presentationAlpha(), 1.0, 1e-9);
    env.advance(0.75);
    EXPECT_EQ(stack(), Views{menuView});

    // Again: the same controller and view, still holding its paused round, entering from the start.
    touch({240, 150});
    EXPECT_EQ(root->getViewControllerGame(3), game);
    EXPECT_EQ(game->getState(), YolkfallViewController::kPaused);
    expectEntrance();
}

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

TEST_F(AppTest, EachSlotMakesItsOwnGameAndEveryScreenTurnsToLandscapeRightOnly) {
    dismissIntro();
    for (int slot : {0, 7}) {
        root->switchGameFromMenu(slot);
        EXPECT_EQ(stack(), Views{menu().view()}) << slot;
        EXPECT_EQ(root->getNumGameItem(), 0) << slot;
    }
    root->switchInfoFromGame("Yolkfall.v1");
    std::vector<platform::ViewController*> screens{root, &intro(), &menu(), root->getViewControllerGamesResult()};
    root->getViewControllerGamesResult()->btBack(nullptr);
    for (int slot = 1; slot <= 6; ++slot) {
        EXPECT_EQ(root->getViewControllerGame(slot), nullptr) << "made only when chosen";
        root->switchGameFromMenu(slot);
        platform::ViewController* game = root->getViewControllerGame(slot);
        ASSERT_NE(game, nullptr) << slot;
        EXPECT_EQ(game->nibName(), PlumbrickViewController::gameSlots()[slot - 1].layoutName);
        screens.push_back(game);
    }
    EXPECT_EQ(std::set(screens.begin(), screens.end()).size(), 10u);
    for (auto* screen : screens)
        for (int orientation = 0; orientation <= 5; ++orientation)
            EXPECT_EQ(screen->shouldAutorotateToInterfaceOrientation(orientation), orientation == 3) << orientation;
}

TEST_F(AppTest, InformationControlsOpenTheirPageWhichATouchDownRemovesAndPagesStack) {
    dismissIntro();
    for (int tag = 1; tag <= 6; ++tag) {
        Control* control = menuControl(menu(), tag);
        ASSERT_NE(control, nullptr) << tag;
        EXPECT_EQ(touch({control->frame().midX(), control->frame().midY()}), control);
        ASSERT_EQ(stack().size(), 2u) << tag;
        auto* picture = stack()[1]->viewWithTagAs<ImageView>(tag);
        ASSERT_NE(picture, nullptr) << tag;
        ASSERT_TRUE(picture->image()) << tag;
        EXPECT_EQ(picture->image()->name(), "info_0" + std::to_string(tag) + ".png");
        if (tag < 6) touch({10, 10}, false);   // touch-down is enough
    }
    View* page6 = stack()[1];
    root->switchInfoFromMenu(3);   // a second page over the sixth, asked of the root
    ASSERT_EQ(stack().size(), 3u);
    touch({10, 10}, false);   // each page goes with its own touch, the top one first
    EXPECT_EQ(stack(), (Views{menu().view(), page6}));
    touch({10, 10}, false);
    EXPECT_EQ(stack(), Views{menu().view()});
}

TEST_F(AppTest, MoreGamesTakesTheMenuOffAndEndsTheApplicationThroughTheStoreLink) {
    dismissIntro();
    int posted = 0, postedWithMenuOnScreen = 0;
    platform::NotificationCenter::defaultCenter().addObserver(
        this, platform::ApplicationWillTerminateNotification,
        [&](const std::string&) { ++posted, postedWithMenuOnScreen += menu().view()->superview() != nullptr; });
    Control* more = menuControl(menu(), 0);
    ASSERT_NE(more, nullptr);
    EXPECT_EQ(touch({more->frame().midX(), more->frame().midY()}), more);
    EXPECT_TRUE(stack().empty());
    EXPECT_EQ(env.openedURLs(), std::vector<std::string>{kMoreGamesURL});
    EXPECT_EQ(std::string(kMoreGamesURL).rfind("https://example.com/", 0), 0u);
    EXPECT_EQ(posted, 1);
    EXPECT_EQ(postedWithMenuOnScreen, 0);
    EXPECT_TRUE(app().isTerminating());
    EXPECT_TRUE(env.stopped());
    platform::NotificationCenter::defaultCenter().removeObserver(this);
}

}   // namespace
}   // namespace plumbrick::test

// A save cut short leaves a temporary file beside the one it replaces; it goes when the program starts, before
// any game screen opens, and the saved files stay.
class StartWithLeftovers : public plumbrick::test::AppTest {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder);
        std::ofstream(folder + "/.Tinmarsh.result.tmp.Ab12Cd") << "half a file";
        std::ofstream(folder + "/Tinmarsh.result") << "kept";
        plumbrick::test::AppTest::SetUp();
    }
    const std::string folder = env.documents() + "/Quillfen";
};

TEST_F(StartWithLeftovers, AStartRemovesTheTemporariesAndKeepsTheFiles) {
    EXPECT_FALSE(std::filesystem::exists(folder + "/.Tinmarsh.result.tmp.Ab12Cd"));
    EXPECT_TRUE(std::filesystem::exists(folder + "/Tinmarsh.result"));
}
