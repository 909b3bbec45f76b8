#include "platform/sdl/WindowMemory.h"

#include <algorithm>
#include <climits>

#include <SDL.h>

namespace platform::sdl {

namespace {

constexpr int kLargest = 1 << 15;   // pixels: no screen is wider, and SDL's coordinates stay in range

bool onSomeDisplay(int x, int y) {
    const SDL_Point p{x, y};
    for (int i = 0, n = SDL_GetNumVideoDisplays(); i < n; ++i) {
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(i, &bounds) == 0 && SDL_PointInRect(&p, &bounds)) return true;
    }
    return false;
}

}   // namespace

WindowPlacement loadPlacement(const Settings& settings) {
    WindowPlacement p;
    p.width = settings.getInt("window", "width", 0, 1, kLargest);
    p.height = settings.getInt("window", "height", 0, 1, kLargest);
    p.sized = p.width > 0 && p.height > 0;
    if (settings.has("window", "x") && settings.has("window", "y")) {
        p.x = settings.getInt("window", "x", INT_MIN, -kLargest, kLargest);
        p.y = settings.getInt("window", "y", INT_MIN, -kLargest, kLargest);
        p.placed = p.x != INT_MIN && p.y != INT_MIN;
    }
    p.fullScreen = settings.getBool("window", "fullscreen", false);
    return p;
}

void storePlacement(Settings& settings, const WindowPlacement& p) {
    if (p.placed) {
        settings.set("window", "x", p.x);
        settings.set("window", "y", p.y);
    }
    if (p.sized) {
        settings.set("window", "width", p.width);
        settings.set("window", "height", p.height);
    }
    settings.set("window", "fullscreen", p.fullScreen);
}

SDL_Rect openingRect(const WindowPlacement& remembered, int width, int height, int minWidth, int minHeight) {
    SDL_Rect r{int(SDL_WINDOWPOS_CENTERED), int(SDL_WINDOWPOS_CENTERED), width, height};
    if (remembered.sized) {
        r.w = std::max(remembered.width, minWidth);
        r.h = std::max(remembered.height, minHeight);
    }
    // A place on a display that is gone (a screen unplugged since) would open the window out of sight.
    if (remembered.placed && onSomeDisplay(remembered.x + r.w / 2, remembered.y + r.h / 2)) {
        r.x = remembered.x;
        r.y = remembered.y;
    }
    return r;
}

void notePlacement(SDL_Window* window, WindowPlacement& p) {
    if (!window) return;
    Uint32 flags = SDL_GetWindowFlags(window);
    if (flags & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_MINIMIZED | SDL_WINDOW_MAXIMIZED))
        return;
    SDL_GetWindowPosition(window, &p.x, &p.y);
    SDL_GetWindowSize(window, &p.width, &p.height);
    p.sized = p.placed = true;
}

}   // namespace platform::sdl
