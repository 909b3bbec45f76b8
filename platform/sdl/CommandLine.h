#pragma once
// The desktop program's command line. Every option is one row of a table in CommandLine.cpp (name, value,
// help line, what it sets), which also gives the usage text.

#include <optional>
#include <string>

namespace platform::sdl {

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    // Unset when the command line did not say; what it says wins over anything remembered.
    std::optional<int> scale;
    std::optional<bool> fullScreen;     // --fullscreen or --windowed, the last one given
    bool mute = false;                  // this run only; not remembered
    bool exitAfterFirstFrame = false;   // start-up measurements and package checks (not in the usage)
    std::string error;                  // for Action::Error: what was wrong, one line
};

inline constexpr int kMaxScale = 8;

// Reads argv[1..argc-1]. Options take their value as the next argument or after "=" ("--scale=3").
CommandLine parseCommandLine(int argc, const char* const* argv);
// "usage: plumbrick ..." and one line per listed option, then the keys that work anywhere and where the others
// are told (the manual page), each line ending in a line break.
std::string usageText();
// "plumbrick <version>" with a line break.
std::string versionText();

}   // namespace platform::sdl
