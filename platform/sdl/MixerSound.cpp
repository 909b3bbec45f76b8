#include "platform/sdl/MixerSound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/Log.h"

namespace platform::sdl {

namespace {

// True when there is plainly nothing to play on: no sound card and no sound server, and no driver chosen
// in the environment. Asking SDL anyway would only make the sound libraries print their own complaints.
bool nothingToPlayOn() {
    if (std::getenv("SDL_AUDIODRIVER") || std::getenv("PULSE_SERVER")) return false;
    if (access("/dev/snd", F_OK) == 0) return false;
    if (const char* run = std::getenv("XDG_RUNTIME_DIR")) {
        std::string dir = run;
        if (access((dir + "/pulse/native").c_str(), F_OK) == 0 || access((dir + "/pipewire-0").c_str(), F_OK) == 0)
            return false;
    }
    return true;
}

// Short buffers: a press is heard at once.
constexpr int kBufferFrames = 512;

}   // namespace

MixerSound::~MixerSound() { close(); }

bool MixerSound::open() {
    if (open_) return true;
    if (nothingToPlayOn()) {
        logLine("sound: no audio device (no sound card or sound server); running silent");
        return false;
    }
    const char* failed = nullptr;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        failed = "SDL_InitSubSystem";
    } else {
        initialisedAudio_ = true;
        if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, kBufferFrames) != 0) failed = "Mix_OpenAudio";
    }
    if (failed) {
        logLine(std::string("sound: no audio device (") + failed + ": " + SDL_GetError() + "); running silent");
        if (initialisedAudio_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        initialisedAudio_ = false;
        return false;
    }
    open_ = true;
    Mix_AllocateChannels(kChannels);
    Mix_MasterVolume(MIX_MAX_VOLUME * volume_ / kVolumeSteps);
    // Chunks load only once the device is open: load those created before.
    for (auto& sound : sounds_)
        if (!sound.chunk && !sound.path.empty()) sound.chunk = Mix_LoadWAV(sound.path.c_str());
    return true;
}

void MixerSound::close() {
    if (open_) {
        Mix_HaltChannel(-1);
        for (auto& sound : sounds_) {
            if (sound.chunk) Mix_FreeChunk(sound.chunk);
            sound.chunk = nullptr;
        }
        Mix_CloseAudio();
        open_ = false;
    }
    if (initialisedAudio_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    initialisedAudio_ = false;
}

void MixerSound::setMuted(bool muted) {
    muted_ = muted;
    if (muted_ && open_) Mix_HaltChannel(-1);
}

void MixerSound::setVolume(int step) {
    volume_ = step < 0 ? 0 : step > kVolumeSteps ? kVolumeSteps : step;
    if (!open_) return;
    Mix_MasterVolume(MIX_MAX_VOLUME * volume_ / kVolumeSteps);
    if (volume_ == 0) Mix_HaltChannel(-1);
}

SystemSoundID MixerSound::create(const std::string& path) {
    Sound sound{path, nullptr, false};
    if (open_ && !path.empty()) sound.chunk = Mix_LoadWAV(path.c_str());   // null for a missing or broken file
    sounds_.push_back(sound);
    return static_cast<SystemSoundID>(sounds_.size());
}

void MixerSound::play(SystemSoundID id) {
    lastChannel_ = -1;
    if (!open_ || muted_ || volume_ == 0 || id == 0 || id > sounds_.size()) return;
    Mix_Chunk* chunk = sounds_[id - 1].chunk;
    if (!chunk) return;
    if (beforePlay_) beforePlay_();
    // Any free channel; when all are busy the play is skipped and nothing is cut.
    lastChannel_ = Mix_PlayChannel(-1, chunk, 0);
}

bool MixerSound::isLoaded(SystemSoundID id) const {
    return id != 0 && id <= sounds_.size() && sounds_[id - 1].chunk != nullptr;
}

int MixerSound::playingChannels() const { return open_ ? Mix_Playing(-1) : 0; }

}   // namespace platform::sdl
