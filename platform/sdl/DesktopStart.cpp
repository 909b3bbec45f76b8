#include "platform/sdl/DesktopStart.h"

#include <algorithm>
#include <cstdlib>

#include <SDL.h>

#include "platform/Log.h"
#include "platform/sdl/CommandLine.h"

namespace platform::sdl {

namespace {

constexpr int kW = Desktop::kWidthPoints, kH = Desktop::kHeightPoints;

std::string size(int w, int h) { return std::to_string(w) + " x " + std::to_string(h); }

// The display that holds the point, or -1 (SDL's own lookup answers the nearest display for a point on none).
int displayAt(SDL_Point p) {
    for (int i = 0, n = SDL_GetNumVideoDisplays(); i < n; ++i) {
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(i, &bounds) == 0 && SDL_PointInRect(&p, &bounds)) return i;
    }
    return -1;
}

}   // namespace

bool startVideo(std::string* why) {
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        *why = std::string("no display found (") + SDL_GetError() + ")";
        return false;
    }
    if (asked && *asked) return true;
    const std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
    if (driver == "offscreen" || driver == "dummy" || driver == "evdev") {
        *why = "no display found (neither DISPLAY nor WAYLAND_DISPLAY leads to one)";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    return true;
}

int largestScale(int width, int height) {
    int scale = 1;
    while (scale < kMaxScale && kW * (scale + 1) <= width && kH * (scale + 1) <= height) ++scale;
    return scale;
}

int firstStartScale(int width, int height) {
    const int scale = largestScale(width * 4 / 5, height * 4 / 5);
    return scale < 2 && kW * 2 <= width && kH * 2 <= height ? 2 : scale;
}

void fitToDisplay(DesktopOptions& options, bool scaleAsked) {
    WindowPlacement& remembered = options.remembered;
    // The display the window opens on: the one under the remembered place's middle, else the first (where
    // SDL centres a window).
    int display = 0;
    if (remembered.placed) {
        const int w = remembered.sized ? remembered.width : kW * options.scale;
        const int h = remembered.sized ? remembered.height : kH * options.scale;
        display = displayAt({remembered.x + w / 2, remembered.y + h / 2});
        if (display < 0) remembered.unusable = true;   // a screen unplugged since: out of sight
    }
    SDL_Rect area{0, 0, kW * 2, kH * 2};
    if (SDL_GetDisplayUsableBounds(std::max(display, 0), &area) != 0 || area.w <= 0 || area.h <= 0)
        return;   // nothing known of the display: as asked or remembered
    const int largest = largestScale(area.w, area.h);
    const std::string fit = " does not fit the display's usable area of " + size(area.w, area.h);
    if (remembered.unusable) {
        options.scale = scaleAsked ? std::min(options.scale, largest) : firstStartScale(area.w, area.h);
        logLine("window: the remembered place or size cannot be used; opening centred at " +
                size(kW * options.scale, kH * options.scale));
        remembered.sized = remembered.placed = false;
    } else if (scaleAsked) {
        if (options.scale > largest) {
            logLine("window: scale " + std::to_string(options.scale) + fit + "; opening at scale " +
                    std::to_string(largest));
            options.scale = largest;
        }
    } else if (remembered.sized) {
        if (remembered.width > area.w || remembered.height > area.h) {
            logLine("window: the remembered size " + size(remembered.width, remembered.height) + fit +
                    "; opening at scale " + std::to_string(largest));
            options.scale = largest;
            remembered.sized = false;
        }
    } else {
        options.scale = firstStartScale(area.w, area.h);
    }
}

}   // namespace platform::sdl
