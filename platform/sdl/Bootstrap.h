#pragma once
// The program's parts, composed in one place for the desktop's main and the web page's: the settings, the
// sound (opened; silent where there is no device), the sound keys, the window, and the application launched on
// them, with the clock, the sound and the window put in place as the application's backends (platform::Backends,
// as the tests' environment puts its own). What differs between the two mains comes in the window's options
// (the page's fixed canvas, the way links open). Taken apart in reverse when the object goes.

#include <memory>
#include <optional>
#include <string>

#include "platform/Backends.h"
#include "platform/RunLoop.h"
#include "platform/Settings.h"
#include "platform/sdl/Desktop.h"
#include "platform/sdl/MixerSound.h"
#include "platform/sdl/SoundControl.h"

namespace platform::sdl {

class Bootstrap {
public:
    // Loads the settings, opens the sound and restores the sound level remembered (silenced for this run
    // only when `startMuted`). Without `openSound` the owner opens it (sound().open()) when it chooses; what is
    // played until then is not heard.
    explicit Bootstrap(Clock& clock, bool startMuted = false, bool openSound = true);
    ~Bootstrap();
    Bootstrap(const Bootstrap&) = delete;
    Bootstrap& operator=(const Bootstrap&) = delete;

    Settings& settings() { return settings_; }
    MixerSound& sound() { return sound_; }

    // Makes and opens the window, the backends in place: the segments' shadow as the settings say (written
    // back, for a player to find), the sound keys seen before the screen. False (logged) when it cannot open.
    bool openWindow(DesktopOptions options);
    Desktop& desktop() { return *desktop_; }

    // Launches the application from its main layout; false, with a log line, on a bad layout.
    bool launch(const std::string& mainLayout = "MainWindow");

private:
    Clock& clock_;
    Settings settings_;
    MixerSound sound_;
    SoundControl soundControl_{sound_, &settings_};
    std::unique_ptr<Desktop> desktop_;
    std::optional<Backends> backends_;
};

}   // namespace platform::sdl
