// The desktop front end on the whole application: the mouse and the keys on a game face, window sizes, the
// wheel on the menu strip, sounds on the mixer, and ending from the window or a signal.

#include <signal.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <utility>

#include "input_fixture.h"
#include "platform/Bundle.h"
#include "platform/Notification.h"
#include "platform/Sound.h"
#include "platform/Window.h"
#include "platform/sdl/MixerSound.h"
#include "platform/sdl/UrlOpener.h"

using namespace platform;
using namespace platform::sdl;
using plumbrick::YolkfallViewController;

class DesktopTest : public InputFixture {
protected:
    void SetUp() override {
        InputFixture::SetUp();
        NotificationCenter::defaultCenter().addObserver(
            this, ApplicationWillTerminateNotification, [this](const std::string&) { ++posted; },
            platform::Unowned{});   // removed in TearDown
    }
    void TearDown() override { NotificationCenter::defaultCenter().removeObserver(this); }
    // The left mouse button pressed at `down` and let go at `up`, through the window's own loop.
    void click(Point down, Point up) {
        for (SDL_Event e : {mouseButton(SDL_MOUSEBUTTONDOWN, down), mouseButton(SDL_MOUSEBUTTONUP, up)})
            SDL_PushEvent(&e);
        desktop.runOnce(false);
    }
    int posted = 0;
};

TEST_F(DesktopTest, AMousePressOnTheStartButtonStartsARoundAndLayoutKeysPressTheirControls) {
    openGame(1);
    const Point c = centreOf("1");
    // Released away from the button: no touch-up-inside, no round.
    click(c, {240, 160});
    EXPECT_EQ(state(1), YolkfallViewController::kIdle);
    EXPECT_FALSE(controlForKey(driver.root(), "1")->isHighlighted());
    click(c, c);
    EXPECT_TRUE(isPlaying(1));
    // l: right, down; a held key repeating is no new press; a: left, down; F9 is named by no control.
    for (auto [name, repeat, want] : {std::tuple{"l", false, 2}, {"a", true, 2}, {"a", false, 1}, {"F9", false, 1}}) {
        send(keyDown(name, repeat));
        EXPECT_EQ(basket(), want) << name << (repeat ? " repeating" : "");
    }
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
        send(windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, s.w, s.h));
        EXPECT_EQ(desktop.viewport(), s.want) << s.w;
    }
    EXPECT_EQ(desktop.toPoints(20 + 2 * 100, 180 + 2 * 50), (Point{100, 50}));
}

TEST_F(DesktopTest, TheWheelTurnsTheMenuStripByWholePagesUpToTheLast) {
    driver.dismissIntro();
    PointerInput& in = driver.input();
    EXPECT_TRUE(in.wheel(driver.root(), {240, 147}, 1));
    EXPECT_TRUE(in.wheel(driver.root(), {240, 147}, 1));
    driver.advance(0.5);
    EXPECT_EQ(stripOffset(), 960) << "the second turn counts on from where the first was going";
    EXPECT_FALSE(in.wheel(driver.root(), {240, 305}, 1)) << "below the strip there is nothing to scroll";
    for (int i = 0; i < 8; ++i) driver.key("right");
    driver.advance(0.5);
    EXPECT_EQ(stripOffset(), 2400) << "the sixth page is the last";
    for (int slot = 1; slot <= 6; ++slot) EXPECT_EQ(root().getViewControllerGame(slot), nullptr) << "nothing pressed";
}

TEST_F(DesktopTest, SoundsPlayOverlappingOnFreeChannelsNeverWaitWakeTheOutputAndWithoutADeviceAreSilent) {
    std::string endgame = Bundle::mainBundle().pathForResource("endgame", "aif"), audio = getenv("SDL_AUDIODRIVER");
    setenv("SDL_AUDIODRIVER", "no-such-device", 1);
    MixerSound silent;
    EXPECT_FALSE(silent.open());
    setenv("SDL_AUDIODRIVER", audio.c_str(), 1);
    silent.play(silent.create(endgame));
    EXPECT_EQ(silent.lastChannel(), -1);
    EXPECT_EQ(logLinesWith("running silent"), 1);

    MixerSound sound;
    SystemSoundID id = sound.create(endgame);
    EXPECT_FALSE(sound.isLoaded(id)) << "made before the device opens";
    ASSERT_TRUE(sound.open()) << SDL_GetError();
    ASSERT_TRUE(sound.isLoaded(id)) << endgame;
    int wakes = 0;   // an output that sleeps while nothing plays is woken before each chunk that plays
    sound.setBeforePlay([&] { ++wakes; });
    setSoundBackend(&sound);   // through the platform's calls
    AudioServicesPlaySystemSound(AudioServicesCreateSystemSoundID(endgame));
    setSoundBackend(&driver.env());
    EXPECT_GE(sound.lastChannel(), 0);
    EXPECT_EQ(wakes, 1) << "a chunk that plays";
    sound.play(sound.create(""));
    EXPECT_EQ(wakes, 1) << "a sound without a chunk";
    for (int i = 1; i <= MixerSound::kChannels; ++i) sound.play(id);
    EXPECT_EQ(sound.lastChannel(), -1) << "every channel busy: skipped, nothing cut";
    EXPECT_EQ(sound.playingChannels(), MixerSound::kChannels) << "each play overlapped on a channel of its own";
    sound.setMuted(true);
    const int played = wakes;
    sound.play(id);
    EXPECT_EQ(wakes, played) << "muted";
}

