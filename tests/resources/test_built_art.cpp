// The built pictures and the layouts that name them: every named picture exists at 1x and 2x, every face layout
// places its segments exactly where the face master draws them, and the five egg faces share one geometry.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>

#include "artgen.h"
#include "resource_support.h"

namespace fs = std::filesystem;
using nlohmann::json;
using namespace restest;

namespace {

std::string at2x(const std::string& image) {
  auto dot = image.rfind('.');
  return image.substr(0, dot) + "@2x" + image.substr(dot);
}

std::vector<int> frameOf(const json& view) { return view.at("frame").get<std::vector<int>>(); }

std::vector<int> boxAsFrame(const artgen::Box& b) { return {b.x, b.y, b.w, b.h}; }

void expectBuiltAtBothScales(const std::string& image, const std::string& where) {
  auto one = pngSize(builtDir() / image);
  auto two = pngSize(builtDir() / at2x(image));
  ASSERT_TRUE(one.has_value()) << image << " (named by " << where << ") was not built";
  ASSERT_TRUE(two.has_value()) << at2x(image) << " (named by " << where << ") was not built";
  EXPECT_EQ(two->w, one->w * 2) << image;
  EXPECT_EQ(two->h, one->h * 2) << image;
}

}  // namespace

TEST(BuiltArt, EveryPictureNamedByALayoutIsBuiltAtBothScales) {
  auto files = layoutFiles();
  ASSERT_FALSE(files.empty());
  for (const auto& file : files) {
    json layout = loadJson(file);
    ASSERT_TRUE(layout.contains("root") || layout.contains("window")) << file;
    if (!layout.contains("root")) continue;
    forEachView(layout["root"], [&](const json& view) {
      if (view.contains("image")) expectBuiltAtBothScales(view["image"].get<std::string>(), file.filename().string());
    });
    EXPECT_TRUE(fs::exists(builtDir() / "layouts" / file.filename())) << file.filename() << " was not copied";
  }
}

TEST(BuiltArt, PicturesTheCodeNamesAreBuilt) {
  char name[64];
  for (int d = 0; d <= 9; ++d) {
    std::snprintf(name, sizeof name, "yolkfall_07_0%d.png", d);
    expectBuiltAtBothScales(name, "the score display");
    EXPECT_EQ(pngSize(builtDir() / name), (Size{20, 32})) << name;
  }
  for (int slot = 1; slot <= 6; ++slot) {
    std::snprintf(name, sizeof name, "menu_0%d.png", slot);
    expectBuiltAtBothScales(name, "the main menu");
    EXPECT_EQ(pngSize(builtDir() / name), (Size{artgen::kThumbWidth, artgen::kThumbHeight})) << name;
    std::snprintf(name, sizeof name, "info_%2.2d.png", slot);
    expectBuiltAtBothScales(name, "the information pages");
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
    std::string path = artgen::findMaster(facesDir().string(), face);
    ASSERT_FALSE(path.empty()) << "no master draws face " << face;
    artgen::Master m(path, face);

    std::set<std::string> placed;
    for (const auto& view : layout["root"]["subviews"]) {
      int tag = view.value("tag", 0);
      std::string image = view.value("image", "");
      std::string id;
      if (tag >= 1 && tag <= 9999) {
        id = "seg-" + std::to_string(tag);
        ASSERT_TRUE(m.has(id)) << "tag " << tag << " has no segment in " << path;
        if (!artgen::isDigitPlace(id)) { EXPECT_EQ(image, face + "_" + std::to_string(tag) + ".png") << "tag " << tag; }
      } else if (view.value("outlet", "") == "ivGamePause" && m.has("sign-pause")) {
        id = "sign-pause";
        EXPECT_EQ(image, face + "_pause.png");
      }
      if (id.empty()) continue;
      placed.insert(id);
      EXPECT_EQ(frameOf(view), boxAsFrame(m.box(id))) << id << " (run artgen sync)";
      auto size = pngSize(builtDir() / image);
      ASSERT_TRUE(size.has_value()) << image;
      EXPECT_EQ(*size, (Size{frameOf(view)[2], frameOf(view)[3]})) << image << " is not the size of its frame";
    }
    for (const auto& id : m.partIds())
      if (id.rfind("seg-", 0) == 0) { EXPECT_TRUE(placed.count(id)) << id << " is drawn but not in the layout"; }
  }
  EXPECT_GE(faces, 5);
}

