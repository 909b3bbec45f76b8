// SDL finger events through the window: the first finger drags the menu strip, a lost focus forgets every finger,
// and with a thumb's reach set a finger beside the screen reaches the nearest control, each finger holding its own.

#include "input_fixture.h"

using namespace platform;
using plumbrick::YolkfallViewController;

namespace {

// A finger at point p of the 480 x 320 screen, as SDL reports it: a fraction of the window.
SDL_Event finger(Uint32 type, SDL_FingerID id, Point p) {
    SDL_Event e{};
    e.tfinger = {type, 0, 1, id, float(p.x / 480), float(p.y / 320), 0, 0, 0, 0};
    return e;
}

}   // namespace

using TouchTest = InputFixture;

TEST_F(TouchTest, TheFirstFingerSwipesTheMenuStripByWholePagesAndTapsDismissTheIntro) {
    driver.intro();
    send(finger(SDL_FINGERDOWN, 5, {40, 300}));
    send(finger(SDL_FINGERUP, 5, {40, 300}));
    ASSERT_EQ(root().getViewControllerIntro()->view()->superview(), nullptr) << "a tap dismisses the intro";
    send(finger(SDL_FINGERDOWN, 5, {400, 147}));
    for (int x = 360; x >= 200; x -= 40) send(finger(SDL_FINGERMOTION, 5, {double(x), 147}));
    send(finger(SDL_FINGERUP, 5, {200, 147}));
    for (int i = 0; i < 36; ++i) {   // the window's own settling motion, a frame at a time
        driver.advance(1.0 / 60);
        desktop.input().step();
    }
    EXPECT_EQ(stripOffset(), 480) << "a swipe to the left turns one page";
    for (int slot = 1; slot <= 6; ++slot) EXPECT_EQ(root().getViewControllerGame(slot), nullptr) << "nothing opened";
}

TEST_F(TouchTest, LosingFocusForgetsEveryFingerWithoutATouchUp) {
    openGame(1);
    send(finger(SDL_FINGERDOWN, 1, centreOf("a")));
    send(finger(SDL_FINGERDOWN, 2, centreOf("1")));
    send(windowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
    EXPECT_EQ(desktop.input().fingersDown(), 0) << "every finger forgotten";
    EXPECT_FALSE(controlForKey(driver.root(), "1")->isHighlighted()) << "no control left highlighted";
    send(finger(SDL_FINGERUP, 2, centreOf("1")));
    EXPECT_EQ(state(1), YolkfallViewController::kIdle) << "a forgotten finger's lift starts nothing";
}

// A thumb's reach, as the browser page sets it on a phone (44 CSS pixels at 1.22 pixels a point).
constexpr double kThumb = 36;

// GAME B and PAUSE reached from beside the screen are the page test's steps (tests/web/page.test.mjs).
TEST_F(TouchTest, AThumbBesideTheScreenReachesTheNearestControlOnItsSideAtItsHeight) {
    openGame(1);
    driver.startRound(1.0);
    ASSERT_TRUE(isPlaying(1));
    desktop.input().setTouchReach(kThumb);
    send(finger(SDL_FINGERDOWN, 7, {-30, 200}));   // left, at the lower left basket button's height
    EXPECT_EQ(basket(), 1);
    send(finger(SDL_FINGERDOWN, 9, {530, 118}));   // right, at the upper right one's, the left thumb held
    EXPECT_EQ(basket(), 3);
    send(finger(SDL_FINGERUP, 9, {530, 118}));
    send(finger(SDL_FINGERUP, 7, {-30, 200}));
    send(finger(SDL_FINGERDOWN, 3, {-30, 160}));   // between the two left basket buttons: nothing there
    EXPECT_EQ(desktop.input().heldControl(), nullptr);
    send(finger(SDL_FINGERUP, 3, {-30, 160}));
}
