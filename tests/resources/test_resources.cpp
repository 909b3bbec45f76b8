// artgen on small masters made for the test (boxes and ghosts), and the built resources: every picture the layouts
// and the code name exists at 1x and 2x, every face layout places its segments where the face master draws them,
// every lit segment lies over its ghost at scales 1 to 4,
// the five egg faces share one geometry and one set of controls, and every sound the code loads is built from its
// recipe, short and click-free (sox checks that the files are plain 16-bit mono AIFF, see CMakeLists.txt).
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <set>

#include <nlohmann/json.hpp>

#include "artgen.h"
#include "soundgen.h"
#include "tests/support/file_text.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

inline fs::path sourceDir() { return PLUMBRICK_SOURCE_DIR; }
inline fs::path builtDir() { return PLUMBRICK_RESOURCE_DIR; }
using plumbrick::testing::readText;
inline json loadJson(const fs::path& path) { return json::parse(readText(path)); }

inline std::vector<fs::path> layoutFiles() {
    std::set<fs::path> out;
    for (const auto& e : fs::directory_iterator(sourceDir() / "resources" / "layouts"))
        if (e.path().extension() == ".json") out.insert(e.path());
    return {out.begin(), out.end()};
}

// Calls f for the view and every view below it.
inline void forEachView(const json& view, const std::function<void(const json&)>& f) {
    f(view);
    for (const auto& sub : view.value("subviews", json::array())) forEachView(sub, f);
}

// Face name of a layout whose first view shows "<face>_face.png", else empty.
inline std::string faceOf(const json& layout) {
    std::string image = layout.value(json::json_pointer("/root/subviews/0/image"), std::string());
    auto at = image.rfind("_face.png");
    return at != std::string::npos && at > 0 && at + 9 == image.size() ? image.substr(0, at) : "";
}

using Size = std::pair<int, int>;   // width, height
// Width and height from a PNG file's header, or nothing if the file is missing or not a PNG.
inline std::optional<Size> pngSize(const fs::path& path) {
    std::string h = readText(path).substr(0, 24);
    if (h.size() < 24 || h.compare(0, 8, "\x89PNG\r\n\x1a\n") || h.compare(12, 4, "IHDR")) return std::nullopt;
    auto be = [&](int at) {
        return int(uint8_t(h[at]) << 24 | uint8_t(h[at + 1]) << 16 | uint8_t(h[at + 2]) << 8 | uint8_t(h[at + 3]));
    };
    return Size{be(16), be(20)};
}

std::vector<int> frameOf(const json& view) { return view.at("frame").get<std::vector<int>>(); }
std::string at2x(const std::string& image) { return image.substr(0, image.rfind('.')) + "@2x.png"; }

// The sound names the games' code loads: each "<name>" in loadSounds({...}) (the files "<name>.aif").
std::set<std::string> codeSoundNames() {
    std::set<std::string> names;
    const std::regex call(R"re(loadSounds\(\{([^}]*)\}\))re"), name(R"re("(\w+)")re");
    for (const auto& e : fs::recursive_directory_iterator(sourceDir() / "games")) {
        std::string text = e.path().extension() == ".cpp" ? readText(e.path()) : "";
        for (auto m = std::sregex_iterator(text.begin(), text.end(), call); m != std::sregex_iterator(); ++m) {
            const std::string list = (*m)[1];
            for (auto n = std::sregex_iterator(list.begin(), list.end(), name); n != std::sregex_iterator(); ++n)
                names.insert((*n)[1]);
        }
    }
    return names;
}

// A master of 100 x 60 points with the given root attributes and body, written to a folder removed at the end.
struct TempMaster {
    fs::path dir = fs::temp_directory_path() / ("plumbrick-artgen-" + std::to_string(getpid()));
    std::string path = (dir / "m.svg").string();
    TempMaster(const std::string& rootAttrs, const std::string& body) {
        fs::create_directories(dir);
        std::ofstream(path) << R"(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" )"
                            << R"(width="100" height="60" viewBox="0 0 100 60" )" << rootAttrs << ">\n"
                            << body << "\n</svg>\n";
    }
    ~TempMaster() { fs::remove_all(dir); }
};

int redAt(const artgen::Surface& s, int x, int y) { return int((s.pixel(x, y) >> 16) & 0xff); }

}   // namespace

