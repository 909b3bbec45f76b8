// Window memory: the window opens at the remembered size and place (never below the screen's size), full
// screen is remembered with the windowed size behind it, and what the settings file holds is fitted to the
// display (SDL's dummy display: 1024 x 768). Where the window comes back under a real window manager is checked
// by tests/window/window.test.sh.

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

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

TEST(WindowMemory, TheWindowOpensAtTheRememberedSizeAndPlaceNeverBelowTheScreensSize) {
    Opened window(at(60, 50, 1000, 700));
    EXPECT_EQ(window.x, 60);
    EXPECT_EQ(window.y, 50);
    EXPECT_EQ(window.w, 1000);
    EXPECT_EQ(window.h, 700);
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

// A window section that cannot be used, whole or in part, is not remembered at all; one that can, is.
TEST(WindowMemory, APlaceOrSizeThatIsNotAWholeNumberInRangeOrHalfAPairIsUnusable) {
    Environment env;
    const std::string path = env.documents() + "/settings.json";
    const char* bad[] = {
        R"("x": -99999999, "y": 5)",       R"("x": "left", "y": 5)",         R"("x": 10)",
        R"("width": -960, "height": 640)", R"("width": 0, "height": 640)",   R"("width": 960.5, "height": 640)",
        R"("width": 1e30, "height": 640)", R"("width": 960, "height": null)"};
    for (const char* section : bad) {
        std::ofstream(path) << R"({"window": {)" << section << "}}";
        Settings settings(path);
        ASSERT_TRUE(settings.load());
        const WindowPlacement p = loadPlacement(settings);
        EXPECT_TRUE(p.unusable) << section;
        EXPECT_FALSE(p.placed || p.sized) << section;
    }
    std::ofstream(path) << R"({"window": {"x": -300, "y": 0, "width": 100, "height": 50, "fullscreen": true}})";
    Settings settings(path);
    ASSERT_TRUE(settings.load());
    EXPECT_FALSE(loadPlacement(settings).unusable) << "a place left of the first display, a small size";
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

// fitToDisplay on the dummy display, 1024 x 768: at most scale 2 fits, and a first start opens at 2.
class WindowStartFit : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError(); }
    void TearDown() override { SDL_QuitSubSystem(SDL_INIT_VIDEO); }
    DesktopOptions fit(WindowPlacement remembered, int scale = 0) {
        DesktopOptions options{.remembered = remembered};
        if (scale) options.scale = scale;
        fitToDisplay(options, scale != 0);
        return options;
    }
    long logged(const std::string& part) const {
        return std::count_if(env.logLines().begin(), env.logLines().end(),
                             [&](const std::string& l) { return l.find(part) != std::string::npos; });
    }
    Environment env;
};

TEST_F(WindowStartFit, AnAskedScaleLargerThanTheDisplayIsLoweredWithOneLogLine) {
    EXPECT_EQ(fit({}, 3).scale, 2);
    EXPECT_EQ(logged("window: scale 3 does not fit the display's usable area of 1024 x 768; opening at scale 2"), 1);
    EXPECT_EQ(fit({}, 1).scale, 1) << "a scale that fits stays";
    EXPECT_EQ(env.logLines().size(), 1u);
}

TEST_F(WindowStartFit, ARememberedSizeLargerThanTheDisplayGivesWayToTheLargestScaleThatFits) {
    const DesktopOptions big = fit(at(0, 0, 1440, 960));
    EXPECT_FALSE(big.remembered.sized);
    EXPECT_EQ(big.scale, 2);
    EXPECT_TRUE(big.remembered.placed) << "the place stays";
    EXPECT_EQ(logged("the remembered size 1440 x 960 does not fit"), 1);
    EXPECT_TRUE(fit(at(0, 0, 1024, 700)).remembered.sized) << "a size that fits stays";
}

TEST_F(WindowStartFit, APlaceOffEveryDisplayOrAnUnusableSectionOpensCentredAtTheFirstStartsSizeWithOneLogLine) {
    WindowPlacement unusable;
    unusable.unusable = true;
    for (const WindowPlacement& remembered : {at(30000, -30000, 960, 640), at(-2000, 10, 1000, 700), unusable}) {
        env.clearLog();
        const DesktopOptions options = fit(remembered);
        EXPECT_FALSE(options.remembered.placed) << remembered.x;
        EXPECT_FALSE(options.remembered.sized) << remembered.x;
        EXPECT_EQ(options.scale, 2) << remembered.x;
        EXPECT_EQ(logged("window: the remembered place or size cannot be used; opening centred at 960 x 640"), 1);
    }
    EXPECT_EQ(fit({}).scale, 2) << "nothing remembered: the first start's scale";
}
