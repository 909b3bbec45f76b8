// Golden state files of the cook game: scripted rounds, paused in different states (the new-round steps, the
// food timer, a toss, the mouse run, the fork holding an item), write the very bytes kept in golden/; and
// each of those files comes back as the paused round it describes.

#include "tests/cook/panflip_fixture.h"
#include "tests/support/golden.h"

using namespace plumbrick;
using namespace plumbrick::testing;

namespace {

using PanflipGolden = GoldenRounds<PanflipFixture>;

TEST_F(PanflipGolden, PausedDuringTheNewRoundSteps) {
    open();
    press("2");
    env.advance(0.3);
    ASSERT_NE(game->timer(Q::NewRound), nullptr);
    expectGolden("new_round.state", pauseAndWrite());
}

TEST_F(PanflipGolden, GameAPausedAfterTheServe) {
    open();
    startAndServe("1");
    env.advance(2.0);
    expectGolden("a_served.state", pauseAndWrite());
}

TEST_F(PanflipGolden, GameBPausedAfterManyCatches) {
    open();
    startAndServe("2");
    for (int n = 0; n < 60 && !HasFatalFailure(); ++n) guardedTick();
    ASSERT_GT(game->getScores(), 0);
    expectGolden("b_caught.state", pauseAndWrite());
}

TEST_F(PanflipGolden, GameBPausedInAToss) {
    open();
    startAndServe("2");
    for (int n = 0; n < 200 && !game->timer(Q::CookToss) && !HasFatalFailure(); ++n) guardedTick();
    ASSERT_NE(game->timer(Q::CookToss), nullptr);
    expectGolden("b_toss.state", pauseAndWrite());
}

TEST_F(PanflipGolden, PausedDuringTheMouseRun) {
    open();
    startAndServe("2");
    ASSERT_GE(playUntilLoss(1), 0);
    env.advance(0.2);
    ASSERT_NE(game->timer(Q::Steal), nullptr);
    expectGolden("mouse_run.state", pauseAndWrite());
}

TEST_F(PanflipGolden, PausedWithTheForkHoldingAnItem) {
    open();
    startAndServe("2");
    for (int n = 0; n < 2000 && !st().forkHog && !HasFatalFailure(); ++n) guardedTick();
    ASSERT_TRUE(st().forkHog);
    expectGolden("fork.state", pauseAndWrite());
}

TEST_F(PanflipGolden, EachGoldenFileComesBackAsThePausedRoundItDescribes) {
    const auto names = {"new_round.state", "a_served.state",  "b_caught.state",
                        "b_toss.state",    "mouse_run.state", "fork.state"};
    expectEachComesBackPaused(names, panflip_state::table(), [&](const PanflipSavedState& expected) {
        PanflipSavedState restored = st();
        restored.gameroundDateStart = expected.gameroundDateStart;   // the results file has no such round here
        EXPECT_EQ(restored, expected);
    });
}

// Seconds played come from the wall clock: a clock set back during play leaves them negative, and such a round
// is taken like any other.
TEST(PanflipSavedFields, ARoundWithNegativeSecondsPlayedIsTaken) {
    auto round = panflip_state::table().decodeBytes(*readGolden("b_caught.state"));
    ASSERT_TRUE(round.has_value());
    round->timeGame = -598.5;
    EXPECT_NO_THROW(panflip_state::table().check(*round));
}

}   // namespace
