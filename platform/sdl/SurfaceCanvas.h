#pragma once
// Drawing a view tree into memory with SDL's software renderer: no window, no video driver. Used by the
// screenshot tool, the tests and the benchmarks.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/View.h"
#include "platform/Window.h"

struct SDL_Renderer;
struct SDL_Surface;

namespace platform::sdl {

class Renderer;

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
    friend bool operator==(const Rgba&, const Rgba&) = default;
    int luminance() const { return (299 * r + 587 * g + 114 * b) / 1000; }
};

class SurfaceCanvas {
public:
    // A canvas of the screen's size (480 x 320 points) at `scale` pixels per point.
    explicit SurfaceCanvas(int scale = 2, int widthPoints = 480, int heightPoints = 320);
    ~SurfaceCanvas();
    SurfaceCanvas(const SurfaceCanvas&) = delete;
    SurfaceCanvas& operator=(const SurfaceCanvas&) = delete;

    // Clears to black and draws the tree.
    void render(View& root);
    // Draws again only what the window's views reported changed since the last call (the whole tree the
    // first time), as the desktop window does.
    void renderChanges(Window& root);
    Rgba pixel(int x, int y) const;                // in pixels
    Rgba pixelAtPoint(double x, double y) const;   // the pixel under a point
    // Writes the canvas as a PNG file; false (with SDL's reason in `error`) on failure.
    bool savePng(const std::string& path, std::string* error = nullptr) const;

    int scale() const { return scale_; }
    SDL_Surface* surface() const { return surface_; }
    Renderer& renderer() { return *renderer_; }

private:
    int scale_;
    SDL_Surface* surface_ = nullptr;
    SDL_Renderer* sdlRenderer_ = nullptr;
    std::unique_ptr<Renderer> renderer_;
    bool drewOnce_ = false;
};

}   // namespace platform::sdl
