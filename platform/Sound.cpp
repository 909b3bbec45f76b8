#include "platform/Sound.h"

namespace platform {

namespace {
// Without a backend, ids are handed out and plays go nowhere.
class SilentBackend : public SoundBackend {
public:
    SystemSoundID create(const std::string&) override { return ++last_; }
    void play(SystemSoundID) override {}

private:
    SystemSoundID last_ = 0;
};
SilentBackend& silent() {
    static SilentBackend backend;
    return backend;
}
SoundBackend* g_backend = nullptr;
}   // namespace

void setSoundBackend(SoundBackend* backend) { g_backend = backend; }
SoundBackend* soundBackend() { return g_backend ? g_backend : &silent(); }

SystemSoundID AudioServicesCreateSystemSoundID(const std::string& path) {
    if (path.empty()) return 0;
    return soundBackend()->create(path);
}

void AudioServicesPlaySystemSound(SystemSoundID id) {
    if (id == 0) return;
    soundBackend()->play(id);
}

}   // namespace platform
