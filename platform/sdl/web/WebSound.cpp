// The browser's side of MixerSound: the browser's own audio mixes the sounds. Each sound is decoded once by
// the browser into a buffer (the data package holds the sounds as WAV: browsers decode no AIFF), and a play
// starts that buffer on a source of its own through one gain, the volume. Nothing of it runs on the page's
// main thread while sounds play: SDL's browser audio would mix on it at every buffer, about twenty times a
// second, whether anything plays or not. The page resumes the audio context at a touch (a browser lets nothing
// be heard before one) and suspends it while the program idles (PageBridge.h).
#include <emscripten.h>

#include <string>

#include "platform/Log.h"
#include "platform/sdl/MixerSound.h"

// clang-format off
EM_JS(int, web_sound_open, (int channels), {
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return 0;
    try {
        var ctx = new Context();
        var gain = ctx.createGain();
        gain.connect(ctx.destination);
        // buffers: each sound's, by id (null while it is decoded); plays: how many have started.
        Module.plumbrickAudio = { ctx: ctx, gain: gain, buffers: [], playing: new Set(), channels: channels, plays: 0 };
        return 1;
    } catch (e) {
        return 0;
    }
});

EM_JS(void, web_sound_close, (), {
    var audio = Module.plumbrickAudio;
    if (!audio) return;
    delete Module.plumbrickAudio;
    audio.ctx.close().catch(function () {});
});

// Reads the file and has the browser decode it; false when there is no such file. A file the browser cannot
// decode is said once on the console, and its plays are skipped.
EM_JS(int, web_sound_load, (int id, const char* path), {
    var audio = Module.plumbrickAudio;
    var name = UTF8ToString(path);
    var bytes;
    try {
        bytes = FS.readFile(name);
    } catch (e) {
        return 0;
    }
    audio.buffers[id] = null;
    audio.ctx.decodeAudioData(bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.byteLength)).then(
        function (buffer) { if (Module.plumbrickAudio === audio) audio.buffers[id] = buffer; },
        function () { console.error('ERROR sound: the browser cannot decode ' + name); });
    return 1;
});

// The channel the play took (the number of sources playing before it), or -1: not decoded (yet), or every
// channel busy.
EM_JS(int, web_sound_play, (int id), {
    var audio = Module.plumbrickAudio;
    var buffer = audio && audio.buffers[id];
    if (!buffer || audio.playing.size >= audio.channels) return -1;
    var source = audio.ctx.createBufferSource();
    source.buffer = buffer;
    source.connect(audio.gain);
    source.onended = function () {
        audio.playing.delete(source);
        source.disconnect();
    };
    var channel = audio.playing.size;
    audio.playing.add(source);
    audio.plays++;
    source.start();
    return channel;
});

EM_JS(void, web_sound_gain, (double gain), {
    if (Module.plumbrickAudio) Module.plumbrickAudio.gain.gain.value = gain;
});

EM_JS(void, web_sound_halt, (), {
    var audio = Module.plumbrickAudio;
    if (!audio) return;
    audio.playing.forEach(function (source) { source.stop(); });
    audio.playing.clear();
});

EM_JS(int, web_sound_playing, (), {
    return Module.plumbrickAudio ? Module.plumbrickAudio.playing.size : 0;
});
// clang-format on

namespace platform::sdl {

MixerSound::~MixerSound() { close(); }

bool MixerSound::open() {
    if (open_) return true;
    if (!web_sound_open(kChannels)) {
        logLine("sound: this browser has no Web Audio; running silent");
        return false;
    }
    open_ = true;
    web_sound_gain(double(volume_) / kVolumeSteps);
    // Sounds load only once the output is open: load those created before.
    for (std::size_t i = 0; i < sounds_.size(); ++i)
        if (!sounds_[i].path.empty()) sounds_[i].inBrowser = web_sound_load(int(i) + 1, sounds_[i].path.c_str());
    return true;
}

void MixerSound::close() {
    if (!open_) return;
    web_sound_close();
    for (auto& sound : sounds_) sound.inBrowser = false;
    open_ = false;
}

void MixerSound::setMuted(bool muted) {
    muted_ = muted;
    if (muted_ && open_) web_sound_halt();
}

void MixerSound::setVolume(int step) {
    volume_ = step < 0 ? 0 : step > kVolumeSteps ? kVolumeSteps : step;
    if (!open_) return;
    web_sound_gain(double(volume_) / kVolumeSteps);
    if (volume_ == 0) web_sound_halt();
}

SystemSoundID MixerSound::create(const std::string& path) {
    sounds_.push_back(Sound{path, nullptr, false});
    const auto id = static_cast<SystemSoundID>(sounds_.size());
    if (open_ && !path.empty()) sounds_.back().inBrowser = web_sound_load(int(id), path.c_str());
    return id;
}

void MixerSound::play(SystemSoundID id) {
    lastChannel_ = -1;
    if (!open_ || muted_ || volume_ == 0 || id == 0 || id > sounds_.size() || !sounds_[id - 1].inBrowser) return;
    if (beforePlay_) beforePlay_();
    // Any free channel; when all are busy the play is skipped and nothing is cut.
    lastChannel_ = web_sound_play(int(id));
}

bool MixerSound::isLoaded(SystemSoundID id) const {
    return id != 0 && id <= sounds_.size() && sounds_[id - 1].inBrowser;
}

int MixerSound::playingChannels() const { return open_ ? web_sound_playing() : 0; }

}   // namespace platform::sdl
