// The desktop front end. The renderer on view trees built here: alpha down the tree, hidden subtrees,
// animations drawn as they run, @2x pictures, transforms about the centre, scroll-view and table clipping,
// labels. On the whole application: a game face drawn, pressed with the mouse and the keys, window sizes, the
// menu driven by pointer and keys, sounds on the mixer, and ending from the window, a signal or a link.

#include <gtest/gtest.h>

#include <SDL_image.h>

#include <signal.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>

#include "app/IntroViewController.h"
#include "app/MainMenuViewController.h"
#include "app/PlumbrickAppDelegate.h"
#include "app/PlumbrickViewController.h"
#include "games/egg/YolkfallViewController.h"
#include "platform/Bundle.h"
#include "platform/Input.h"
#include "platform/Notice.h"
#include "platform/Notification.h"
#include "platform/Sound.h"
#include "platform/TableView.h"
#include "platform/sdl/Desktop.h"
#include "platform/sdl/MixerSound.h"
#include "platform/sdl/Renderer.h"
#include "platform/sdl/SurfaceCanvas.h"
#include "tools/screenshot/ScreenDriver.h"

using namespace platform;
using namespace platform::sdl;
using plumbrick::YolkfallViewController;

namespace {

// No display and no sound card, also when run by hand: the dummy drivers, unless others were chosen.
[[maybe_unused]] const bool kDummy = setenv("SDL_VIDEODRIVER", "dummy", 0) + setenv("SDL_AUDIODRIVER", "dummy", 0);

SDL_Event mouse(Uint32 type, Point p) {   // p in points, on a window at scale 2
    Uint8 state = type == SDL_MOUSEBUTTONDOWN;
    return {.button = {type, 0, 0, 0, SDL_BUTTON_LEFT, state, 1, 0, int(2 * p.x), int(2 * p.y)}};
}
SDL_Event key(SDL_Keycode sym, bool repeat = false) {
    return {.key = {SDL_KEYDOWN, 0, 0, SDL_PRESSED, Uint8(repeat), 0, 0, {SDL_SCANCODE_UNKNOWN, sym, 0, 0}}};
}
SDL_Event windowEvent(Uint8 kind, int w = 0, int h = 0) {
    return {.window = {SDL_WINDOWEVENT, 0, 0, kind, 0, 0, 0, w, h}};
}

// A view's frame in pixels of a scale-2 canvas: x0, y0, x1, y1.
std::array<int, 4> pixelBox(View& v) {
    Point o = v.superview()->convertToRoot(v.frame().origin);
    return {int(o.x * 2), int(o.y * 2), int((o.x + v.frame().size.width) * 2), int((o.y + v.frame().size.height) * 2)};
}

constexpr Rgba kBlack{0, 0, 0, 255}, kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255};

// Three table rows of the default height (44 points): green, blue, green.
struct Rows : TableViewDataSource {
    int numberOfRowsInSection(TableView&, int) override { return 3; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView&, IndexPath path) override {
        auto cell = std::make_shared<TableViewCell>(Rect(0, 0, 100, 44), "row");
        cell->setBackgroundColor(path.row == 1 ? Color{0, 0, 1, 1} : Color{0, 1, 0, 1});
        return cell;
    }
};
}   // namespace

