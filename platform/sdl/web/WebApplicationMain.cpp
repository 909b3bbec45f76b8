// The application loop in a browser. The browser owns the loop: at each of its calls (every animation frame
// while something moves, a timer otherwise) the desktop's loop makes one pass without waiting (the timers
// that fell due, the input that arrived, a frame when something changed), and nothing ever blocks. The
// program's parts are composed by sdl::Bootstrap as on the desktop. The page (web/page.js) has loaded the
// save folder from IndexedDB before main runs, keeps each file a save puts in place (told through the
// bridge, PageBridge.h), and calls plumbrick_will_terminate when the page is hidden or left: the application
// then ends as it does when its window closes. The sound keys (M, - and =) work as on the desktop; the page
// keeps the settings file in IndexedDB too.

#include <emscripten.h>
#include <emscripten/html5.h>

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/FileManager.h"
#include "platform/Log.h"
#include "platform/Notice.h"
#include "platform/Notification.h"
#include "platform/RunLoop.h"
#include "platform/sdl/Bootstrap.h"
#include "platform/sdl/web/PageBridge.h"
#include "platform/sdl/web/PageLoop.h"

// One changed part of the frame put on the page's canvas (as SDL's present puts the whole frame, each pixel
// made opaque), so that a frame costs what changed.
EM_JS(void, present_part, (const std::uint8_t* pixels, int pitch, bool redLow, int x, int y, int w, int h), {
    var ctx = Module['ctx'] || Module['canvas'].getContext('2d');
    var image = ctx.createImageData(w, h);
    var out = new Uint32Array(image.data.buffer);   // the canvas's bytes R, G, B, A: 0xAABBGGRR
    var i = 0;
    for (var row = 0; row < h; ++row) {
        var from = (pixels + (y + row) * pitch + x * 4) >> 2;
        var end = from + w;
        if (redLow) {
            out.set(HEAPU32.subarray(from, end), i);   // opaque already (presentPart)
            i += w;
        } else {
            for (; from < end; ++from) {
                var v = HEAPU32[from];
                out[i++] = 0xff000000 | (v & 0xff) << 16 | (v & 0xff00) | (v >> 16 & 0xff);
            }
        }
    }
    ctx.putImageData(image, x, y);
});

// The part as the canvas takes it. Where red is the low byte, the pixels are the canvas's own bytes but for the
// unused fourth one, which the canvas reads as opacity: set here, in the program's own memory (no pixel shows
// it), so that the page copies rows whole.
void presentPart(std::uint8_t* pixels, int pitch, bool redLow, int x, int y, int w, int h) {
    if (redLow)
        for (int row = 0; row < h; ++row) {
            auto* p = reinterpret_cast<std::uint32_t*>(pixels + std::ptrdiff_t{y + row} * pitch) + x;
            for (int i = 0; i < w; ++i) p[i] |= 0xff000000u;
        }
    present_part(pixels, pitch, redLow, x, y, w, h);
}

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

// The program's own work per browser frame, in milliseconds (PageLoop.h).
constexpr std::size_t kWorkSamples = 4096;

struct Page {
    BrowserClock clock;
    // The sound is opened after the first frame: nothing plays before a touch, and the browser lets nothing be
    // heard before one.
    sdl::Bootstrap program{clock, false, false};
    std::vector<float> work = std::vector<float>(kWorkSamples);
    std::size_t passes = 0;
    bool ended = false;
    bool firstFrameMarked = false;
    bool soundTried = false;   // opened (or found missing) in the pass after the first frame
    bool scaled = false;       // the canvas at the page's pixels a point (first in the pass after the first frame)
};

Page* page = nullptr;

// The loop runs at every browser frame only while something is to be drawn. Otherwise it passes on a timer
// every kIdlePeriod, so that no frame is composed for a pass that changes nothing, and a round's 40 ticks a
// second cost 20 passes: the run loop fires a timer that fell behind by less than a period at each of its
// times, in order, so a round plays exactly as it would with a pass for every tick, its changes shown at
// most a period later. Input does not wait: the page calls plumbrick_input at every touch, click or key,
// which brings the next pass forward.
constexpr double kIdlePeriod = 1.0 / 20;   // seconds between passes while nothing is to be drawn
constexpr double kCatchUp = 0.1;           // at least a period and the timer's lateness
int timeoutMs = 0;                         // the timer's period; 0 while the loop runs at every frame
bool held = false;                         // the page asks for the device to be turned: nothing runs meanwhile

// A running audio context keeps the browser's audio thread (and the device) busy whether anything plays or
// not. While the loop idles and no sound plays, the page is told that it may sleep; before the next play it is
// told to wake it (a round plays on without that: its sounds are never late for a wake-up). The page's own
// wake-up on a touch may resume it meanwhile: the next idle pass lets it sleep again.
void quietAudio() {
    const sdl::MixerSound& sound = page->program.sound();
    if (sound.isSilent() || sound.playingChannels() > 0) return;
    web::sleepAudio();
}

void scheduleNext() {
    int ms = 0;   // at every frame while something is to be drawn
    if (!page->program.desktop().needsFrame()) {
        if (RunLoop::main().nextDueTime() - page->clock.now() > kIdlePeriod) quietAudio();
        ms = int(kIdlePeriod * 1000);
    }
    if (ms == timeoutMs) return;
    timeoutMs = ms;
    if (ms > 0)
        emscripten_set_main_loop_timing(EM_TIMING_SETTIMEOUT, ms);
    else
        emscripten_set_main_loop_timing(EM_TIMING_RAF, 1);
}

// Once: the loop stops and the page is told (it reloads the program when it is next shown).
void endPage() {
    if (!page || page->ended) return;
    page->ended = true;
    emscripten_cancel_main_loop();
    web::tellEnded();
}

