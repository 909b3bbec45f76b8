// plumbrick-screenshot: runs the application on the virtual clock, drives it to named screens and writes
// each as a PNG file, drawn by the desktop renderer into a surface (no display, no audio device).
//
//   plumbrick-screenshot [--scale N] [--no-shadow] [--out DIR] [--home-page URL] [STATE...]
//   STATE: intro | menuN | gameS | playingS | pausedS | statisticsS   (N page, S menu slot: 1 to 6)

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "app/MainMenuViewController.h"
#include "platform/sdl/Renderer.h"
#include "platform/sdl/SurfaceCanvas.h"
#include "tools/screenshot/ScreenDriver.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: plumbrick-screenshot [--scale N] [--no-shadow] [--out DIR] [--home-page URL] [STATE...]\n"
                 "  STATE: intro | menuN | gameS | playingS | pausedS | statisticsS  (N, S: 1 to 6, default 1)\n"
                 "  without states: intro menu1 menu2 game1 playing1 paused1 statistics1 game2 playing2\n"
                 "  writes DIR/STATE.png (DIR defaults to the current folder)\n"
                 "  --home-page: the menu shows MORE GAMES as a build with that home page does\n");
    return 2;
}

}   // namespace

int main(int argc, char** argv) {
    int scale = 2;
    bool shadows = true;
    std::filesystem::path out = ".";
    std::vector<std::string> states;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--scale" && i + 1 < argc)
            scale = std::atoi(argv[++i]);
        else if (arg == "--no-shadow")
            shadows = false;
        else if (arg == "--out" && i + 1 < argc)
            out = argv[++i];
        else if (arg == "--home-page" && i + 1 < argc)
            plumbrick::setHomePage(argv[++i]);
        else if (arg == "--help" || arg == "-h" || arg.rfind("--", 0) == 0)
            return usage();
        else
            states.push_back(arg);
    }
    if (scale < 1 || scale > 8) return usage();
    if (states.empty())
        states = {"intro", "menu1", "menu2", "game1", "playing1", "paused1", "statistics1", "game2", "playing2"};

    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    int failures = 0;
    try {
        platform::sdl::SurfaceCanvas canvas(scale);
        canvas.renderer().setShadows(shadows);
        for (const std::string& state : states) {
            plumbrick::tools::ScreenDriver driver(true);
            if (!driver.driveTo(state)) {
                std::fprintf(stderr, "plumbrick-screenshot: unknown state %s\n", state.c_str());
                ++failures;
                continue;
            }
            canvas.render(driver.root());
            std::string file = (out / (state + ".png")).string();
            std::string error;
            if (!canvas.savePng(file, &error)) {
                std::fprintf(stderr, "plumbrick-screenshot: %s: %s\n", file.c_str(), error.c_str());
                ++failures;
                continue;
            }
            std::printf("%s\n", file.c_str());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "plumbrick-screenshot: %s\n", e.what());
        return 1;
    }
    return failures ? 1 : 0;
}
