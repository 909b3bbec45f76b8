// The generated sounds: every name the games load is built from its recipe, short, audible and click-free.
// That the files are plain 16-bit mono AIFF at 22050 Hz is checked by sox (see CMakeLists.txt).
#include <gtest/gtest.h>

#include <map>
#include <regex>

#include "resource_support.h"
#include "soundgen.h"

namespace {

// The sound names the games' code loads: initSound(id, "<name>", "aif").
std::set<std::string> codeSoundNames() {
    std::set<std::string> names;
    const std::regex call(R"re(initSound\([^,]+, "(\w+)", "aif"\))re");
    for (const auto& e : restest::fs::recursive_directory_iterator(restest::sourceDir() / "games")) {
        std::string text = e.path().extension() == ".cpp" ? restest::readText(e.path()) : "";
        for (auto m = std::sregex_iterator(text.begin(), text.end(), call); m != std::sregex_iterator(); ++m)
            names.insert((*m)[1]);
    }
    return names;
}

}   // namespace

TEST(Sounds, EveryNameTheCodeLoadsIsBuiltFromItsRecipeShortAudibleAndClickFree) {
    std::map<std::string, std::vector<int16_t>> sounds;
    for (const auto& recipe : soundgen::recipes()) sounds[recipe.name] = soundgen::synthesise(recipe);
    auto names = codeSoundNames();
    EXPECT_GE(names.size(), 9u) << "the games load nine sounds";
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(sounds.count(name)) << "no recipe";
        const auto& s = sounds[name];
        std::string built = restest::readText(restest::builtDir() / (name + ".aif"));
        EXPECT_EQ(std::vector<uint8_t>(built.begin(), built.end()), soundgen::aiff(s)) << "not built from its recipe";
        double seconds = s.size() / double(soundgen::kRate);
        EXPECT_GT(seconds, 0.01);
        EXPECT_LT(seconds, 1.5);
        int peak = 0;
        for (int16_t v : s) peak = std::max(peak, std::abs(int(v)));
        EXPECT_GT(peak, 8000) << "too quiet";
        EXPECT_LT(peak, 32000) << "clipped";
        EXPECT_LT(std::abs(s.front()), 800) << "a click at the start";
        EXPECT_LT(std::abs(s.back()), 800) << "a click at the end";
    }
}
