// Window memory: full screen is remembered with the windowed size behind it, and the scales chosen for a display.
// How the window opens at the remembered size and place (never below the screen's size) on a real display, under a
// window manager, from a damaged settings file, is tests/window/window.test.sh.

#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/Settings.h"
#include "platform/headless/Headless.h"
#include "platform/sdl/Desktop.h"
#include "platform/sdl/DesktopStart.h"

using namespace platform;
using namespace platform::sdl;
using platform::headless::Environment;

namespace {

[[maybe_unused]] const bool kDummy = setenv("SDL_VIDEODRIVER", "dummy", 0) + setenv("SDL_AUDIODRIVER", "dummy", 0);

WindowPlacement at(int x, int y, int w, int h) { return {x, y, w, h, false, true, true}; }

}   // namespace

TEST(WindowMemory, FullScreenIsRememberedWithTheWindowedSizeBehindIt) {
    Environment env;
    Desktop desktop(DesktopOptions{.remembered = at(40, 30, 960, 640)});
    ASSERT_TRUE(desktop.open());
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

TEST(WindowStart, TheFirstStartFillsUpToFourFifthsOfTheDisplayInWholeStepsTwiceWhereThatFits) {
    struct {
        int w, h, first, largest;
    } displays[] = {{1280, 1024, 2, 2}, {3840, 2160, 5, 6}, {1366, 768, 2, 2}, {1024, 600, 1, 1},
                    {2560, 1440, 3, 4}, {1440, 960, 2, 3},  {400, 300, 1, 1},  {20000, 20000, 8, 8}};
    for (const auto& d : displays) {
        EXPECT_EQ(firstStartScale(d.w, d.h), d.first) << d.w << " x " << d.h;
        EXPECT_EQ(largestScale(d.w, d.h), d.largest) << d.w << " x " << d.h;
    }
}
