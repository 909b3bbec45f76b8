#pragma once
// What the fuzz targets of the save folder share: a headless environment whose documents folder is a scratch
// folder on a memory file system when there is one (every iteration saves atomically, with syncs), removed at
// exit, and a check that stops the fuzzer on a broken rule.

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "platform/headless/Headless.h"

namespace plumbrick::fuzz {

struct Scratch {
    std::string dir;
    Scratch() {
        char pattern[] = "/dev/shm/plumbrick-fuzz-XXXXXX";
        if (std::filesystem::is_directory("/dev/shm") && ::mkdtemp(pattern)) dir = pattern;
    }
    ~Scratch() {
        std::error_code ec;
        if (!dir.empty()) std::filesystem::remove_all(dir, ec);
    }
};

inline platform::headless::Environment& environment() {
    static Scratch scratch;
    static platform::headless::Environment env(scratch.dir);
    return env;
}

inline void check(bool ok) {
    if (!ok) __builtin_trap();
}

}   // namespace plumbrick::fuzz
