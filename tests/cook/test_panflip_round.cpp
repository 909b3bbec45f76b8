// The cook round on its real face and keys: the new-round steps, food flight and catches, the toss, speed,
// losses and the mouse run, the end of a game, the fork, and pause and resume in every sequence.
#include "tests/cook/panflip_fixture.h"

using namespace plumbrick;
using namespace plumbrick::testing;
using V = std::vector<int>;

namespace {

constexpr double kEps = 1e-4;

class PanflipRound : public PanflipFixture {
protected:
    // Moves the clock to just before `t` and then to `t`, checking `before` and `after` there.
    template <class B, class A> void at(double t, B before, A after) {
        env.advance(t - kEps - env.now());
        before();
        env.advance(t - env.now());
        after();
    }
    // The food step at which column c comes down to the pan, counted from the first step of a round.
    int landingStep(int c) const { return 4 * (2 * game->getMaxHeightFood(c) - 2) + (c + 3) % 4 + 1; }
    // Serves game B rounds until column c is the first to come down.
    void serveUntilFirstToLand(int c) {
        for (int n = 0; n < 100; ++n) {
            press(kGameB);
            bool first = true;
            for (int o = 0; o < 4; ++o) first = first && (o == c || landingStep(c) < landingStep(o));
            if (first) break;
        }
        for (int o = 0; o < 4; ++o) ASSERT_TRUE(o == c || landingStep(c) < landingStep(o));
        env.advance(0.9);
    }
};

}  // namespace

TEST_F(PanflipRound, StartServesTheItemsThenRunsTheFoodTimer) {
    open();
    for (const char* key : {kGameA, kGameB}) {
        const int n = key == kGameA ? 3 : 4;
        press(key);
        const double t0 = env.now();
        EXPECT_EQ(game->getCountWorkCooks(), n);
        EXPECT_EQ(game->getState(), PanflipViewController::kPlaying);
        EXPECT_EQ(litTags(100, 113), n == 3 ? V({100, 101, 102}) : V({100, 101, 102, 103}));
        EXPECT_EQ(litTags(400, 434), n == 3 ? V({400, 410, 420}) : V({400, 410, 420, 430}));
        EXPECT_EQ(litTags(200, 305), V({300}));
        EXPECT_EQ(litTags(900, 1003), V({1000, 1001, 1002, 1003}));
        EXPECT_EQ(game->getDgScores()->getNum(), 0);
        at(t0 + 0.4, [&] { EXPECT_EQ(lastPlay(kSndTossFood) < t0, true); },
           [&] {
               EXPECT_DOUBLE_EQ(lastPlay(kSndTossFood), t0 + 0.4);
               EXPECT_EQ(litTags(100, 113), n == 3 ? V({110, 111, 112}) : V({110, 111, 112, 113}));
               EXPECT_EQ(litTags(400, 434), n == 3 ? V({401, 411, 421}) : V({401, 411, 421, 431}));
           });
        at(t0 + 0.9, [&] { EXPECT_EQ(game->getTimerTossFood(), nullptr); },
           [&] {
               ASSERT_NE(game->getTimerTossFood(), nullptr);
               EXPECT_DOUBLE_EQ(game->getTimerTossFood()->timeInterval(), 0.3166);
               EXPECT_TRUE(game->getTimerTossFood()->repeats());
               EXPECT_EQ(litTags(100, 113), V({101}));
           });
    }
}

