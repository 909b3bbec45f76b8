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
#include <vector>

#include <SDL.h>
#include <SDL_ttf.h>

#include "platform/Image.h"
#include "platform/Label.h"
#include "platform/View.h"
#include "platform/sdl/Viewport.h"

namespace platform::sdl {

class VectorArt;

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
    // At a whole scale from 3 to 8, pictures that have a recipe (VectorArt) are drawn from their masters at that
    // scale, once each, when first drawn; 0 at other scales (the built 1x and 2x pictures serve those exactly).
    int vectorScale() const;

    // Clears the target to black and draws the tree whose root sits at the viewport's origin,
    // clipped to the root's frame. Does not present.
    void drawFrame(View& root);
    // Draws a view over what is there (the system notice), leaving the frame's counts and parts alone.
    void drawOverlay(View& view);
    // Draws the tree without clearing.
    void draw(View& root);
    // Draws again only the given parts (points, the root's coordinates) of the frame already on the target:
    // each part is cleared and the views that meet it are drawn clipped to it, giving the pixels drawFrame
    // would. A part is first widened to hold whole every picture that would be copied scaled or mirrored
    // across its edge (a scaled copy cut at a clip edge samples its picture differently from the whole copy).
    // When the parts cover most of the screen, the whole frame is drawn. Does not present.
    void drawChanges(View& root, const std::vector<Rect>& parts);
    // The pixel rectangles drawn by the last drawFrame or drawChanges (one, the whole screen, for a whole
    // frame; none when nothing was drawn), and their total area. Whatever is drawn over the tree afterwards
    // draws within them: see eachDrawnRect.
    const std::vector<SDL_Rect>& drawnRects() const { return drawnRects_; }
    long drawnPixels() const;
    // Calls draw() once for every drawn rectangle, with the renderer's clip set to it.
    template <class F> void eachDrawnRect(F draw) {
        for (const SDL_Rect& r : drawnRects_) {
            SDL_RenderSetClipRect(renderer_, &r);
            draw();
        }
        SDL_RenderSetClipRect(renderer_, nullptr);
        currentClip_ = {0, 0, -1, -1};
    }
    // Parts of the screen covering more than this share of it are drawn as one whole frame.
    static constexpr double kWholeFrameShare = 0.6;

    // LCD ink (Image::isLcdInk) casts a soft shadow on the panel behind the glass, a point down and to the right,
    // at kShadowStrength of the ink, slightly blurred, and dimmed with the segment; on unless turned off.
    void setShadows(bool on) { shadows_ = on; }
    bool shadows() const { return shadows_; }
    static constexpr double kShadowOffset = 1.0;   // points, down and to the right
    static constexpr double kShadowStrength = 0.18;
    // How far, in points, a shadow may reach outside its segment's frame at the current scale: a part of the
    // screen drawn again is widened by this much, so that a segment shown or hidden takes its shadow along.
    double shadowReach() const;

    // False: pictures that print key names under their buttons are drawn without them (Image::touchName), for
    // a device that has shown no keyboard. Draw a whole frame after a change.
    void setKeyNames(bool shown) { keyNames_ = shown; }
    bool keyNames() const { return keyNames_; }

    // Pictures are decoded once per file and kept. Null when the file cannot be read.
    SDL_Texture* textureFor(const Image& image);
    std::size_t cachedPictures() const { return pictures_.size(); }
    // Bytes of picture pixels kept at scale 2 (times the square of half the scale at others; a screen's own take
    // 3 to 5 MB at 2), and the least size of a picture that is forgotten once they are past it.
    static constexpr std::size_t kPictureBudget = std::size_t{6} << 20;
    static constexpr std::size_t kForgettable = std::size_t{256} << 10;
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
        SDL_Texture* shadow = nullptr;   // LCD ink only: the blurred shadow, `margin` texture pixels wider each side
        int margin = 0;
        std::size_t bytes = 0;   // of its pixels and its shadow's
        std::uint64_t lastUse = 0;
    };
    struct Text {
        SDL_Texture* texture = nullptr;
        int width = 0, height = 0;
        std::uint64_t lastUse = 0;
    };

    void drawView(View& view, const Map& parent, double parentAlpha, const SDL_Rect& clip);
    void prepareHidden(View& view);
    void drawPicture(const Image& image, const Map& map, Rect rect, double alpha, bool dimmed);
    const Picture* pictureFor(const Image& image);
    // `pixels` is ARGB8888, or for a picture without see-through pixels any layout without alpha.
    Picture makePicture(SDL_Surface* pixels, const Image& image);
    // Where the shadow of a picture copied to `r` falls, in pixels (empty when it casts none).
    SDL_Rect shadowRect(const Picture& picture, const SDL_Rect& r) const;
    SDL_Texture* makeShadow(SDL_Surface* argb, double pixelsPerPoint, int& margin);
    void drawLabel(const Label& label, const Map& map, double alpha);
    void fill(const Map& map, Rect rect, Color color, double alpha);
    SDL_Rect pixelRect(const Map& map, Rect rect, SDL_RendererFlip* flip = nullptr) const;
    TTF_Font* fontFor(const Font& font, int pixelSize);
    Text* textFor(const Label& label, int pixelSize);
    void setClip(const SDL_Rect& clip);
    void forgetOldTexts();
    // After a whole frame, while the kept pictures take more than the budget, the large decoded ones it did not
    // draw (the screens left behind) are forgotten; they are decoded again when next shown.
    void forgetOldPictures();

    SDL_Renderer* renderer_;
    // The layout a picture without see-through pixels is kept in: the window's, when it has one, so that
    // copying it (faded too) converts no pixel.
    Uint32 solidFormat_ = SDL_PIXELFORMAT_RGB888;
    Viewport viewport_;
    std::unordered_map<std::string, Picture> pictures_;   // by file path
    std::unordered_map<std::string, Text> texts_;         // by text, font, size and colour
    std::unordered_map<std::string, TTF_Font*> fonts_;    // by file and pixel size
    std::uint64_t frame_ = 0;
    int drawn_ = 0;
    bool collecting_ = false;         // walking the tree to find inexact copies, drawing nothing
    std::vector<SDL_Rect> inexact_;   // pictures copied scaled or mirrored, as clipped, in pixels
    std::vector<SDL_Rect> drawnRects_;
    SDL_Rect currentClip_{0, 0, -1, -1};
    bool ownsTtf_ = false;
    bool shadows_ = true;
    bool keyNames_ = true;
    bool preparing_ = false;   // a whole frame at a scale drawn from the masters: hidden pictures are made too
    std::unique_ptr<VectorArt> vectorArt_;   // made when first needed
};

}   // namespace platform::sdl
