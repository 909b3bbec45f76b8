// The desktop window with a real game face: what is drawn, mouse presses and keys turned into presses of
// the face's controls, window sizes, ending the application and handing links to the system.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "app/PlumbrickAppDelegate.h"
#include "app/PlumbrickViewController.h"
#include "games/egg/YolkfallViewController.h"
#include "platform/Input.h"
#include "platform/Notification.h"
#include "platform/headless/Headless.h"
#include "platform/sdl/Desktop.h"
#include "platform/sdl/SurfaceCanvas.h"
#include "tests/sdl/TestSupport.h"
#include "tools/screenshot/ScreenDriver.h"

using namespace platform;
using platform::sdl::Desktop;
using platform::sdl::SurfaceCanvas;
using plumbrick::YolkfallViewController;

namespace {

// The face's segments: image views with a picture and a tag from 1 to 9999 (direct subviews of the face).
std::vector<ImageView*> segments(View& face) {
    std::vector<ImageView*> out;
    for (const auto& v : face.subviews())
        if (auto* iv = dynamic_cast<ImageView*>(v.get()); iv && iv->image() && v->tag() >= 1 && v->tag() <= 9999)
            out.push_back(iv);
    return out;
}

struct PixelBox {
    int x0, y0, x1, y1;
    bool contains(int x, int y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
};

PixelBox boxOf(View& v, int scale) {
    Point o = v.superview()->convertToRoot(v.frame().origin);
    return {int(o.x * scale), int(o.y * scale), int((o.x + v.frame().size.width) * scale),
            int((o.y + v.frame().size.height) * scale)};
}

int darkest(const SurfaceCanvas& c, const PixelBox& b) {
    int least = 255;
    for (int y = b.y0; y < b.y1; ++y)
        for (int x = b.x0; x < b.x1; ++x) least = std::min(least, c.pixel(x, y).luminance());
    return least;
}

SDL_Event mouse(Uint32 type, int x, int y) {
    SDL_Event e{};
    e.type = type;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.button.x = x;
    e.button.y = y;
    return e;
}

SDL_Event keyDown(SDL_Keycode key, bool repeat = false) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.state = SDL_PRESSED;
    e.key.repeat = repeat ? 1 : 0;
    e.key.keysym.sym = key;
    return e;
}

SDL_Event windowEvent(Uint8 kind, int w = 0, int h = 0) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = kind;
    e.window.data1 = w;
    e.window.data2 = h;
    return e;
}

}  // namespace

// One egg game face, on its own in a window.
class GameFaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        sdltest::useDummyDrivers();
        game = std::make_shared<YolkfallViewController>("Yolkfall.v1", "YolkfallViewController", nullptr);
        window = std::make_shared<Window>();
        ASSERT_NE(game->view(), nullptr);
        window->addSubview(game->viewShared());
    }
    Point centreOf(Control* c) {
        return c->superview()->convertToRoot({c->frame().midX(), c->frame().midY()});
    }

    headless::Environment env;
    std::shared_ptr<YolkfallViewController> game;
    std::shared_ptr<Window> window;
};

TEST_F(GameFaceTest, ALitSegmentIsDrawnInItsFrameAndNowhereElse) {
    View& face = *game->view();
    auto segs = segments(face);
    ASSERT_GT(segs.size(), 10u) << "the face has its segment pictures";
    for (auto* s : segs) s->setHidden(true);
    SurfaceCanvas canvas(2);
    canvas.render(*window);
    SurfaceCanvas lit(2);

    // Several segments, one at a time: each darkens pixels inside its own frame only.
    for (std::size_t i = 0; i < segs.size(); i += segs.size() / 5) {
        ImageView* seg = segs[i];
        seg->setHidden(false);
        lit.render(*window);
        seg->setHidden(true);
        PixelBox box = boxOf(*seg, 2);
        int inked = 0, outside = 0;
        for (int y = 0; y < 640; ++y)
            for (int x = 0; x < 960; ++x) {
                int before = canvas.pixel(x, y).luminance(), after = lit.pixel(x, y).luminance();
                if (box.contains(x, y)) inked += after < before - 40;
                else outside += after != before;
            }
        EXPECT_GT(inked, 20) << "segment " << seg->tag() << " shows dark ink in its frame";
        EXPECT_EQ(outside, 0) << "segment " << seg->tag() << " changes nothing outside its frame";
    }
}