TEST_F(PanflipRound, AnItemRisesToItsPeakFallsAndIsCaughtWithATossUnderTheCook) {
    open();
    serveUntilFirstToLand(1);   // the cook stands at place 1
    const int peak = game->getMaxHeightFood(1);
    V heights;
    for (int turn = 0; turn < 2 * peak - 1; ++turn) {
        foodTick();
        heights.push_back(drawnHeight(1));
        if (turn < 2 * peak - 2) { foodTick(); foodTick(); foodTick(); }
    }
    V expected;
    for (int h = 2; h <= peak; ++h) expected.push_back(h);
    for (int h = peak - 1; h >= 0; --h) expected.push_back(h);
    EXPECT_EQ(heights, expected);

    const double c = env.now();   // the catch: a point, the sound, the pan low with the item in it
    EXPECT_EQ(game->getScores(), 1);
    EXPECT_DOUBLE_EQ(lastPlay(kSndEntrap), c);
    EXPECT_EQ(litTags(100, 113), V({101}));
    press(kRight);   // ignored during the catch
    at(c + 0.08, [&] { EXPECT_EQ(litTags(100, 113), V({101})); },
       [&] {
           EXPECT_EQ(litTags(100, 113), V({111}));
           EXPECT_EQ(drawnHeight(1), 1);
           EXPECT_EQ(game->getPosHeightFood(1), 1);
       });
    press(kLeft);   // while the pan is only waiting to come down, a move cuts the toss short
    EXPECT_EQ(game->getCook()->getPosCook(), 0);
    EXPECT_EQ(litTags(100, 113), V({100}));
    EXPECT_EQ(game->getTimerCookFoodToss(), nullptr);
    EXPECT_FALSE(game->getFlagCookToss());
}

TEST_F(PanflipRound, AnItemWaitsInThePanForItsNextTurnAndAMoveThereCatchesIt) {
    open();
    serveUntilFirstToLand(2);
    ASSERT_TRUE(ticksUntil([&] { return drawnHeight(2) == 0; }));
    EXPECT_EQ(game->getTimerSteal(), nullptr);   // not lost yet: the cook may still come
    EXPECT_EQ(game->getScores(), 0);
    env.advance(0.5);
    EXPECT_EQ(drawnHeight(2), 0);
    press(kRight);
    EXPECT_EQ(game->getScores(), 1);
    EXPECT_DOUBLE_EQ(lastPlay(kSndEntrap), env.now());
    env.advance(0.08);
    EXPECT_EQ(drawnHeight(2), 1);
}

TEST_F(PanflipRound, TheFoodTimerSpeedsUpAtEveryTenPointsAndHoldsAfterTheWrap) {
    open();
    startAndServe();
    game->set_autoPilot_(true);
    ASSERT_TRUE(ticksUntil([&] { return game->getScores() >= 10; }));
    foodTick();   // the first step that sees 10 points
    const double at10 = 690.0 * (0.3166 - 0.165) / 700.0 + 0.165;
    EXPECT_DOUBLE_EQ(game->getTimerStepLifeFood(), at10);
    EXPECT_NEAR(at10, 0.3144, 5e-5);
    const platform::Timer* timer = game->getTimerTossFood();
    EXPECT_DOUBLE_EQ(timer->timeInterval(), at10);
    EXPECT_NEAR(timer->fireDate() - env.now(), at10, 1e-9);
    ASSERT_TRUE(ticksUntil([&] { return game->getScores() >= 11; }));
    foodTick();
    EXPECT_EQ(game->getTimerTossFood(), timer);

    game->setScores(990);
    foodTick();
    EXPECT_NEAR(game->getTimerStepLifeFood(), 0.1022, 5e-5);
    ASSERT_TRUE(ticksUntil([&] { return game->getScores() < 990; }));   // 999 is recorded and shows as 0
    const auto rounds = recordedRounds();
    ASSERT_EQ(rounds.size(), 1u);
    EXPECT_EQ(scoreOf(rounds[0]), 999);
    EXPECT_EQ(game->getDgScores()->getNum(), game->getScores());
    timer = game->getTimerTossFood();
    ASSERT_TRUE(ticksUntil([&] { return game->getScores() >= 15; }));
    EXPECT_EQ(game->getTimerTossFood(), timer);
    EXPECT_EQ(game->getOldScoresChangeSpeed(), 99);
}