// The application started on the virtual clock, with the desktop window open beside it.
class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(desktop.open());
        NotificationCenter::defaultCenter().addObserver(this, ApplicationWillTerminateNotification,
                                                        [this](const std::string&) { ++posted; });
    }
    plumbrick::PlumbrickViewController& root() {
        auto* delegate = dynamic_cast<plumbrick::PlumbrickAppDelegate*>(Application::sharedApplication().delegate());
        return *dynamic_cast<plumbrick::PlumbrickViewController*>(delegate->viewController());
    }
    double offset() { return root().getViewControllerMenu()->getMenuScrolView()->contentOffset().x; }
    // Slot 1's game on screen, idle.
    YolkfallViewController& openGame() {
        EXPECT_TRUE(driver.key("return")) << "Return dismisses the intro";
        driver.openGame(1);
        game = dynamic_cast<YolkfallViewController*>(root().getViewControllerGame(1));
        EXPECT_NE(game, nullptr);
        return *game;
    }
    // On `screen`, a tree of our own: a picture of one colour (with a @2x file of another when given)
    // stretched over `frame` in `parent`; with no colour, a plain view.
    std::shared_ptr<View> add(Rect frame, const Rgba* color = nullptr, View* parent = nullptr,
                              const Rgba* color2x = nullptr) {
        std::shared_ptr<View> v = std::make_shared<View>();
        if (color) {
            std::string path = driver.env().documents() + "/p" + std::to_string(++made);
            for (auto [c, suffix, size] : {std::tuple{color, ".png", 8}, {color2x, "@2x.png", 16}}) {
                SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, size, size, 32, SDL_PIXELFORMAT_ARGB8888);
                SDL_FillRect(s, nullptr, c ? SDL_MapRGBA(s->format, c->r, c->g, c->b, c->a) : 0);
                IMG_SavePNG(s, (path + suffix).c_str());
                SDL_FreeSurface(s);
            }
            v = std::make_shared<ImageView>(
                std::make_shared<Image>(path, path + ".png", color2x ? path + "@2x.png" : "", Size{8, 8}));
        }
        v->setFrame(frame);
        (parent ? parent : screen.get())->addSubview(v);
        return v;
    }
    Rgba at(double x, double y) {
        canvas.render(*screen);
        return canvas.pixelAtPoint(x, y);
    }
    // The desktop outlives the application, which ends before it; the counter outlives both.
    int posted = 0;
    Desktop desktop;
    plumbrick::tools::ScreenDriver driver;
    PointerInput& in = driver.input();
    YolkfallViewController* game = nullptr;
    std::shared_ptr<Window> screen = std::make_shared<Window>();
    SurfaceCanvas canvas{2};
    int made = 0;
};

TEST_F(DesktopTest, AlphaMultipliesDownTheTreeHiddenSubtreesAreSkippedAndAnimationsAreDrawnAsTheyRun) {
    auto outer = add(Rect(0, 0, 480, 320)), inner = add(Rect(0, 0, 480, 320), nullptr, outer.get());
    add(Rect(100, 50, 40, 20), &kBlue, inner.get(), &kRed);   // @2x pictures at scale 2 only, decoded once
    SurfaceCanvas one(1);
    one.render(*screen);
    EXPECT_EQ(one.pixelAtPoint(139.9, 69.9), kBlue);
    EXPECT_EQ(at(139.9, 69.9), kRed);
    outer->setHidden(true);
    EXPECT_EQ(at(120, 60), kBlack);
    outer->setHidden(false);
    outer->setAlpha(0.5);
    inner->setAlpha(0.5);
    EXPECT_NEAR(at(120, 60).r, 64, 2);   // 255 * 0.25 over black
    EXPECT_EQ(canvas.renderer().cachedPictures(), 1u);

    // Animated from 0 to 1: the model is 1 at once, the picture goes from 0 by way of the middle.
    inner->setAlpha(0);
    outer->setAlpha(1);
    View::beginAnimations();
    View::setAnimationDuration(1.0);
    inner->setAlpha(1);
    View::commitAnimations();
    EXPECT_EQ(at(120, 60).r, 0);
    driver.env().advance(0.5);
    EXPECT_NEAR(at(120, 60).r, 128, 88);
    driver.env().advance(0.6);
    EXPECT_EQ(at(120, 60), kRed);
}

