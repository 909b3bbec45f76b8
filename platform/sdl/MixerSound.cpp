#include "platform/sdl/MixerSound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include "platform/Log.h"

namespace platform::sdl {

MixerSound::~MixerSound() { close(); }

bool MixerSound::open() {
    if (open_) return true;
    const char* failed = nullptr;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        failed = "SDL_InitSubSystem";
    } else {
        initialisedAudio_ = true;
        // Short buffers: a press is heard at once.
        if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 512) != 0) failed = "Mix_OpenAudio";
    }
    if (failed) {
        logLine(std::string("sound: no audio device (") + failed + ": " + SDL_GetError() + "); running silent");
        if (initialisedAudio_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        initialisedAudio_ = false;
        return false;
    }
    open_ = true;
    Mix_AllocateChannels(kChannels);
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

SystemSoundID MixerSound::create(const std::string& path) {
    Sound sound{path, nullptr};
    if (open_ && !path.empty()) sound.chunk = Mix_LoadWAV(path.c_str());   // null for a missing or broken file
    sounds_.push_back(sound);
    return static_cast<SystemSoundID>(sounds_.size());
}

void MixerSound::play(SystemSoundID id) {
    lastChannel_ = -1;
    if (!open_ || id == 0 || id > sounds_.size()) return;
    Mix_Chunk* chunk = sounds_[id - 1].chunk;
    if (!chunk) return;
    // Any free channel; when all are busy the play is skipped and nothing is cut.
    lastChannel_ = Mix_PlayChannel(-1, chunk, 0);
}

bool MixerSound::isLoaded(SystemSoundID id) const {
    return id != 0 && id <= sounds_.size() && sounds_[id - 1].chunk != nullptr;
}

int MixerSound::playingChannels() const { return open_ ? Mix_Playing(-1) : 0; }

}  // namespace platform::sdl
