// Pointer and keys on the whole application: the intro takes any touch or Return, the menu strip follows
// drags and the wheel and settles on whole pages, a drag is never a press, a tap on a page opens its game.

#include <gtest/gtest.h>

#include "app/IntroViewController.h"
#include "app/MainMenuViewController.h"
#include "app/PlumbrickAppDelegate.h"
#include "app/PlumbrickViewController.h"
#include "platform/Application.h"
#include "tests/sdl/TestSupport.h"
#include "tools/screenshot/ScreenDriver.h"

using namespace platform;
using plumbrick::tools::ScreenDriver;

namespace {

plumbrick::PlumbrickViewController& rootController() {
    auto* delegate = dynamic_cast<plumbrick::PlumbrickAppDelegate*>(Application::sharedApplication().delegate());
    return *dynamic_cast<plumbrick::PlumbrickViewController*>(delegate->viewController());
}

bool onScreen(platform::ViewController* vc) { return vc && vc->isViewLoaded() && vc->view()->superview(); }

}  // namespace

class InputTest : public ::testing::Test {
protected:
    void SetUp() override { sdltest::useDummyDrivers(); }
    ScrollView& strip() { return *rootController().getViewControllerMenu()->getMenuScrolView(); }
    void drag(Point from, Point to) {
        auto& in = driver.input();
        in.press(driver.root(), from);
        for (int i = 1; i <= 4; ++i)
            in.move(driver.root(), {from.x + (to.x - from.x) * i / 4, from.y + (to.y - from.y) * i / 4});
        in.release(driver.root(), to);
    }
    ScreenDriver driver;
};

TEST_F(InputTest, APressAnywhereOnTheIntroBringsUpTheMenu) {
    driver.intro();
    ASSERT_TRUE(onScreen(rootController().getViewControllerIntro()));
    driver.input().press(driver.root(), {40, 300});
    driver.input().release(driver.root(), {40, 300});
    EXPECT_FALSE(onScreen(rootController().getViewControllerIntro()));
    EXPECT_TRUE(onScreen(rootController().getViewControllerMenu()));
}

TEST_F(InputTest, ReturnDismissesTheIntroOnly) {
    driver.intro();
    EXPECT_TRUE(driver.key("return"));
    EXPECT_TRUE(onScreen(rootController().getViewControllerMenu()));
    // On the menu the middle is a game picture, a control: Return does not touch it.
    EXPECT_FALSE(driver.key("return"));
    EXPECT_EQ(rootController().getViewControllerGame(1), nullptr);
}

TEST_F(InputTest, DragsTurnPagesOrSpringBackAndNeverPressThePicture) {
    driver.dismissIntro();
    ASSERT_EQ(strip().contentOffset().x, 0);
    drag({300, 147}, {120, 147});   // more than a sixth of a page to the left
    EXPECT_TRUE(driver.input().isAnimating());
    driver.advance(0.5);
    EXPECT_EQ(strip().contentOffset().x, 480);
    EXPECT_EQ(rootController().getViewControllerGame(1), nullptr) << "a drag is not a tap";
    EXPECT_EQ(rootController().getViewControllerGame(2), nullptr);

    drag({200, 147}, {240, 147});   // too short: back to the same page
    driver.advance(0.5);
    EXPECT_EQ(strip().contentOffset().x, 480);

    drag({100, 147}, {400, 147});   // back one page
    driver.advance(0.5);
    EXPECT_EQ(strip().contentOffset().x, 0);
    drag({100, 147}, {400, 147});   // nothing before the first page
    driver.advance(0.5);
    EXPECT_EQ(strip().contentOffset().x, 0);
}

TEST_F(InputTest, TheStripFollowsThePointerWhileDragged) {
    driver.dismissIntro();
    auto& in = driver.input();
    in.press(driver.root(), {300, 147});
    in.move(driver.root(), {290, 147});   // past the threshold: the drag starts here
    in.move(driver.root(), {250, 147});
    EXPECT_TRUE(in.isDragging());
    EXPECT_EQ(strip().contentOffset().x, 40);
    in.release(driver.root(), {250, 147});
    driver.advance(0.5);
    EXPECT_EQ(strip().contentOffset().x, 0);
}

TEST_F(InputTest, TheWheelAndArrowKeysTurnWholePages) {
    driver.dismissIntro();
    auto& in = driver.input();
    EXPECT_TRUE(in.wheel(driver.root(), {240, 147}, 1));
    EXPECT_TRUE(in.wheel(driver.root(), {240, 147}, 1));   // counts on from where the strip is going
    driver.advance(0.5);
    EXPECT_EQ(strip().contentOffset().x, 960);
    in.wheel(driver.root(), {240, 147}, -1);
    driver.advance(0.5);
    EXPECT_EQ(strip().contentOffset().x, 480);
    for (int i = 0; i < 8; ++i) driver.key("right");
    driver.advance(0.5);
    EXPECT_EQ(strip().contentOffset().x, 2400) << "the sixth page is the last";
    driver.key("left");
    driver.advance(0.5);
    EXPECT_EQ(strip().contentOffset().x, 1920);
    EXPECT_FALSE(in.wheel(driver.root(), {240, 305}, 1)) << "below the strip there is nothing to scroll";
}

TEST_F(InputTest, ATapOnAPagePictureOpensThatSlotsGame) {
    driver.dismissIntro();
    driver.menuPage(1);
    driver.tap({240, 147});
    driver.advance(1.5);
    ASSERT_NE(rootController().getViewControllerGame(1), nullptr);
    EXPECT_TRUE(onScreen(rootController().getViewControllerGame(1)));
    EXPECT_FALSE(onScreen(rootController().getViewControllerMenu()));
}

TEST_F(InputTest, AnInfoPageThatRemovesItselfOnTouchDownSurvivesTheRelease) {
    driver.dismissIntro();
    View& root = *rootController().view();
    std::size_t screens = root.subviews().size();
    driver.tap({45, 307});   // the first information control
    ASSERT_EQ(root.subviews().size(), screens + 1);
    auto& in = driver.input();
    in.press(driver.root(), {240, 160});   // touch-down removes the page, and with it the control
    EXPECT_EQ(root.subviews().size(), screens);
    EXPECT_EQ(in.heldControl(), nullptr);
    in.release(driver.root(), {240, 160});
    EXPECT_EQ(rootController().getViewControllerGame(1), nullptr) << "the release went nowhere";
}
