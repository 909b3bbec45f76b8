#pragma once
// The program's side of the bridge to the web page: the hooks it calls, each implemented by web/page.js on
// Module (a hook the page lacks is skipped), and the page's own way of opening links.
//   plumbrick_saved(path)       a file is in place in a kept folder (a save's atomic write finished, or a move)
//   plumbrick_removed(path)     a file or folder was taken away
//   plumbrick_audio_wake(ctx)   a sound is about to play: the audio context it plays through should run
//   plumbrick_audio_sleep(ctx)  nothing plays and the loop idles: the audio context may be suspended
//   plumbrick_first_frame()     the first frame is on the canvas
//   plumbrick_ended()           the application ended (the page was left, or it is about to be)
// The page calls the program back through the functions WebApplicationMain.cpp exports.

#include <string>

#include "platform/FileManager.h"

namespace platform::web {

// For setFileChangeHook: every file a save put in place, every item taken away.
void tellFileChange(FileChange change, const std::string& path);
// The audio context is SDL's (its browser audio makes one): handed to the page with each hook.
void wakeAudio();
void sleepAudio();
void tellFirstFrame();
void tellEnded();
// Links open in a new tab, and the page stays.
bool openInNewTab(const std::string& url);

}   // namespace platform::web
