#pragma once
// What the page's loop has done so far, read by the test build's probes (web/Report.cpp); reading changes
// nothing.

#include <cstddef>
#include <vector>

#include "platform/sdl/MixerSound.h"

namespace platform::web {

struct LoopRecord {
    std::size_t passes = 0;    // passes of the loop so far
    int frames = 0;            // frames drawn so far
    std::vector<float> work;   // the program's work in the last passes, in milliseconds, oldest first
};
LoopRecord loopRecord();

// The page's sound (muted, volume); null before main.
const sdl::MixerSound* pageSound();

}   // namespace platform::web
