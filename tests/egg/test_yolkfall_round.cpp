// The egg round's rules on their own, with a clock and draws the test sets: laying, catching, missing, chick
// phases, the end of a round, game A's frozen deck, the speed schedule, bonuses, the wrap at 999, pausing,
// and a restored round.

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "games/egg/YolkfallRound.h"

namespace plumbrick::testing {
namespace {

using Effect = YolkfallEffect;
constexpr int kHare = YolkfallRound::kHareTag, kMark = YolkfallRound::kMarkTag;

class Rules : public ::testing::Test {
protected:
    double clock = 1000;
    int draws = 0;   // the draws are 0, 1, 2, ...: eggs go to decks 0, 1, 2, 3 in turn
    YolkfallRound round{[this] { return clock; }, [this] { return draws++; }};
    std::vector<Effect> effects;   // those of the last command or tick

    void start(int type = 2, bool automatic = false) {
        round.setTypeGame(type);
        round.startGame();
        round.set_auto_(automatic);
        effects = round.takeEffects();
    }
    void tick() {
        round.tick();
        effects = round.takeEffects();
    }
    void ticks(int n) {
        while (n-- > 0) tick();
    }
    template <class Pred> bool tickUntil(Pred pred, int limit = 100000) {
        for (int i = 0; i < limit && !pred(); ++i) tick();
        return pred();
    }
    bool has(Effect e) const { return std::find(effects.begin(), effects.end(), e) != effects.end(); }
    bool played(YolkfallSound s) const { return has({Effect::Play, int(s)}); }
    int eggs() const { return round.getLife() ? int(round.getLife()->size()) : 0; }
    // Plays on with the basket on a deck without eggs until an egg is missed; then, when asked, until its
    // chick is gone.
    bool missAnEgg(bool waitForChick = false) {
        round.set_auto_(false);
        for (int i = 0; i < 5000 && !round.getChick(); ++i) {
            bool used[4] = {};
            for (const auto& e : *round.getLife()) used[e.deck] = true;
            int d = 0;
            while (d < 3 && used[d]) ++d;
            round.setWolfPositionBaske(d);
            tick();
        }
        return round.getChick() && (!waitForChick || tickUntil([&] { return !round.getChick(); }, 100));
    }
};

TEST_F(Rules, MissesWithTheHareAwayShowAStillChickAndEndTheRoundAboveFiveHalfMarks) {
    start();
    round.setWolfPositionBaske(2);
    ticks(180);   // the egg of deck 0 leaves its deck with the basket elsewhere
    EXPECT_EQ(round.getPenalty(), 2);
    EXPECT_EQ(round.getHalfGril(), 0);
    EXPECT_TRUE(round.isLit(kMark));
    EXPECT_TRUE(played(YolkfallSound::Break));
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(round.isLit(YolkfallRound::kLeftChickTag)) << i;
        EXPECT_FALSE(round.isLit(YolkfallRound::kLeftChickTag + 1)) << i;
        tick();
    }
    EXPECT_FALSE(round.getChick());

