#include "platform/sdl/VectorArt.h"

#include <SDL.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "platform/Bundle.h"
#include "platform/Log.h"

#ifdef PLUMBRICK_VECTOR_ART
#include "artgen.h"
#include "platform/sdl/Fonts.h"
#endif

namespace platform::sdl {

#ifdef PLUMBRICK_VECTOR_ART

namespace {
std::string stemOf(const std::string& picture) {
    auto dot = picture.rfind('.');
    return dot == std::string::npos || dot == 0 ? picture : picture.substr(0, dot);
}
}   // namespace

struct VectorArt::State {
    std::string folder;
    std::map<std::string, artgen::Recipe> recipes;   // by picture stem
    std::unique_ptr<artgen::Masters> masters;
    std::set<std::string> failed;   // pictures that could not be drawn (told once)
};

VectorArt::VectorArt(std::string folder) : state_(std::make_unique<State>()) {
    if (folder.empty() && !Bundle::mainBundle().resourcePath().empty())
        folder = Bundle::mainBundle().resourcePath() + "/art";
    state_->folder = folder;
    state_->masters = std::make_unique<artgen::Masters>(folder);
    std::error_code ec;
    if (folder.empty() || !std::filesystem::is_directory(folder, ec)) return;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (entry.path().extension() != ".recipes") continue;
        std::ifstream in(entry.path());
        int bad = 0;
        for (std::string line; std::getline(in, line);) {
            artgen::Recipe r;
            if (artgen::parseRecipe(line, r))
                state_->recipes[r.name] = r;
            else if (!line.empty())
                ++bad;
        }
        if (bad) logLine("art: " + entry.path().string() + ": " + std::to_string(bad) + " line(s) are not recipes");
    }
}

bool VectorArt::supported() { return true; }

bool VectorArt::has(const std::string& picture) const { return state_->recipes.count(stemOf(picture)) > 0; }

SDL_Surface* VectorArt::pictureAt(const std::string& picture, int scale) {
    const std::string stem = stemOf(picture);
    auto it = state_->recipes.find(stem);
    if (it == state_->recipes.end() || scale < 1 || state_->failed.count(stem)) return nullptr;
    keepFontconfigAtExit();   // the art library lays out text through fontconfig and keeps its caches
    try {
        artgen::Surface drawn = artgen::render(it->second, scale, *state_->masters);
        const int w = drawn.width(), h = drawn.height();
        SDL_Surface* out = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
        if (!out) return nullptr;
        cairo_surface_flush(drawn.get());
        const unsigned char* data = cairo_image_surface_get_data(drawn.get());
        const int stride = cairo_image_surface_get_stride(drawn.get());
        SDL_LockSurface(out);
        for (int y = 0; y < h; ++y) {
            auto* from = reinterpret_cast<const Uint32*>(data + std::ptrdiff_t{y} * stride);
            auto* to = reinterpret_cast<Uint32*>(static_cast<Uint8*>(out->pixels) + std::ptrdiff_t{y} * out->pitch);
            for (int x = 0; x < w; ++x) {
                // Cairo's pixels carry premultiplied colour; SDL's straight colour, as PNG files do.
                const Uint32 p = from[x], a = p >> 24;
                if (a == 0 || a == 255) {
                    to[x] = a == 0 ? 0 : p;
                    continue;
                }
                auto straight = [a](Uint32 c) { return std::min<Uint32>(255, (c * 255 + a / 2) / a); };
                to[x] = a << 24 | straight(p >> 16 & 255) << 16 | straight(p >> 8 & 255) << 8 | straight(p & 255);
            }
        }
        SDL_UnlockSurface(out);
        return out;
    } catch (const std::exception& e) {
        state_->failed.insert(stem);
        logLine("art: " + stem + " cannot be drawn from its master (" + e.what() + "); the built picture is used");
        return nullptr;
    }
}

#else   // no art library in this build: the built pictures only

struct VectorArt::State {};
VectorArt::VectorArt(std::string) : state_(std::make_unique<State>()) {}
bool VectorArt::supported() { return false; }
bool VectorArt::has(const std::string&) const { return false; }
SDL_Surface* VectorArt::pictureAt(const std::string&, int) { return nullptr; }

#endif

VectorArt::~VectorArt() = default;

}   // namespace platform::sdl
