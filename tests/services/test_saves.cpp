// The guarded read and write of the files in the save folder: what a failing disk, a read-only folder or a
// stranger's item at a file's path does to the state files and the results file.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <tuple>

#include "platform/FileManager.h"
#include "platform/KeyedArchive.h"
#include "platform/Notice.h"
#include "platform/Plist.h"
#include "platform/SaveReports.h"
#include "platform/headless/Headless.h"
#include "services/GameFace.h"
#include "services/Support.h"
#include "services/VCGameRound.h"
#include "services/VCGamesResult.h"
#include "tests/support/file_text.h"

using namespace plumbrick;
using plumbrick::testing::readText;
using plumbrick::testing::writeText;
namespace fs = std::filesystem;

namespace {

class Saves : public ::testing::Test {
protected:
    platform::headless::Environment env;
    const std::string statePath = game_face::pathStateFile("Yolkfall.v1");

    // Loads the state file, counting the restores.
    int load() {
        int restored = 0;
        game_face::loadStateFile(statePath, "YolkfallViewController",
                                 [&](const platform::KeyedUnarchiver&) { return ++restored > 0; });
        return restored;
    }
};

}   // namespace

// Only a regular file is ever removed at a state path: a folder there keeps everything in it.
TEST_F(Saves, AFolderAtAStatePathIsLeftAloneWithOneLine) {
    fs::create_directory(statePath);
    writeText(statePath + "/keep", "a player's file");
    EXPECT_EQ(load(), 0);
    EXPECT_EQ(readText(statePath + "/keep"), "a player's file");
    ASSERT_EQ(env.logLines().size(), 1u);
    EXPECT_EQ(env.logLines()[0],
              "ERROR YolkfallViewController:loadStateGame: " + statePath + " is not a regular file; left alone");
}

TEST_F(Saves, ALinkAtAStatePathIsLeftAloneAndItsTargetKept) {
    const std::string target = env.documents() + "/elsewhere";
    writeText(target, "not ours");
    fs::create_symlink(target, statePath);
    EXPECT_EQ(load(), 0);
    EXPECT_TRUE(fs::is_symlink(statePath));
    EXPECT_EQ(readText(target), "not ours");
    EXPECT_EQ(env.logLines().size(), 1u);
}

namespace {

// One failing call of a save: the call, which of its kind in the save (1-based), and the errno it fails with.
// A results save reads the file (open 1, read 1), makes the temporary file (open 2), writes it (write 1), syncs
// it (sync 1), renames it over the old one (rename 1), opens the folder (open 3) and syncs that (sync 2).
struct Fault {
    platform::FileOp op;
    int nth;
    int error;
    bool renamed;   // the new file is already in place when it fails
};
const Fault kResultsFaults[] = {
    {platform::FileOp::Open, 1, EIO, false},   {platform::FileOp::Read, 1, EIO, false},
    {platform::FileOp::Open, 2, EROFS, false}, {platform::FileOp::Write, 1, ENOSPC, false},
    {platform::FileOp::Sync, 1, EIO, false},   {platform::FileOp::Rename, 1, EROFS, false},
    {platform::FileOp::Open, 3, EMFILE, true}, {platform::FileOp::Sync, 2, EIO, true},
};

class ResultsSaves : public Saves {
protected:
    std::string file = getPathFolderSaveGame() + "/Tinmarsh.result";
    VCGamesResult store{"Yolkfall.v1"};
    void SetUp() override {
        store.Load();
        store.NewGame();
        store.EndGame(10, 3, 0);
        env.advance(2);
        store.NewGame();
        env.clearLog();
    }
    std::vector<std::string> notices() const { return platform::Notices::shared().posted(); }
    static platform::PlistArray loadedList() {
        VCGamesResult reader("Yolkfall.v1");
        reader.Load();
        return *reader.getArGamesResult();
    }
};

}   // namespace

