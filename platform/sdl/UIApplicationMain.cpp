// The application loop of the desktop: a real clock for the run loop, SDL_mixer sounds, the window, the
// application made from its main layout, and the loop until the window closes or a signal ends it.

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include <SDL.h>

#include "platform/Application.h"
#include "platform/Log.h"
#include "platform/RunLoop.h"
#include "platform/Settings.h"
#include "platform/Sound.h"
#include "platform/sdl/Desktop.h"
#include "platform/sdl/MixerSound.h"
#include "platform/sdl/SoundControl.h"

namespace platform {

namespace {

class SteadyClock : public Clock {
public:
    double now() const override {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }
    double wallClock() const override {
        return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
    }
private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

void usage() {
    // One log line per line of text: the log turns inner line breaks into spaces.
    logLine("usage: plumbrick [--scale N] [--fullscreen] [--mute]");
    logLine("  --scale N      window pixels per point at start (default 2)");
    logLine("  --fullscreen   start full screen (F11 toggles)");
    logLine("  --mute         start without sound (M turns it on)");
}

}  // namespace

int UIApplicationMain(int argc, char** argv) {
    sdl::DesktopOptions options;
    bool exitAfterFirstFrame = false;
    bool startMuted = false;
    bool scaleGiven = false, fullScreenGiven = false;   // the command line wins over the window memory
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--scale" && i + 1 < argc) {
            options.scale = std::max(1, std::atoi(argv[++i]));
            scaleGiven = true;
        } else if (arg == "--fullscreen") {
            options.fullScreen = true;
            fullScreenGiven = true;
        } else if (arg == "--mute") {
            startMuted = true;
        } else if (arg == "--exit-after-first-frame") {   // start-up measurements
            exitAfterFirstFrame = true;
        } else if (arg == "--help" || arg == "-h") {
            usage();
            return 0;
        } else {
            logLine("plumbrick: unknown argument " + arg);
            usage();
            return 2;
        }
    }

    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");   // the loop paces itself
    sdl::Desktop::installSignalHandlers();
    SteadyClock clock;
    RunLoop::main().setClock(&clock);

    int result = 0;
    {
        sdl::MixerSound sound;
        sound.open();   // silent, with one log line, when there is no audio device
        setSoundBackend(&sound);
        Settings settings;
        settings.load();
        sdl::SoundControl soundControl(sound, &settings);
        soundControl.restore(startMuted);

        options.remembered = sdl::loadPlacement(settings);
        if (scaleGiven) options.remembered.sized = false;
        if (!fullScreenGiven) options.fullScreen = options.remembered.fullScreen;
        sdl::Desktop desktop(options);
        desktop.setExitAfterFirstFrame(exitAfterFirstFrame);
        desktop.setKeyHandler([&soundControl](const std::string& key) { return soundControl.key(key); });
        if (!desktop.open()) {
            setSoundBackend(nullptr);
            return 1;
        }
        Application& app = Application::sharedApplication();
        app.setBackend(&desktop);
        try {
            app.launch("MainWindow");
            result = desktop.run();
        } catch (const std::exception& e) {
            logLine(std::string("plumbrick: ") + e.what());
            result = 1;
        }
        // Whatever ended the loop, the application ends once, with its will-terminate notification.
        app.terminate();
        sdl::storePlacement(settings, desktop.placement());
        settings.save();
        app.setBackend(nullptr);
        setSoundBackend(nullptr);
    }
    RunLoop::main().setClock(nullptr);
    SDL_Quit();
    sdl::Desktop::restoreSignalHandlers();
    return result;
}

}  // namespace platform
