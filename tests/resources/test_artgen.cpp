// artgen on small masters made for the test: boxes, themes, ghosts, cropping and layout syncing.
#include <gtest/gtest.h>

#include "artgen.h"
#include "resource_support.h"

using artgen::Box;
using artgen::Master;
using restest::TempDir;

namespace {

const char* kHead =
    R"(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" width="100" height="60" viewBox="0 0 100 60")";

std::string master(const std::string& rootAttrs, const std::string& body) {
  return std::string(kHead) + " " + rootAttrs + ">\n" + body + "\n</svg>\n";
}

int alphaAt(const artgen::Surface& s, int x, int y) { return static_cast<int>(s.pixel(x, y) >> 24); }

}  // namespace

TEST(ArtgenBoxes, FixedBoxRectWinsAndExtentIsRoundedOut) {
  TempDir dir;
  auto path = dir.write("m.svg", master("", R"(
    <g id="printed"><rect width="100" height="60" fill="#ccc"/></g>
    <g id="seg-1"><rect id="box-1" x="10" y="10" width="20" height="12" fill="none"/><circle cx="20" cy="16" r="4"/></g>
    <g id="seg-2"><rect x="40.3" y="5.6" width="9.2" height="10"/></g>
    <g id="sign-pause"><rect x="60" y="40" width="30" height="10"/></g>)"));
  Master m(path.string());
  EXPECT_EQ(m.box("seg-1"), (Box{10, 10, 20, 12}));
  EXPECT_EQ(m.box("seg-2"), (Box{40, 5, 10, 11}));
  EXPECT_EQ(m.box("sign-pause"), (Box{60, 40, 30, 10}));
  EXPECT_EQ(m.partIds(), (std::vector<std::string>{"seg-1", "seg-2", "sign-pause"}));
  EXPECT_EQ(m.faces(), std::vector<std::string>{"m"});
}

TEST(ArtgenBoxes, ExtentGrowsToCoverMiterJoinsAndInkOutsideAFixedBoxIsAnError) {
  TempDir dir;
  // A sharp stroked corner reaches far beyond the path's geometric extent.
  auto path = dir.write("m.svg", master("", R"(
    <g id="printed"/>
    <g id="seg-1"><path d="M20,40 L30,10 L40,40" fill="none" stroke="#000" stroke-width="4" stroke-miterlimit="20"/></g>
    <g id="seg-2"><rect id="box-2" x="50" y="10" width="10" height="10" fill="none"/><rect x="52" y="12" width="12" height="4"/></g>)"));
  Master m(path.string());
  Box b = m.box("seg-1");
  artgen::Surface part = artgen::renderPart(m, "seg-1", 2.0);
  EXPECT_LE(b.y, 4) << "the miter tip above y = 10 must be inside the box";
  EXPECT_EQ(part.width(), b.w * 2);
  EXPECT_THROW(artgen::renderPart(m, "seg-2", 1.0), artgen::Error);
}

TEST(ArtgenThemes, EachFaceDrawsOnlyItsOwnThemeInsideSharedParts) {
  TempDir dir;
  auto path = dir.write("pair.svg", master(R"(data-faces="red blue" data-thumb-blue="2" data-thumb="1")", R"(
    <defs><g id="obj"><rect class="t-red" x="0" y="0" width="10" height="10"/><circle class="t-blue" cx="5" cy="5" r="2"/></g></defs>
    <g id="printed"><rect width="100" height="60" fill="#fff"/><rect class="t-red" x="80" y="0" width="20" height="20" fill="#f00"/></g>
    <g id="seg-1"><rect id="box-1" x="10" y="10" width="10" height="10" fill="none"/><use href="#obj" x="10" y="10"/></g>
    <g id="seg-2"><rect id="box-2" x="30" y="10" width="10" height="10" fill="none"/><use href="#obj" x="30" y="10"/></g>)"));
  Master red(path.string(), "red");
  Master blue(path.string(), "blue");
  EXPECT_EQ(red.faces(), (std::vector<std::string>{"red", "blue"}));
  EXPECT_THROW(Master(path.string(), "green"), artgen::Error);

  artgen::Surface r = artgen::renderPart(red, "seg-1", 1.0);
  artgen::Surface b = artgen::renderPart(blue, "seg-1", 1.0);
  EXPECT_EQ(alphaAt(r, 1, 1), 255) << "the red theme draws the square";
  EXPECT_EQ(alphaAt(b, 1, 1), 0) << "the blue theme draws only the dot";
  EXPECT_EQ(alphaAt(b, 5, 5), 255);

  artgen::Surface redFace = artgen::renderWhole(red, 1.0);
  artgen::Surface blueFace = artgen::renderWhole(blue, 1.0);
  EXPECT_NE(redFace.pixel(90, 10), blueFace.pixel(90, 10)) << "printed decoration is themed too";

  EXPECT_EQ(red.thumbParts(), std::vector<std::string>{"seg-1"});
  EXPECT_EQ(blue.thumbParts(), std::vector<std::string>{"seg-2"});
}

TEST(ArtgenFace, GhostsAreFaintEvenWherePartsOverlapAndDigitPlacesLeaveNoGhost) {
  TempDir dir;
  auto path = dir.write("g.svg", master("", R"(
    <g id="printed"><rect width="100" height="60" fill="#ffffff"/></g>
    <g id="seg-100"><rect x="10" y="10" width="20" height="20"/></g>
    <g id="seg-101"><rect x="20" y="10" width="20" height="20"/></g>
    <g id="seg-1000"><rect id="box-1000" x="60" y="10" width="20" height="30" fill="#000"/></g>)"));
  Master m(path.string());
  artgen::Surface face = artgen::renderFace(m, 1.0);
  auto red = [&](int x, int y) { return static_cast<int>((face.pixel(x, y) >> 16) & 0xff); };
  int single = red(12, 20), overlap = red(25, 20);
  EXPECT_EQ(red(50, 50), 255);
  EXPECT_NEAR(single, 255 * (1 - artgen::kGhostAlpha), 2);
  EXPECT_EQ(overlap, single) << "overlapping poses must not darken the ghost";
  EXPECT_EQ(red(70, 20), 255) << "a digit place gets no ghost";
}

TEST(ArtgenFace, PartPictureLinesUpWithItsGhostAtTwiceTheSize) {
  TempDir dir;
  auto path = dir.write("a.svg", master("", R"(
    <g id="printed"><rect width="100" height="60" fill="#ffffff"/></g>
    <g id="seg-7"><rect id="box-7" x="21" y="13" width="17" height="9" fill="none"/><path d="M22.3,14 L37,15.5 L30,21.2 Z"/></g>)"));
  Master m(path.string());
  artgen::Surface face = artgen::renderFace(m, 2.0);
  artgen::Surface part = artgen::renderPart(m, "seg-7", 2.0);
  ASSERT_EQ(part.width(), 34);
  ASSERT_EQ(part.height(), 18);
  for (int y = 0; y < part.height(); ++y)
    for (int x = 0; x < part.width(); ++x) {
      int a = alphaAt(part, x, y);
      int faceRed = static_cast<int>((face.pixel(42 + x, 26 + y) >> 16) & 0xff);
      if (a == 255) { EXPECT_LT(faceRed, 255) << x << "," << y; }
      if (a == 0) { EXPECT_EQ(faceRed, 255) << x << "," << y; }
    }
}

TEST(ArtgenDigits, TenDistinctDigitsWithEightTheInkiest) {
  Master d((restest::sourceDir() / "resources/art/common/digits.svg").string());
  std::vector<long> ink;
  std::vector<std::vector<uint32_t>> pixels;
  for (int digit = 0; digit <= 9; ++digit) {
    artgen::Surface s = artgen::renderDigit(d, digit, 2.0);
    EXPECT_EQ(s.width(), 40);
    EXPECT_EQ(s.height(), 64);
    long sum = 0;
    std::vector<uint32_t> px;
    for (int y = 0; y < s.height(); ++y)
      for (int x = 0; x < s.width(); ++x) {
        sum += alphaAt(s, x, y);
        px.push_back(s.pixel(x, y));
      }
    ink.push_back(sum);
    pixels.push_back(px);
  }
  for (int a = 0; a <= 9; ++a)
    for (int b = a + 1; b <= 9; ++b) { EXPECT_NE(pixels[a], pixels[b]) << a << " and " << b; }
  for (int digit = 0; digit <= 9; ++digit)
    if (digit != 8) { EXPECT_LT(ink[digit], ink[8]) << digit; }
  EXPECT_LT(ink[1], ink[7]);
  EXPECT_GT(ink[1], 0) << "unlit segments are still there as ghosts";
}

TEST(ArtgenSync, RewritesOnlyTheFramesOfTheFacesParts) {
  TempDir dir;
  auto path = dir.write("yolk.svg", master("", R"(
    <g id="printed"/>
    <g id="seg-5"><rect id="box-5" x="1" y="2" width="3" height="4" fill="none"/></g>
    <g id="seg-1002"><rect id="box-1002" x="50" y="6" width="20" height="32" fill="none"/></g>
    <g id="sign-pause"><rect id="box-pause" x="9" y="8" width="7" height="6" fill="none"/></g>)"));
  Master m(path.string());
  std::string layout =
      "{ \"root\": { \"class\": \"View\", \"frame\": [0, 0, 480, 320], \"subviews\": [\n"
      "  {\"class\": \"ImageView\", \"frame\": [0, 0, 480, 320], \"image\": \"yolk_face.png\"},\n"
      "  {\"class\": \"ImageView\", \"tag\": 5, \"frame\": [9, 9, 9, 9], \"image\": \"yolk_5.png\"},\n"
      "  {\"class\": \"ImageView\", \"tag\": 1002, \"frame\": [0, 0, 1, 1], \"image\": \"yolkfall_07_00.png\"},\n"
      "  {\"class\": \"ImageView\", \"frame\": [1, 1, 1, 1], \"image\": \"yolk_pause.png\"},\n"
      "  {\"class\": \"ImageView\", \"tag\": 6, \"frame\": [7, 7, 7, 7], \"image\": \"other_5.png\"}\n"
      "] } }\n";
  int changed = -1;
  std::string out = artgen::syncLayoutText(layout, m, &changed);
  EXPECT_EQ(changed, 3);
  EXPECT_NE(out.find("\"tag\": 5, \"frame\": [1, 2, 3, 4]"), std::string::npos);
  EXPECT_NE(out.find("\"tag\": 1002, \"frame\": [50, 6, 20, 32]"), std::string::npos);
  EXPECT_NE(out.find("\"frame\": [9, 8, 7, 6], \"image\": \"yolk_pause.png\""), std::string::npos);
  EXPECT_NE(out.find("\"frame\": [7, 7, 7, 7], \"image\": \"other_5.png\""), std::string::npos);
  EXPECT_NE(out.find("\"frame\": [0, 0, 480, 320], \"image\": \"yolk_face.png\""), std::string::npos);
  int again = -1;
  EXPECT_EQ(artgen::syncLayoutText(out, m, &again), out);
  EXPECT_EQ(again, 0);
}
