// Drawing only what changed: at every frame, the frame drawn in parts over the last one matches the whole
// frame drawn from scratch, pixel for pixel (the segments' shadows included), through both games and every
// screen; the window draws nothing
// while nothing changes.

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/Window.h"
#include "platform/sdl/Desktop.h"
#include "platform/sdl/Renderer.h"
#include "platform/sdl/SurfaceCanvas.h"
#include "tools/screenshot/ScreenDriver.h"

using namespace platform;
using namespace platform::sdl;

namespace {

[[maybe_unused]] const bool kDummy = setenv("SDL_VIDEODRIVER", "dummy", 0) + setenv("SDL_AUDIODRIVER", "dummy", 0);

long differingPixels(const SurfaceCanvas& a, const SurfaceCanvas& b) {
    SDL_Surface *sa = a.surface(), *sb = b.surface();
    long differ = 0;
    for (int y = 0; y < sa->h; ++y) {
        auto* ra =
            reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(sa->pixels) + std::ptrdiff_t{y} * sa->pitch);
        auto* rb =
            reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(sb->pixels) + std::ptrdiff_t{y} * sb->pitch);
        if (std::memcmp(ra, rb, size_t(sa->w) * 4) == 0) continue;
        for (int x = 0; x < sa->w; ++x) differ += ra[x] != rb[x];
    }
    return differ;
}

// One canvas drawn in parts, as the window is, and one drawn whole, compared after every frame.
struct FramePair {
    void draw(Window& root) {
        parts.renderChanges(root);
        whole.render(root);
        long differ = differingPixels(parts, whole);
        ++frames;
        if (differ && !firstDiffering) firstDiffering = frames;
        differing += differ;
        drawnPixels += parts.renderer().drawnPixels();
    }
    SurfaceCanvas parts{2}, whole{2};
    int frames = 0, firstDiffering = 0;
    long differing = 0, drawnPixels = 0;
};

}   // namespace

class RedrawTest : public ::testing::Test {
protected:
    Window& window() { return static_cast<Window&>(driver.root()); }
    // Moves the clock on by frames of a sixtieth of a second, comparing both canvases after each.
    void play(double seconds, FramePair& pair) {
        for (int i = 0; i < std::lround(seconds * 60); ++i) {
            driver.env().advance(1.0 / 60);
            driver.input().step();
            pair.draw(window());
        }
    }
    void key(const std::string& name, FramePair& pair) {
        driver.key(name);
        play(0.1, pair);
    }
    plumbrick::tools::ScreenDriver driver;
};

TEST_F(RedrawTest, EveryFrameDrawnInPartsEqualsTheWholeFrameThroughBothGamesAndEveryScreen) {
    FramePair pair;
    ASSERT_TRUE(pair.parts.renderer().shadows()) << "drawn with the segments' shadows, as the window draws";
    pair.draw(window());
    play(1.6, pair);       // the intro's prompt fades in
    key("return", pair);   // to the menu
    play(0.3, pair);
    for (const char* k : {"right", "right", "left"}) {   // paging, settling between pages
        key(k, pair);
        play(0.4, pair);
    }
    const int menuFrames = pair.frames;
    driver.tap({240, 147});   // the second game, the cook game: the screen's entrance
    play(1.5, pair);
    key("1", pair);
    play(3.0, pair);
    key("space", pair);   // paused: the face dims
    play(0.5, pair);
    key("space", pair);
    play(2.0, pair);
    key("i", pair);   // the statistics screen, and back
    play(1.0, pair);
    key("escape", pair);
    play(0.5, pair);
    key("escape", pair);   // to the menu: the screen's exit
    play(1.5, pair);
    key("left", pair);
    play(0.5, pair);
    driver.tap({240, 147});   // the egg game
    play(1.5, pair);
    key("1", pair);
    const long drawnBeforeRound = pair.drawnPixels;
    const int framesBeforeRound = pair.frames;
    play(4.0, pair);
    const long roundPixels = pair.drawnPixels - drawnBeforeRound;
    const int roundFrames = pair.frames - framesBeforeRound;
    key("space", pair);
    play(0.5, pair);
    key("i", pair);
    play(0.5, pair);
    key("escape", pair);
    key("space", pair);
    play(1.0, pair);
    key("escape", pair);
    play(1.5, pair);

    EXPECT_GT(menuFrames, 100);
    EXPECT_GT(pair.frames, 1000);
    EXPECT_EQ(pair.differing, 0) << "first differing frame: " << pair.firstDiffering;
    const long screen = 960L * 640;
    EXPECT_LT(roundPixels, screen * roundFrames / 10) << "a round in play draws under a tenth of the screen a frame";
}

// The web page shows what a frame drew through its own presenter, part by part, rather than the whole window
// every time.
TEST_F(RedrawTest, TheWindowDrawsNoFrameWhenNothingChangedOnlyTheChangedPartAndAWholeOneAfterAResize) {
    driver.dismissIntro();
    driver.menuPage(1);
    std::vector<SDL_Rect> shown;
    DesktopOptions options;
    options.presentPart = [&shown](std::uint8_t*, int, bool, int x, int y, int w, int h) {
        shown.push_back({x, y, w, h});
    };
    Desktop desktop(options);
    ASSERT_TRUE(desktop.open());
    desktop.setRoot(&window());
    desktop.runOnce(false);   // the window's first frame, and its events of opening
    EXPECT_EQ(desktop.renderer()->drawnPixels(), 960L * 640) << "the first frame is whole";
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].w * shown[0].h, 960 * 640) << "a whole frame is one part";
    driver.advance(1.0);
    desktop.runOnce(false);
    const int frames = desktop.framesDrawn();
    driver.advance(2.0);   // the menu sits still
    desktop.runOnce(false);
    EXPECT_FALSE(desktop.needsFrame());
    EXPECT_EQ(desktop.framesDrawn(), frames);

    shown.clear();
    desktop.invalidateRect({10, 10, 20, 5});   // what is drawn over the tree marks its own area
    EXPECT_TRUE(desktop.needsFrame());
    desktop.drawFrame();
    EXPECT_EQ(desktop.framesDrawn(), frames + 1);
    // The part (40 x 10 pixels), grown by a shadow's reach and a spare pixel on every side.
    EXPECT_LT(desktop.renderer()->drawnPixels(), 56L * 26);
    ASSERT_EQ(shown.size(), 1u);
    const SDL_Rect change{20, 20, 40, 10};
    SDL_Rect both;
    ASSERT_TRUE(SDL_IntersectRect(&shown[0], &change, &both));
    EXPECT_TRUE(SDL_RectEquals(&both, &change)) << "the part shown holds the whole change";

    SDL_Event resized{.window = {SDL_WINDOWEVENT, 0, 0, SDL_WINDOWEVENT_SIZE_CHANGED, 0, 0, 0, 960, 640}};
    desktop.handleEvent(resized);
    desktop.drawFrame();
    EXPECT_EQ(desktop.renderer()->drawnPixels(), 960L * 640);
}
