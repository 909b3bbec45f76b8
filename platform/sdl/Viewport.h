#pragma once

namespace platform::sdl {

// Where the screen sits in a window or on a canvas: pixels = points * scale + offset.
struct Viewport {
    double scale = 2;
    int offsetX = 0;
    int offsetY = 0;
    friend bool operator==(const Viewport&, const Viewport&) = default;
};

}   // namespace platform::sdl
