#include "platform/Log.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace platform {

namespace {
struct LogState {
    std::function<void(const std::string&)> hook;
    bool quiet = false;
};
LogState& state() {
    static LogState s;
    return s;
}
}   // namespace

void logLine(const std::string& text) {
    // One call, one line: a trailing newline is dropped and inner ones become spaces.
    std::string line = text;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    LogState& s = state();
    if (s.hook) s.hook(line);
    if (!s.hook || !s.quiet) std::fprintf(stderr, "%s\n", line.c_str());
}

void NSLog(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    char small[512];
    int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    std::string line;
    if (n < 0) {
        line = format;
    } else if (static_cast<std::size_t>(n) < sizeof small) {
        line.assign(small, static_cast<std::size_t>(n));
    } else {
        std::vector<char> big(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(big.data(), big.size(), format, again);
        line.assign(big.data(), static_cast<std::size_t>(n));
    }
    va_end(again);
    logLine(line);
}

void setLogHook(std::function<void(const std::string&)> hook, bool quiet) {
    LogState& s = state();
    s.hook = std::move(hook);
    s.quiet = s.hook ? quiet : false;
}

}   // namespace platform
