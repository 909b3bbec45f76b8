// The application loop in a browser. The browser owns the loop: at every animation frame the desktop's
// loop makes one pass without waiting (the timers that fell due, the input that arrived, a frame when
// something changed), and nothing ever blocks. The page (web/page.js) has loaded the save folder from
// IndexedDB before main runs, writes it back after every save, and calls plumbrick_will_terminate when the
// page is hidden or left: the application then ends as it does when its window closes. The sound keys
// (M, - and =) work as on the desktop; the page keeps the settings file in IndexedDB too.

#include <emscripten.h>
#include <emscripten/html5.h>

#include <SDL.h>
#include <spawn.h>

#include <cerrno>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Bundle.h"
#include "platform/Log.h"
#include "platform/Notice.h"
#include "platform/Notification.h"
#include "platform/RunLoop.h"
#include "platform/Settings.h"
#include "platform/Sound.h"
#include "platform/sdl/Desktop.h"
#include "platform/sdl/MixerSound.h"
#include "platform/sdl/SoundControl.h"

namespace platform {

namespace {

// performance.now() for the run loop, Date.now() for dates.
class BrowserClock : public Clock {
public:
    double now() const override { return (emscripten_get_now() - start_) / 1000.0; }
    double wallClock() const override { return emscripten_date_now() / 1000.0; }

private:
    double start_ = emscripten_get_now();
};

// The desktop window on the page's canvas; links open in a new tab and the page stays.
class WebDesktop : public sdl::Desktop {
public:
    using Desktop::Desktop;
    bool openURL(const std::string& url) override {
        EM_ASM({ window.open(UTF8ToString($0), '_blank', 'noopener'); }, url.c_str());
        return true;
    }
};

// The program's own work per browser frame, in milliseconds, for the page's benchmark.
constexpr std::size_t kWorkSamples = 4096;

struct Page {
    BrowserClock clock;
    sdl::MixerSound sound;
    Settings settings;
    sdl::SoundControl soundControl{sound, &settings};
    std::unique_ptr<WebDesktop> desktop;
    std::vector<float> work = std::vector<float>(kWorkSamples);
    std::size_t passes = 0;
    bool ended = false;
    bool firstFrameMarked = false;
};

Page* page = nullptr;

// While nothing moves and no timer is due soon, the loop runs on a short timer instead of at every browser
// frame, so that an idle page costs little (no frames are composed); input then waits at most one such
// period, and the loop is back at every frame as soon as something moves.
constexpr double kIdlePeriod = 1.0 / 20;   // seconds between idle passes
bool idling = false;
bool held = false;   // the page asks for the device to be turned: nothing runs meanwhile

// A browser runs SDL's audio callback on the main thread, from the audio context's processing event, about
// 90 times a second whether anything plays or not (a paused SDL device is fed silence the same way): most of
// an idle page's work. While the loop idles and no channel plays, the audio context is suspended, which
// stops those events; the next play resumes it. The page's own wake-up on a touch may resume it meanwhile:
// the next idle pass suspends it again.
void quietAudio() {
    if (page->sound.isSilent() || page->sound.playingChannels() > 0) return;
    // JavaScript, kept as written (the formatter would split its ===).
    // clang-format off
    EM_ASM({
        var ctx = Module.SDL2 && Module.SDL2.audioContext;
        if (ctx && ctx.state === 'running') ctx.suspend();
    });
    // clang-format on
}

void wakeAudio() {
    // JavaScript, kept as written (the formatter would split its ===).
    // clang-format off
    EM_ASM({
        var ctx = Module.SDL2 && Module.SDL2.audioContext;
        if (ctx && ctx.state === 'suspended') ctx.resume();
    });
    // clang-format on
}

void scheduleNext() {
    double due = RunLoop::main().nextDueTime() - page->clock.now();
    bool idle = !page->desktop->needsFrame() && due > kIdlePeriod;
    if (idle) quietAudio();
    if (idle != idling) {
        emscripten_set_main_loop_timing(idle ? EM_TIMING_SETTIMEOUT : EM_TIMING_RAF,
                                        idle ? int(kIdlePeriod * 1000) : 1);
        idling = idle;
    }
}

// Once: the loop stops and the page is told (it reloads the program when it is next shown).
void endPage() {
    if (!page || page->ended) return;
    page->ended = true;
    emscripten_cancel_main_loop();
    EM_ASM({
        if (Module.plumbrickEnded) Module.plumbrickEnded();
    });
}

void onFrame() {
    Application& app = Application::sharedApplication();
    double start = emscripten_get_now();
    if (!app.isTerminating()) {
        try {
            page->desktop->runOnce(false);
        } catch (const std::exception& e) {
            logLine(std::string("plumbrick: ") + e.what());
            app.terminate();
        }
    }
    // The page can end at any moment without a word (a reload, a closed tab, a discarded background tab):
    // a playing round is written now and then, as the pause writes it, and the page keeps the write.
    if (!app.isTerminating())
        NotificationCenter::defaultCenter().postNotificationName(ApplicationCheckpointNotification);
    page->work[page->passes++ % kWorkSamples] = float(emscripten_get_now() - start);
    if (!page->firstFrameMarked && page->desktop->framesDrawn() > 0) {
        page->firstFrameMarked = true;
        EM_ASM({
            if (Module.plumbrickFirstFrame) Module.plumbrickFirstFrame();
        });
    }
    if (app.isTerminating())
        endPage();
    else
        scheduleNext();
}

}   // namespace

int UIApplicationMain(int, char**) {
    SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0");   // touches arrive as fingers only, never as the mouse too
    SDL_SetHint(SDL_HINT_MOUSE_TOUCH_EVENTS, "0");
    setenv("SDL_AUDIODRIVER", "emscripten", 0);
    Bundle::mainBundle().setResourcePath("/resources");   // the page's data package

    page = new Page;   // lives as long as the page: the browser calls back into it after main returns
    RunLoop::main().setClock(&page->clock);
    page->sound.open();   // silent, with one log line, where the browser has no audio
    setSoundBackend(&page->sound);
    page->sound.setBeforePlay(wakeAudio);
    page->settings.load();   // $XDG_CONFIG_HOME/plumbrick, kept in IndexedDB by the page
    page->soundControl.restore();

    // The canvas keeps 2 pixels a point (the pictures' own size); the page scales it to fit the viewport.
    sdl::DesktopOptions options;
    options.scale = 2;
    options.frameInterval = 1.0 / 75;   // every browser frame at 60 Hz, every other one at 120 Hz
    options.resizable = false;          // the page fits the canvas to the screen with CSS
    options.shadows = page->settings.getBool("display", "shadow", true);
    // A phone or tablet (no hovering, a coarse pointer) has shown no keyboard: no key names until a key is pressed.
    options.keyNames = EM_ASM_INT({ return matchMedia('(hover: none) and (pointer: coarse)').matches ? 0 : 1; }) != 0;
    page->settings.set("display", "shadow", options.shadows);
    page->desktop = std::make_unique<WebDesktop>(options);
    page->desktop->setKeyHandler([](const std::string& key) { return page->soundControl.key(key); });
    // SDL keeps a canvas that had no size from the page at the window's size: the page sizes it by CSS
    // only after main (web/page.js), and the browser scales it.
    if (!page->desktop->open()) return 1;

    Application& app = Application::sharedApplication();
    app.setBackend(page->desktop.get());
    try {
        app.launch("MainWindow");
    } catch (const std::exception& e) {
        logLine(std::string("plumbrick: ") + e.what());
        return 1;
    }
    emscripten_set_main_loop(onFrame, 0, 0);
    return 0;
}

}   // namespace platform

