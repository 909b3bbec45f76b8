// Drawing only what changed: at every frame, the frame drawn in parts over the last one matches the whole
// frame drawn from scratch, pixel for pixel, through both games, pause, dimming, the statistics screen, the
// menu's paging and the screen transitions; a tick that changes nothing draws nothing; and a picture copied
// scaled across the edge of a changed part is drawn whole.

#include <gtest/gtest.h>

#include <SDL_image.h>

#include <cstring>
#include <functional>
#include <random>

#include "app/PlumbrickAppDelegate.h"
#include "app/PlumbrickViewController.h"
#include "games/egg/YolkfallViewController.h"
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
        auto* ra = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(sa->pixels) + y * sa->pitch);
        auto* rb = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(sb->pixels) + y * sb->pitch);
        if (std::memcmp(ra, rb, size_t(sa->w) * 4) == 0) continue;
        for (int x = 0; x < sa->w; ++x) differ += ra[x] != rb[x];
    }
    return differ;
}

// One canvas drawn in parts, as the window is, and one drawn whole, compared after every frame.
struct FramePair {
    explicit FramePair(int scale) : parts(scale), whole(scale) {}
    void draw(Window& root) {
        parts.renderChanges(root);
        whole.render(root);
        long differ = differingPixels(parts, whole);
        ++frames;
        if (differ && !firstDiffering) firstDiffering = frames;
        differing += differ;
        drawnPixels += parts.renderer().drawnPixels();
    }
    SurfaceCanvas parts, whole;
    int frames = 0, firstDiffering = 0;
    long differing = 0, drawnPixels = 0;
};

}   // namespace