TEST_F(PanflipRound, MarksAreForgivenAtTwoHundredAndFiveHundredPoints) {
    open();
    startAndServe();
    for (auto [marks, score, left] : std::vector<std::tuple<int, int, int>>{{2, 200, 0}, {1, 201, 1}, {2, 500, 0}, {2, 499, 2}}) {
        game->setPenalty(marks);
        game->setScores(score);
        EXPECT_EQ(game->getPenalty(), left) << score;
        EXPECT_EQ(litTags(900, 902).size(), static_cast<std::size_t>(left)) << score;
    }
}

TEST_F(PanflipRound, AnItemLostInColumnZeroSendsTheMouseAndANewRoundFollows) {
    open();
    startAndServe();
    for (int n = 0; n < 3000 && drawnHeight(0) != 0; ++n) guardedTick(0);
    ASSERT_EQ(drawnHeight(0), 0);
    int steps = 0;   // lost only at its next turn
    for (; !game->getTimerSteal() && steps < 8; ++steps) guardedTick(0);
    EXPECT_EQ(steps, 4);
    const double t = env.now();
    EXPECT_DOUBLE_EQ(lastPlay(kSndStealing), t);
    EXPECT_EQ(litTags(300, 305), V({301}));
    EXPECT_FALSE(lit(400));
    EXPECT_EQ(game->getTimerTossFood(), nullptr);
    EXPECT_EQ(game->getTimerCatHog(), nullptr);
    EXPECT_FALSE(lit(200));
    const int place = game->getCook()->getPosCook();
    press(kLeft), press(kRight);
    EXPECT_EQ(game->getCook()->getPosCook(), place);

    const V none;
    for (auto [dt, mouse] : std::vector<std::pair<double, int>>{{0.6, 302}, {0.8, 303}, {1.0, 304}, {1.2, 305}})
        at(t + dt, [&, m = mouse] { EXPECT_EQ(litTags(300, 305), V({m - 1})); },
           [&, m = mouse] { EXPECT_EQ(litTags(300, 305), V({m})); });
    at(t + 2.0, [&] { EXPECT_EQ(litTags(300, 305), V({305})); }, [&] { EXPECT_EQ(litTags(300, 305), none); });
    at(t + 2.01, [&] { EXPECT_EQ(litTags(900, 902), none); },
       [&] {
           EXPECT_EQ(litTags(900, 902), V({900}));
           EXPECT_DOUBLE_EQ(lastPlay(kSndStealing), t + 2.01);
       });
    at(t + 3.21, [&] { EXPECT_EQ(game->getTimerNewRound(), nullptr); },
       [&] {
           EXPECT_EQ(litTags(300, 305), V({300}));
           EXPECT_EQ(litTags(100, 113), V({100, 101, 102, 103}));
           EXPECT_EQ(litTags(400, 434), V({400, 410, 420, 430}));
       });
    env.advance(0.9);
    EXPECT_NE(game->getTimerTossFood(), nullptr);
    EXPECT_EQ(game->getPenalty(), 1);
}

TEST_F(PanflipRound, ALossInColumnThreeAndTheThirdMarkEndsTheGameLeavingTheFace) {
    open();
    startAndServe();
    for (int mark = 1; mark <= 3; ++mark) {
        ASSERT_EQ(playUntilLoss(3), 3);
        const double t = env.now();
        EXPECT_EQ(litTags(300, 305), V({304}));
        at(t + 0.6, [] {}, [&] { EXPECT_EQ(litTags(300, 305), V({305})); });
        at(t + 1.4, [&] { EXPECT_EQ(litTags(300, 305), V({305})); }, [&] { EXPECT_TRUE(litTags(300, 305).empty()); });
        at(t + 1.41, [&] { EXPECT_EQ(game->getPenalty(), mark - 1); },
           [&] { EXPECT_EQ(litTags(900, 902).size(), static_cast<std::size_t>(mark)); });
        if (mark < 3) env.advance(1.2 + 0.9);
    }
    const auto before = look();
    at(env.now() + 1.2, [] {},
       [&] {
           EXPECT_EQ(game->getState(), PanflipViewController::kIdle);
           EXPECT_DOUBLE_EQ(lastPlay(kSndEndGame), env.now());
           EXPECT_EQ(look(), before);
       });
    ASSERT_EQ(recordedRounds().size(), 1u);
    EXPECT_EQ(penaltyOf(recordedRounds()[0]), 3);
    const auto plays = env.sounds().size();
    env.advance(60);
    EXPECT_EQ(look(), before);
    EXPECT_EQ(env.sounds().size(), plays);
}