// A browser starts no programs: the desktop's link opener (never called here, links open in a new tab)
// links against this.
extern "C" int posix_spawnp(pid_t*, const char*, const posix_spawn_file_actions_t*, const posix_spawnattr_t*,
                            char* const[], char* const[]) {
    return ENOSYS;
}

// Called by the page when it is hidden or left: a playing round is paused, recorded and saved, as when the
// desktop window closes. The page then writes the save folder to IndexedDB.
extern "C" EMSCRIPTEN_KEEPALIVE void plumbrick_will_terminate() {
    platform::Application::sharedApplication().terminate();
    platform::endPage();
}

// Called by the page while it asks for the device to be turned (1) and when it is turned back (0): the
// loop stops meanwhile, so a round waits where it was; a timer that fell behind fires once on return.
extern "C" EMSCRIPTEN_KEEPALIVE void plumbrick_hold(int on) {
    using namespace platform;
    if (!page || page->ended || held == bool(on)) return;
    held = on;
    if (held) {
        emscripten_cancel_main_loop();
    } else {
        idling = false;
        emscripten_set_main_loop(onFrame, 0, 0);
    }
}

// Whether sound is off and the volume (0 to 8), as JSON; reading it changes nothing.
extern "C" EMSCRIPTEN_KEEPALIVE const char* plumbrick_sound() {
    static std::string json;
    bool muted = platform::page && platform::page->sound.isMuted();
    int volume = platform::page ? platform::page->sound.volume() : 0;
    json = std::string("{\"muted\":") + (muted ? "true" : "false") + ",\"volume\":" + std::to_string(volume) + "}";
    return json.c_str();
}

// The program's work in the last browser frames (milliseconds, oldest first) and the passes so far, as
// JSON; reading it changes nothing.
extern "C" EMSCRIPTEN_KEEPALIVE const char* plumbrick_frame_work() {
    static std::string json;
    json = "{\"passes\":" + std::to_string(platform::page ? platform::page->passes : 0) + ",\"frames\":" +
           std::to_string(platform::page && platform::page->desktop ? platform::page->desktop->framesDrawn() : 0) +
           ",\"work\":[";
    if (platform::page) {
        std::size_t n = std::min(platform::page->passes, platform::kWorkSamples);
        for (std::size_t i = 0; i < n; ++i) {
            std::size_t at = (platform::page->passes - n + i) % platform::kWorkSamples;
            char buf[32];
            std::snprintf(buf, sizeof buf, "%s%.3f", i ? "," : "", platform::page->work[at]);
            json += buf;
        }
    }
    json += "]}";
    return json.c_str();
}

// Called by the page whenever it fits the screen: the least touch area of a control, in points each way (a
// thumb's width on the screen at the size it is shown; web/page.js).
extern "C" EMSCRIPTEN_KEEPALIVE void plumbrick_touch_reach(double points) {
    if (platform::page && platform::page->desktop) platform::page->desktop->input().setTouchReach(points);
}

// Called by the page to tell the player something about the page itself (its saves not kept in this
// browser), in the notice strip for `seconds`.
extern "C" EMSCRIPTEN_KEEPALIVE void plumbrick_notice(const char* text, double seconds) {
    if (text) platform::postNotice(text, seconds);
}