TEST_F(DesktopTest, TransformsTurnAboutTheCentreAndScrollViewsAndTablesShiftAndClipTheirContent) {
    add(Rect(100, 100, 100, 100), &kRed)->setTransform({0.5, 0, 0, 0.5, 0, -30});   // 125..175 x, 95..145 y
    auto parent = add(Rect(0, 0, 480, 320));   // 20 points at the screen's centre shrink to 14 about it
    add(Rect(230, 150, 20, 20), &kBlue, parent.get());
    parent->setTransform(AffineTransform::makeScale(0.7, 0.7));
    auto strip = std::make_shared<ScrollView>(Rect(300, 20, 100, 50));
    strip->setContentSize({300, 50});
    screen->addSubview(strip);
    add(Rect(0, 0, 100, 50), &kRed, strip.get());
    add(Rect(100, 0, 100, 50), &kGreen, strip.get());
    auto table = std::make_shared<TableView>(Rect(300, 200, 100, 60));   // room for a row and a bit
    Rows rows;
    table->setDataSource(&rows);
    screen->addSubview(table);
    table->reloadData();
    const std::pair<Point, Rgba> expected[] = {{{126, 96}, kRed},    {{124, 120}, kBlack}, {{176, 120}, kBlack},
                                               {{150, 146}, kBlack}, {{240, 160}, kBlue},  {{232.5, 160}, kBlack},
                                               {{350, 45}, kRed},    {{410, 45}, kBlack},  {{350, 220}, kGreen},
                                               {{350, 250}, kBlue},  {{350, 265}, kBlack}};
    for (const auto& [p, want] : expected) EXPECT_EQ(at(p.x, p.y), want) << p.x << "," << p.y;
    strip->setContentOffset({100, 0});
    EXPECT_EQ(at(350, 45), kGreen);
    EXPECT_EQ(at(290, 45), kBlack) << "the first page, now left of the strip: clipped";
}

TEST_F(DesktopTest, LabelsDrawTheirTextInsideTheirFrameWithAlignment) {
    screen->setBackgroundColor(Color::white());
    auto label = std::make_shared<Label>(Rect(20, 20, 200, 30));
    label->setText("8888");
    label->setFont({"Helvetica", 20});
    screen->addSubview(label);
    auto inked = [&](int from, int to) {   // any dark pixel in those columns of the label
        canvas.render(*screen);
        for (int x = from; x < to; ++x)
            for (int y = 20; y < 50; ++y)
                if (canvas.pixelAtPoint(x, y).luminance() < 100) return true;
        return false;
    };
    EXPECT_TRUE(inked(20, 40)) << "left-aligned: from the left edge";
    EXPECT_FALSE(inked(160, 220)) << "left-aligned: nothing at the right";
    label->setTextAlignment(TextAlignmentRight);
    EXPECT_FALSE(inked(20, 80)) << "right-aligned: nothing at the left";
    EXPECT_TRUE(inked(200, 220)) << "right-aligned: to the right edge";
}

TEST_F(DesktopTest, ALitSegmentInksItsFrameOnlyAndAHiddenOneNothing) {
    View& face = *openGame().view();
    const int tags[] = {100, 201, 302, 403, 504, 600, 704, 802, 901};
    for (int tag : tags) face.viewWithTag(tag)->setHidden(true);
    SurfaceCanvas hidden(2), lit(2);
    hidden.render(driver.root());
    for (int tag : tags) {
        View& seg = *face.viewWithTag(tag);
        seg.setHidden(false);
        lit.render(driver.root());
        seg.setHidden(true);
        auto [x0, y0, x1, y1] = pixelBox(seg);
        int inked = 0, outside = 0;
        for (int y = 0; y < 640; ++y)
            for (int x = 0; x < 960; ++x) {
                int before = hidden.pixel(x, y).luminance(), after = lit.pixel(x, y).luminance();
                if (x >= x0 && x < x1 && y >= y0 && y < y1)
                    inked += after < before - 40;
                else
                    outside += after != before;
            }
        EXPECT_GT(inked, 20) << "segment " << tag;
        EXPECT_EQ(outside, 0) << "segment " << tag;
    }
}

