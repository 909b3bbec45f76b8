// Touch screens: SDL finger events on the whole application through the window's event handling. Each finger
// holds the control it landed on (one thumb on each basket button), touch-up-inside needs the lift over the
// same control, the first finger drags the menu strip, and the mouse presses SDL makes up from touches are
// not taken a second time.

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>

#include "app/IntroViewController.h"
#include "app/MainMenuViewController.h"
#include "app/PlumbrickAppDelegate.h"
#include "app/PlumbrickViewController.h"
#include "games/egg/VCWolf.h"
#include "games/egg/YolkfallViewController.h"
#include "platform/Input.h"
#include "platform/sdl/Desktop.h"
#include "tools/screenshot/ScreenDriver.h"

using namespace platform;
using namespace platform::sdl;
using plumbrick::YolkfallViewController;

namespace {

[[maybe_unused]] const bool kDummy = setenv("SDL_VIDEODRIVER", "dummy", 0) + setenv("SDL_AUDIODRIVER", "dummy", 0);

// A finger at point p of the 480 x 320 screen, as SDL reports it: a fraction of the window.
SDL_Event finger(Uint32 type, SDL_FingerID id, Point p) {
    SDL_Event e{};
    e.tfinger.type = type;
    e.tfinger.touchId = 1;
    e.tfinger.fingerId = id;
    e.tfinger.x = float(p.x / 480);
    e.tfinger.y = float(p.y / 320);
    return e;
}

SDL_Event touchMouse(Uint32 type, Point p) {   // p in points, on the window at scale 2
    SDL_Event e{};
    e.button = {
        type,         0,           0, SDL_TOUCH_MOUSEID, SDL_BUTTON_LEFT, Uint8(type == SDL_MOUSEBUTTONDOWN), 1, 0,
        int(2 * p.x), int(2 * p.y)};
    return e;
}

}   // namespace

class TouchTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(desktop.open()); }

    plumbrick::PlumbrickViewController& root() {
        auto* delegate = dynamic_cast<plumbrick::PlumbrickAppDelegate*>(Application::sharedApplication().delegate());
        return *dynamic_cast<plumbrick::PlumbrickViewController*>(delegate->viewController());
    }
    double stripOffset() { return root().getViewControllerMenu()->getMenuScrolView()->contentOffset().x; }
    // Slot 1's game on screen, idle.
    YolkfallViewController& openGame() {
        driver.dismissIntro();
        driver.openGame(1);
        game = dynamic_cast<YolkfallViewController*>(root().getViewControllerGame(1));
        EXPECT_NE(game, nullptr);
        return *game;
    }
    // The centre of the control that a key names, in points.
    Point centreOf(const std::string& key) {
        Control* c = controlForKey(driver.root(), key);
        EXPECT_NE(c, nullptr) << key;
        return c->superview()->convertToRoot({c->frame().midX(), c->frame().midY()});
    }
    void send(const SDL_Event& e) { desktop.handleEvent(e); }

    Desktop desktop;
    plumbrick::tools::ScreenDriver driver;
    YolkfallViewController* game = nullptr;
};

