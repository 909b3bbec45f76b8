// The cook round on its real face and keys: the new-round steps, food flight and catches, the toss, speed,
// losses, the mouse run and the end, the fork, and pause and resume in every sequence.
#include <algorithm>
#include <cmath>

#include "tests/cook/panflip_fixture.h"

using namespace plumbrick;
using namespace plumbrick::testing;

namespace {

class PanflipRound : public PanflipFixture {
protected:
    // Serves game B rounds until column c is the first to come down to the pan (column o comes down at food
    // step 8 * peak + (o + 3) % 4, give or take a constant), and waits for the food timer.
    void serveUntilFirstToLand(int c) {
        auto step = [&](int o) { return 8 * game->getMaxHeightFood(o) + (o + 3) % 4; };
        auto first = [&] { return step(c) < std::min({step((c + 1) % 4), step((c + 2) % 4), step((c + 3) % 4)}); };
        for (int n = 0; n < 100 && (n == 0 || !first()); ++n) press("2");
        ASSERT_TRUE(first());
        env.advance(0.9);
    }
};

}  // namespace

TEST_F(PanflipRound, StartServesTheItemsThenRunsTheFoodTimer) {
    open();
    for (int n : {3, 4}) {
        press(n == 3 ? "1" : "2");
        const double t0 = env.now();
        V cooks, pans{300};
        for (int i = 0; i < n; ++i) cooks.push_back(100 + i), pans.push_back(400 + 10 * i);
        EXPECT_TRUE(game->getCountWorkCooks() == n && litTags(100, 113) == cooks && litTags(200, 434) == pans) << n;
        EXPECT_TRUE(litTags(900, 1003) == (V{1000, 1001, 1002, 1003}) && game->getDgScores()->getNum() == 0);
        at(t0 + 0.4, [&] { EXPECT_LT(lastPlay("panflip_01"), t0); }, [&] {
            EXPECT_DOUBLE_EQ(lastPlay("panflip_01"), t0 + 0.4);
            for (int i = 0; i < n; ++i) EXPECT_TRUE(lit(110 + i) && !lit(100 + i) && lit(401 + 10 * i)) << i;
        });
        at(t0 + 0.9, [&] { EXPECT_FALSE(game->getTimerTossFood()); }, [&] {
            ASSERT_TRUE(game->getTimerTossFood());
            EXPECT_TRUE(game->getTimerTossFood()->timeInterval() == 0.3166 && litTags(100, 113) == V{101});
        });
        press("left"), press("left");   // the cook stops at the ends
        EXPECT_EQ(litTags(100, 113), V{100});
    }
}

TEST_F(PanflipRound, AnItemRisesToItsPeakFallsAndIsCaughtWithATossUnderTheCook) {
    open();
    serveUntilFirstToLand(1);   // where the cook stands
    const int peak = game->getMaxHeightFood(1);
    V heights, expected;   // up from 2 to the peak, then down to the pan, one height a turn
    for (int turn = 0; turn <= 2 * peak - 2; ++turn) {
        for (int k = turn ? 4 : 1; k > 0; --k) foodTick();
        heights.push_back(drawnHeight(1)), expected.push_back(turn <= peak - 2 ? turn + 2 : 2 * peak - 2 - turn);
    }
    EXPECT_EQ(heights, expected);
    const double c = env.now();   // the catch: a point, the sound, the pan low with the item in it
    EXPECT_TRUE(game->getScores() == 1 && lastPlay("yolkfall_02") == c);
    press("right");   // ignored during the catch and the throw
    at(c + 0.08, [&] { EXPECT_EQ(litTags(100, 113), V{101}); },
       [&] { EXPECT_TRUE(litTags(100, 113) == V{111} && drawnHeight(1) == 1 && game->getPosHeightFood(1) == 1); });
    press("left");    // while the pan only waits to come down, a move cuts the toss short
    EXPECT_TRUE(litTags(100, 113) == V{100} && !game->getTimerCookFoodToss() && !game->getFlagCookToss());

    serveUntilFirstToLand(2);   // an item waits in the pan for its next turn; a move there catches it
    ASSERT_TRUE(ticksUntil([&] { return drawnHeight(2) == 0; }));
    env.advance(0.5);
    EXPECT_TRUE(drawnHeight(2) == 0 && !game->getTimerSteal() && game->getScores() == 0);
    press("right");
    EXPECT_TRUE(game->getScores() == 1 && lastPlay("yolkfall_02") == env.now());
}