class RedrawTest : public ::testing::Test {
protected:
    Window& window() { return static_cast<Window&>(driver.root()); }
    // Moves the clock on by frames of a sixtieth of a second, comparing both canvases after each.
    void play(double seconds, FramePair& pair) {
        for (int i = 0; i < int(seconds * 60 + 0.5); ++i) {
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
    FramePair pair(2);
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

TEST_F(RedrawTest, ATickThatChangesNoSegmentDrawsNothingAndOneThatDoesDrawsOnlyNearIt) {
    driver.dismissIntro();
    driver.openGame(1);
    driver.startRound(1.0);
    auto* delegate = dynamic_cast<plumbrick::PlumbrickAppDelegate*>(Application::sharedApplication().delegate());
    auto* root = dynamic_cast<plumbrick::PlumbrickViewController*>(delegate->viewController());
    auto* game = dynamic_cast<plumbrick::YolkfallViewController*>(root->getViewControllerGame(1));
    ASSERT_NE(game, nullptr);
    ASSERT_EQ(game->getState(), plumbrick::YolkfallViewController::kPlaying);
    window().takeChanges();

    // The game's 0.025 s ticks: most move nothing; find one that does not and one that does.
    std::function<void(View&, std::vector<const void*>&)> look = [&](View& v, std::vector<const void*>& seen) {
        auto* image = dynamic_cast<ImageView*>(&v);
        seen.push_back(v.isHidden() ? nullptr : image ? static_cast<const void*>(image->image().get()) : &v);
        for (const auto& child : v.subviews()) look(*child, seen);
    };
    auto shown = [&] {
        std::vector<const void*> seen;
        look(*game->view(), seen);
        return seen;
    };
    int quiet = 0, busy = 0;
    for (int i = 0; i < 400 && (quiet == 0 || busy == 0); ++i) {
        auto before = shown();
        driver.env().advance(0.025);
        bool changed = shown() != before;
        std::vector<Rect> changes = window().takeChanges();
        if (!changed) {
            ++quiet;
            EXPECT_TRUE(changes.empty()) << "tick " << i << " changed no segment";
        } else {
            ++busy;
            double area = 0;
            for (const Rect& r : changes) area += r.size.width * r.size.height;
            EXPECT_GT(area, 0);
            EXPECT_LT(area, 480.0 * 320 / 4) << "tick " << i;
        }
    }
    EXPECT_GT(quiet, 0);
    EXPECT_GT(busy, 0);
}

TEST_F(RedrawTest, TheWindowDrawsNoFrameWhenNothingChangedAndAWholeOneAfterAResize) {
    driver.dismissIntro();
    driver.menuPage(1);
    Desktop desktop;
    ASSERT_TRUE(desktop.open());
    desktop.setRoot(&window());
    EXPECT_TRUE(desktop.drawsChangesOnly());
    desktop.runOnce(false);   // the window's first frame, and its events of opening
    EXPECT_EQ(desktop.renderer()->drawnPixels(), 960L * 640) << "the first frame is whole";
    driver.advance(1.0);
    desktop.runOnce(false);
    const int frames = desktop.framesDrawn();
    driver.advance(2.0);   // the menu sits still
    desktop.runOnce(false);
    EXPECT_FALSE(desktop.needsFrame());
    EXPECT_EQ(desktop.framesDrawn(), frames);

    desktop.invalidateRect({10, 10, 20, 5});   // what is drawn over the tree marks its own area
    EXPECT_TRUE(desktop.needsFrame());
    desktop.drawFrame();
    EXPECT_EQ(desktop.framesDrawn(), frames + 1);
    EXPECT_LT(desktop.renderer()->drawnPixels(), 50L * 20);
    EXPECT_GE(desktop.renderer()->drawnPixels(), 40L * 10);

    SDL_Event resized{.window = {SDL_WINDOWEVENT, 0, 0, SDL_WINDOWEVENT_SIZE_CHANGED, 0, 0, 0, 960, 640}};
    desktop.handleEvent(resized);
    desktop.drawFrame();
    EXPECT_EQ(desktop.renderer()->drawnPixels(), 960L * 640);
}

// A picture of coloured cells, so that a copy sampled from a different place shows.
std::shared_ptr<Image> patterned(const std::string& folder) {
    std::string path = folder + "/cells";
    std::mt19937 random(7);
    for (auto [suffix, size] : {std::pair{".png", 13}, {"@2x.png", 26}}) {
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, size, size, 32, SDL_PIXELFORMAT_ARGB8888);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                SDL_Rect cell{x, y, 1, 1};
                SDL_FillRect(s, &cell, SDL_MapRGBA(s->format, Uint8(random()), Uint8(random()), Uint8(random()), 255));
            }
        IMG_SavePNG(s, (path + suffix).c_str());
        SDL_FreeSurface(s);
    }
    return std::make_shared<Image>(path, path + ".png", path + "@2x.png", Size{13, 13});
}

TEST_F(RedrawTest, APictureCopiedScaledAcrossAChangedPartsEdgeIsDrawnWhole) {
    auto screen = std::make_shared<Window>();
    auto cells = std::make_shared<ImageView>(patterned(driver.env().documents()));
    cells->setFrame({100.3, 50.7, 171.4, 93.9});   // stretched unevenly: filtered, not copied pixel for pixel
    screen->addSubview(cells);
    auto mirrored = std::make_shared<ImageView>(cells->image());
    mirrored->setFrame({300, 150, 13, 13});
    mirrored->setTransform(AffineTransform::makeScale(-1, 1));
    screen->addSubview(mirrored);
    auto mark = std::make_shared<View>(Rect(180, 90, 6, 6));
    mark->setBackgroundColor({1, 0, 0, 0.5});
    screen->addSubview(mark);
    for (int scale : {1, 2, 3}) {
        FramePair pair(scale);
        pair.draw(*screen);
        for (int step = 0; step < 12; ++step) {
            mark->setFrame({180.0 + step * 11.3, 90.0 + step * 5.1, 6, 6});   // over both pictures' edges and insides
            pair.draw(*screen);
        }
        EXPECT_EQ(pair.differing, 0) << "scale " << scale << ", first differing frame " << pair.firstDiffering;
        EXPECT_LT(pair.drawnPixels, 4L * 480 * 320 * scale * scale)
            << "scale " << scale << ": 13 frames, most in parts";
    }
}
