#pragma once
// Helpers of the desktop tests: SDL's dummy drivers, and pictures made on the spot.

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <SDL.h>
#include <SDL_image.h>

#include "platform/Image.h"

namespace sdltest {

// No display and no sound card: the dummy drivers, unless the caller chose others.
inline void useDummyDrivers() {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
}

// A folder of PNG pictures, removed at the end.
class Pictures {
public:
    Pictures() {
        std::string pattern = (std::filesystem::temp_directory_path() / "plumbrick-pictures-XXXXXX").string();
        dir_ = mkdtemp(pattern.data());
    }
    ~Pictures() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    // A picture of one colour, w x h points; with a @2x file of another colour when `color2x` is given.
    std::shared_ptr<platform::Image> solid(const std::string& name, int w, int h, SDL_Color color,
                                           const SDL_Color* color2x = nullptr) {
        std::string path = write(name + ".png", w, h, color);
        std::string path2x = color2x ? write(name + "@2x.png", 2 * w, 2 * h, *color2x) : std::string{};
        return std::make_shared<platform::Image>(name + ".png", path, path2x, platform::Size{double(w), double(h)});
    }

private:
    std::string write(const std::string& file, int w, int h, SDL_Color c) {
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
        SDL_FillRect(s, nullptr, SDL_MapRGBA(s->format, c.r, c.g, c.b, c.a));
        std::string path = dir_ + "/" + file;
        IMG_SavePNG(s, path.c_str());
        SDL_FreeSurface(s);
        return path;
    }
    std::string dir_;
};

}  // namespace sdltest