TEST_F(PanflipRound, SpeedRisesEveryTenPointsAndHoldsAfterTheWrap) {
    open();
    startAndServe();
    game->set_autoPilot_(true);
    ASSERT_TRUE(ticksUntil([&] { return game->getScores() >= 10; }));
    foodTick();   // the first step that sees 10 points
    const double at10 = 690.0 * (0.3166 - 0.165) / 700.0 + 0.165;
    const platform::Timer* timer = game->getTimerTossFood();
    EXPECT_NEAR(at10, 0.3144, 5e-5);
    EXPECT_TRUE(timer->timeInterval() == at10 && std::abs(timer->fireDate() - env.now() - at10) < 1e-9);
    ASSERT_TRUE(ticksUntil([&] { return game->getScores() >= 11; }));
    foodTick();
    EXPECT_EQ(game->getTimerTossFood(), timer);   // at 11 nothing changes
    game->setScores(990), foodTick();
    EXPECT_NEAR(game->getTimerStepLifeFood(), 0.1022, 5e-5);
    ASSERT_TRUE(ticksUntil([&] { return game->getScores() < 990; }));   // 999 is recorded and shows as 0
    EXPECT_TRUE(rounds().size() == 1 && std::get<3>(rounds()[0]) == 999 && game->getDgScores()->getNum() == game->getScores());
    timer = game->getTimerTossFood();
    ASSERT_TRUE(ticksUntil([&] { return game->getScores() >= 15; }));
    EXPECT_TRUE(game->getTimerTossFood() == timer && game->getOldScoresChangeSpeed() == 99);
    for (int score : {200, 201, 499, 500}) {   // marks are cleared at 200 and 500 points
        game->setPenalty(2), game->setScores(score);
        EXPECT_EQ(litTags(900, 902).size(), score % 100 ? 2u : 0u) << score;
    }
}

// A loss stops everything; the mouse stands 0.6 s under the column, steps right every 0.2 s to its last place,
// waits 0.6 s more and goes; 0.01 s later the mark shows, and 1.2 s after that a new round begins, or at the
// third mark the game ends and its last picture stays.
TEST_F(PanflipRound, LossesSendTheMouseThenANewRoundAndTheThirdEndsTheGame) {
    open();
    startAndServe();
    for (int column : {0, 3, 3}) {
        for (int n = 0; n < 3000 && drawnHeight(column) != 0; ++n) guardedTick(column);
        int steps = 0;   // it came down at its last turn; it is lost at this one
        for (; !game->getTimerSteal() && steps < 8; ++steps) guardedTick(column);
        EXPECT_EQ(steps, 4);
        const double t = env.now();
        const int place = game->getCook()->getPosCook(), mark = game->getPenalty();
        EXPECT_TRUE(lastPlay("yolkfall_08") == t && !lit(400 + 10 * column) && !lit(200) && litTags(300, 305) == V{301 + column});
        EXPECT_TRUE(!game->getTimerTossFood() && !game->getTimerCatHog());
        press("left"), press("right");   // the cook is held still
        EXPECT_EQ(game->getCook()->getPosCook(), place);
        double step = t + 0.6;
        for (int m = column + 2; m <= 5; ++m, step += 0.2)
            at(step, [&] { EXPECT_EQ(litTags(300, 305), V{299 + m}); }, [&] { EXPECT_EQ(litTags(300, 305), V{300 + m}); });
        const double gone = step + 0.6;
        at(gone, [&] { EXPECT_EQ(litTags(300, 305), V{305}); }, [&] { EXPECT_EQ(litTags(300, 305), V{}); });
        at(gone + 0.01, [&] { EXPECT_EQ(game->getPenalty(), mark); },
           [&] { EXPECT_TRUE(litTags(900, 902).size() == std::size_t(mark + 1) && lastPlay("yolkfall_08") == gone + 0.01); });
        EXPECT_NEAR(gone + 1.21 - t, column == 0 ? 3.21 : 2.61, 1e-9);
        const Look last = look();
        at(gone + 1.21, [&] { EXPECT_TRUE(game->getState() == 1 && !game->getTimerNewRound() && lastPlay("endgame") < 0); }, [&] {
            if (mark < 2) {
                EXPECT_TRUE(litTags(300, 305) == V{300} && litTags(100, 113) == (V{100, 101, 102, 103}));
            } else {
                EXPECT_TRUE(game->getState() == 0 && lastPlay("endgame") == env.now() && std::get<4>(rounds().at(0)) == 3);
            }
        });
        const auto plays = env.sounds().size();
        env.advance(mark < 2 ? 0.9 : 60);
        EXPECT_TRUE(mark < 2 || (look() == last && env.sounds().size() == plays));   // the last picture stays
    }
}

