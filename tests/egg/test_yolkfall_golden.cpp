// Golden state files of the egg game: scripted rounds, paused in different states, write the very bytes kept
// in golden/; and each of those files comes back as a paused round that writes the same values again.

#include "games/egg/YolkfallStateFile.h"
#include "tests/support/golden.h"
#include "yolkfall_fixture.h"

namespace plumbrick::testing {
namespace {

using Golden = GoldenRounds<YolkfallFixture>;

TEST_F(Golden, GameAPausedEarly) {
    open();
    press("1");
    ticks(90);
    expectGolden("a_early.state", pauseAndWrite());
}

TEST_F(Golden, GameBPausedAfterAutomaticPlay) {
    openAndStart(true);
    ASSERT_TRUE(tickUntil([&] { return game->getScores() >= 60; }));
    expectGolden("b_scored.state", pauseAndWrite());
}

TEST_F(Golden, GameBPausedWithAPenaltyAndTheBasketMoved) {
    openAndStart(true);
    ASSERT_TRUE(tickUntil([&] { return game->getScores() >= 12; }));
    ASSERT_TRUE(missAnEgg(true));
    press("l");
    expectGolden("b_penalty_moved.state", pauseAndWrite());
}

TEST_F(Golden, GameBPausedWhileAChickRuns) {
    openAndStart(false);
    ASSERT_TRUE(missAnEgg(false));
    expectGolden("b_chick.state", pauseAndWrite());
}

TEST_F(Golden, GameBPausedWithTheHareOut) {
    openAndStart(true);
    ASSERT_TRUE(tickUntil([&] { return lit(200); }));
    expectGolden("b_hare.state", pauseAndWrite());
}

TEST_F(Golden, GameAPausedAtSpeed) {
    open();
    press("1");
    game->set_auto_(true);
    ASSERT_TRUE(tickUntil([&] { return game->getScores() >= 260; }));
    expectGolden("a_fast.state", pauseAndWrite());
}

TEST_F(Golden, EachGoldenFileComesBackAsAPausedRoundThatWritesTheSameValues) {
    const auto names = {"a_early.state", "b_scored.state", "b_penalty_moved.state",
                        "b_chick.state", "b_hare.state",   "a_fast.state"};
    expectEachComesBackPaused(names, yolkfall_state::table(), [&](const YolkfallSavedState& expected) {
        ASSERT_TRUE(game->saveStateGame());
        const auto written = files().dataWithContentsOfFile(statePath());
        ASSERT_TRUE(written.has_value());
        auto again = yolkfall_state::table().decodeBytes(*written);
        ASSERT_TRUE(again.has_value());
        again->gameroundDateStart = expected.gameroundDateStart;   // the results file has no such round here
        // The hare's visibility, restored after its pose, sets the pose back to the first one.
        EXPECT_EQ(again->harePosition, 0);
        again->harePosition = expected.harePosition;
        EXPECT_EQ(*again, expected);
    });
}

}   // namespace
}   // namespace plumbrick::testing
