// The browser's side of VectorArt: the page draws each picture from its master with the browser's own SVG
// renderer (web/art.js) when the program first asks for it, and hands it over when it is done; until then
// pictureAt answers null and the built 2x picture is drawn, enlarged. The page calls plumbrick_art_arrived
// (WebApplicationMain.cpp) when pictures have come, and the whole frame is drawn again.
#include <SDL.h>
#include <emscripten.h>

#include <cstdlib>

#include "platform/sdl/VectorArt.h"

// clang-format off
EM_JS(int, art_has, (const char* name), {
    return Module.plumbrickArt && Module.plumbrickArt.has(UTF8ToString(name)) ? 1 : 0;
});

EM_JS(void*, art_take, (const char* name, int scale, int* w, int* h), {
    var got = Module.plumbrickArt && Module.plumbrickArt.take(UTF8ToString(name), scale);
    if (!got) return 0;
    HEAP32[w >> 2] = got[1];
    HEAP32[h >> 2] = got[2];
    return got[0];
});
// clang-format on

namespace platform::sdl {

namespace {
std::string stemOf(const std::string& picture) {
    auto dot = picture.rfind('.');
    return dot == std::string::npos || dot == 0 ? picture : picture.substr(0, dot);
}
}   // namespace

struct VectorArt::State {};

VectorArt::VectorArt(std::string) : state_(std::make_unique<State>()) {}
VectorArt::~VectorArt() = default;

bool VectorArt::supported() { return true; }

bool VectorArt::has(const std::string& picture) const { return art_has(stemOf(picture).c_str()) != 0; }

SDL_Surface* VectorArt::pictureAt(const std::string& picture, int scale) {
    int w = 0, h = 0;
    void* rgba = art_take(stemOf(picture).c_str(), scale, &w, &h);
    if (!rgba) return nullptr;
    SDL_Surface* out = nullptr;
    if (SDL_Surface* from = SDL_CreateRGBSurfaceWithFormatFrom(rgba, w, h, 32, w * 4, SDL_PIXELFORMAT_RGBA32)) {
        out = SDL_ConvertSurfaceFormat(from, SDL_PIXELFORMAT_ARGB8888, 0);
        SDL_FreeSurface(from);
    }
    std::free(rgba);
    return out;
}

}   // namespace platform::sdl