TEST_F(PanflipRound, OnAutoPilotNothingIsLostInAnHour) {
    open();
    startAndServe(kGameA);
    game->set_autoPilot_(true);
    for (int minute = 0; minute < 60; ++minute) {
        env.advance(60);
        ASSERT_EQ(game->getPenalty(), 0) << minute;
        ASSERT_EQ(game->getTimerSteal(), nullptr) << minute;
    }
    EXPECT_EQ(env.countPlays(kSndStealing), 0);
    EXPECT_GT(env.countPlays(kSndEntrap), 999);
    EXPECT_EQ(scoreOf(recordedRounds().at(0)), 999);
}

TEST_F(PanflipRound, TheForkHoldsColumnZeroAtHeightTwoOnlyAndLetsItFallOnceWithdrawn) {
    open();
    startAndServe();
    game->set_autoPilot_(true);
    int held = 0, heldTurns = 0, othersMovedPastTheFork = 0;
    bool fellAfter = false;
    for (int n = 0; n < 20000 && !(heldTurns >= 2 && fellAfter && othersMovedPastTheFork); ++n) {
        // The fork's own steps come first, so that `out` is what the food step will see.
        const double due = game->getTimerTossFood()->fireDate();
        if (const platform::Timer* f = game->getTimerCatHog(); f && f->fireDate() <= due) {
            const bool together = f->fireDate() == due;
            env.advance(f->fireDate() - env.now());
            if (together) held = 0;   // both at one instant: no claim about this step
            continue;
        }
        const int c = nextColumn();
        const bool out = lit(200);
        const int h = drawnHeight(c);
        const bool waiting = held > 0 && c == 0 && h == 2;
        foodTick();
        if (c == 0 && out && h == 2) {
            EXPECT_EQ(drawnHeight(0), 2);
            EXPECT_EQ(game->getMaxHeightFood(0), 0);
            ++held;
            ++heldTurns;
        } else if (waiting && !out) {
            EXPECT_EQ(drawnHeight(0), 1);
            fellAfter = true;
        } else if (c != 0 && out && h == 2) {
            EXPECT_NE(drawnHeight(c), 2);
            ++othersMovedPastTheFork;
        }
        if (c == 0 && drawnHeight(0) != 2) held = 0;
    }
    EXPECT_TRUE(fellAfter);
    EXPECT_GT(othersMovedPastTheFork, 0);
}

// ---- Pause and resume: every armed sequence goes on with the whole interval of its step ----

