// The built pictures and the layouts that name them: every named picture exists at 1x and 2x, every face layout
// places its segments exactly where the face master draws them and their ghosts, and the five egg faces share one
// geometry and one set of controls.
#include <gtest/gtest.h>

#include <map>

#include "artgen.h"
#include "resource_support.h"

using namespace restest;

namespace {
std::vector<int> frameOf(const json& view) { return view.at("frame").get<std::vector<int>>(); }
std::string at2x(const std::string& image) { return image.substr(0, image.rfind('.')) + "@2x.png"; }
}   // namespace

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
    EXPECT_EQ(pngSize(builtDir() / "yolkfall_07_05.png"), (Size{20, 32}));
    EXPECT_EQ(pngSize(builtDir() / "menu_02.png"), (Size{artgen::kThumbWidth, artgen::kThumbHeight}));
}

TEST(BuiltArt, FaceLayoutsPlaceEverySegmentOnItsMasterBoxAndTheGhostsLieUnderTheLitSegmentsAtTwiceTheSize) {
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

        // Every inked pixel of a lit segment at 2x lies over its ghost: the face differs there from its printed layer.
        artgen::Surface whole = artgen::Surface::readPng((builtDir() / (face + "_face@2x.png")).string());
        artgen::Surface printed(whole.width(), whole.height());
        cairo_t* cr = cairo_create(printed.get());
        cairo_scale(cr, 2, 2);
        m.renderLayer(cr, "printed");
        cairo_destroy(cr);
        for (const auto& id : m.partIds()) {
            if (artgen::isDigitPlace(id)) continue;
            artgen::Box b = m.box(id);
            std::string picture = face + "_" + artgen::partName(id) + "@2x.png";
            artgen::Surface part = artgen::Surface::readPng((builtDir() / picture).string());
            int solid = 0, missing = 0;
            for (int y = 0; y < part.height(); ++y)
                for (int x = 0; x < part.width(); ++x)
                    if ((part.pixel(x, y) >> 24) >= 250)
                        ++solid,
                            missing += whole.pixel(2 * b.x + x, 2 * b.y + y) == printed.pixel(2 * b.x + x, 2 * b.y + y);
            EXPECT_GT(solid, 0) << id << " draws nothing";
            EXPECT_EQ(missing, 0) << id << ": " << missing << " of " << solid
                                  << " inked pixels have no ghost under them";
        }
    }
    EXPECT_GE(faces, 5);
}

TEST(EggLayouts, AllFiveShareTheSegmentsTheControlsAndTheirPlaces) {
    std::set<int> required;   // wolf, hare, broken eggs and chicks, eggs on four decks, penalties, score digits
    for (auto [first, last] : {std::pair{100, 103},
                               {200, 202},
                               {300, 304},
                               {400, 404},
                               {500, 504},
                               {600, 604},
                               {700, 704},
                               {800, 804},
                               {900, 902},
                               {1000, 1003}})
        for (int t = first; t <= last; ++t) required.insert(t);
    std::map<int, std::vector<int>> firstFrames;
    std::map<std::string, std::pair<std::string, int>> firstControls;   // action: key, control events
    for (std::string face : {"yolkfall", "antlerby", "reelholm", "starwick", "whiskerpond"}) {
        SCOPED_TRACE(face);
        std::string name = char(std::toupper(face[0])) + face.substr(1) + "ViewController.json";
        json layout = loadJson(sourceDir() / "resources/layouts" / name);
        EXPECT_EQ(faceOf(layout), face) << "the first view is the face background";
        std::map<int, std::vector<int>> frames;
        std::map<std::string, int> outlets;
        std::map<std::string, std::pair<std::string, int>> controls;
        forEachView(layout["root"], [&](const json& view) {
            int tag = view.value("tag", 0);
            ++outlets[view.value("outlet", "")];
            if (tag >= 1 && tag <= 9999) {
                EXPECT_TRUE(frames.emplace(tag, frameOf(view)).second) << "tag " << tag << " twice";
                EXPECT_EQ(view.value("hidden", false), tag < 1000) << "tag " << tag;   // the digits show from the start
            }
            EXPECT_TRUE(tag != 10000 || view["subviews"][0].value("outlet", "") == "btMenu")
                << "the menu button's view";
            EXPECT_TRUE(
                !view.contains("action") ||
                controls.emplace(view["action"], std::pair(view.value("key", ""), view.value("events", 64))).second)
                << view.value("action", "") << " twice";
        });
        std::set<int> tags;
        for (const auto& [tag, frame] : frames) tags.insert(tag);
        EXPECT_EQ(tags, required);
        if (firstFrames.empty()) firstFrames = frames, firstControls = controls;
        EXPECT_EQ(frames, firstFrames) << "the segments lie where they lie on the first face";
        EXPECT_EQ(controls, firstControls) << "the same controls, with the same keys, as on the first face";
        EXPECT_EQ(controls.size(), 9u) << "the basket's four, game A and B, pause, information and menu";
        EXPECT_EQ(outlets["ivGamePause"] + outlets["btMenu"], 2);
    }
}
