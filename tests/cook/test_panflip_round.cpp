// The cook round on its real face and keys: food flight and catches, the toss, speed, losses, the mouse run
// and the end, the fork, and pause and resume.
#include <algorithm>
#include <cmath>

#include "tests/cook/panflip_fixture.h"

using namespace plumbrick;
using namespace plumbrick::testing;

namespace {

class PanflipPlay : public PanflipFixture {
protected:
    // Serves game B rounds until column c is the first to come down to the pan (column o comes down at food
    // step 8 * peak + (o + 3) % 4, give or take a constant), and waits for the food timer.
    void serveUntilFirstToLand(int c) {
        auto step = [&](int o) { return 8 * st().maxHeightFood[std::size_t(o)] + (o + 3) % 4; };
        auto first = [&] { return step(c) < std::min({step((c + 1) % 4), step((c + 2) % 4), step((c + 3) % 4)}); };
        for (int n = 0; n < 100 && (n == 0 || !first()); ++n) press("2");
        ASSERT_TRUE(first());
        env.advance(0.9);
    }
};

}   // namespace

TEST_F(PanflipPlay, AnItemRisesToItsPeakFallsAndIsCaughtWithATossUnderTheCook) {
    open();
    serveUntilFirstToLand(1);   // where the cook stands
    const int peak = st().maxHeightFood[std::size_t(1)];
    V heights, expected;   // up from 2 to the peak, then down to the pan, one height a turn
    for (int turn = 0; turn <= 2 * peak - 2; ++turn) {
        for (int k = turn ? 4 : 1; k > 0; --k) foodTick();
        heights.push_back(drawnHeight(1));
        expected.push_back(turn <= peak - 2 ? turn + 2 : 2 * peak - 2 - turn);
    }
    EXPECT_EQ(heights, expected);
    const double c = env.now();   // the catch: a point, the sound, the pan low with the item in it
    EXPECT_EQ(game->getScores(), 1);
    EXPECT_EQ(lastPlay("yolkfall_02"), c);
    press("right");   // ignored during the catch and the throw
    at(
        c + 0.08, [&] { EXPECT_EQ(cookTags(), V{kCookDown + 1}); },
        [&] {
            EXPECT_EQ(cookTags(), V{kCookToss + 1});
            EXPECT_EQ(drawnHeight(1), 1);
        });
    press("left");   // while the pan only waits to come down, a move cuts the toss short
    EXPECT_EQ(cookTags(), V{kCookDown});
    EXPECT_FALSE(game->timer(Q::CookToss));

    serveUntilFirstToLand(2);   // an item waits in the pan for its next turn; a move there catches it
    ASSERT_TRUE(ticksUntil([&] { return drawnHeight(2) == 0; }));
    env.advance(0.5);
    EXPECT_FALSE(game->timer(Q::Steal));
    press("right");
    EXPECT_EQ(game->getScores(), 1);
    EXPECT_EQ(lastPlay("yolkfall_02"), env.now());
}

TEST_F(PanflipPlay, SpeedRisesEveryTenPointsAndHoldsAfterTheWrap) {
    open();
    startAndServe();
    game->set_autoPilot_(true);
    ASSERT_TRUE(ticksUntil([&] { return game->getScores() >= 10; }));
    foodTick();   // the first step that sees 10 points
    const double at10 = 690.0 * (0.3166 - 0.165) / 700.0 + 0.165;
    const platform::Timer* timer = game->timer(Q::Food);
    EXPECT_EQ(timer->timeInterval(), at10);
    ASSERT_TRUE(ticksUntil([&] { return game->getScores() >= 11; }));
    foodTick();
    EXPECT_EQ(game->timer(Q::Food), timer);   // at 11 nothing changes
    game->setScores(990);
    foodTick();
    EXPECT_NEAR(st().timerStepLifeFood, 0.1022, 5e-5);
    ASSERT_TRUE(ticksUntil([&] { return game->getScores() < 990; }));   // 999 is recorded and shows as 0
    ASSERT_EQ(rounds().size(), 1u);
    EXPECT_EQ(std::get<3>(rounds()[0]), 999);
    timer = game->timer(Q::Food);
    ASSERT_TRUE(ticksUntil([&] { return game->getScores() >= 15; }));
    EXPECT_EQ(game->timer(Q::Food), timer);
    for (int score : {200, 201, 499, 500}) {   // marks are cleared at 200 and 500 points
        game->setPenalty(2);
        game->setScores(score);
        EXPECT_EQ(markTags().size(), score % 100 ? 2u : 0u) << score;
    }
}

