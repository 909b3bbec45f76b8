// artgen on small masters made for the test: boxes and ghosts; and the digits.
#include <gtest/gtest.h>

#include <unistd.h>

#include "artgen.h"
#include "resource_support.h"

namespace {

// A master of 100 x 60 points with the given root attributes and body, written to a folder removed at the end.
struct TempMaster {
    restest::fs::path dir = restest::fs::temp_directory_path() / ("plumbrick-artgen-" + std::to_string(getpid()));
    std::string path = (dir / "m.svg").string();
    TempMaster(const std::string& rootAttrs, const std::string& body) {
        restest::fs::create_directories(dir);
        std::ofstream(path) << R"(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" )"
                            << R"(width="100" height="60" viewBox="0 0 100 60" )" << rootAttrs << ">\n"
                            << body << "\n</svg>\n";
    }
    ~TempMaster() { restest::fs::remove_all(dir); }
};

int redAt(const artgen::Surface& s, int x, int y) { return int((s.pixel(x, y) >> 16) & 0xff); }

}   // namespace

TEST(Artgen, BoxesComeFromTheFixedRectOrTheRoundedOutInkAndInkOutsideAFixedBoxIsAnError) {
    TempMaster file("", R"(<g id="printed"/>
    <g id="seg-1"><rect id="box-1" x="10" y="10" width="20" height="12" fill="none"/><circle cx="20" cy="16" r="4"/></g>
    <g id="seg-2"><rect x="40.3" y="5.6" width="9.2" height="10"/></g>
    <g id="seg-3"><path d="M20,40 L30,10 L40,40" fill="none" stroke="#000" stroke-width="4" stroke-miterlimit="20"/></g>
    <g id="seg-4"><rect id="box-4" x="50" y="30" width="10" height="10" fill="none"/><rect x="52" y="32" width="12" height="4"/></g>
    <g id="sign-pause"><rect x="60" y="40" width="30" height="10"/></g>)");
    artgen::Master m(file.path);
    EXPECT_EQ(m.partIds(), (std::vector<std::string>{"seg-1", "seg-2", "seg-3", "seg-4", "sign-pause"}));
    EXPECT_EQ(m.faces(), std::vector<std::string>{"m"});
    EXPECT_EQ(m.box("seg-1"), (artgen::Box{10, 10, 20, 12}));
    EXPECT_EQ(m.box("seg-2"), (artgen::Box{40, 5, 10, 11}));
    EXPECT_EQ(m.box("sign-pause"), (artgen::Box{60, 40, 30, 10}));
    EXPECT_LE(m.box("seg-3").y, 4) << "the miter tip above y = 10 is inside the box";
    EXPECT_EQ(artgen::renderPart(m, "seg-3", 2.0).width(), m.box("seg-3").w * 2);
    EXPECT_THROW(artgen::renderPart(m, "seg-4", 1.0), artgen::Error);
}

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

TEST(Artgen, TheTenDigitsDifferAndEightIsTheInkiestWithUnlitSegmentsAsGhosts) {
    artgen::Master digits((restest::sourceDir() / "resources/art/common/digits.svg").string());
    std::vector<long> ink(10);
    std::set<std::vector<uint32_t>> pictures;
    for (int digit = 0; digit <= 9; ++digit) {
        artgen::Surface s = artgen::renderDigit(digits, digit, 2.0);
        ASSERT_EQ((std::pair{s.width(), s.height()}), (std::pair{40, 64}));
        std::vector<uint32_t> px(40 * 64);
        for (std::size_t i = 0; i < px.size(); ++i) ink[digit] += (px[i] = s.pixel(int(i % 40), int(i / 40))) >> 24;
        pictures.insert(px);
    }
    EXPECT_EQ(pictures.size(), 10u);
    EXPECT_EQ(std::max_element(ink.begin(), ink.end()) - ink.begin(), 8);
    EXPECT_GT(ink[1], 0) << "unlit segments are still there as ghosts";
    EXPECT_LT(ink[1], ink[7]) << "ghosts are fainter than lit segments";
}

// Under the sanitizer build: the text and font libraries that librsvg draws titles with keep process-wide caches
// that they never free. Those are not our leaks; every other allocation is still checked.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libpango\nleak:libharfbuzz\nleak:libglib\nleak:libgobject\nleak:librsvg\n";
}
