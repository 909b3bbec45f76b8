#pragma once
// Window memory: the window reopens at the size, place and full-screen state it had when it was closed,
// kept in the settings file's "window" section ("x", "y", "width", "height" of the window when not full
// screen, in screen pixels, and "fullscreen"). The place is the frame's top-left corner, where the window
// manager puts a window asked for at that place; the size is the window's inside, without the frame.

#include "platform/Settings.h"

struct SDL_Rect;
struct SDL_Window;

namespace platform::sdl {

struct WindowPlacement {
    int x = 0, y = 0, width = 0, height = 0;   // the window when not full screen
    bool fullScreen = false;
    bool sized = false;    // width and height known
    bool placed = false;   // x and y known
    // The file held a place or size that cannot be used (not a whole number, out of range, one of a pair
    // missing): nothing of the place and size is remembered.
    bool unusable = false;
};

WindowPlacement loadPlacement(const Settings& settings);
// Writes what is known; a place not known is removed, so that a place that could not be used is not read again.
void storePlacement(Settings& settings, const WindowPlacement& placement);

// Where to open the window: the remembered size (never below `minWidth` × `minHeight`) and place when known,
// else the given size, centred.
SDL_Rect openingRect(const WindowPlacement& remembered, int width, int height, int minWidth, int minHeight);
// Records the window's size and place while it is not full screen (call on every window event).
void notePlacement(SDL_Window* window, WindowPlacement& placement);

}   // namespace platform::sdl
