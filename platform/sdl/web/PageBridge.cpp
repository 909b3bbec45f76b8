#include "platform/sdl/web/PageBridge.h"

#include <emscripten.h>

// JavaScript, kept as written (the formatter would split its operators).
// clang-format off
EM_JS(void, page_file_changed, (int removed, const char* path), {
    var hook = removed ? Module.plumbrick_removed : Module.plumbrick_saved;
    if (hook) hook(UTF8ToString(path));
});

EM_JS(void, page_audio, (int awake), {
    var ctx = Module.plumbrickAudio && Module.plumbrickAudio.ctx;
    var hook = awake ? Module.plumbrick_audio_wake : Module.plumbrick_audio_sleep;
    if (ctx && hook) hook(ctx);
});

EM_JS(void, page_first_frame, (), {
    if (Module.plumbrick_first_frame) Module.plumbrick_first_frame();
});

EM_JS(void, page_ended, (), {
    if (Module.plumbrick_ended) Module.plumbrick_ended();
});

EM_JS(void, page_open_tab, (const char* url), {
    window.open(UTF8ToString(url), '_blank', 'noopener');
});
// clang-format on

namespace platform::web {

void tellFileChange(FileChange change, const std::string& path) {
    page_file_changed(change == FileChange::Removed ? 1 : 0, path.c_str());
}

void wakeAudio() { page_audio(1); }
void sleepAudio() { page_audio(0); }
void tellFirstFrame() { page_first_frame(); }
void tellEnded() { page_ended(); }

bool openInNewTab(const std::string& url) {
    page_open_tab(url.c_str());
    return true;
}

}   // namespace platform::web