TEST_F(PanflipRound, PauseInTheNewRoundDimsTheFaceAndResumeRestartsItsStep) {
    open();
    press(kGameB);
    env.advance(0.2);
    press(kPause);
    EXPECT_EQ(game->getState(), PanflipViewController::kPaused);
    EXPECT_TRUE(game->getIvGamePause() && !game->getIvGamePause()->isHidden());
    for (int tag = 1; tag <= 9999; ++tag)
        if (face->viewWithTag(tag)) {
            EXPECT_DOUBLE_EQ(alphaOf(tag), lit(tag) ? 0.7 : 1.0) << tag;
        }
    EXPECT_DOUBLE_EQ(game->getIvGamePause()->alpha(), 1.0);
    ASSERT_NE(game->getTimerNewRound(), nullptr);
    EXPECT_FALSE(game->getTimerNewRound()->isValid());   // kept as a marker
    const auto paused = look();
    const auto plays = env.sounds().size();
    env.advance(100);
    EXPECT_EQ(look(), paused);
    EXPECT_EQ(env.sounds().size(), plays);

    press(kPause);
    const double r = env.now();
    EXPECT_TRUE(game->getIvGamePause()->isHidden());
    for (int tag = 1; tag <= 9999; ++tag)
        if (face->viewWithTag(tag)) {
            EXPECT_DOUBLE_EQ(alphaOf(tag), 1.0) << tag;
        }
    EXPECT_DOUBLE_EQ(game->getTimerCatHog()->fireDate(), r + game->getIntervalCatHogPause());
    at(r + 0.4, [&] { EXPECT_LT(lastPlay(kSndTossFood), 0); }, [&] { EXPECT_DOUBLE_EQ(lastPlay(kSndTossFood), r + 0.4); });
    env.advance(0.1);
    press(kPause), env.advance(5), press(kPause);
    at(env.now() + 0.5, [&] { EXPECT_EQ(game->getTimerTossFood(), nullptr); },
       [&] { EXPECT_NE(game->getTimerTossFood(), nullptr); });
}

TEST_F(PanflipRound, PauseInATossAndInTheFoodStepsResumesWithWholeIntervals) {
    open();
    serveUntilFirstToLand(1);
    ASSERT_TRUE(ticksUntil([&] { return game->getScores() == 1; }));
    env.advance(0.03);
    press(kPause), env.advance(50), press(kPause);
    double r = env.now();
    EXPECT_DOUBLE_EQ(game->getTimerTossFood()->fireDate(), r + 0.3166);
    at(r + 0.08, [&] { EXPECT_EQ(litTags(100, 113), V({101})); }, [&] { EXPECT_EQ(litTags(100, 113), V({111})); });
    env.advance(0.1);
    press(kPause), env.advance(50), press(kPause);
    r = env.now();
    at(r + 0.2, [&] { EXPECT_EQ(litTags(100, 113), V({111})); }, [&] { EXPECT_EQ(litTags(100, 113), V({101})); });
    const int next = nextColumn();
    const auto steps = playTimes(kSndStepFood).size();
    at(r + 0.3166, [&] { EXPECT_EQ(playTimes(kSndStepFood).size(), steps); },
       [&] {
           EXPECT_EQ(playTimes(kSndStepFood).size(), steps + 1);
           EXPECT_EQ(game->getItemFood(), next);
       });
}

TEST_F(PanflipRound, PauseInTheMouseRunResumesAfterSixTenthsWhateverTheStep) {
    open();
    startAndServe();
    ASSERT_EQ(playUntilLoss(0), 0);
    env.advance(0.7);   // the mouse under column 1, its next step due in 0.1 s
    press(kPause), env.advance(10), press(kPause);
    EXPECT_TRUE(game->getFlagCookMove());   // a resume lets the cook move again, even in the run
    at(env.now() + 0.6, [&] { EXPECT_EQ(litTags(300, 305), V({302})); }, [&] { EXPECT_EQ(litTags(300, 305), V({303})); });
    for (int n = 0; n < 1000 && game->getStepSteal() != 3; ++n) env.advance(0.005);   // the mouse is gone
    ASSERT_EQ(game->getStepSteal(), 3);   // and the mark is due within 0.01 s
    press(kPause), press(kPause);
    at(env.now() + 0.6, [&] { EXPECT_EQ(game->getPenalty(), 0); }, [&] { EXPECT_EQ(game->getPenalty(), 1); });
}

TEST_F(PanflipRound, PauseBetweenForkStepsResumesWithTheWholeDrawnPause) {
    open();
    startAndServe();
    game->set_autoPilot_(true);
    env.advance(1.0);
    const bool out = lit(200);
    press(kPause), env.advance(20), press(kPause);
    const double pause = game->getIntervalCatHogPause();
    EXPECT_GE(pause, 3.0);
    at(env.now() + pause, [&] { EXPECT_EQ(lit(200), out); }, [&] { EXPECT_EQ(lit(200), !out); });
}
