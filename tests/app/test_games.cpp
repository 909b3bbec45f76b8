// The road into a game and back, the slot cache, slots that make no game, and the orientation answer
// of every screen.

#include "AppFixture.h"

#include "games/egg/YolkfallViewController.h"
#include "services/GamesResultViewController.h"

namespace plumbrick::test {
namespace {

using platform::AffineTransform;
using platform::Control;
using platform::View;

const AffineTransform kStartScale = AffineTransform::makeScale(0.7, 0.7);

// The first control inside the game's menu-button view.
Control* menuButton(View& gameView) {
    View* holder = gameView.viewWithTag(PlumbrickViewController::kMenuButtonTag);
    if (!holder) return nullptr;
    for (const auto& v : holder->subviews())
        if (auto* c = dynamic_cast<Control*>(v.get())) return c;
    return nullptr;
}

void press(Control& control) {
    control.sendActionsForControlEvents(platform::ControlEventTouchDown | platform::ControlEventTouchUpInside);
}

TEST_F(AppTest, IntoAGameFromPageThreeAndBackToTheMenu) {
    dismissIntro();
    View* menuView = menu().view();
    menu().getMenuScrolView()->setContentOffset({960, 0});
    touch({240, 150});

    // Entering: the game is made for slot 3, on top of the menu, drawn at alpha 0 and scale 0.7.
    auto* game = dynamic_cast<YolkfallViewController*>(root->getViewControllerGame(3));
    ASSERT_NE(game, nullptr);
    View* gameView = game->view();
    EXPECT_EQ(stack(), (std::vector<View*>{menuView, gameView}));
    EXPECT_EQ(root->getNumGameItem(), 3);
    EXPECT_NEAR(gameView->presentationAlpha(), 0.0, 1e-9);
    EXPECT_EQ(gameView->presentationTransform(), kStartScale);
    EXPECT_DOUBLE_EQ(gameView->alpha(), 1.0);
    EXPECT_TRUE(gameView->transform().isIdentity());
    for (int other : {1, 2, 4, 5, 6}) EXPECT_EQ(root->getViewControllerGame(other), nullptr);

    env.advance(0.74);
    EXPECT_EQ(stack(), (std::vector<View*>{menuView, gameView}));
    env.advance(0.01);
    // After 0.75 s the menu goes and the menu-button view starts its slide up by its own height.
    EXPECT_EQ(stack(), std::vector<View*>{gameView});
    EXPECT_NEAR(gameView->presentationAlpha(), 1.0, 1e-9);
    View* button = gameView->viewWithTag(10000);
    ASSERT_NE(button, nullptr);
    const double h = button->frame().size.height;
    EXPECT_EQ(button->transform(), AffineTransform::makeTranslation(0, -h));
    env.advance(0.4);
    EXPECT_EQ(button->presentationTransform(), AffineTransform::makeTranslation(0, -h));

    // A round is playing when the menu button is pressed.
    game->pressBtStartGameA(nullptr);
    env.advance(1.0);
    ASSERT_EQ(game->getState(), 1);
    Control* toMenu = menuButton(*gameView);
    ASSERT_NE(toMenu, nullptr);
    press(*toMenu);
    EXPECT_EQ(game->getState(), 2);

    // Leaving: the button drops to (0, +h) over 0.4 s, then the menu goes in behind and the game fades.
    EXPECT_EQ(button->transform(), AffineTransform::makeTranslation(0, h));
    EXPECT_EQ(stack(), std::vector<View*>{gameView});
    env.advance(0.4);
    EXPECT_EQ(stack(), (std::vector<View*>{menuView, gameView}));
    EXPECT_DOUBLE_EQ(gameView->alpha(), 0.0);
    EXPECT_EQ(gameView->transform(), kStartScale);
    EXPECT_NEAR(gameView->presentationAlpha(), 1.0, 1e-9);
    EXPECT_TRUE(gameView->presentationTransform().isIdentity());
    env.advance(0.75);
    EXPECT_EQ(stack(), std::vector<View*>{menuView});
    EXPECT_DOUBLE_EQ(menuView->alpha(), 1.0);
    EXPECT_DOUBLE_EQ(gameView->alpha(), 0.0);
    EXPECT_EQ(gameView->transform(), kStartScale);
    // The strip kept its place while the game was shown.
    EXPECT_EQ(menu().getMenuScrolView()->contentOffset(), (platform::Point{960, 0}));

    // Again: the same controller and view, still holding its paused round, entering from the start.
    touch({240, 150});
    EXPECT_EQ(root->getViewControllerGame(3), game);
    EXPECT_EQ(game->view(), gameView);
    EXPECT_EQ(game->getState(), 2);
    EXPECT_EQ(stack(), (std::vector<View*>{menuView, gameView}));
    EXPECT_NEAR(gameView->presentationAlpha(), 0.0, 1e-9);
    EXPECT_EQ(gameView->presentationTransform(), kStartScale);
    env.advance(0.75 + 0.4);
    EXPECT_EQ(stack(), std::vector<View*>{gameView});
    EXPECT_EQ(button->transform(), AffineTransform::makeTranslation(0, -h));
}

TEST_F(AppTest, EachSlotKeepsItsOwnGameAndASlotWithoutOneLeavesTheMenu) {
    dismissIntro();
    std::vector<platform::ViewController*> made;
    for (int slot = 1; slot <= 6; ++slot) {
        const GameSlot& row = PlumbrickViewController::gameSlots()[slot - 1];
        root->switchGameFromMenu(slot);
        platform::ViewController* game = root->getViewControllerGame(slot);
        if (!row.make) {
            // A game not built yet: no controller, and the menu stays as it was.
            EXPECT_EQ(game, nullptr) << slot;
            env.advance(2.0);
            EXPECT_EQ(stack(), std::vector<View*>{menu().view()}) << slot;
            continue;
        }
        ASSERT_NE(game, nullptr) << slot;
        EXPECT_EQ(game->nibName(), row.layoutName);
        if (auto* egg = dynamic_cast<YolkfallViewController*>(game)) {
            EXPECT_EQ(egg->getNameGame(), row.gameId);
        }
        EXPECT_EQ(root->getNumGameItem(), slot);
        made.push_back(game);
        env.advance(1.2);
        EXPECT_EQ(stack(), std::vector<View*>{game->view()});
        root->switchMenuFromGame(game);
        env.advance(1.2);
        EXPECT_EQ(stack(), std::vector<View*>{menu().view()});
    }
    EXPECT_GE(made.size(), 5u);
    for (std::size_t i = 0; i < made.size(); ++i)
        for (std::size_t j = i + 1; j < made.size(); ++j) EXPECT_NE(made[i], made[j]);
}

TEST_F(AppTest, SlotsOutsideOneToSixChangeNothing) {
    dismissIntro();
    for (int slot : {0, 7, -1}) {
        root->switchGameFromMenu(slot);
        EXPECT_EQ(stack(), std::vector<View*>{menu().view()}) << slot;
        EXPECT_EQ(root->getNumGameItem(), 0) << slot;
        for (int s = 1; s <= 6; ++s) EXPECT_EQ(root->getViewControllerGame(s), nullptr);
    }
    EXPECT_STREQ(PlumbrickViewController::gameSlots()[1].gameId, "Panflip.v1");
}

TEST_F(AppTest, EveryScreenAcceptsLandscapeRightOnly) {
    dismissIntro();
    root->switchGameFromMenu(1);
    root->switchInfoFromGame("Yolkfall.v1");
    std::vector<platform::ViewController*> screens{root, &intro(), &menu(), root->getViewControllerGamesResult(),
                                                   root->getViewControllerGame(1)};
    for (auto* screen : screens) {
        ASSERT_NE(screen, nullptr);
        for (int orientation = 0; orientation <= 5; ++orientation)
            EXPECT_EQ(screen->shouldAutorotateToInterfaceOrientation(orientation), orientation == 3) << orientation;
    }
    // The intro asks its view to redraw each time it is asked.
    const auto before = intro().view()->displayGeneration();
    intro().shouldAutorotateToInterfaceOrientation(3);
    EXPECT_GT(intro().view()->displayGeneration(), before);
}

}  // namespace
}  // namespace plumbrick::test
