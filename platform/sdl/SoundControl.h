#pragma once
// The player's sound keys on the desktop: M turns sound off and on, - and = (or +) step the volume. Each
// shows a short notice over the screen and is remembered in the settings file for the next run.

#include <string>

#include "platform/Settings.h"
#include "platform/sdl/MixerSound.h"

namespace platform::sdl {

class SoundControl {
public:
    // `settings` may be null (nothing remembered).
    SoundControl(MixerSound& sound, Settings* settings) : sound_(sound), settings_(settings) {}

    // Applies the remembered choices. `startMuted` (the --mute option) silences this run without changing
    // what is remembered; M turns sound on again.
    void restore(bool startMuted = false);
    // A key by its lowercase SDL name: "m", "-", "=", "+" and the keypad's "keypad -", "keypad +". True when
    // the key was one of them.
    bool key(const std::string& name);

    static constexpr double kNoticeSeconds = 1.2;

private:
    void remember();

    MixerSound& sound_;
    Settings* settings_;
    bool chosenMuted_ = false;   // what M last chose, or what was remembered: --mute alone is not kept
};

}   // namespace platform::sdl
