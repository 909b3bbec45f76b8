// The save folder and the random draws.

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "platform/FileManager.h"
#include "platform/headless/Headless.h"
#include "services/Support.h"

using namespace plumbrick;
namespace fs = std::filesystem;

TEST(SaveFolder, TheDocumentsFolderUntilTheSaveFolderCanBeMadeThenThatAndNeverATrailingSlash) {
    platform::headless::Environment env;
    const fs::path documents = env.documents(), folder = documents / "Quillfen";
    platform::FileFaults::shared().failNth(platform::FileOp::MakeDir, 1, EACCES);
    for (const fs::path& expected : {documents, folder, folder}) {
        const std::string path = getPathFolderSaveGame();
        EXPECT_EQ(fs::path(path), expected);
        EXPECT_NE(path.back(), '/');
        std::ofstream(documents / "Quillfen" / "keep.me") << "x";   // only once the folder is there
    }
    EXPECT_TRUE(fs::exists(folder / "keep.me")) << "a later call makes nothing new";
}

TEST(SaveFolder, FirstUseClearsWhatAnInterruptedSaveLeft) {
    platform::headless::Environment env;
    const fs::path folder = fs::path(env.documents()) / "Quillfen";
    fs::create_directories(folder);
    std::ofstream(folder / ".Tinmarsh.result.tmp.Ab12Cd") << "half a file";
    std::ofstream(folder / "Tinmarsh.result") << "kept";
    getPathFolderSaveGame();
    EXPECT_FALSE(fs::exists(folder / ".Tinmarsh.result.tmp.Ab12Cd"));
    EXPECT_TRUE(fs::exists(folder / "Tinmarsh.result"));
}

TEST(Random, EveryDrawGivesEachOfItsValuesAndNothingElse) {
    const auto range = [](int lo, int hi) {
        std::set<int> out;
        for (int v = lo; v <= hi; ++v) out.insert(v);
        return out;
    };
    // The pause as whole hundredths above its minimum, or -1 when it is not a whole hundredth.
    const auto hundredths = [](float lo, float hi) {
        const float r = randPauseCat(lo, hi);
        const long k = std::lround((double(r) - lo) * 100.0);
        return r >= lo && r < hi && r == float(double(lo) + double(k) * 0.01) ? int(k) : -1;
    };
    const std::pair<std::function<int()>, std::set<int>> cases[] = {
        {[] { return rnd2(-3, 3); }, range(-3, 3)},
        {[] { return rnd2(4, 1); }, {4}},   // a reversed range: min
        {randMaxPositionFood, range(2, 4)},
        {[&] { return hundredths(3.0f, 7.0f); }, range(0, 399)},
        {[&] { return hundredths(3.0f, 3.005f); }, {0}}};
    std::srand(20110203);
    for (const auto& [draw, values] : cases) {
        std::set<int> seen;
        for (int i = 0; i < 30000; ++i) seen.insert(draw());
        EXPECT_EQ(seen, values);
    }
    for (int i = 0; i < 100; ++i) rnd2(INT_MIN, INT_MAX);   // no overflow in the span
}