TEST_F(PanflipRound, TheForkHoldsColumnZeroAtHeightTwoAndOnAutoPilotNothingIsLostInAnHour) {
    open();
    startAndServe();
    game->set_autoPilot_(true);
    int heldTurns = 0, othersPassed = 0, fell = 0;
    bool held = false;
    for (int n = 0; n < 20000 && !(heldTurns >= 2 && fell && othersPassed); ++n) {
        const double due = game->getTimerTossFood()->fireDate();   // the fork's own steps go first
        if (const platform::Timer* f = game->getTimerCatHog(); f && f->fireDate() <= due) {
            held = held && f->fireDate() < due;
            env.advance(f->fireDate() - env.now());
            continue;
        }
        const int c = nextColumn(), h = drawnHeight(c);
        const bool out = lit(200);
        foodTick();
        if (h != 2) continue;
        // Column 0 stays at 2 while the fork is out and falls on its first turn after; other columns pass it.
        const int now = drawnHeight(c);
        EXPECT_TRUE(c != 0 ? !out || now != 2 : out ? now == 2 && game->getMaxHeightFood(0) == 0 : !held || now == 1) << c;
        heldTurns += c == 0 && out, fell += c == 0 && !out && held, othersPassed += c != 0 && out;
        held = c == 0 ? out : held;
    }
    EXPECT_TRUE(heldTurns >= 2 && fell && othersPassed > 0);
    env.advance(3600);
    EXPECT_TRUE(game->getState() == 1 && game->getPenalty() == 0 && env.countPlays("yolkfall_08") == 0);
    EXPECT_GT(env.countPlays("yolkfall_02"), 999);
}

// A pause keeps each armed timer as a marker; a resume arms it again with the whole interval of its step
// (the mouse run with 0.6 s), and nothing moves in between.
TEST_F(PanflipRound, PauseAndResumeInEverySequence) {
    open();
    auto pauseResume = [&] {
        press("space");
        const Look held = look();
        const auto plays = env.sounds().size();
        press("left"), press("right"), env.advance(50);   // nothing moves, not even the cook
        EXPECT_TRUE(look() == held && env.sounds().size() == plays);
        press("space");
        return env.now();
    };
    press("2"), env.advance(0.2);   // the new round, and the fork
    double r = pauseResume();
    EXPECT_DOUBLE_EQ(game->getTimerCatHog()->fireDate(), r + game->getIntervalCatHogPause());
    at(r + 0.4, [&] { EXPECT_LT(lastPlay("panflip_01"), r); }, [&] { EXPECT_DOUBLE_EQ(lastPlay("panflip_01"), r + 0.4); });
    env.advance(0.1);
    r = pauseResume();
    at(r + 0.5, [&] { EXPECT_FALSE(game->getTimerTossFood()); }, [&] { EXPECT_TRUE(game->getTimerTossFood()); });

    game->set_autoPilot_(true);   // a toss, and the food steps
    ASSERT_TRUE(ticksUntil([&] { return game->getScores() == 1; }));
    const int place = game->getCook()->getPosCook();
    env.advance(0.03);
    r = pauseResume();
    EXPECT_DOUBLE_EQ(game->getTimerTossFood()->fireDate(), r + 0.3166);
    at(r + 0.08, [&] { EXPECT_FALSE(lit(110 + place)); }, [&] { EXPECT_TRUE(lit(110 + place)); });
    env.advance(0.1);
    r = pauseResume();
    at(r + 0.2, [&] { EXPECT_TRUE(lit(110 + place)); }, [&] { EXPECT_FALSE(lit(110 + place)); });

    game->set_autoPilot_(false);   // the mouse run
    ASSERT_TRUE(ticksUntil([&] { return game->getTimerSteal() != nullptr; }));
    const int mouse = litTags(301, 305).at(0);
    env.advance(0.5);
    r = pauseResume();
    EXPECT_TRUE(game->getFlagCookMove());   // a resume lets the cook move again, even in the run
    at(r + 0.6, [&] { EXPECT_EQ(litTags(300, 305), V{mouse}); }, [&] { EXPECT_NE(litTags(300, 305), V{mouse}); });
    for (int n = 0; n < 1000 && game->getStepSteal() != 3; ++n) env.advance(0.005);   // the mark is due in 0.01 s
    r = pauseResume();
    at(r + 0.6, [&] { EXPECT_EQ(game->getPenalty(), 0); }, [&] { EXPECT_EQ(game->getPenalty(), 1); });
}
