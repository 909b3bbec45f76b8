#pragma once
// Gamepads through SDL's game controller interface: any number, plugged in before or during play, all acting
// together. Buttons press the controls that the screens' layouts name by key ("q", "space", "escape"), so a
// layout change moves the pad with it, and like keys they reach only the front-most screen.
//
//   D-pad, left stick   egg faces: up/down picks the basket's level, left/right its side, the other kept from
//                       the pad's last push (left and up together: left up); cook face: left, right;
//                       menu: left, right page the strip
//   A, B                game A, game B on a face; on the menu A opens the game shown; B closes the statistics
//   Start               pause and resume
//   Back                the menu (on the statistics: BACK)
//   Y                   the statistics
//   any button          on the intro: starts
//
// Buttons act on press. The stick moves once per push past its dead zone; it must come back inside a smaller
// zone before the next push on that axis counts. The mapping works from the events alone (the instance id in
// each), so a pad that could not be opened still maps whatever events it sends.

#include <map>

#include <SDL.h>

#include "platform/View.h"
#include "platform/sdl/PointerInput.h"

namespace platform::sdl {

class Gamepads {
public:
    Gamepads() = default;
    ~Gamepads();
    Gamepads(const Gamepads&) = delete;
    Gamepads& operator=(const Gamepads&) = delete;

    // Starts SDL's game controller subsystem: pads already plugged in arrive as added events. False (one log
    // line) when it cannot start; keys and pointer work as before.
    bool open();
    void close();

    // Handles a controller event (added, removed, button, axis); other events are ignored. True when the
    // screen may have changed. `root` may be null (removals still count).
    bool handleEvent(const SDL_Event& event, View* root, PointerInput& input);

    // Pads opened now.
    int connected() const;

    // Axis values past kPush start a push; below kRelease the stick is back at rest.
    static constexpr int kPush = 16000;
    static constexpr int kRelease = 8000;

private:
    struct Pad {
        SDL_GameController* controller = nullptr;
        int stickX = 0, stickY = 0;   // -1, 0, 1
    };
    void attach(int deviceIndex);
    void detach(SDL_JoystickID id);
    bool button(View& root, PointerInput& input, int button);
    bool axis(View& root, PointerInput& input, Pad& pad, int axis, int value);
    // One push: dx, dy in -1, 0, 1 (screen directions; up is -1).
    bool push(View& root, PointerInput& input, int dx, int dy);

    std::map<SDL_JoystickID, Pad> pads_;
    bool initialised_ = false;
    // The basket's side (0 left, 1 right) and level (0 up, 1 down) last chosen by any pad; a round starts
    // with the basket left up.
    int side_ = 0, level_ = 0;
};

}   // namespace platform::sdl
