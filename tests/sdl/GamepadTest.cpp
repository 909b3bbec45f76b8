// Gamepads, from synthesized controller events fed to the window: each button presses its control on the
// right face, the stick moves once per push, pads come and go during a round, and a pad SDL cannot open
// neither stops the program nor the pads that work.

#include <gtest/gtest.h>

#include "InputFixture.h"
#include "platform/Input.h"
#include "platform/sdl/Gamepad.h"

using namespace platform;
using plumbrick::PanflipViewController;
using plumbrick::YolkfallViewController;

namespace {

constexpr SDL_JoystickID kPad = 41;   // an instance id SDL never handed out: the events alone must do

SDL_Event button(int b, SDL_JoystickID pad = kPad) { return padButton(b, pad); }
SDL_Event release(int b, SDL_JoystickID pad = kPad) { return padButton(b, pad, SDL_CONTROLLERBUTTONUP); }
SDL_Event axis(int a, int value, SDL_JoystickID pad = kPad) { return padAxis(a, value, pad); }
SDL_Event device(Uint32 type, Sint32 which) {
    SDL_Event e{};
    e.cdevice = {type, 0, which};
    return e;
}

struct Presses {
    int count = 0;
    void add(View*) { ++count; }
};

}   // namespace

class GamepadTest : public InputFixture {
protected:
    void send(const SDL_Event& e) { desktop.handleEvent(e); }
    void tap(int b, SDL_JoystickID pad = kPad) {
        send(button(b, pad));
        send(release(b, pad));
        advance(0.1);
    }
    // The clock, and the window's own settling strip with it.
    void advance(double seconds) {
        driver.advance(seconds);
        desktop.input().step();
    }
    YolkfallViewController& egg() { return *dynamic_cast<YolkfallViewController*>(root().getViewControllerGame(1)); }
    PanflipViewController& cook() { return *dynamic_cast<PanflipViewController*>(root().getViewControllerGame(2)); }
    int basket() { return egg().getWolf()->getPosBasket(); }
};

TEST_F(GamepadTest, OnAnEggFaceTheDPadPicksLevelAndSideAndTheButtonsStartPauseAndLeave) {
    openGame(1);
    tap(SDL_CONTROLLER_BUTTON_B);
    EXPECT_EQ(egg().getTypeGame(), 2) << "B: game B";
    EXPECT_TRUE(isPlaying(1));
    tap(SDL_CONTROLLER_BUTTON_START);
    EXPECT_EQ(state(1), YolkfallViewController::kPaused) << "Start pauses";
    tap(SDL_CONTROLLER_BUTTON_START);
    EXPECT_TRUE(isPlaying(1)) << "and resumes";
    tap(SDL_CONTROLLER_BUTTON_A);
    EXPECT_EQ(egg().getTypeGame(), 1) << "A: game A";
    ASSERT_EQ(basket(), 0) << "a round starts left up";
    // 0 left up, 1 left down, 2 right down, 3 right up.
    const std::pair<int, int> moves[] = {{SDL_CONTROLLER_BUTTON_DPAD_DOWN, 1}, {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 2},
                                         {SDL_CONTROLLER_BUTTON_DPAD_UP, 3},   {SDL_CONTROLLER_BUTTON_DPAD_LEFT, 0},
                                         {SDL_CONTROLLER_BUTTON_DPAD_DOWN, 1}, {SDL_CONTROLLER_BUTTON_DPAD_UP, 0}};
    for (auto [b, want] : moves) {
        send(button(b));
        EXPECT_EQ(basket(), want) << "acts on press: button " << b;
        send(release(b));
    }
    // Holding right, then pressing down: right down.
    send(button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT));
    send(button(SDL_CONTROLLER_BUTTON_DPAD_DOWN));
    EXPECT_EQ(basket(), 2);
    tap(SDL_CONTROLLER_BUTTON_Y);
    EXPECT_TRUE(root().getViewControllerGamesResult()->view()->superview()) << "Y: statistics";
    tap(SDL_CONTROLLER_BUTTON_B);
    EXPECT_FALSE(root().getViewControllerGamesResult()->view()->superview()) << "B closes them";
    tap(SDL_CONTROLLER_BUTTON_BACK);
    driver.advance(1.5);
    EXPECT_EQ(root().getViewControllerGame(1)->view()->superview(), nullptr) << "Back: the menu";
}

