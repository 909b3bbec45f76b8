// Fuzz target: the settings file reader. Arbitrary bytes stand in for "settings.json"; the settings load
// them, read every value this program uses, change one and save, then load again.
// Checks: no crash, every value read is in its range, and what was saved reads back with the same value.

#include <unistd.h>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/Log.h"
#include "platform/Settings.h"

namespace {

// Every iteration saves atomically (with syncs): on a memory file system when there is one. Removed at exit.
struct Scratch {
    std::string dir =
        std::filesystem::is_directory("/dev/shm") ? "/dev/shm/pb-settings-XXXXXX" : "/tmp/pb-settings-XXXXXX";
    Scratch() {
        if (!::mkdtemp(dir.data())) std::abort();
        platform::setLogHook([](const std::string&) {}, true);
    }
    ~Scratch() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

std::string scratch() {
    static Scratch s;
    return s.dir;
}

void check(bool ok) {
    if (!ok) std::abort();
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = scratch() + "/settings.json";
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), std::streamsize(size));
    platform::Settings settings(path);
    settings.load();
    int volume = settings.getInt("sound", "volume", 8, 0, 8);
    check(volume >= 0 && volume <= 8);
    int width = settings.getInt("window", "width", 0, 1, 1 << 15);
    check(width >= 0 && width <= 1 << 15);
    bool muted = settings.getBool("sound", "muted", false);
    settings.set("sound", "muted", !muted);
    settings.set("window", "x", -7);
    check(settings.save());

    platform::Settings again(path);
    check(again.load());
    check(again.getBool("sound", "muted", muted) == !muted);
    check(again.getInt("window", "x", 0, -100, 100) == -7);
    check(again.getInt("sound", "volume", 8, 0, 8) == volume);
    return 0;
}