    ASSERT_TRUE(missAnEgg(true));
    ASSERT_TRUE(missAnEgg());
    EXPECT_EQ(round.getPenalty(), 6);
    EXPECT_TRUE(round.isLost());
    ASSERT_TRUE(tickUntil([&] { return round.getState() == YolkfallRound::kIdle; }, 100));
    EXPECT_TRUE(has({Effect::Record, 0, 6, 0}));
    EXPECT_TRUE(has({Effect::Lost}));
    EXPECT_TRUE(played(YolkfallSound::EndGame));
    round.setWolfPositionBaske(3);
    EXPECT_EQ(round.getPosBasket(), 0) << "the basket is dead after the round";
}

TEST_F(Rules, MissWithTheHareOutCostsAHalfMarkRingsTheHareRunsTheChickAndClearsTheEggs) {
    start(2, true);
    ASSERT_TRUE(tickUntil([&] { return round.getScores() >= 12 && round.getHareVisible() == 0; }));
    ASSERT_TRUE(tickUntil([&] { return round.getHareVisible() == 1; }));
    ASSERT_TRUE(missAnEgg());
    EXPECT_GE(eggs(), 1);
    EXPECT_EQ(round.getPenalty(), 1);
    EXPECT_EQ(round.getHalfGril(), 1);
    EXPECT_TRUE(round.isLit(kHare + 1));
    EXPECT_FALSE(round.isLit(kHare));
    const int side = round.getChick()->deck ? YolkfallRound::kRightChickTag : YolkfallRound::kLeftChickTag;
    std::vector<int> walk;
    int moves = 0;
    for (int i = 0; i < 40; ++i) {
        for (int k = 0; k < 5; ++k)
            if (round.isLit(side + k) && (walk.empty() || walk.back() != side + k)) walk.push_back(side + k);
        tick();
        moves += played(YolkfallSound::MoveChick);
    }
    EXPECT_EQ(walk, (std::vector<int>{side, side + 1, side + 2, side + 3, side + 4}));
    EXPECT_EQ(moves, 5);
    EXPECT_FALSE(round.getChick());
    EXPECT_EQ(eggs(), 0);
}

TEST_F(Rules, GameANeverLaysOnTheFrozenDeckWhichIsDrawnAnewAfterEachChickPhase) {
    std::set<int> frozen;
    start(1);
    for (int phase = 0; phase < 6; ++phase) {
        const int f = round.getNumFreezDeck();
        ASSERT_GE(f, 1);
        ASSERT_LE(f, 4);
        frozen.insert(f);
        round.setWolfPositionBaske(f - 1);   // every egg comes elsewhere, so every egg is missed
        for (int i = 0; i < 2000 && !round.getChick(); ++i) {
            for (int k = 0; k < 5; ++k) ASSERT_FALSE(round.isLit(YolkfallRound::eggTag(f - 1, k)));
            tick();
        }
        ASSERT_TRUE(tickUntil([&] { return !round.getChick(); }, 100));
        if (round.getState() != YolkfallRound::kPlaying) start(1);
    }
    EXPECT_GE(frozen.size(), 2u);
}

TEST_F(Rules, SpeedScheduleFollowsTheScoreSeenAtEachCheck) {
    struct {
        int scores, eggs, speed;
    } const cases[] = {{4, 1, 30},   {5, 2, 29},   {10, 3, 29},  {40, 1, 29},  {41, 1, 28},
                       {250, 6, 23}, {560, 1, 16}, {561, 1, 15}, {599, 1, 15}, {600, 1, 30}};
    for (const auto& c : cases) {
        start();
        round.setScores(c.scores);
        ticks(30);   // the first check, 30 ticks into the round
        EXPECT_EQ(round.saved().countEggToDeckMAX, c.eggs) << c.scores;
        EXPECT_EQ(round.saved().SpeedEgg, c.speed) << c.scores;
    }
}

TEST_F(Rules, BonusesAt200And500ClearThePenalty) {
    for (int bonus : {200, 500}) {
        start();
        ASSERT_TRUE(missAnEgg(true));
        round.setScores(bonus - 1);
        round.setScores(bonus);
        EXPECT_EQ(round.getPenalty(), 0) << bonus;
        for (int m = 0; m < 3; ++m) EXPECT_FALSE(round.isLit(kMark + m)) << bonus;
    }
}

TEST_F(Rules, TheScoreWrapsAt999RecordingTheRoundAndKeepingItsSpeed) {
    start(2, true);
    round.setScores(561);
    ASSERT_TRUE(tickUntil([&] { return round.saved().SpeedEgg == 15; }, 100));
    clock += 42.5;
    round.pauseGame();
    round.playGame();
    round.takeEffects();
    round.setScores(999);
    EXPECT_EQ(round.takeEffects(), (std::vector<Effect>{{Effect::Record, 999, 0, 42.5}, {Effect::Score, 0}}));
    ASSERT_TRUE(tickUntil([&] { return round.getScores() >= 20; }));
    EXPECT_EQ(round.saved().SpeedEgg, 15);
}

TEST_F(Rules, APauseCountsThePlayedSecondsDimsTheFaceAndHoldsTheBasket) {
    start();
    clock += 12;
    round.pauseGame();
    EXPECT_EQ(round.takeEffects(), std::vector<Effect>{{Effect::Dim}});
    EXPECT_EQ(round.getTimeGame(), 12);
    round.setWolfPositionBaske(3);
    EXPECT_EQ(round.getPosBasket(), 0);
    clock += 100;
    round.playGame();
    EXPECT_EQ(round.takeEffects(), std::vector<Effect>{{Effect::Undim}});
    clock += 3;
    EXPECT_EQ(round.asPaused().timeGame, 15) << "a checkpoint counts the stretch under way";
    EXPECT_TRUE(round.asPaused().displayAlfa);
    round.endGame();
    EXPECT_EQ(round.getTimeGame(), 15);
    EXPECT_FALSE(round.getLife());
}

TEST_F(Rules, ARestoredRoundIsPausedAndDrawnWithTheHareQuietAndItsMarks) {
    YolkfallRoundState s;
    s.state = YolkfallRound::kPaused;
    s.penalty = 3;
    s.scores = 42;
    s.wolfPosBasket = 2;
    s.hareVisible = 1;
    s.harePosition = 2;
    s.displayAlfa = true;
    round.restore(s);
    const auto effects = round.takeEffects();
    EXPECT_TRUE(round.isLit(YolkfallRound::kBasketTag + 2));
    EXPECT_TRUE(round.isLit(kHare));
    EXPECT_TRUE(round.isLit(kMark));
    EXPECT_TRUE(round.isLit(kMark + 1)) << "the blinking half mark";
    EXPECT_EQ(round.getHalfGril(), 2);
    EXPECT_EQ(eggs(), 0);
    EXPECT_EQ(effects.back(), Effect{Effect::Dim});
    EXPECT_NE(std::find(effects.begin(), effects.end(), Effect{Effect::Score, 42}), effects.end());
}

}   // namespace
}   // namespace plumbrick::testing