TEST_F(GamepadTest, TheStickMovesOncePerPushPastItsDeadZone) {
    openGame(2);
    tap(SDL_CONTROLLER_BUTTON_A);
    ASSERT_TRUE(isPlaying(2));
    Presses left, right;   // whatever the cook may do at the moment, its buttons are pressed
    controlForKey(driver.root(), "left")->addTarget(&left, &Presses::add, ControlEventTouchDown);
    controlForKey(driver.root(), "right")->addTarget(&right, &Presses::add, ControlEventTouchDown);
    // One push right, reported many times on its way out and back; small wobbles in the middle move nothing.
    for (int value : {3000, -4000, 9000, 17000, 26000, 32767, 30000, 12000, 20000, 4000})
        send(axis(SDL_CONTROLLER_AXIS_LEFTX, value));
    EXPECT_EQ(right.count, 1);
    for (int value : {-20000, -32768, 0, -17000}) send(axis(SDL_CONTROLLER_AXIS_LEFTX, value));
    EXPECT_EQ(left.count, 2) << "two pushes left";
    send(axis(SDL_CONTROLLER_AXIS_LEFTY, 30000));
    send(axis(SDL_CONTROLLER_AXIS_RIGHTX, 30000));
    EXPECT_EQ(left.count + right.count, 3) << "up and down, and the right stick, press nothing";
    send(button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT));
    EXPECT_EQ(right.count, 2) << "the D-pad, on press";
}

TEST_F(GamepadTest, OnTheIntroAnyButtonStartsAndOnTheMenuTheDPadPagesAndAOpensTheGameShown) {
    driver.intro();
    tap(SDL_CONTROLLER_BUTTON_DPAD_UP);
    EXPECT_EQ(root().getViewControllerIntro()->view()->superview(), nullptr);
    tap(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    advance(0.5);
    tap(SDL_CONTROLLER_BUTTON_A);
    driver.advance(1.5);
    EXPECT_NE(root().getViewControllerGame(2), nullptr) << "the second page's game";
    EXPECT_EQ(root().getViewControllerGame(1), nullptr);
}

TEST_F(GamepadTest, PadsComingAndGoingDuringARoundLeaveItPlayingAndAPadThatCannotOpenIsLogged) {
    openGame(1);
    tap(SDL_CONTROLLER_BUTTON_A);
    send(device(SDL_CONTROLLERDEVICEADDED, 7));   // no such device: SDL cannot open it
    const auto& log = driver.env().logLines();
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [](auto& l) { return l.find("gamepad: cannot open") != l.npos; }),
              1);
    EXPECT_EQ(desktop.gamepads().connected(), 0);
    tap(SDL_CONTROLLER_BUTTON_DPAD_DOWN, 8);   // a second pad, acting together with the first
    EXPECT_EQ(basket(), 1);
    send(axis(SDL_CONTROLLER_AXIS_LEFTX, 30000));
    send(device(SDL_CONTROLLERDEVICEREMOVED, kPad));   // pulled out with the stick pushed
    send(device(SDL_CONTROLLERDEVICEREMOVED, 99));     // never seen
    driver.advance(1);
    EXPECT_TRUE(isPlaying(1));
    send(axis(SDL_CONTROLLER_AXIS_LEFTX, -30000));
    EXPECT_EQ(basket(), 1) << "plugged in again, its stick starts from rest: one push left";
    tap(SDL_CONTROLLER_BUTTON_DPAD_UP, 8);
    EXPECT_EQ(basket(), 0);
}

// A virtual pad that SDL opens: added and removed while a round runs, through SDL's own event queue.
TEST_F(GamepadTest, AVirtualPadIsOpenedWhenPluggedInAndClosedWhenPulledOut) {
    openGame(1);
    tap(SDL_CONTROLLER_BUTTON_A);
    int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 15, 0);
    if (index < 0) GTEST_SKIP() << "no virtual joysticks here: " << SDL_GetError();
    desktop.runOnce(false);
    EXPECT_EQ(desktop.gamepads().connected(), 1);
    SDL_JoystickDetachVirtual(index);
    desktop.runOnce(false);
    EXPECT_EQ(desktop.gamepads().connected(), 0);
    driver.advance(1);
    EXPECT_TRUE(isPlaying(1));
}