// A loss stops everything; the mouse stands 0.6 s under the column, steps right every 0.2 s to its last place,
// waits 0.6 s more and goes; 0.01 s later the mark shows, and 1.2 s after that a new round begins, or at the
// third mark the game ends and its last picture stays.
TEST_F(PanflipPlay, LossesSendTheMouseThenANewRoundAndTheThirdEndsTheGame) {
    open();
    startAndServe();
    for (int column : {0, 3, 3}) {
        for (int n = 0; n < 3000 && drawnHeight(column) != 0; ++n) guardedTick(column);
        int steps = 0;   // it came down at its last turn; it is lost at this one
        for (; !game->timer(Q::Steal) && steps < 8; ++steps) guardedTick(column);
        EXPECT_EQ(steps, 4);
        const double t = env.now();
        const int place = st().cookPosition, mark = game->getPenalty();
        EXPECT_EQ(lastPlay("yolkfall_08"), t);
        EXPECT_FALSE(lit(food(column, 0)));
        EXPECT_EQ(mouseTags(), V{kMouse + 1 + column});
        EXPECT_FALSE(game->timer(Q::Food));
        press("left");
        press("right");   // the cook is held still
        EXPECT_EQ(st().cookPosition, place);
        double step = t + 0.6;
        for (int m = column + 2; m <= 5; ++m, step += 0.2)
            at(
                step, [&] { EXPECT_EQ(mouseTags(), V{kMouse + m - 1}); },
                [&] { EXPECT_EQ(mouseTags(), V{kMouse + m}); });
        const double gone = step + 0.6;
        at(
            gone, [&] { EXPECT_EQ(mouseTags(), V{kMouse + 5}); }, [&] { EXPECT_EQ(mouseTags(), V{}); });
        at(
            gone + 0.01, [&] { EXPECT_EQ(game->getPenalty(), mark); },
            [&] {
                EXPECT_EQ(markTags().size(), std::size_t(mark + 1));
                EXPECT_EQ(lastPlay("yolkfall_08"), gone + 0.01);
            });
        const Look last = look();
        at(
            gone + 1.21, [&] { EXPECT_EQ(game->getState(), 1); },
            [&] {
                if (mark < 2) {
                    EXPECT_EQ(mouseTags(), V{kMouse});
                    EXPECT_EQ(cookTags(), (V{kCookDown, kCookDown + 1, kCookDown + 2, kCookDown + 3}));
                } else {
                    EXPECT_EQ(game->getState(), 0);
                    EXPECT_EQ(lastPlay("endgame"), env.now());
                    EXPECT_EQ(std::get<4>(rounds().at(0)), 3);
                }
            });
        env.advance(mark < 2 ? 0.9 : 60);
        if (mark < 2) continue;
        EXPECT_EQ(look(), last);   // the last picture stays
    }
}

TEST_F(PanflipPlay, TheForkHoldsColumnZeroAtHeightTwoWhileOtherColumnsPassIt) {
    open();
    startAndServe();
    game->set_autoPilot_(true);
    int heldTurns = 0, othersPassed = 0, fell = 0;
    bool held = false;
    for (int n = 0; n < 20000 && !(heldTurns >= 2 && fell && othersPassed); ++n) {
        const double due = game->timer(Q::Food)->fireDate();   // the fork's own steps go first
        if (const platform::Timer* f = game->timer(Q::CatHog); f && f->fireDate() <= due) {
            held = held && f->fireDate() < due;
            env.advance(f->fireDate() - env.now());
            continue;
        }
        const int c = nextColumn(), h = drawnHeight(c);
        const bool out = lit(kFork);
        foodTick();
        if (h != 2) continue;
        // Column 0 stays at 2 while the fork is out and falls on its first turn after; other columns pass it.
        const int now = drawnHeight(c);
        if (c != 0) {
            if (out) {
                EXPECT_NE(now, 2) << "column " << c << " passes the fork";
            }
            othersPassed += out;
        } else if (out) {
            EXPECT_EQ(now, 2) << "the fork holds column 0";
            EXPECT_EQ(st().maxHeightFood[std::size_t(0)], 0);
            ++heldTurns;
        } else if (held) {
            EXPECT_EQ(now, 1) << "column 0 falls on its first turn after the fork";
            ++fell;
        }
        held = c == 0 ? out : held;
    }
    EXPECT_GE(heldTurns, 2);
    EXPECT_GT(fell, 0);
    EXPECT_GT(othersPassed, 0);
}

// A pause keeps each armed timer as a marker; a resume arms it again with the whole interval of its step
// (the mouse run with 0.6 s), and nothing moves in between.
TEST_F(PanflipPlay, PauseAndResumeInEverySequence) {
    open();
    auto pauseResume = [&] {
        press("space");
        const Look held = look();
        const auto plays = env.sounds().size();
        press("left");
        press("right");
        env.advance(50);   // nothing moves, not even the cook
        EXPECT_EQ(look(), held);
        EXPECT_EQ(env.sounds().size(), plays);
        press("space");
        return env.now();
    };
    press("2");
    env.advance(0.2);   // the new round, and the fork
    double r = pauseResume();
    EXPECT_DOUBLE_EQ(game->timer(Q::CatHog)->fireDate(), r + st().intervalCatHogPause);
    at(
        r + 0.4, [&] { EXPECT_LT(lastPlay("panflip_01"), r); },
        [&] { EXPECT_DOUBLE_EQ(lastPlay("panflip_01"), r + 0.4); });

    env.advance(0.5);             // the food steps begin
    game->set_autoPilot_(true);   // a toss
    ASSERT_TRUE(ticksUntil([&] { return game->getScores() == 1; }));
    const int place = st().cookPosition;
    env.advance(0.03);
    r = pauseResume();
    EXPECT_DOUBLE_EQ(game->timer(Q::Food)->fireDate(), r + 0.3166);
    at(
        r + 0.08, [&] { EXPECT_FALSE(lit(kCookToss + place)); }, [&] { EXPECT_TRUE(lit(kCookToss + place)); });

    game->set_autoPilot_(false);   // the mouse run
    ASSERT_TRUE(ticksUntil([&] { return game->timer(Q::Steal) != nullptr; }));
    const int mouse = litTags(kMouse + 1, kMouse + 5).at(0);
    env.advance(0.5);
    r = pauseResume();
    EXPECT_TRUE(st().flagCookMove);   // a resume lets the cook move again, even in the run
    at(
        r + 0.6, [&] { EXPECT_EQ(mouseTags(), V{mouse}); }, [&] { EXPECT_NE(mouseTags(), V{mouse}); });
}
