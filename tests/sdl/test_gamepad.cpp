// Gamepads, from synthesized controller events fed to the window: buttons, the stick once per push, pads coming
// and going during a round, and a pad SDL cannot open.

#include "input_fixture.h"
#include "platform/Control.h"
#include "platform/sdl/Gamepad.h"

using namespace platform;
using plumbrick::YolkfallViewController;

namespace {

constexpr SDL_JoystickID kPad = 41;   // an instance id SDL never handed out: the events alone must do

SDL_Event device(Uint32 type, Sint32 which) {
    SDL_Event e{};
    e.cdevice = {type, 0, which};
    return e;
}

struct Presses {
    const platform::Lifetime& lifetime() const { return life; }
    void add(View*) { ++count; }
    platform::Lifetime life;
    int count = 0;
};

}   // namespace

class GamepadTest : public InputFixture {
protected:
    void press(int b, SDL_JoystickID pad = kPad) { send(padButton(b, pad)); }
    void tap(int b, SDL_JoystickID pad = kPad) {
        press(b, pad);
        send(padButton(b, pad, SDL_CONTROLLERBUTTONUP));
        driver.advance(0.1);
        desktop.input().step();   // the window's own settling strip
    }
    void stick(int value, SDL_JoystickID pad = kPad) { send(padAxis(SDL_CONTROLLER_AXIS_LEFTX, value, pad)); }
};

// Start, Y and B on the statistics, and the D-pad's single steps are in InputReachTest.
TEST_F(GamepadTest, OnAnEggFaceTheDPadPicksLevelAndSideAndTheButtonsChooseTheGameAndLeave) {
    openGame(1);
    tap(SDL_CONTROLLER_BUTTON_B);
    EXPECT_EQ(egg().getTypeGame(), 2) << "B: game B";
    tap(SDL_CONTROLLER_BUTTON_A);
    EXPECT_EQ(egg().getTypeGame(), 1) << "A: game A";
    ASSERT_EQ(basket(), 0) << "a round starts left up";
    press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    EXPECT_EQ(basket(), 1) << "down keeps the side, on press";
    press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    EXPECT_EQ(basket(), 2) << "right keeps the level while down is held";
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
    for (int value : {3000, -4000, 9000, 17000, 26000, 32767, 30000, 12000, 20000, 4000}) stick(value);
    EXPECT_EQ(right.count, 1);
    for (int value : {-20000, -32768, 0, -17000}) stick(value);
    EXPECT_EQ(left.count, 2) << "two pushes left";
    send(padAxis(SDL_CONTROLLER_AXIS_RIGHTX, 30000, kPad));
    EXPECT_EQ(right.count, 1) << "the right stick presses nothing";
}

TEST_F(GamepadTest, PadsComingAndGoingDuringARoundLeaveItPlayingAndAPadThatCannotOpenIsLogged) {
    openGame(1);
    tap(SDL_CONTROLLER_BUTTON_A);
    send(device(SDL_CONTROLLERDEVICEADDED, 7));   // no such device: SDL cannot open it
    EXPECT_EQ(logLinesWith("gamepad: cannot open"), 1);
    EXPECT_EQ(desktop.gamepads().connected(), 0);
    tap(SDL_CONTROLLER_BUTTON_DPAD_DOWN, 8);   // a second pad, acting together with the first
    EXPECT_EQ(basket(), 1);
    stick(30000);
    send(device(SDL_CONTROLLERDEVICEREMOVED, kPad));   // pulled out with the stick pushed
    send(device(SDL_CONTROLLERDEVICEREMOVED, 99));     // never seen
    driver.advance(1);
    EXPECT_TRUE(isPlaying(1));
    stick(-30000);
    EXPECT_EQ(basket(), 1) << "plugged in again, its stick starts from rest: one push left";
}

// A pad that SDL itself opens and reads: its virtual game controller, plugged in during a round, a button set
// through SDL's calls for virtual devices, every event coming through the window's own loop. What the stick and
// Start do is the same from any pad: GamepadTest.TheStickMovesOncePerPush... and CoveredRound's pad steps.
class VirtualPad : public GamepadTest {
protected:
    void TearDown() override {
        if (joystick) SDL_JoystickClose(joystick);
        if (index >= 0) SDL_JoystickDetachVirtual(index);
        SDL_ResetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS);
        GamepadTest::TearDown();
    }
    void plugIn() {
        // SDL ignores pads while none of its windows has the keyboard, and on the dummy display none ever has.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "Virtual pad";
        index = SDL_JoystickAttachVirtualEx(&desc);
        ASSERT_GE(index, 0) << SDL_GetError();
        joystick = SDL_JoystickOpen(index);   // the test's own handle, to set the pad's state
        ASSERT_NE(joystick, nullptr) << SDL_GetError();
        loop();
    }
    void button(SDL_GameControllerButton b, bool down) {
        ASSERT_EQ(SDL_JoystickSetVirtualButton(joystick, b, down ? SDL_PRESSED : SDL_RELEASED), 0) << SDL_GetError();
        loop();
    }
    // One pass of the window's loop (SDL reads the pad and sends its events), then a moment of the game.
    void loop() {
        desktop.runOnce(false);
        driver.advance(0.05);
    }
    int index = -1;
    SDL_Joystick* joystick = nullptr;
};

TEST_F(VirtualPad, PluggedInDuringARoundItMovesTheBasketAndUnpluggedLeavesTheRoundPlaying) {
    openGame(1);
    driver.startRound(1.0);
    ASSERT_TRUE(isPlaying(1));
    plugIn();
    EXPECT_EQ(desktop.gamepads().connected(), 1);
    button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
    EXPECT_EQ(basket(), 1) << "D-pad down: left down";
    button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, false);
    SDL_JoystickClose(joystick);
    joystick = nullptr;
    ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0) << SDL_GetError();
    index = -1;
    loop();
    EXPECT_EQ(desktop.gamepads().connected(), 0);
    driver.advance(1);
    EXPECT_TRUE(isPlaying(1));
}
