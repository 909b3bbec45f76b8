// Slot 2 of the menu plays the cook game, and leaving it for the menu keeps the same controller waiting.
#include "games/cook/PanflipViewController.h"
#include "tests/app/AppFixture.h"

using namespace plumbrick;
using CookSlot = plumbrick::test::AppTest;
using Views = std::vector<platform::View*>;

TEST_F(CookSlot, SlotTwoOpensTheCookGameAndKeepsItWhenLeft) {
    dismissIntro();
    menu().getMenuScrolView()->setContentOffset({480, 0});
    touch({240, 150});
    auto* cook = dynamic_cast<PanflipViewController*>(root->getViewControllerGame(2));
    ASSERT_NE(cook, nullptr);
    EXPECT_EQ(cook->getNameGame(), "Panflip.v1");
    EXPECT_EQ(cook->nibName(), "PanflipViewController");
    env.advance(1.2);
    EXPECT_EQ(stack(), Views{cook->view()});
    ASSERT_TRUE(platform::pressKey(*delegate->window(), "2"));   // a round, then the menu key holds it
    env.advance(2.0);
    ASSERT_TRUE(platform::pressKey(*delegate->window(), "escape"));
    env.advance(1.2);
    EXPECT_EQ(cook->getState(), PanflipViewController::kPaused);
    EXPECT_EQ(stack(), Views{menu().view()});
    root->switchGameFromMenu(2);
    env.advance(1.2);
    EXPECT_EQ(root->getViewControllerGame(2), cook);
    EXPECT_EQ(stack(), Views{cook->view()});
    EXPECT_EQ(cook->getState(), PanflipViewController::kPaused);
}
