#pragma once
// Short system sounds: made from a resource file, played at once, overlapping, never waited for.

#include <cstdint>
#include <string>

namespace platform {

using SystemSoundID = std::uint32_t;

// Makes a sound id from a file path (empty path or missing/broken file: an id that plays nothing).
// Never fails; returns 0 only when `path` is empty.
SystemSoundID AudioServicesCreateSystemSoundID(const std::string& path);
// Starts playing and returns at once. An unknown id plays nothing.
void AudioServicesPlaySystemSound(SystemSoundID id);

// What a backend provides.
class SoundBackend {
public:
    virtual ~SoundBackend() = default;
    virtual SystemSoundID create(const std::string& path) = 0;
    virtual void play(SystemSoundID id) = 0;
};
void setSoundBackend(SoundBackend* backend);
SoundBackend* soundBackend();

}   // namespace platform