// MORE GAMES clicked in the window: the opener gets the home page as its one argument, with no shell between
// (the address holds a shell's special characters), and the menu stays on screen and answers.
TEST_F(DesktopTest, MoreGamesHandsTheHomePageToTheOpenerAsOneArgumentAndTheMenuStays) {
    const std::string folder = driver.env().documents(), opener = folder + "/opener";
    std::ofstream(opener) << "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > " << folder << "/url.txt\n";
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    desktop.setUrlOpener(programOpener(opener));
    const std::string url = "https://plumbrick.test/apps?id=7&x=1;touch $(echo hacked)";
    std::string saved = plumbrick::homePage();   // a copy: set back at the end
    plumbrick::setHomePage(url);
    driver.dismissIntro();
    Application::sharedApplication().setBackend(&desktop);
    const Point more{423, 13};   // MORE GAMES, top right of the menu
    click(more, more);
    ASSERT_GT(waitpid(-1, nullptr, 0), 0);
    std::ifstream written(folder + "/url.txt");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}), "1|" + url);
    EXPECT_FALSE(Application::sharedApplication().isTerminating());
    EXPECT_EQ(posted, 0);
    auto* menu = root().getViewControllerMenu();
    EXPECT_NE(menu->view()->superview(), nullptr);
    driver.key("right");   // the menu answers: the strip turns a page
    driver.advance(0.5);
    EXPECT_EQ(stripOffset(), 480);
    Application::sharedApplication().setBackend(nullptr);
    plumbrick::setHomePage(std::move(saved));
}

// A round being played, ended by closing the window, by SIGTERM or by Ctrl+Q: will-terminate once, saved.
enum class Ending { Window, Sigterm, CtrlQ };
class DesktopEnding : public DesktopTest, public ::testing::WithParamInterface<Ending> {};

TEST_P(DesktopEnding, EndingPostsWillTerminateOnceAndSavesAPlayingRound) {
    openGame(1);
    driver.startRound(2.0);
    ASSERT_TRUE(isPlaying(1));
    ASSERT_FALSE(std::filesystem::exists(egg().pathStateFile()));
    Application::sharedApplication().setBackend(&desktop);
    Desktop::installSignalHandlers();
    if (GetParam() == Ending::Sigterm) {
        raise(SIGTERM);
    } else if (GetParam() == Ending::CtrlQ) {
        SDL_Event e = keyDown("q");
        e.key.keysym.mod = KMOD_RCTRL;
        SDL_PushEvent(&e);
    } else {   // closing a window sends both: the window's close, then quit
        for (SDL_Event e : {windowEvent(SDL_WINDOWEVENT_CLOSE), SDL_Event{.type = SDL_QUIT}}) SDL_PushEvent(&e);
    }
    desktop.runOnce(false);
    desktop.runOnce(false);
    Desktop::restoreSignalHandlers();
    EXPECT_FALSE(desktop.isRunning());
    EXPECT_EQ(posted, 1);
    EXPECT_EQ(state(1), YolkfallViewController::kPaused);
    EXPECT_TRUE(std::filesystem::exists(egg().pathStateFile()));
}

std::string endingName(const ::testing::TestParamInfo<Ending>& info) {
    const char* const names[] = {"Window", "Sigterm", "CtrlQ"};
    return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(WindowSigtermOrCtrlQ, DesktopEnding,
                         ::testing::Values(Ending::Window, Ending::Sigterm, Ending::CtrlQ), endingName);
