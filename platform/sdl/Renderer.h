#pragma once
// Draws a view tree into an SDL renderer: back to front, pictures, background colours, labels and table
// rows, alpha multiplied down the tree, each view's transform applied about its centre (presentation
// values, so running animations show), scroll-view content clipped to the scroll view.
//
// The renderer knows nothing of windows: give it any SDL_Renderer (a window's, or a software renderer on
// a surface, see SurfaceCanvas) and a viewport that maps points to pixels.

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include <SDL.h>

#include "platform/View.h"

typedef struct _TTF_Font TTF_Font;

namespace platform::sdl {

// Pixels = points * scale + offset.
struct Viewport {
    double scale = 2;
    int offsetX = 0;
    int offsetY = 0;
    friend bool operator==(const Viewport&, const Viewport&) = default;
};

class Renderer {
public:
    explicit Renderer(SDL_Renderer* renderer);
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    void setViewport(Viewport viewport);
    Viewport viewport() const { return viewport_; }
    // 2 when pictures are drawn from their @2x files (scale 2 and above), else 1.
    int pictureScale() const { return viewport_.scale >= 2 ? 2 : 1; }

    // Clears the target to black and draws the tree whose root sits at the viewport's origin,
    // clipped to the root's frame. Does not present.
    void drawFrame(View& root);
    // Draws the tree without clearing.
    void draw(View& root);

    // Pictures are decoded once per file and kept. Null when the file cannot be read.
    SDL_Texture* textureFor(const Image& image);
    std::size_t cachedPictures() const { return pictures_.size(); }
    std::size_t cachedTexts() const { return texts_.size(); }
    // How many views drew something in the last frame (for tests and benchmarks).
    int drawnViews() const { return drawn_; }

private:
    // Local points to pixels: x' = sx * x + tx, y' = sy * y + ty.
    struct Map {
        double sx = 1, sy = 1, tx = 0, ty = 0;
    };
    struct Picture {
        SDL_Texture* texture = nullptr;
        bool opaque = false;
    };
    struct Text {
        SDL_Texture* texture = nullptr;
        int width = 0, height = 0;
        std::uint64_t lastUse = 0;
    };

    void drawView(View& view, const Map& parent, double parentAlpha, const SDL_Rect& clip);
    void drawPicture(const Image& image, const Map& map, Rect rect, double alpha, bool dimmed);
    void drawLabel(const Label& label, const Map& map, double alpha);
    void fill(const Map& map, Rect rect, Color color, double alpha);
    SDL_Rect pixelRect(const Map& map, Rect rect, SDL_RendererFlip* flip = nullptr) const;
    TTF_Font* fontFor(const Font& font, int pixelSize);
    Text* textFor(const Label& label, int pixelSize);
    void setClip(const SDL_Rect& clip);

    SDL_Renderer* renderer_;
    Viewport viewport_;
    std::unordered_map<std::string, Picture> pictures_;   // by file path
    std::unordered_map<std::string, Text> texts_;         // by text, font, size and colour
    std::unordered_map<std::string, TTF_Font*> fonts_;    // by file and pixel size
    std::uint64_t frame_ = 0;
    int drawn_ = 0;
    SDL_Rect currentClip_{0, 0, -1, -1};
    bool ownsTtf_ = false;
};

}  // namespace platform::sdl