TEST_F(DesktopTest, ADimmedFaceDrawsItsLitSegmentsLighter) {
    View& face = *openGame().view();
    desktop.handleEvent(key(SDLK_1));
    driver.advance(0.5);
    ASSERT_EQ(game->getState(), YolkfallViewController::kPlaying);
    View* wolf = nullptr;   // the lit pose of the wolf: the clearest ink
    for (int tag = 100; tag <= 103; ++tag)
        if (!face.viewWithTag(tag)->isHidden()) wolf = face.viewWithTag(tag);
    ASSERT_NE(wolf, nullptr);
    auto darkest = [&] {
        SurfaceCanvas canvas(2);
        canvas.render(driver.root());
        auto [x0, y0, x1, y1] = pixelBox(*wolf);
        int least = 255;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) least = std::min(least, canvas.pixel(x, y).luminance());
        return least;
    };
    int playing = darkest();
    desktop.handleEvent(key(SDLK_SPACE));
    driver.advance(0.05);
    ASSERT_EQ(game->getState(), YolkfallViewController::kPaused);
    ASSERT_TRUE(game->getDisplayAlfa());
    ASSERT_FALSE(wolf->isHidden());
    EXPECT_GT(darkest(), playing + 10) << "ink at alpha 0.7 over the panel is lighter";
}

TEST_F(DesktopTest, AMousePressOnTheStartButtonStartsARoundAndLayoutKeysPressTheirControls) {
    openGame();
    // The menu button, where it is drawn once the face is in (its view slid up), takes the pointer too.
    View* menuButton = game->getBtMenu();
    Point m = menuButton->superview()->convertToRoot({menuButton->frame().midX(), menuButton->frame().midY()});
    m.y += menuButton->superview()->presentationTransform().ty;
    EXPECT_LT(m.y, 320);
    EXPECT_EQ(controlAt(driver.root(), m), menuButton) << m.y;
    Control* startA = controlForKey(driver.root(), "1");
    ASSERT_NE(startA, nullptr);
    Point c = startA->superview()->convertToRoot({startA->frame().midX(), startA->frame().midY()});
    // Released away from the button: no touch-up-inside, no round.
    for (SDL_Event e : {mouse(SDL_MOUSEBUTTONDOWN, c), mouse(SDL_MOUSEBUTTONUP, {240, 160})}) SDL_PushEvent(&e);
    desktop.runOnce(false);
    EXPECT_EQ(game->getState(), YolkfallViewController::kIdle);
    EXPECT_FALSE(startA->isHighlighted());
    for (SDL_Event e : {mouse(SDL_MOUSEBUTTONDOWN, c), mouse(SDL_MOUSEBUTTONUP, c)}) SDL_PushEvent(&e);
    desktop.runOnce(false);
    EXPECT_EQ(game->getState(), YolkfallViewController::kPlaying);
    EXPECT_EQ(game->getTypeGame(), 1);
    // l: right, down; a held key repeating is no new press; a: left, down; F9 is named by no control.
    for (auto [event, basket] :
         {std::pair{key(SDLK_l), 2}, {key(SDLK_a, true), 2}, {key(SDLK_a), 1}, {key(SDLK_F9), 1}}) {
        desktop.handleEvent(event);
        EXPECT_EQ(game->getWolf()->getPosBasket(), basket) << event.key.keysym.sym;
    }
    EXPECT_EQ(game->getState(), YolkfallViewController::kPlaying);
}

TEST_F(DesktopTest, TheWindowScalesInWholeStepsAndMapsThePointerBack) {
    EXPECT_EQ(desktop.viewport().scale, 2);
    // 1500 x 1000 holds three times 480 x 320, centred; 1000 x 1000 only twice.
    struct {
        int w, h;
        Viewport want;
    } sizes[] = {{1500, 1000, {3, 30, 20}}, {1000, 1000, {2, 20, 180}}};
    for (const auto& s : sizes) {
        SDL_SetWindowSize(desktop.window(), s.w, s.h);
        desktop.handleEvent(windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, s.w, s.h));
        EXPECT_EQ(desktop.viewport(), s.want) << s.w;
    }
    EXPECT_EQ(desktop.toPoints(20 + 2 * 100, 180 + 2 * 50), (Point{100, 50}));
}

