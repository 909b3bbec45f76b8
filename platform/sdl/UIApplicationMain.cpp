// The application loop of the desktop: the command line, one copy per save folder, a display, then the program's
// parts composed by sdl::Bootstrap on a real clock (links opened by xdg-open), and the loop until the window
// closes or a signal ends it.

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>

#include <SDL.h>

#include "platform/Application.h"
#include "platform/Bundle.h"
#include "platform/Log.h"
#include "platform/RunLoop.h"
#include "platform/Settings.h"
#include "platform/sdl/Bootstrap.h"
#include "platform/sdl/CommandLine.h"
#include "platform/sdl/Desktop.h"
#include "platform/sdl/DesktopStart.h"
#include "platform/sdl/SingleInstance.h"
#include "platform/sdl/UrlOpener.h"

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

// How long a second start waits for the running copy to answer.
constexpr int kRaiseWaitMs = 5000;

// A second start in a save folder that another copy uses: its window to the front, else one line (and a message
// box when the program was started from the desktop rather than a terminal). Never an error.
int startedTwice(const sdl::SingleInstance& instance) {
    if (instance.askToRaise(kRaiseWaitMs)) {
        logLine("plumbrick: Plumbrick is already running; its window was brought to the front");
        return 0;
    }
    logLine("plumbrick: Plumbrick is already running with the save folder " + instance.folder());
    if (::isatty(STDIN_FILENO) || ::isatty(STDERR_FILENO)) return 0;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
        // Without a display (the dummy and offscreen drivers) there is no one to click the box away.
        const std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
        if (driver != "dummy" && driver != "offscreen")
            SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, "Plumbrick", "Plumbrick is already running.", nullptr);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    SDL_Quit();
    return 0;
}

}   // namespace

int UIApplicationMain(int argc, char** argv) {
    const sdl::CommandLine commandLine = sdl::parseCommandLine(argc, argv);
    switch (commandLine.action) {
    case sdl::CommandLine::Action::Help: std::fputs(sdl::usageText().c_str(), stdout); return 0;
    case sdl::CommandLine::Action::Version: std::fputs(sdl::versionText().c_str(), stdout); return 0;
    case sdl::CommandLine::Action::Error:
        std::fputs(("plumbrick: " + commandLine.error + "\n" + sdl::usageText()).c_str(), stderr);
        return 2;
    case sdl::CommandLine::Action::Run: break;
    }
    sdl::DesktopOptions options;
    options.scale = commandLine.scale.value_or(options.scale);
    const bool exitAfterFirstFrame = commandLine.exitAfterFirstFrame;
    const bool startMuted = commandLine.mute;

    // Without its resources the program cannot draw a thing: say where they were looked for.
    if (Bundle::mainBundle().resourcePath().empty()) {
        std::string places;
        for (const auto& place : Bundle::mainBundle().searched())
            places += (places.empty() ? "" : ", ") + place.string();
        logLine("plumbrick: no resources folder found (looked in " + places + ")");
        return 1;
    }

    // One copy per save folder: taken before anything reads or tidies the folder. A lock that cannot be had
    // (a read-only folder, something else in the lock file's place) never stops the program.
    std::optional<sdl::SingleInstance> instance;
    if (instanceFolder()) {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        instance.emplace(instanceFolder()(), runtime ? runtime : "");
        switch (instance->start()) {
        case sdl::SingleInstance::Start::Elsewhere: return startedTwice(*instance);
        case sdl::SingleInstance::Start::Unlocked:
            logLine("plumbrick: cannot lock " + instance->lockPath() + " (" + instance->why() +
                    "); running without it, so another copy could use the save folder at the same time");
            break;
        case sdl::SingleInstance::Start::Alone: break;
        }
    }

    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");   // the loop paces itself
    sdl::Desktop::installSignalHandlers();
    // From ssh or a text console SDL would fall back to drawing off screen, and the program would run unseen.
    if (std::string why; !sdl::startVideo(&why)) {
        logLine("plumbrick: " + why);
        SDL_Quit();
        sdl::Desktop::restoreSignalHandlers();
        return 1;
    }
    SteadyClock clock;
    int result = 0;
    {
        sdl::Bootstrap program(clock, startMuted);
        Settings& settings = program.settings();
        options.remembered = sdl::loadPlacement(settings);
        // What the command line says wins over what the window memory remembers.
        if (commandLine.scale) options.remembered.sized = false;
        options.fullScreen = commandLine.fullScreen.value_or(options.remembered.fullScreen);
        sdl::fitToDisplay(options, commandLine.scale.has_value());
        options.openURL = sdl::programOpener();
        if (!program.openWindow(options)) return 1;
        sdl::Desktop& desktop = program.desktop();
        desktop.setExitAfterFirstFrame(exitAfterFirstFrame);
        if (instance && instance->listen()) {
            desktop.setPassHandler([&] {
                if (instance->answerRequests() == 0) return;
                desktop.raiseWindow();
                logLine("plumbrick: another start asked for this window: brought to the front");
            });
        }
        result = 1;
        if (program.launch()) {
            try {
                result = desktop.run();
            } catch (const std::exception& e) {
                logLine(std::string("plumbrick: ") + e.what());
                result = 1;
            }
        }
        // Whatever ended the loop, the application ends once, with its will-terminate notification.
        Application::sharedApplication().terminate();
        sdl::storePlacement(settings, desktop.placement());
        settings.save();
    }
    SDL_Quit();
    sdl::Desktop::restoreSignalHandlers();
    return result;
}

}   // namespace platform
