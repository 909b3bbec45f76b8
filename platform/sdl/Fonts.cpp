#include "platform/sdl/Fonts.h"

#include <fontconfig/fontconfig.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <mutex>

namespace platform::sdl {

namespace {

std::atomic<bool> keepAtExit{false};

FontFile lookUp(const std::string& name) {
    std::string family = name;
    std::string style;
    if (auto dash = name.find('-'); dash != std::string::npos) {
        family = name.substr(0, dash);
        style = name.substr(dash + 1);
    }
    if (!FcInit()) return {};
    // Hand fontconfig's configuration back at exit (otherwise it stays allocated to the end).
    static const bool finiAtExit = std::atexit([] {
                                       if (!keepAtExit) FcFini();
                                   }) == 0;
    (void)finiAtExit;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    if (style.find("Bold") != std::string::npos) FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_BOLD);
    if (style.find("Oblique") != std::string::npos || style.find("Italic") != std::string::npos)
        FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ITALIC);
    // Only outline fonts can be drawn at any size.
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FontFile found;
    if (match) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
            found.path = reinterpret_cast<const char*>(file);
        int index = 0;
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) found.index = index;
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return found;
}

}   // namespace

FontFile findFontFile(const std::string& name) {
    static std::mutex mutex;
    static std::map<std::string, FontFile> known;
    std::lock_guard lock(mutex);
    auto it = known.find(name);
    if (it == known.end()) it = known.emplace(name, lookUp(name)).first;
    return it->second;
}

void keepFontconfigAtExit() { keepAtExit = true; }

}   // namespace platform::sdl