TEST(BuiltArt, FaceGhostsLineUpWithTheLitSegmentsAtTwiceTheSize) {
  for (const auto& egg : eggFaces()) {
    SCOPED_TRACE(egg.face);
    artgen::Master m(artgen::findMaster(facesDir().string(), egg.face), egg.face);
    artgen::Surface face = artgen::Surface::readPng((builtDir() / (egg.face + "_face@2x.png")).string());
    // The printed layer alone, to tell where the face carries a ghost.
    artgen::Surface printed(face.width(), face.height());
    {
      cairo_t* cr = cairo_create(printed.get());
      cairo_scale(cr, 2, 2);
      m.renderLayer(cr, "printed");
      cairo_destroy(cr);
    }
    for (const auto& id : m.partIds()) {
      if (artgen::isDigitPlace(id)) continue;
      artgen::Box b = m.box(id);
      artgen::Surface part =
          artgen::Surface::readPng((builtDir() / (egg.face + "_" + artgen::partName(id) + "@2x.png")).string());
      int solid = 0, missing = 0;
      for (int y = 0; y < part.height(); ++y)
        for (int x = 0; x < part.width(); ++x) {
          if ((part.pixel(x, y) >> 24) < 250) continue;
          ++solid;
          if (face.pixel(2 * b.x + x, 2 * b.y + y) == printed.pixel(2 * b.x + x, 2 * b.y + y)) ++missing;
        }
      EXPECT_GT(solid, 0) << id << " draws nothing";
      EXPECT_EQ(missing, 0) << id << ": " << missing << " of " << solid << " inked pixels have no ghost under them";
    }
  }
}

TEST(EggLayouts, AllFiveShareTheSegmentsTheControlsAndTheirPlaces) {
  std::set<int> required;
  for (int t = 100; t <= 103; ++t) required.insert(t);
  for (int t = 200; t <= 202; ++t) required.insert(t);
  for (int base : {300, 400, 500, 600, 700, 800})
    for (int i = 0; i < 5; ++i) required.insert(base + i);
  for (int t = 900; t <= 902; ++t) required.insert(t);
  for (int t = 1000; t <= 1003; ++t) required.insert(t);
  const std::map<std::string, std::pair<std::string, int>> actions = {
      {"pressBtWolfLU:", {"q", 1}},      {"pressBtWolfLD:", {"a", 1}},      {"pressBtWolfRU:", {"p", 1}},
      {"pressBtWolfRD:", {"l", 1}},      {"pressBtStartGameA:", {"1", 64}}, {"pressBtStartGameB:", {"2", 64}},
      {"pressBtPause:", {"space", 64}},  {"pressBtInfo:", {"i", 64}},       {"pressBtMenu:", {"escape", 64}}};

  std::map<int, std::vector<int>> firstFrames;
  for (const auto& egg : eggFaces()) {
    SCOPED_TRACE(egg.layout);
    json layout = loadJson(sourceDir() / "resources" / "layouts" / (egg.layout + ".json"));
    const json& root = layout["root"];
    EXPECT_EQ(frameOf(root), (std::vector<int>{0, 0, 480, 320}));
    EXPECT_EQ(faceOf(layout), egg.face) << "the first view is the face background";
    EXPECT_EQ(frameOf(root["subviews"][0]), (std::vector<int>{0, 0, 480, 320}));

    std::set<int> tags;
    std::map<std::string, int> actionCount;
    int menuViews = 0, pauseSigns = 0;
    for (const auto& view : root["subviews"]) {
      int tag = view.value("tag", 0);
      if (tag >= 1 && tag <= 9999) {
        EXPECT_TRUE(tags.insert(tag).second) << "tag " << tag << " twice";
        EXPECT_EQ(view["class"], "ImageView") << tag;
        bool digit = tag >= 1000;
        EXPECT_EQ(view.value("hidden", false), !digit) << "tag " << tag;
        if (digit) { EXPECT_EQ(view.value("image", ""), "yolkfall_07_00.png"); }
        if (egg.face == "yolkfall") firstFrames[tag] = frameOf(view);
        else { EXPECT_EQ(frameOf(view), firstFrames[tag]) << "tag " << tag << " differs from Yolkfall"; }
      } else {
        EXPECT_TRUE(tag == 0 || tag >= 10000) << "controls must not be dimmed: tag " << tag;
      }
      if (tag == 10000) {
        ++menuViews;
        ASSERT_EQ(view["subviews"].size(), 1u);
        EXPECT_EQ(view["subviews"][0].value("outlet", ""), "btMenu");
      }
      if (view.value("outlet", "") == "ivGamePause") {
        ++pauseSigns;
        EXPECT_TRUE(view.value("hidden", false)) << "the pause sign starts hidden";
      }
    }
    forEachView(root, [&](const json& view) {
      if (!view.contains("action")) return;
      std::string action = view["action"];
      ++actionCount[action];
      auto want = actions.find(action);
      ASSERT_NE(want, actions.end()) << "unknown action " << action;
      EXPECT_EQ(view.value("key", ""), want->second.first) << action;
      EXPECT_EQ(view.value("events", 64), want->second.second) << action;
    });
    EXPECT_EQ(tags, required);
    EXPECT_EQ(menuViews, 1);
    EXPECT_EQ(pauseSigns, 1);
    for (const auto& [action, _] : actions) { EXPECT_EQ(actionCount[action], 1) << action; }
  }
}
