#pragma once
// Sounds on SDL_mixer: each sound id is a chunk loaded once from its file; a play takes any free channel
// and returns at once. Without an audio device everything stays silent (one log line says so). The browser's
// build has the browser's own audio play them instead (web/WebSound.cpp), with the same behaviour.

#include <functional>
#include <string>
#include <vector>

#include "platform/Sound.h"

struct Mix_Chunk;

namespace platform::sdl {

class MixerSound : public SoundBackend {
public:
    static constexpr int kChannels = 16;

    MixerSound() = default;
    ~MixerSound() override;
    MixerSound(const MixerSound&) = delete;
    MixerSound& operator=(const MixerSound&) = delete;

    // Opens the audio device. False (and silent from then on) when there is none.
    bool open();
    void close();
    bool isSilent() const { return !open_; }

    // Muted, or at volume 0, every play is skipped (no chunk plays) and what was playing stops. The volume
    // runs from 0 to kVolumeSteps (full), in even steps of the mixer's master volume.
    static constexpr int kVolumeSteps = 8;
    void setMuted(bool muted);
    bool isMuted() const { return muted_; }
    void setVolume(int step);
    int volume() const { return volume_; }

    SystemSoundID create(const std::string& path) override;
    void play(SystemSoundID id) override;

    // Called just before a chunk starts to play (never for a skipped play): an output that sleeps while
    // nothing plays is woken here. The chunk then plays from its start once the output runs.
    void setBeforePlay(std::function<void()> wake) { beforePlay_ = std::move(wake); }

    // The channel the last play took: -1 when it was skipped (silent, unknown id, no free channel).
    int lastChannel() const { return lastChannel_; }
    // Whether the id has a loaded chunk.
    bool isLoaded(SystemSoundID id) const;
    // Channels playing now.
    int playingChannels() const;

private:
    struct Sound {
        std::string path;
        Mix_Chunk* chunk = nullptr;
        bool inBrowser = false;   // the browser's build: read and handed to the browser, which decodes and keeps it
    };
    std::vector<Sound> sounds_;   // id - 1
    bool open_ = false;
    [[maybe_unused]] bool initialisedAudio_ = false;   // SDL's audio (not in the browser's build)
    int lastChannel_ = -1;
    bool muted_ = false;
    int volume_ = kVolumeSteps;
    std::function<void()> beforePlay_;
};

}   // namespace platform::sdl