void onFrame() {
    Application& app = Application::sharedApplication();
    double start = emscripten_get_now();
    if (!app.isTerminating()) {
        try {
            page->program.desktop().runOnce(false);
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
    if (!page->firstFrameMarked && page->program.desktop().framesDrawn() > 0) {
        page->firstFrameMarked = true;
        web::tellFirstFrame();
    } else if (page->firstFrameMarked && !page->scaled) {
        // The first frame is drawn at 2 pixels a point, from the built pictures, as fast as they allow; then the
        // canvas takes as many as the page chose for its screen, and the pictures drawn for that come after.
        // The page asks again when its screen takes a different number (plumbrick_rescale).
        page->scaled = true;
        const int scale = EM_ASM_INT({ return Module.plumbrickScale ? Module.plumbrickScale() : 2; });
        SDL_Window* window = page->program.desktop().window();
        int width = 0, height = 0;
        SDL_GetWindowSize(window, &width, &height);
        if (width != sdl::Desktop::kWidthPoints * scale)
            SDL_SetWindowSize(window, sdl::Desktop::kWidthPoints * scale, sdl::Desktop::kHeightPoints * scale);
    } else if (page->firstFrameMarked && page->program.sound().isSilent() && !page->soundTried) {
        page->soundTried = true;
        page->program.sound().open();
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
    setenv("PLUMBRICK_RESOURCES", "/resources", 1);   // the page's data package: no executable to look beside

    setFileChangeHook(web::tellFileChange);   // the page keeps what the saves put in place

    page = new Page;   // lives as long as the page: the browser calls back into it after main returns
    page->program.sound().setBeforePlay(web::wakeAudio);

    // The canvas keeps 2 pixels a point (the built pictures' own) for the first frame, then as many as the page
    // chose for the screen it covers (onFrame); the page scales it to fit.
    sdl::DesktopOptions options;
    options.scale = 2;
    options.frameInterval = 1.0 / 75;   // every browser frame at 60 Hz, every other one at 120 Hz
    options.resizable = false;          // the page fits the canvas to the screen with CSS
    // A phone or tablet (no hovering, a coarse pointer) has shown no keyboard: no key names until a key is pressed.
    options.keyNames = EM_ASM_INT({ return matchMedia('(hover: none) and (pointer: coarse)').matches ? 0 : 1; }) != 0;
    options.openURL = web::openInNewTab;
    options.presentPart = presentPart;
    // SDL keeps a canvas that had no size from the page at the window's size: the page sizes it by CSS
    // only after main (web/page.js), and the browser scales it.
    if (!page->program.openWindow(options) || !page->program.launch()) {
        delete page;   // nothing runs: the page's calls find no program
        page = nullptr;
        return 1;
    }
    RunLoop::main().setCatchUp(kCatchUp);
    emscripten_set_main_loop(onFrame, 0, 0);
    return 0;
}

}   // namespace platform

// Called by the page when it is hidden or left: a playing round is paused, recorded and saved, as when the
// desktop window closes; the page keeps each file the saves put in place as they land.
extern "C" EMSCRIPTEN_KEEPALIVE void plumbrick_will_terminate() {
    platform::Application::sharedApplication().terminate();
    platform::endPage();
}

// Called by the page at every touch, click or key, before the program's own handlers queue it: while the loop
// waits on its timer, the next pass comes at once instead.
extern "C" EMSCRIPTEN_KEEPALIVE void plumbrick_input() {
    using namespace platform;
    if (!page || page->ended || held || timeoutMs <= 0) return;
    timeoutMs = -1;   // set again after that pass
    emscripten_set_main_loop_timing(EM_TIMING_SETTIMEOUT, 0);
    emscripten_resume_main_loop();
}

// Called by the page when its screen would take a different number of pixels a point (a window made larger, or
// moved to a denser screen): the canvas takes it at the next pass.
extern "C" EMSCRIPTEN_KEEPALIVE void plumbrick_rescale() {
    using namespace platform;
    if (!page || page->ended || !page->firstFrameMarked) return;
    page->scaled = false;
    plumbrick_input();
}

// Called by the page when pictures it drew from the art's masters have come (web/art.js): the whole frame is
// drawn again with them, at the next pass.
extern "C" EMSCRIPTEN_KEEPALIVE void plumbrick_art_arrived() {
    using namespace platform;
    if (!page || page->ended) return;
    page->program.desktop().invalidateAll();
    plumbrick_input();
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
        timeoutMs = 0;   // the loop set again runs at every frame
        emscripten_set_main_loop(onFrame, 0, 0);
    }
}

namespace platform::web {

LoopRecord loopRecord() {
    LoopRecord record;
    if (!page) return record;
    record.passes = page->passes;
    record.frames = page->program.desktop().framesDrawn();
    const std::size_t n = std::min(page->passes, kWorkSamples);
    for (std::size_t i = 0; i < n; ++i) record.work.push_back(page->work[(page->passes - n + i) % kWorkSamples]);
    return record;
}

const sdl::MixerSound* pageSound() { return page ? &page->program.sound() : nullptr; }

}   // namespace platform::web

// Called by the page whenever it fits the screen: the least touch area of a control, in points each way (a
// thumb's width on the screen at the size it is shown; web/page.js).
extern "C" EMSCRIPTEN_KEEPALIVE void plumbrick_touch_reach(double points) {
    if (platform::page) platform::page->program.desktop().input().setTouchReach(points);
}

// Called by the page to tell the player something about the page itself (its saves not kept in this
// browser), in the notice strip for `seconds`.
extern "C" EMSCRIPTEN_KEEPALIVE void plumbrick_notice(const char* text, double seconds) {
    if (text) platform::postNotice(text, seconds);
}