TEST_F(GameFaceTest, ADimmedFaceDrawsItsLitSegmentsLighter) {
    Desktop desktop;
    ASSERT_TRUE(desktop.open());
    desktop.setRoot(window.get());
    SDL_Event start = keyDown(SDLK_1);
    desktop.handleEvent(start);
    env.advance(0.5);
    ASSERT_EQ(game->getState(), YolkfallViewController::kPlaying);

    std::vector<ImageView*> shown;
    for (auto* s : segments(*game->view()))
        if (!s->isHidden() && s->tag() < 1000) shown.push_back(s);
    ASSERT_FALSE(shown.empty());
    ImageView* seg = shown.front();
    for (auto* s : shown)   // the biggest lit segment (the wolf): the clearest ink
        if (s->frame().size.width * s->frame().size.height > seg->frame().size.width * seg->frame().size.height) seg = s;

    SurfaceCanvas canvas(2);
    canvas.render(*window);
    int playing = darkest(canvas, boxOf(*seg, 2));

    desktop.handleEvent(keyDown(SDLK_SPACE));
    env.advance(0.05);
    ASSERT_EQ(game->getState(), YolkfallViewController::kPaused);
    ASSERT_TRUE(game->getDisplayAlfa());
    ASSERT_FALSE(seg->isHidden());
    canvas.render(*window);
    int paused = darkest(canvas, boxOf(*seg, 2));
    EXPECT_GT(paused, playing + 10) << "ink at alpha 0.7 over the panel is lighter";
}

TEST_F(GameFaceTest, AMousePressOnTheStartButtonStartsARound) {
    Desktop desktop;
    ASSERT_TRUE(desktop.open());
    desktop.setRoot(window.get());
    ASSERT_EQ(desktop.viewport().scale, 2);
    Control* startA = controlForKey(*window, "1");
    ASSERT_NE(startA, nullptr);
    Point c = centreOf(startA);

    // Pressed on the button, released away from it: no touch-up-inside, no round.
    SDL_Event down = mouse(SDL_MOUSEBUTTONDOWN, int(c.x * 2), int(c.y * 2));
    SDL_Event upAway = mouse(SDL_MOUSEBUTTONUP, 480, 320);
    SDL_PushEvent(&down);
    SDL_PushEvent(&upAway);
    desktop.runOnce(false);
    EXPECT_EQ(game->getState(), YolkfallViewController::kIdle);
    EXPECT_FALSE(startA->isHighlighted());

    SDL_Event up = mouse(SDL_MOUSEBUTTONUP, int(c.x * 2), int(c.y * 2));
    SDL_PushEvent(&down);
    SDL_PushEvent(&up);
    desktop.runOnce(false);
    EXPECT_EQ(game->getState(), YolkfallViewController::kPlaying);
    EXPECT_EQ(game->getTypeGame(), 1);
    EXPECT_GT(desktop.framesDrawn(), 0);
}

TEST_F(GameFaceTest, KeysNamedInTheLayoutPressTheirControls) {
    Desktop desktop;
    ASSERT_TRUE(desktop.open());
    desktop.setRoot(window.get());
    SDL_Event one = keyDown(SDLK_1);
    SDL_PushEvent(&one);
    desktop.runOnce(false);
    ASSERT_EQ(game->getState(), YolkfallViewController::kPlaying);
    EXPECT_EQ(game->getTypeGame(), 1);

    desktop.handleEvent(keyDown(SDLK_l));   // right, down
    EXPECT_EQ(game->getWolf()->getPosBasket(), 2);
    desktop.handleEvent(keyDown(SDLK_a, true));   // a held key repeating is not a new press
    EXPECT_EQ(game->getWolf()->getPosBasket(), 2);
    desktop.handleEvent(keyDown(SDLK_a));   // left, down
    EXPECT_EQ(game->getWolf()->getPosBasket(), 1);
    desktop.handleEvent(keyDown(SDLK_F9));   // named by no control: nothing happens
    EXPECT_EQ(game->getState(), YolkfallViewController::kPlaying);
}

TEST_F(GameFaceTest, TheWindowScalesInWholeStepsAndMapsThePointerBack) {
    Desktop desktop;
    ASSERT_TRUE(desktop.open());
    desktop.setRoot(window.get());
    SDL_SetWindowSize(desktop.window(), 1500, 1000);
    desktop.handleEvent(windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 1500, 1000));
    int w = 0, h = 0;
    SDL_GetRendererOutputSize(SDL_GetRenderer(desktop.window()), &w, &h);
    ASSERT_EQ(w, 1500);
    EXPECT_EQ(desktop.viewport(), (sdl::Viewport{3, 30, 20}));
    Point p = desktop.toPoints(30 + 3 * 100, 20 + 3 * 50);
    EXPECT_DOUBLE_EQ(p.x, 100);
    EXPECT_DOUBLE_EQ(p.y, 50);

    // Too small for 2 in one direction: 1, centred.
    SDL_SetWindowSize(desktop.window(), 1000, 1000);
    desktop.handleEvent(windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 1000, 1000));
    EXPECT_EQ(desktop.viewport(), (sdl::Viewport{2, 20, 180}));
}