TEST(Artgen, GhostsAreFaintEvenWherePartsOverlapAndDigitPlacesLeaveNoGhost) {
    TempMaster file("", R"(<g id="printed"><rect width="100" height="60" fill="#ffffff"/></g>
    <g id="seg-100"><rect x="10" y="10" width="20" height="20"/></g>
    <g id="seg-101"><rect x="20" y="10" width="20" height="20"/></g>
    <g id="seg-1000"><rect id="box-1000" x="60" y="10" width="20" height="30" fill="#000"/></g>)");
    artgen::Surface face = artgen::renderFace(artgen::Master(file.path), 1.0);
    EXPECT_EQ(redAt(face, 50, 50), 255);
    EXPECT_NEAR(redAt(face, 12, 20), 255 * (1 - artgen::kGhostAlpha), 2);
    EXPECT_EQ(redAt(face, 25, 20), redAt(face, 12, 20)) << "overlapping poses must not darken the ghost";
    EXPECT_EQ(redAt(face, 70, 20), 255) << "a digit place gets no ghost";
}

TEST(BuiltArt, EveryPictureTheLayoutsAndTheCodeNameIsBuiltAtBothScales) {
    std::vector<std::pair<std::string, std::string>> named;   // picture, who names it
    for (const auto& file : layoutFiles()) {
        json layout = loadJson(file);
        EXPECT_TRUE(fs::exists(builtDir() / "layouts" / file.filename())) << file.filename() << " was not copied";
        if (layout.contains("root"))
            forEachView(layout["root"], [&](const json& view) {
                if (view.contains("image")) named.emplace_back(view["image"], file.filename().string());
            });
    }
    for (int i = 0; i <= 9; ++i) named.emplace_back("yolkfall_07_0" + std::to_string(i) + ".png", "the score");
    for (int i = 1; i <= 6; ++i)
        for (std::string kind : {"menu_0", "info_0"}) named.emplace_back(kind + std::to_string(i) + ".png", "the menu");
    ASSERT_GT(named.size(), 200u);
    for (const auto& [image, where] : named) {
        auto one = pngSize(builtDir() / image), two = pngSize(builtDir() / at2x(image));
        ASSERT_TRUE(one) << image << " (named by " << where << ") was not built at 1x";
        ASSERT_TRUE(two) << image << " (named by " << where << ") was not built at 2x";
        EXPECT_EQ(*two, (Size{one->first * 2, one->second * 2})) << image;
    }
}

TEST(BuiltArt, FaceLayoutsPlaceEverySegmentOnItsMasterBox) {
    int faces = 0;
    for (const auto& file : layoutFiles()) {
        json layout = loadJson(file);
        std::string face = faceOf(layout);
        if (face.empty()) continue;
        ++faces;
        SCOPED_TRACE(file.filename().string());
        artgen::Master m(artgen::findMaster((sourceDir() / "resources/art/faces").string(), face), face);
        std::set<std::string> placed;
        for (const auto& view : layout["root"]["subviews"]) {
            int tag = view.value("tag", 0);
            std::string id = tag >= 1 && tag <= 9999 ? "seg-" + std::to_string(tag)
                             : view.value("outlet", "") == "ivGamePause" && m.has("sign-pause") ? "sign-pause"
                                                                                                : "";
            if (id.empty()) continue;
            ASSERT_TRUE(m.has(id)) << id << " is not drawn by " << m.path();
            placed.insert(id);
            artgen::Box b = m.box(id);
            EXPECT_EQ(frameOf(view), (std::vector<int>{b.x, b.y, b.w, b.h})) << id << " (run artgen sync)";
            if (artgen::isDigitPlace(id)) continue;
            EXPECT_EQ(view.value("image", ""), face + "_" + artgen::partName(id) + ".png") << id;
            EXPECT_EQ(pngSize(builtDir() / view.value("image", "")), (Size{b.w, b.h})) << id;
        }
        for (const auto& id : m.partIds())
            EXPECT_TRUE(id.rfind("seg-", 0) != 0 || placed.count(id)) << id << " is drawn but not in the layout";
    }
    EXPECT_GE(faces, 5);
}

