// The save folder and the random draws.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "platform/FileManager.h"
#include "platform/Notice.h"
#include "platform/headless/Headless.h"
#include "services/GameFace.h"
#include "services/Support.h"
#include "tests/platform/platform_support.h"

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

// The start-up check of the save folder. The player is told at once when no file can be made there; the log
// gives the real reason, also on every later save that fails because the folder could not be made.
TEST(SaveFolderCheck, AFolderThatCannotBeMadeIsBlamedOnEverySaveThatFailsForIt) {
    platform::headless::Environment env;
    // The documents folder is not there and cannot be made: the saves go to where it would be, and fail there
    // with "No such file or directory"; the reason is the permission refused when making it.
    const std::string documents = env.documents() + "/data/plumbrick";
    platform::setDocumentsDirectory(documents);
    for (int nth : {1, 2}) platform::FileFaults::shared().failNth(platform::FileOp::MakeDir, nth, EACCES);
    EXPECT_FALSE(checkSaveFolder());
    EXPECT_EQ(platform::Notices::shared().posted(), std::vector<std::string>{kFolderNotWritableNotice});
    const std::string why = "Could not make the folder " + env.documents() + "/data: " + std::strerror(EACCES);
    EXPECT_TRUE(std::any_of(env.logLines().begin(), env.logLines().end(),
                            [&](const std::string& line) { return line.find(why) != std::string::npos; }));
    env.clearLog();
    EXPECT_FALSE(game_face::saveStateFile(game_face::pathStateFile("1"), "Yolkfall", [](platform::KeyedArchiver&) {}));
    ASSERT_EQ(env.logLines().size(), 1u);
    EXPECT_NE(env.logLines()[0].find(std::strerror(EACCES)), std::string::npos) << env.logLines()[0];
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

// A game's sounds are AIFF files; the browser's build stages them as WAV (browsers decode no AIFF).
class SoundFiles : public ::testing::Test {
protected:
    platform::headless::Environment env;
    plumbrick::testing::TempResources resources{env.documents()};

    std::string madeFrom(const std::string& name) {
        platform::SystemSoundID id = 0;
        initSound(id, name, "aif");
        env.play(id);
        return fs::path(env.sounds().back().path).filename().string();
    }
};

TEST_F(SoundFiles, TheAiffIsTakenWhereThereIsOne) {
    resources.write("beep.aif", "AIFF");
    resources.write("beep.wav", "WAVE");
    EXPECT_EQ(madeFrom("beep"), "beep.aif");
}

TEST_F(SoundFiles, TheWavOfTheSameNameIsTakenWhereThereIsNoAiff) {
    resources.write("beep.wav", "WAVE");
    EXPECT_EQ(madeFrom("beep"), "beep.wav");
}

TEST_F(SoundFiles, NeitherGivesASoundOfNoFile) {
    resources.write("other.wav", "WAVE");
    EXPECT_EQ(madeFrom("beep"), "");
}