TEST_F(DesktopTest, ThePointerDismissesTheIntroOpensAndClosesAnInfoPageAndDragsAndTheWheelTurnWholePages) {
    driver.intro();
    driver.tap({40, 300});
    EXPECT_EQ(root().getViewControllerIntro()->view()->superview(), nullptr);
    EXPECT_FALSE(driver.key("return")) << "on the menu Return presses nothing";
    driver.tap({45, 307});   // the first information control
    ASSERT_EQ(root().view()->subviews().size(), 2u);
    EXPECT_FALSE(driver.key("right")) << "the strip under an information page does not turn";
    in.press(driver.root(), {240, 160});   // touch-down removes the page, and with it the held control
    EXPECT_EQ(root().view()->subviews().size(), 1u);
    EXPECT_EQ(in.heldControl(), nullptr);
    in.release(driver.root(), {240, 160});   // goes nowhere
    // From x to x in four moves, then settling: less than a sixth of a page springs back; nothing before page 1.
    for (auto [from, to, want] : {std::tuple{300, 120, 480}, {200, 240, 480}, {100, 400, 0}, {100, 400, 0}}) {
        in.press(driver.root(), {double(from), 147});
        for (int i = 1; i <= 4; ++i) in.move(driver.root(), {from + (to - from) * i / 4.0, 147});
        in.release(driver.root(), {double(to), 147});
        driver.advance(0.5);
        EXPECT_EQ(offset(), want) << from << " to " << to;
    }
    EXPECT_TRUE(in.wheel(driver.root(), {240, 147}, 1));
    EXPECT_TRUE(in.wheel(driver.root(), {240, 147}, 1));
    driver.advance(0.5);
    EXPECT_EQ(offset(), 960) << "the wheel counts on from where the strip is going";
    EXPECT_FALSE(in.wheel(driver.root(), {240, 305}, 1)) << "below the strip there is nothing to scroll";
    for (int i = 0; i < 8; ++i) driver.key("right");
    driver.advance(0.5);
    EXPECT_EQ(offset(), 2400) << "the sixth page is the last";
    for (int slot = 1; slot <= 6; ++slot) EXPECT_EQ(root().getViewControllerGame(slot), nullptr) << "nothing pressed";
}

TEST_F(DesktopTest, SoundsPlayOverlappingOnFreeChannelsNeverWaitAndWithoutADeviceAreSilentWithOneLogLine) {
    std::string endgame = Bundle::mainBundle().pathForResource("endgame", "aif"), audio = getenv("SDL_AUDIODRIVER");
    setenv("SDL_AUDIODRIVER", "no-such-device", 1);
    MixerSound silent;
    EXPECT_FALSE(silent.open());
    setenv("SDL_AUDIODRIVER", audio.c_str(), 1);
    silent.play(silent.create(endgame));
    EXPECT_EQ(silent.lastChannel(), -1);
    const auto& log = driver.env().logLines();
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [](auto& l) { return l.find("running silent") != l.npos; }), 1);

    MixerSound sound;
    SystemSoundID id = sound.create(endgame);
    EXPECT_FALSE(sound.isLoaded(id)) << "made before the device opens";
    ASSERT_TRUE(sound.open()) << SDL_GetError();
    ASSERT_TRUE(sound.isLoaded(id)) << endgame;
    sound.play(sound.create("/nonexistent.aif"));
    EXPECT_EQ(sound.lastChannel(), -1);
    setSoundBackend(&sound);   // through the platform's calls
    AudioServicesPlaySystemSound(AudioServicesCreateSystemSoundID(endgame));
    setSoundBackend(&driver.env());
    EXPECT_GE(sound.lastChannel(), 0);
    for (int i = 1; i <= MixerSound::kChannels; ++i) sound.play(id);
    EXPECT_EQ(sound.lastChannel(), -1) << "every channel busy: skipped, nothing cut";
    EXPECT_EQ(sound.playingChannels(), MixerSound::kChannels) << "each play overlapped on a channel of its own";
}

