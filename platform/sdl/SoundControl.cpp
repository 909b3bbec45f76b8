#include "platform/sdl/SoundControl.h"

#include "platform/Notice.h"

namespace platform::sdl {

void SoundControl::restore(bool startMuted) {
    if (settings_) {
        sound_.setVolume(settings_->getInt("sound", "volume", MixerSound::kVolumeSteps, 0, MixerSound::kVolumeSteps));
        chosenMuted_ = settings_->getBool("sound", "muted", false);
        sound_.setMuted(chosenMuted_);
    }
    if (startMuted) sound_.setMuted(true);
}

bool SoundControl::key(const std::string& name) {
    if (name == "m") {
        sound_.setMuted(!sound_.isMuted());
        chosenMuted_ = sound_.isMuted();
        postNotice(sound_.isMuted() ? "Sound off" : "Sound on", kNoticeSeconds);
    } else if (name == "-" || name == "keypad -" || name == "=" || name == "+" || name == "keypad +") {
        sound_.setVolume(sound_.volume() + (name.back() == '-' ? -1 : 1));
        std::string text = "Volume " + std::to_string(sound_.volume()) + "/" + std::to_string(MixerSound::kVolumeSteps);
        postNotice(sound_.isMuted() ? text + " (sound off)" : text, kNoticeSeconds);
    } else {
        return false;
    }
    remember();
    return true;
}

void SoundControl::remember() {
    if (!settings_) return;
    settings_->set("sound", "muted", chosenMuted_);
    settings_->set("sound", "volume", sound_.volume());
    settings_->save();
}

}   // namespace platform::sdl
