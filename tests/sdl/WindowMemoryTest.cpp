// Window memory: the window opens at the remembered size and place (never off every display, never below
// the screen's size), full screen is remembered with the windowed size behind it, and the program started
// on a damaged settings file runs and writes the file anew when it closes.

#include <gtest/gtest.h>

#include <SDL.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/Settings.h"
#include "platform/headless/Headless.h"
#include "platform/sdl/Desktop.h"

using namespace platform;
using namespace platform::sdl;
using platform::headless::Environment;

namespace {

[[maybe_unused]] const bool kDummy = setenv("SDL_VIDEODRIVER", "dummy", 0) + setenv("SDL_AUDIODRIVER", "dummy", 0);

WindowPlacement at(int x, int y, int w, int h) { return {x, y, w, h, false, true, true}; }

struct Opened {
    explicit Opened(WindowPlacement remembered) : desktop(DesktopOptions{.remembered = remembered}) {
        EXPECT_TRUE(desktop.open());
        SDL_GetWindowPosition(desktop.window(), &x, &y);
        SDL_GetWindowSize(desktop.window(), &w, &h);
    }
    Desktop desktop;
    int x = 0, y = 0, w = 0, h = 0;
};

}   // namespace

TEST(WindowMemory, TheWindowOpensAtTheRememberedSizeAndPlace) {
    Opened window(at(60, 50, 1000, 700));
    EXPECT_EQ(window.x, 60);
    EXPECT_EQ(window.y, 50);
    EXPECT_EQ(window.w, 1000);
    EXPECT_EQ(window.h, 700);
    EXPECT_EQ(window.desktop.viewport().scale, 2) << "the screen scales to the remembered size";
}

TEST(WindowMemory, APlaceOffEveryDisplayOpensCentredAndASizeBelowTheScreensIsRaised) {
    Opened gone(at(30000, -30000, 960, 640));
    EXPECT_NE(gone.x, 30000);
    Opened tiny(at(10, 10, 100, 50));
    EXPECT_EQ(tiny.w, 480);
    EXPECT_EQ(tiny.h, 320);
}

TEST(WindowMemory, FullScreenIsRememberedWithTheWindowedSizeBehindIt) {
    Environment env;
    Opened window(at(40, 30, 960, 640));
    Desktop& desktop = window.desktop;
    SDL_SetWindowSize(desktop.window(), 1100, 720);
    desktop.handleEvent({.window = {SDL_WINDOWEVENT, 0, 0, SDL_WINDOWEVENT_SIZE_CHANGED, 0, 0, 0, 1100, 720}});
    desktop.toggleFullScreen();
    ASSERT_TRUE(SDL_GetWindowFlags(desktop.window()) & SDL_WINDOW_FULLSCREEN_DESKTOP);
    desktop.handleEvent({.window = {SDL_WINDOWEVENT, 0, 0, SDL_WINDOWEVENT_SIZE_CHANGED, 0, 0, 0, 1024, 768}});
    Settings settings(env.documents() + "/settings.json");
    storePlacement(settings, desktop.placement());
    ASSERT_TRUE(settings.save());

    Settings next(settings.path());
    ASSERT_TRUE(next.load());
    WindowPlacement p = loadPlacement(next);
    EXPECT_TRUE(p.fullScreen);
    EXPECT_EQ(p.width, 1100);
    EXPECT_EQ(p.height, 720);
    EXPECT_EQ(p.x, 40);
}

#ifdef PLUMBRICK_EXE
TEST(WindowMemory, TheProgramStartsOnADamagedSettingsFileAndWritesItAnewWhenItCloses) {
    Environment env;   // a fresh folder
    const std::string dir = env.documents(), file = dir + "/config/plumbrick/settings.json";
    std::filesystem::create_directories(dir + "/config/plumbrick");
    std::ofstream(file) << "{\"window\": {\"width\": 9";
    std::string command = "XDG_CONFIG_HOME='" + dir + "/config' XDG_DATA_HOME='" + dir + "/data' " PLUMBRICK_EXE +
                          std::string(" --mute --exit-after-first-frame 2>'") + dir + "/log'";
    int status = std::system(command.c_str());
    EXPECT_EQ(status, 0);
    std::ifstream logFile(dir + "/log");
    int settingsLines = 0;
    for (std::string line; std::getline(logFile, line);) settingsLines += line.find("settings:") != line.npos;
    EXPECT_EQ(settingsLines, 1);
    std::ifstream in(file);
    nlohmann::json written = nlohmann::json::parse(in, nullptr, false);
    ASSERT_TRUE(written.is_object());
    EXPECT_EQ(written["window"]["width"], 960);
    EXPECT_EQ(written["sound"].is_null(), true) << "--mute alone is not remembered";
}
#endif
