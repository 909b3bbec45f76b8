// The save folder, system sounds from resources and the random draws.

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "TestResources.h"
#include "platform/FileManager.h"
#include "platform/headless/Headless.h"
#include "services/Support.h"

using namespace plumbrick;
namespace fs = std::filesystem;

TEST(SaveFolder, MadeOnFirstUseAndReusedAfter) {
    platform::headless::Environment env;
    const fs::path folder = fs::path(env.documents()) / "Quillfen";
    ASSERT_FALSE(fs::exists(folder));

    const std::string path = getPathFolderSaveGame();
    EXPECT_EQ(fs::path(path), folder);
    EXPECT_NE(path.back(), '/');
    EXPECT_TRUE(fs::is_directory(folder));

    std::ofstream(folder / "keep.me") << "x";
    EXPECT_EQ(getPathFolderSaveGame(), path);
    EXPECT_TRUE(fs::exists(folder / "keep.me")) << "a second call makes nothing new";
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

TEST(SaveFolder, FallsBackToTheDocumentsFolderWhenItCannotBeMade) {
    platform::headless::Environment env;
    platform::FileFaults::shared().failNth(platform::FileOp::MakeDir, 1, EACCES);
    const std::string path = getPathFolderSaveGame();
    EXPECT_EQ(fs::path(path), fs::path(env.documents()));
    EXPECT_NE(path.back(), '/');
    EXPECT_FALSE(fs::exists(fs::path(env.documents()) / "Quillfen"));
    platform::FileFaults::shared().clear();
    EXPECT_EQ(fs::path(getPathFolderSaveGame()), fs::path(env.documents()) / "Quillfen") << "made once it can be";
}

TEST(SaveFolder, APlainFileInTheWayIsNotTakenForTheFolder) {
    platform::headless::Environment env;
    std::ofstream(fs::path(env.documents()) / "Quillfen") << "not a folder";
    EXPECT_EQ(fs::path(getPathFolderSaveGame()), fs::path(env.documents()));
}

TEST(Sounds, MadeFromResourcesAndAlwaysTrue) {
    platform::headless::Environment env;
    testsupport::TestResources resources(env.documents());
    resources.addFile("beep.aif", "FORM");
    platform::SystemSoundID beep = 0, missing = 77;
    EXPECT_TRUE(initSound(beep, "beep", "aif"));
    EXPECT_TRUE(initSound(missing, "nothing_here", "aif"));
    EXPECT_NE(beep, 0u);
    platform::AudioServicesPlaySystemSound(beep);
    platform::AudioServicesPlaySystemSound(missing);
    EXPECT_EQ(env.countPlays("beep"), 1);
}

TEST(Random, Rnd2GivesEveryValueOfTheRangeAndNothingElse) {
    std::srand(20110203);
    std::map<int, int> seen;
    for (int i = 0; i < 20000; ++i) ++seen[rnd2(1, 4)];
    ASSERT_EQ(seen.size(), 4u);
    for (auto [value, count] : seen) {
        EXPECT_GE(value, 1);
        EXPECT_LE(value, 4);
        EXPECT_GT(count, 4000) << "each value about a quarter of the time: " << value;
    }
    for (int i = 0; i < 100; ++i) EXPECT_EQ(rnd2(5, 5), 5);
    std::set<int> wide;
    for (int i = 0; i < 5000; ++i) {
        const int r = rnd2(-3, 3);
        EXPECT_GE(r, -3);
        EXPECT_LE(r, 3);
        wide.insert(r);
    }
    EXPECT_EQ(wide.size(), 7u);
    for (int i = 0; i < 100; ++i) {
        const int r = rnd2(INT_MIN, INT_MAX);   // no overflow in the span
        (void)r;
    }
    EXPECT_EQ(rnd2(4, 1), 4) << "a reversed range gives its min";
}

TEST(Random, Rnd2FollowsTheGenerator) {
    std::srand(99);
    std::vector<int> expected;
    for (int i = 0; i < 50; ++i) expected.push_back(1 + std::rand() % 4);
    std::srand(99);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(rnd2(1, 4), expected[i]) << i;
}

TEST(Random, MaxPositionFoodIsTwoThreeOrFour) {
    std::srand(7);
    std::set<int> seen;
    for (int i = 0; i < 5000; ++i) seen.insert(randMaxPositionFood());
    EXPECT_EQ(seen, (std::set<int>{2, 3, 4}));
}

TEST(Random, PauseCatGivesWholeHundredthsBelowMax) {
    std::srand(42);
    for (auto [lo, hi, n] : {std::tuple{3.0f, 7.0f, 400}, std::tuple{3.0f, 5.0f, 200}}) {
        std::set<int> hundredths;
        for (int i = 0; i < 60 * n; ++i) {
            const float r = randPauseCat(lo, hi);
            ASSERT_GE(r, lo);
            ASSERT_LT(r, hi);
            const long k = std::lround((double(r) - lo) * 100.0);
            ASSERT_EQ(r, float(double(lo) + double(k) * 0.01)) << r << " is not a whole hundredth";
            hundredths.insert(int(k));
        }
        EXPECT_EQ(hundredths.size(), std::size_t(n)) << "every value from " << lo << " comes out";
        EXPECT_EQ(*hundredths.begin(), 0);
        EXPECT_EQ(*hundredths.rbegin(), n - 1);
    }
    EXPECT_EQ(randPauseCat(3.0f, 3.005f), 3.0f) << "a span below a hundredth gives min";
}
