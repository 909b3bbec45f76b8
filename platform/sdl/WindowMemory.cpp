#include "platform/sdl/WindowMemory.h"

#include <algorithm>
#include <climits>

#include <SDL.h>

namespace platform::sdl {

namespace {

constexpr int kLargest = 1 << 15;   // pixels: no screen is wider, and SDL's coordinates stay in range

}   // namespace

WindowPlacement loadPlacement(const Settings& settings) {
    WindowPlacement p;
    const bool anySize = settings.has("window", "width") || settings.has("window", "height");
    const bool anyPlace = settings.has("window", "x") || settings.has("window", "y");
    p.width = settings.getInt("window", "width", 0, 1, kLargest);
    p.height = settings.getInt("window", "height", 0, 1, kLargest);
    p.sized = p.width > 0 && p.height > 0;
    p.x = settings.getInt("window", "x", INT_MIN, -kLargest, kLargest);
    p.y = settings.getInt("window", "y", INT_MIN, -kLargest, kLargest);
    p.placed = p.x != INT_MIN && p.y != INT_MIN;
    p.fullScreen = settings.getBool("window", "fullscreen", false);
    if ((anySize && !p.sized) || (anyPlace && !p.placed)) {
        p.unusable = true;
        p.sized = p.placed = false;
    }
    return p;
}

void storePlacement(Settings& settings, const WindowPlacement& p) {
    if (p.placed) {
        settings.set("window", "x", p.x);
        settings.set("window", "y", p.y);
    } else {
        settings.remove("window", "x");
        settings.remove("window", "y");
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
    if (remembered.placed) {
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
    // SDL gives the inside's place; a window manager places a new window's frame where it was asked for, so the
    // frame's corner is remembered (zero borders where there is no frame or SDL cannot tell).
    int top = 0, left = 0;
    if (SDL_GetWindowBordersSize(window, &top, &left, nullptr, nullptr) != 0) top = left = 0;
    SDL_GetWindowPosition(window, &p.x, &p.y);
    p.x -= left;
    p.y -= top;
    SDL_GetWindowSize(window, &p.width, &p.height);
    p.sized = p.placed = true;
}

}   // namespace platform::sdl