// A read-only folder, a full disk or a failing one, at every call of a results save: one ERROR line naming the
// file and the system's reason, the old file whole, the player told, and the list written at the next occasion.
TEST_F(ResultsSaves, EveryFailingCallIsLoggedOnceToldAndSavedAgainAtTheNextOccasion) {
    for (const Fault& f : kResultsFaults) {
        SCOPED_TRACE(std::to_string(static_cast<int>(f.op)) + "/" + std::to_string(f.nth) + " " +
                     std::strerror(f.error));
        fs::remove(file);   // a new file, log and notices for each fault
        platform::Notices::shared().reset();
        platform::SaveReports::shared().reset();
        store = VCGamesResult("Yolkfall.v1");
        SetUp();
        const std::string old = readText(file);
        platform::FileFaults::shared().failNth(f.op, f.nth, f.error);
        store.EndGame(20, 7, 1);
        ASSERT_EQ(env.logLines().size(), 1u);
        const std::string& line = env.logLines()[0];
        EXPECT_TRUE(line.starts_with("ERROR VCGamesResult:Save: ")) << line;
        EXPECT_NE(line.find(file), std::string::npos) << line;
        EXPECT_NE(line.find(std::strerror(f.error)), std::string::npos) << line;
        if (!f.renamed) {
            EXPECT_EQ(readText(file), old);
        }
        EXPECT_EQ(notices(), std::vector<std::string>{VCGamesResult::kNotSavedNotice});
        EXPECT_EQ(store.getArGamesResult()->size(), 2u) << "the list stays in memory";
        EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(file).parent_path()), fs::directory_iterator()), 1)
            << "no temporary file and nothing kept aside";

        store.EndGame(25, 8, 1);   // the fault is gone: the next occasion writes the list
        EXPECT_EQ(env.logLines().size(), 1u);
        EXPECT_EQ(VCGameRound::scoresOfPack(loadedList().front()), 8);
    }
}

// The player is told once per kind of save: a disk that stays full does not repeat the notice, a save that
// succeeds in between does.
TEST_F(ResultsSaves, TheNoticeComesOnceUntilASaveSucceedsAgain) {
    platform::FileFaults::shared().failNth(platform::FileOp::Write, 1, ENOSPC);
    platform::FileFaults::shared().failNth(platform::FileOp::Write, 2, ENOSPC);
    store.EndGame(20, 7, 1);
    store.EndGame(21, 7, 1);
    EXPECT_EQ(notices().size(), 1u);
    EXPECT_EQ(env.logLines().size(), 2u) << "every failure has its line";
    store.EndGame(22, 7, 1);
    platform::FileFaults::shared().failNth(platform::FileOp::Write, 1, ENOSPC);
    store.EndGame(23, 7, 1);
    EXPECT_EQ(notices().size(), 2u);
}

// A state file that cannot be written leaves the earlier one untouched; the failure has its line and notice.
TEST_F(Saves, AStateFileThatCannotBeWrittenLeavesTheEarlierOneAndIsReported) {
    auto encode = [](int score) {
        return [score](platform::KeyedArchiver& a) {
            a.encodeInt(100, "VersionSAVES");
            a.encodeInt(score, "scores");
        };
    };
    ASSERT_TRUE(game_face::saveStateFile(statePath, "YolkfallViewController", encode(1)));
    const std::string earlier = readText(statePath);
    for (const auto& [op, nth, error] :
         {std::tuple{platform::FileOp::Write, 1, ENOSPC}, {platform::FileOp::Rename, 1, EROFS}}) {
        env.clearLog();
        platform::FileFaults::shared().failNth(op, nth, error);
        EXPECT_FALSE(game_face::saveStateFile(statePath, "YolkfallViewController", encode(2)));
        EXPECT_EQ(readText(statePath), earlier);
        ASSERT_EQ(env.logLines().size(), 1u);
        EXPECT_TRUE(env.logLines()[0].starts_with("ERROR YolkfallViewController:saveStateGame: ")) << env.logLines()[0];
        EXPECT_NE(env.logLines()[0].find(statePath + ": " + std::strerror(error)), std::string::npos)
            << env.logLines()[0];
    }
    EXPECT_EQ(platform::Notices::shared().posted(), std::vector<std::string>{game_face::kRoundNotSavedNotice});
    EXPECT_TRUE(game_face::saveStateFile(statePath, "YolkfallViewController", encode(2)));
    EXPECT_NE(readText(statePath), earlier);
}
