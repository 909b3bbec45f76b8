// SDL finger events through the window: each finger holds the control it landed on, the first finger drags the
// menu strip, the mouse presses SDL makes up from touches are not taken a second time, and with a thumb's
// reach set a finger beside a control, or beside the screen, reaches it.

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

TEST_F(TouchTest, EachFingerHoldsItsOwnBasketButtonAndMousePressesMadeUpFromTouchesAreNotTakenAgain) {
    openGame(1);
    for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP})
        send(mouseButton(type, centreOf("1"), SDL_TOUCH_MOUSEID));
    EXPECT_EQ(state(1), YolkfallViewController::kIdle) << "SDL's mouse press made up from a touch";
    send(finger(SDL_FINGERDOWN, 1, centreOf("2")));
    send(finger(SDL_FINGERUP, 1, centreOf("2")));
    ASSERT_TRUE(isPlaying(1));
    Control* leftDown = controlForKey(driver.root(), "a");
    send(finger(SDL_FINGERDOWN, 7, centreOf("a")));
    EXPECT_EQ(basket(), 1) << "the left thumb moved the basket down left";
    send(finger(SDL_FINGERDOWN, 9, centreOf("p")));
    EXPECT_EQ(basket(), 3) << "the right thumb, with the left still down, moved it up right";
    EXPECT_EQ(desktop.input().fingersDown(), 2);
    send(finger(SDL_FINGERUP, 9, centreOf("p")));
    EXPECT_TRUE(leftDown->isHighlighted()) << "the left thumb is still down";
    send(finger(SDL_FINGERUP, 7, centreOf("a")));
    EXPECT_EQ(desktop.input().fingersDown(), 0);
}

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

TEST_F(TouchTest, AFingerReachesAControlWithinAThumbsWidthOfItsCentreAndTheMouseOnlyOnIt) {
    openGame(1);
    const Point aboveGameA{440, 11};   // GAME A is drawn from 14 to 42
    send(mouseButton(SDL_MOUSEBUTTONDOWN, aboveGameA));
    send(mouseButton(SDL_MOUSEBUTTONUP, aboveGameA));
    EXPECT_FALSE(isPlaying(1)) << "the mouse beside GAME A";
    send(finger(SDL_FINGERDOWN, 1, aboveGameA));
    send(finger(SDL_FINGERUP, 1, aboveGameA));
    EXPECT_FALSE(isPlaying(1)) << "a finger beside GAME A, no reach set";
    desktop.input().setTouchReach(kThumb);
    send(finger(SDL_FINGERDOWN, 1, aboveGameA));
    send(finger(SDL_FINGERUP, 1, aboveGameA));
    EXPECT_TRUE(isPlaying(1)) << "a finger beside GAME A, within a thumb's reach";
}

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