TEST_F(TouchTest, EachFingerHoldsItsOwnBasketButtonAndLiftingOneLeavesTheOtherHeld) {
    openGame();
    send(finger(SDL_FINGERDOWN, 1, centreOf("2")));
    send(finger(SDL_FINGERUP, 1, centreOf("2")));
    ASSERT_EQ(game->getState(), YolkfallViewController::kPlaying);
    EXPECT_EQ(game->getTypeGame(), 2);

    Control* leftDown = controlForKey(driver.root(), "a");
    Control* rightUp = controlForKey(driver.root(), "p");
    send(finger(SDL_FINGERDOWN, 7, centreOf("a")));
    EXPECT_EQ(game->getWolf()->getPosBasket(), 1) << "the left thumb moved the basket down left";
    send(finger(SDL_FINGERDOWN, 9, centreOf("p")));
    EXPECT_EQ(desktop.input().fingersDown(), 2);
    EXPECT_EQ(game->getWolf()->getPosBasket(), 3) << "the right thumb, with the left still down, moved it up right";
    EXPECT_TRUE(leftDown->isHighlighted());
    EXPECT_TRUE(rightUp->isHighlighted());

    send(finger(SDL_FINGERUP, 9, centreOf("p")));
    EXPECT_FALSE(rightUp->isHighlighted());
    EXPECT_TRUE(leftDown->isHighlighted()) << "the left thumb is still down";
    send(finger(SDL_FINGERDOWN, 11, centreOf("a")));
    EXPECT_EQ(game->getWolf()->getPosBasket(), 1) << "a third finger presses while the first is held";
    send(finger(SDL_FINGERUP, 7, centreOf("a")));
    send(finger(SDL_FINGERUP, 11, centreOf("a")));
    EXPECT_FALSE(leftDown->isHighlighted());
    EXPECT_EQ(desktop.input().fingersDown(), 0);
    EXPECT_EQ(game->getState(), YolkfallViewController::kPlaying);
}

TEST_F(TouchTest, ASecondFingerActsOnReleaseOnlyOverTheControlItLandedOn) {
    openGame();
    send(finger(SDL_FINGERDOWN, 1, {240, 160}));   // the first finger rests on the face, away from controls
    send(finger(SDL_FINGERDOWN, 2, centreOf("1")));
    send(finger(SDL_FINGERUP, 2, {240, 200}));
    EXPECT_EQ(game->getState(), YolkfallViewController::kIdle) << "lifted away from the start button";
    send(finger(SDL_FINGERDOWN, 3, centreOf("1")));
    send(finger(SDL_FINGERUP, 3, centreOf("1")));
    EXPECT_EQ(game->getState(), YolkfallViewController::kPlaying);
    EXPECT_EQ(game->getTypeGame(), 1);
}

TEST_F(TouchTest, LosingFocusForgetsEveryFingerWithoutATouchUp) {
    openGame();
    send(finger(SDL_FINGERDOWN, 1, centreOf("a")));
    send(finger(SDL_FINGERDOWN, 2, centreOf("1")));
    SDL_Event focus{};
    focus.window = {SDL_WINDOWEVENT, 0, 0, SDL_WINDOWEVENT_FOCUS_LOST, 0, 0, 0, 0, 0};
    send(focus);
    EXPECT_EQ(desktop.input().fingersDown(), 0);
    EXPECT_FALSE(controlForKey(driver.root(), "1")->isHighlighted());
    send(finger(SDL_FINGERUP, 2, centreOf("1")));
    EXPECT_EQ(game->getState(), YolkfallViewController::kIdle) << "a forgotten finger's lift starts nothing";
}

TEST_F(TouchTest, MousePressesMadeUpFromTouchesAreNotTakenAgain) {
    openGame();
    for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) send(touchMouse(type, centreOf("1")));
    EXPECT_EQ(game->getState(), YolkfallViewController::kIdle);
}

TEST_F(TouchTest, TheFirstFingerSwipesTheMenuStripByWholePagesAndTapsDismissTheIntro) {
    driver.intro();
    send(finger(SDL_FINGERDOWN, 5, {40, 300}));
    send(finger(SDL_FINGERUP, 5, {40, 300}));
    ASSERT_EQ(root().getViewControllerIntro()->view()->superview(), nullptr) << "a tap dismisses the intro";
    send(finger(SDL_FINGERDOWN, 5, {400, 147}));
    for (int x = 360; x >= 200; x -= 40) send(finger(SDL_FINGERMOTION, 5, {double(x), 147}));
    send(finger(SDL_FINGERUP, 5, {200, 147}));
    driver.advance(0.1);
    for (int i = 0; i < 30; ++i) {   // the window's own settling motion, a frame at a time
        driver.advance(1.0 / 60);
        desktop.input().step();
    }
    EXPECT_EQ(stripOffset(), 480) << "a swipe to the left turns one page";
    for (int slot = 1; slot <= 6; ++slot) EXPECT_EQ(root().getViewControllerGame(slot), nullptr) << "nothing opened";
}
