// The results file shared: by two stores of one game (the game's and another copy's), by two processes that
// record at the same time, and after a read that failed.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/FileManager.h"
#include "platform/Notice.h"
#include "platform/headless/Headless.h"
#include "services/Support.h"
#include "services/VCGameRound.h"
#include "services/VCGamesResult.h"
#include "tests/services/results_fixture.h"
#include "tests/support/file_text.h"

using namespace plumbrick;
using plumbrick::testing::readText;

namespace {

using plumbrick::testing::Scores;

class SharedResults : public plumbrick::testing::ResultsFixture {
protected:
    static std::vector<int> timesInFile() {
        std::vector<int> out;
        const VCGamesResult store = loaded();
        for (const auto& pack : *store.getArGamesResult()) out.push_back(VCGameRound::initWithPack(pack)->getTime());
        return out;
    }
};

}   // namespace

// Another copy's rounds survive this store's writes; a round recorded again replaces its earlier record in both
// stores' writes, never standing beside it.
TEST_F(SharedResults, RoundsOfAnotherStoreAreKeptAndARoundRecordedAgainIsNeverTwiceInTheFile) {
    VCGamesResult mine = loaded(), theirs = loaded();
    mine.NewGame();
    theirs.NewGame();   // the same second: both rounds fall within the lookup's tolerance of each other
    env.advance(3);
    mine.EndGame(10, 50, 0);
    theirs.EndGame(10, 30, 0);
    EXPECT_EQ(inFile(), (Scores{50, 30}));
    env.advance(3);
    mine.EndGame(20, 60, 1);
    EXPECT_EQ(inFile(), (Scores{60, 30})) << "the earlier record of the round went; the other store's stayed";
    theirs.EndGame(20, 35, 1);
    EXPECT_EQ(inFile(), (Scores{60, 35}));
    env.advance(3);
    mine.EndGame(30, 60, 2);   // mine holds theirs's first record of its round, which theirs replaced since
    EXPECT_EQ(inFile(), (Scores{60, 35}));
    EXPECT_EQ(timesInFile(), (std::vector<int>{30, 20}));
}

// The file keeps five rounds, the best ones, and never drops the round being played from the list in memory.
TEST_F(SharedResults, MergedRoundsAreCutToTheFiveBestAndTheCurrentRoundIsStillRecorded) {
    VCGamesResult mine = loaded(), theirs = loaded();
    playRound(mine, 1, 5, 0);   // still its current round after
    for (int score : {40, 50, 60, 70, 80}) playRound(theirs, score, 5, 0);
    EXPECT_EQ(inFile(), (Scores{80, 70, 60, 50, 40}));
    mine.EndGame(6, 2, 0);
    EXPECT_EQ(inFile(), (Scores{80, 70, 60, 50, 2})) << "the current round stays, the lowest other goes";
    mine.EndGame(7, 90, 0);
    EXPECT_EQ(inFile(), (Scores{90, 80, 70, 60, 50}));
}

// Two processes record 50 rounds each into one game at the same time, each round twice (a pause, then its end),
// on the same virtual clock (so their rounds begin within a second of each other). The scores rise, so the five
// best of all 100 rounds are the last ones: the file must hold exactly those, each in its last record.
TEST_F(SharedResults, TwoProcessesRecordingAtOnceLoseNoRound) {
    constexpr int kRounds = 50;
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    pid_t children[2] = {-1, -1};
    for (int who = 0; who < 2; ++who) {
        children[who] = ::fork();
        ASSERT_GE(children[who], 0);
        if (children[who] == 0) {
            ::close(go[1]);
            char start = 0;
            const bool started = ::read(go[0], &start, 1) == 1;   // both begin together
            VCGamesResult store = loaded();
            for (int k = 0; k < kRounds; ++k) {
                store.NewGame();
                env.advance(2);
                store.EndGame(10, 2 * k + who, 0);
                env.advance(1);
                store.EndGame(20, 2 * k + who, 1);
            }
            ::_exit(started && !store.isSavePending() ? 0 : 1);   // no destructors: the folder is the parent's
        }
    }
    ::close(go[0]);
    ASSERT_EQ(::write(go[1], "gg", 2), 2);
    ::close(go[1]);
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    EXPECT_EQ(inFile(), (Scores{99, 98, 97, 96, 95}));
    EXPECT_EQ(timesInFile(), (std::vector<int>{20, 20, 20, 20, 20}));
}

// A read that failed (a disk error) hides the file's rounds from the store: nothing is written over the file
// until a read succeeds, the player is told meanwhile, and then the old rounds and the new one are all kept.
TEST_F(SharedResults, AfterAFailedReadTheFileIsUntouchedUntilAReadSucceedsAndThenKeepsEveryRound) {
    VCGamesResult earlier = loaded();
    for (int score : {70, 40}) playRound(earlier, score, 10, 0);
    const std::string before = readText(file);
    auto& faults = platform::FileFaults::shared();
    faults.failNth(platform::FileOp::Read, 1, EIO);   // the store's Load
    faults.failNth(platform::FileOp::Read, 2, EIO);   // the read of its first save
    VCGamesResult store = loaded();
    EXPECT_TRUE(store.getArGamesResult()->empty());
    playRound(store, 55, 15, 1);
    EXPECT_EQ(readText(file), before);
    EXPECT_TRUE(store.isSavePending());
    EXPECT_EQ(platform::Notices::shared().posted(), std::vector<std::string>{VCGamesResult::kNotSavedNotice});
    store.SaveIfPending();   // the next occasion: the read succeeds
    EXPECT_EQ(inFile(), (Scores{70, 55, 40}));
}