// The whole application, with a round being played, ended from outside.
class DesktopEnding : public ::testing::Test {
protected:
    void SetUp() override {
        sdltest::useDummyDrivers();
        driver.dismissIntro();
        driver.openGame(1);
        driver.startRound(2.0);
        auto* delegate = dynamic_cast<plumbrick::PlumbrickAppDelegate*>(Application::sharedApplication().delegate());
        ASSERT_NE(delegate, nullptr);
        auto* rootController = dynamic_cast<plumbrick::PlumbrickViewController*>(delegate->viewController());
        game = dynamic_cast<YolkfallViewController*>(rootController->getViewControllerGame(1));
        ASSERT_NE(game, nullptr);
        ASSERT_EQ(game->getState(), YolkfallViewController::kPlaying);
        ASSERT_FALSE(std::filesystem::exists(game->pathStateFile()));
        NotificationCenter::defaultCenter().addObserver(&posted, ApplicationWillTerminateNotification,
                                                        [this](const std::string&) { ++posted; });
        ASSERT_TRUE(desktop.open());
        Application::sharedApplication().setBackend(&desktop);
    }
    void TearDown() override { Application::sharedApplication().setBackend(&driver.env()); }
    void expectEndedOnceAndSaved() {
        EXPECT_FALSE(desktop.isRunning());
        EXPECT_EQ(posted, 1);
        EXPECT_EQ(game->getState(), YolkfallViewController::kPaused);
        EXPECT_TRUE(std::filesystem::exists(game->pathStateFile()));
    }

    plumbrick::tools::ScreenDriver driver;
    Desktop desktop;
    YolkfallViewController* game = nullptr;
    int posted = 0;
};

TEST_F(DesktopEnding, ClosingTheWindowPostsWillTerminateOnceAndSavesAPlayingRound) {
    // Closing a window sends both: the window's close, then quit.
    SDL_Event close = windowEvent(SDL_WINDOWEVENT_CLOSE);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&close);
    SDL_PushEvent(&quit);
    desktop.runOnce(false);
    expectEndedOnceAndSaved();
}

TEST_F(DesktopEnding, SigtermEndsTheApplicationTheSameWay) {
    Desktop::installSignalHandlers();
    raise(SIGTERM);
    desktop.runOnce(false);
    desktop.runOnce(false);
    Desktop::restoreSignalHandlers();
    expectEndedOnceAndSaved();
}

TEST(DesktopLinks, OpeningALinkHandsItToTheOpenerThenEndsTheApplicationOnce) {
    headless::Environment env;
    std::string folder = env.documents();
    std::string opener = folder + "/opener";
    {
        std::ofstream script(opener);
        script << "#!/bin/sh\nprintf '%s' \"$1\" > " << folder << "/url.txt\n";
    }
    chmod(opener.c_str(), 0755);
    int posted = 0;
    NotificationCenter::defaultCenter().addObserver(&posted, ApplicationWillTerminateNotification,
                                                    [&posted](const std::string&) { ++posted; });
    Desktop desktop;
    desktop.setUrlOpener(opener);
    Application::sharedApplication().setBackend(&desktop);
    EXPECT_TRUE(Application::sharedApplication().openURL("https://example.org/apps?id=7"));
    int status = 0;
    ASSERT_GT(waitpid(-1, &status, 0), 0);
    std::ifstream written(folder + "/url.txt");
    std::string url((std::istreambuf_iterator<char>(written)), std::istreambuf_iterator<char>());
    EXPECT_EQ(url, "https://example.org/apps?id=7");
    EXPECT_EQ(posted, 1);
    Application::sharedApplication().terminate();
    EXPECT_EQ(posted, 1);

    desktop.setUrlOpener("/nonexistent/opener");
    EXPECT_FALSE(desktop.openURL("https://example.org/"));
    EXPECT_TRUE(env.logContains("openURL: cannot start /nonexistent/opener"));
    Application::sharedApplication().setBackend(&env);
}
