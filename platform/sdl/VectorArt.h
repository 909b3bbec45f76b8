#pragma once
// Pictures drawn again from their art masters at any whole scale, so that a window at 3 or more pixels a point
// shows art rendered for its own scale rather than the 2x pictures enlarged. The build leaves beside the
// pictures, in <resources>/art, each master and the recipe of every picture drawn from it (tools/artgen); the
// desktop draws them with the same library the build does. Where that is missing (the web page), or a
// picture has no recipe, pictureAt answers null and the built pictures are used.

#include <memory>
#include <string>

struct SDL_Surface;

namespace platform::sdl {

class VectorArt {
public:
    // The recipes found in `folder` (default: the resources' "art" folder). A missing folder gives none.
    explicit VectorArt(std::string folder = "");
    ~VectorArt();
    VectorArt(const VectorArt&) = delete;
    VectorArt& operator=(const VectorArt&) = delete;

    // Whether this build can draw from masters at all.
    static bool supported();
    bool has(const std::string& picture) const;
    // The picture ("yolkfall_502.png" or its stem) drawn at `scale` pixels a point, as ARGB8888 (the caller
    // frees it), or null: no recipe, or its master missing or broken (said once in the log, naming it).
    SDL_Surface* pictureAt(const std::string& picture, int scale);

private:
    struct State;
    std::unique_ptr<State> state_;
};

}   // namespace platform::sdl