// The window draws the faces at any whole scale from the masters (scales 1 and 2 from the built pictures, which are
// the same drawings): at each, every fully inked pixel of a lit segment lies over its ghost on the face.
TEST(BuiltArt, EveryLitPixelOfEverySegmentHasItsGhostUnderItAtScalesOneToFour) {
    for (std::string face : {"yolkfall", "antlerby", "reelholm", "starwick", "whiskerpond", "panflip"}) {
        artgen::Master m(artgen::findMaster((sourceDir() / "resources/art/faces").string(), face), face);
        for (int s = 1; s <= 4; ++s) {
            SCOPED_TRACE(face + " at scale " + std::to_string(s));
            artgen::Surface background = artgen::renderFace(m, s);
            artgen::Surface printed(background.width(), background.height());   // the face without its ghosts
            cairo_t* cr = cairo_create(printed.get());
            cairo_scale(cr, s, s);
            m.renderLayer(cr, "printed");
            cairo_destroy(cr);
            for (const auto& id : m.partIds()) {
                if (artgen::isDigitPlace(id)) continue;
                const artgen::Box b = m.box(id);
                const artgen::Surface part = artgen::renderPart(m, id, s);
                int inked = 0, bare = 0;
                for (int y = 0; y < part.height(); ++y)
                    for (int x = 0; x < part.width(); ++x) {
                        if ((part.pixel(x, y) >> 24) < 250) continue;
                        ++inked;
                        bare += background.pixel(s * b.x + x, s * b.y + y) == printed.pixel(s * b.x + x, s * b.y + y);
                    }
                EXPECT_GT(inked, 0) << id << " draws nothing";
                EXPECT_EQ(bare, 0) << id << ": " << bare << " of " << inked << " inked pixels have no ghost under them";
            }
        }
    }
}

TEST(EggLayouts, AllFiveShareTheSegmentsTheControlsAndTheirPlaces) {
    using Segments = std::map<int, std::pair<std::vector<int>, bool>>;     // tag: frame, hidden
    using Controls = std::map<std::string, std::pair<std::string, int>>;   // action: key, control events
    std::optional<Segments> firstSegments;
    std::optional<Controls> firstControls;
    for (std::string face : {"yolkfall", "antlerby", "reelholm", "starwick", "whiskerpond"}) {
        SCOPED_TRACE(face);
        std::string name = char(std::toupper(face[0])) + face.substr(1) + "ViewController.json";
        json layout = loadJson(sourceDir() / "resources/layouts" / name);
        EXPECT_EQ(faceOf(layout), face) << "the first view is the face background";
        Segments segments;
        Controls controls;
        forEachView(layout["root"], [&](const json& view) {
            int tag = view.value("tag", 0);
            if (tag >= 1 && tag <= 9999) segments[tag] = {frameOf(view), view.value("hidden", false)};
            if (view.contains("action")) controls[view["action"]] = {view.value("key", ""), view.value("events", 64)};
        });
        if (!firstSegments) firstSegments = segments;
        if (!firstControls) firstControls = controls;
        EXPECT_EQ(segments, *firstSegments) << "the segments lie where they lie on the first face";
        EXPECT_EQ(controls, *firstControls) << "the same controls, with the same keys, as on the first face";
    }
}

TEST(Sounds, EveryNameTheCodeLoadsIsBuiltFromItsRecipeShortAndClickFree) {
    std::map<std::string, std::vector<int16_t>> sounds;
    for (const auto& recipe : soundgen::recipes()) sounds[recipe.name] = soundgen::synthesise(recipe);
    auto names = codeSoundNames();
    EXPECT_GE(names.size(), 9u) << "the games load nine sounds";
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(sounds.count(name)) << "no recipe";
        const auto& s = sounds[name];
        std::string built = readText(builtDir() / (name + ".aif"));
        EXPECT_EQ(std::vector<uint8_t>(built.begin(), built.end()), soundgen::aiff(s)) << "not built from its recipe";
        EXPECT_LT(s.size() / double(soundgen::kRate), 1.5) << "too long";
        EXPECT_LT(std::abs(s.front()), 800) << "a click at the start";
        EXPECT_LT(std::abs(s.back()), 800) << "a click at the end";
    }
}

// Under the sanitizer build: the text and font libraries that librsvg draws titles with keep process-wide caches
// that they never free. Those are not our leaks; every other allocation is still checked.
// NOLINTNEXTLINE(bugprone-reserved-identifier): the name LeakSanitizer looks for
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libpango\nleak:libharfbuzz\nleak:libglib\nleak:libgobject\nleak:librsvg\n";
}
