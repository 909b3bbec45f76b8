#include "platform/sdl/SurfaceCanvas.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstddef>
#include <stdexcept>

#include "platform/sdl/Renderer.h"

namespace platform::sdl {

SurfaceCanvas::SurfaceCanvas(int scale, int widthPoints, int heightPoints) : scale_(scale < 1 ? 1 : scale) {
    surface_ =
        SDL_CreateRGBSurfaceWithFormat(0, widthPoints * scale_, heightPoints * scale_, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!surface_) throw std::runtime_error(std::string("SDL_CreateRGBSurfaceWithFormat: ") + SDL_GetError());
    sdlRenderer_ = SDL_CreateSoftwareRenderer(surface_);
    if (!sdlRenderer_) {
        SDL_FreeSurface(surface_);
        throw std::runtime_error(std::string("SDL_CreateSoftwareRenderer: ") + SDL_GetError());
    }
    renderer_ = std::make_unique<Renderer>(sdlRenderer_);
    renderer_->setViewport({double(scale_), 0, 0});
}

SurfaceCanvas::~SurfaceCanvas() {
    renderer_.reset();
    SDL_DestroyRenderer(sdlRenderer_);
    SDL_FreeSurface(surface_);
}

void SurfaceCanvas::render(View& root) {
    renderer_->drawFrame(root);
    SDL_RenderPresent(sdlRenderer_);
}

void SurfaceCanvas::renderChanges(Window& root) {
    std::vector<Rect> changes = root.takeChanges();
    if (!drewOnce_)
        renderer_->drawFrame(root);
    else
        renderer_->drawChanges(root, changes);
    drewOnce_ = true;
    SDL_RenderPresent(sdlRenderer_);
}

Rgba SurfaceCanvas::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= surface_->w || y >= surface_->h) return {};
    SDL_LockSurface(surface_);
    Uint32 v = *reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(surface_->pixels) +
                                                std::ptrdiff_t{y} * surface_->pitch + std::ptrdiff_t{x} * 4);
    SDL_UnlockSurface(surface_);
    Rgba p;
    SDL_GetRGBA(v, surface_->format, &p.r, &p.g, &p.b, &p.a);
    return p;
}

Rgba SurfaceCanvas::pixelAtPoint(double x, double y) const {
    return pixel(static_cast<int>(x * scale_), static_cast<int>(y * scale_));
}

bool SurfaceCanvas::savePng(const std::string& path, std::string* error) const {
    if (IMG_SavePNG(surface_, path.c_str()) == 0) return true;
    if (error) *error = SDL_GetError();
    return false;
}

}   // namespace platform::sdl