// A round being played, ended by closing the window (false) or by SIGTERM (true): will-terminate once, saved.
class DesktopEnding : public DesktopTest, public ::testing::WithParamInterface<bool> {};

TEST_P(DesktopEnding, EndingPostsWillTerminateOnceAndSavesAPlayingRound) {
    openGame();
    driver.startRound(2.0);
    ASSERT_EQ(game->getState(), YolkfallViewController::kPlaying);
    ASSERT_FALSE(std::filesystem::exists(game->pathStateFile()));
    Application::sharedApplication().setBackend(&desktop);
    Desktop::installSignalHandlers();
    if (GetParam())
        raise(SIGTERM);
    else   // closing a window sends both: the window's close, then quit
        for (SDL_Event e : {windowEvent(SDL_WINDOWEVENT_CLOSE), SDL_Event{.type = SDL_QUIT}}) SDL_PushEvent(&e);
    desktop.runOnce(false);
    desktop.runOnce(false);
    Desktop::restoreSignalHandlers();
    EXPECT_FALSE(desktop.isRunning());
    EXPECT_EQ(posted, 1);
    EXPECT_EQ(game->getState(), YolkfallViewController::kPaused);
    EXPECT_TRUE(std::filesystem::exists(game->pathStateFile()));
}

INSTANTIATE_TEST_SUITE_P(WindowOrSigterm, DesktopEnding, ::testing::Bool());

TEST_F(DesktopTest, OpeningALinkHandsItToTheOpenerThenEndsTheApplicationOnce) {
    std::string folder = driver.env().documents(), opener = folder + "/opener";
    std::ofstream(opener) << "#!/bin/sh\nprintf '%s' \"$1\" > " << folder << "/url.txt\n";
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    desktop.setUrlOpener(opener);
    Application::sharedApplication().setBackend(&desktop);
    EXPECT_TRUE(Application::sharedApplication().openURL("https://example.org/apps?id=7"));
    ASSERT_GT(waitpid(-1, nullptr, 0), 0);
    std::ifstream written(folder + "/url.txt");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}), "https://example.org/apps?id=7");
    EXPECT_EQ(posted, 1);
    Application::sharedApplication().terminate();
    EXPECT_EQ(posted, 1);
}

TEST_F(DesktopTest, ANoticeIsDrawnOverTheScreenUntilItExpiresAndAsksForTheFramesItNeeds) {
    openGame();
    driver.env().advance(2);
    auto pixel = [this] {
        Uint32 p = 0;
        SDL_Rect r{480, 606, 1, 1};   // the middle of the notice's strip, at scale 2
        SDL_RenderReadPixels(SDL_GetRenderer(desktop.window()), &r, SDL_PIXELFORMAT_ARGB8888, &p, 4);
        return int((p >> 16 & 255) + (p >> 8 & 255) + (p & 255));
    };
    desktop.drawFrame();
    int plain = pixel();
    EXPECT_FALSE(desktop.needsFrame());

    postNotice("Saving is not possible");
    EXPECT_TRUE(desktop.needsFrame()) << "a new notice asks for a frame";
    desktop.drawFrame();
    const int shown = pixel();
    EXPECT_LT(shown, plain - 100) << "the notice's dark strip is drawn";
    EXPECT_FALSE(desktop.needsFrame());
    desktop.invalidateRect(
        Rect(100, 280, 40, 40));   // a part of the tree under the notice changes, away from the pixel read
    desktop.drawFrame();
    EXPECT_EQ(pixel(), shown) << "the strip is not drawn over itself";

    driver.env().advance(Notices::kDefaultSeconds);
    EXPECT_TRUE(desktop.needsFrame()) << "an expired notice asks for a frame";
    desktop.drawFrame();
    EXPECT_EQ(pixel(), plain);
}
