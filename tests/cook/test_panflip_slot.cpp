// Slot 2 of the menu plays the cook game, and leaving it for the menu keeps the same controller waiting.
#include "games/cook/PanflipViewController.h"
#include "tests/app/AppFixture.h"

using namespace plumbrick;
using platform::View;

namespace {
using CookSlot = plumbrick::test::AppTest;
}

TEST_F(CookSlot, SlotTwoOpensTheCookGameAndKeepsItWhenLeft) {
    dismissIntro();
    menu().getMenuScrolView()->setContentOffset({480, 0});
    touch({240, 150});
    auto* cook = dynamic_cast<PanflipViewController*>(root->getViewControllerGame(2));
    ASSERT_NE(cook, nullptr);
    EXPECT_EQ(cook->getNameGame(), "Panflip.v1");
    EXPECT_EQ(cook->nibName(), "PanflipViewController");
    env.advance(1.2);
    EXPECT_EQ(stack(), std::vector<View*>{cook->view()});

    ASSERT_TRUE(platform::pressKey(*delegate->window(), "2"));   // a round, then the menu key holds it
    env.advance(2.0);
    ASSERT_TRUE(platform::pressKey(*delegate->window(), "escape"));
    EXPECT_EQ(cook->getState(), PanflipViewController::kPaused);
    env.advance(1.2);
    EXPECT_EQ(stack(), std::vector<View*>{menu().view()});

    root->switchGameFromMenu(2);
    EXPECT_EQ(root->getViewControllerGame(2), cook);
    env.advance(1.2);
    EXPECT_EQ(stack(), std::vector<View*>{cook->view()});
    EXPECT_EQ(cook->getState(), PanflipViewController::kPaused);
}
