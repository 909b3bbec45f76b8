// Slot 2 of the menu plays the cook game.
#include "games/cook/PanflipViewController.h"
#include "tests/app/app_fixture.h"

using namespace plumbrick;
using CookSlot = plumbrick::testing::AppTest;

TEST_F(CookSlot, SlotTwoOpensTheCookGame) {
    dismissIntro();
    menu().getMenuScrolView()->setContentOffset({480, 0});
    touch({240, 150});
    auto* cook = dynamic_cast<PanflipViewController*>(root->getViewControllerGame(2));
    ASSERT_NE(cook, nullptr);
    EXPECT_EQ(cook->getNameGame(), "Panflip.v1");
    EXPECT_EQ(cook->nibName(), "PanflipViewController");
}
