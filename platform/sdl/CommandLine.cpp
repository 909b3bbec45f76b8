#include "platform/sdl/CommandLine.h"

#include <charconv>
#include <cstdio>

#ifndef PLUMBRICK_VERSION
#define PLUMBRICK_VERSION "unknown"
#endif

namespace platform::sdl {

namespace {

struct Option {
    const char* name;
    const char* value;   // the value's name in the usage; null for an option without a value
    const char* help;    // null: left out of the usage
    // Applies the option; false when the value is bad.
    bool (*apply)(CommandLine&, const std::string& value);
    const char* alias = nullptr;   // a short name for the same option ("-h")
};

bool parseScale(CommandLine& c, const std::string& v) {
    int n = 0;
    auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
    if (ec != std::errc() || end != v.data() + v.size() || n < 1 || n > kMaxScale) return false;
    c.scale = n;
    return true;
}

constexpr Option kOptions[] = {
    {"--scale", "N", "window pixels per point at start, 1 to 8 (default: to fit the screen)", parseScale},
    {"--fullscreen", nullptr, "start full screen (F11 toggles)",
     [](CommandLine& c, const std::string&) {
         c.fullScreen = true;
         return true;
     }},
    {"--windowed", nullptr, "start in a window",
     [](CommandLine& c, const std::string&) {
         c.fullScreen = false;
         return true;
     }},
    {"--mute", nullptr, "start without sound (M turns it on)",
     [](CommandLine& c, const std::string&) {
         c.mute = true;
         return true;
     }},
    {"--version", nullptr, "print the version and exit",
     [](CommandLine& c, const std::string&) {
         c.action = CommandLine::Action::Version;
         return true;
     }},
    {"--help", nullptr, "print this help and exit",
     [](CommandLine& c, const std::string&) {
         c.action = CommandLine::Action::Help;
         return true;
     },
     "-h"},
    {"--exit-after-first-frame", nullptr, nullptr,
     [](CommandLine& c, const std::string&) {
         c.exitAfterFirstFrame = true;
         return true;
     }},
};

const Option* find(const std::string& name) {
    for (const Option& o : kOptions)
        if (name == o.name || (o.alias && name == o.alias)) return &o;
    return nullptr;
}

}   // namespace

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine result;
    auto fail = [&](std::string message) {
        result.action = CommandLine::Action::Error;
        result.error = std::move(message);
        return result;
    };
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i], value;
        const std::string::size_type eq = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
        const bool inlineValue = eq != std::string::npos;
        if (inlineValue) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
        }
        const Option* option = find(arg);
        if (!option) return fail("unknown option " + arg);
        if (option->value && !inlineValue) {
            if (i + 1 >= argc) return fail(arg + " needs a value");
            value = argv[++i];
        } else if (!option->value && inlineValue) {
            return fail(arg + " takes no value");
        }
        if (!option->apply(result, value)) return fail("bad value for " + arg + ": " + value);
    }
    return result;
}

std::string usageText() {
    std::string text = "usage: plumbrick";
    for (const Option& o : kOptions)
        if (o.help)
            text += std::string(" [") + (o.alias ? std::string(o.alias) + " | " : "") + o.name +
                    (o.value ? std::string(" ") + o.value : "") + "]";
    text += "\n";
    for (const Option& o : kOptions) {
        if (!o.help) continue;
        std::string left =
            (o.alias ? std::string(o.alias) + ", " : "") + o.name + (o.value ? std::string(" ") + o.value : "");
        char line[160];
        std::snprintf(line, sizeof line, "  %-15s %s\n", left.c_str(), o.help);
        text += line;
    }
    text +=
        "keys: Ctrl+Q quits (a round being played is paused and saved), F11 full screen, M sound off and on,\n"
        "  - and = volume; the game keys and gamepad buttons: man 6 plumbrick\n";
    return text;
}

std::string versionText() { return std::string("plumbrick ") + PLUMBRICK_VERSION + "\n"; }

}   // namespace platform::sdl
