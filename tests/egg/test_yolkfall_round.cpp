// The egg round on the real face: laying, egg steps, catching, missing, chick phases, the end of a
// round, game A's frozen deck, the speed schedule, bonuses, the wrap at 999 and automatic play.

#include <set>

#include "platform/Plist.h"
#include "test_yolkfall_support.h"

namespace plumbrick::testing {
namespace {

class YolkfallRound : public YolkfallFixture {
protected:
    // Names of the sounds played at the current time.
    std::vector<std::string> soundsNow() const {
        std::vector<std::string> out;
        for (const auto& s : env.sounds())
            if (s.time == env.now()) out.push_back(s.path.substr(s.path.find_last_of('/') + 1));
        return out;
    }
    bool soundNow(const std::string& name) const {
        for (const auto& n : soundsNow())
            if (n.rfind(name + ".", 0) == 0) return true;
        return false;
    }
    std::vector<int> recordedScores(const std::string& id = "Yolkfall.v1") const {
        std::vector<int> out;
        auto dict = platform::dictionaryWithContentsOfFile(resultsPath());
        if (!dict || !dict->count(id)) return out;
        for (const auto& pack : *dict->at(id).asArray()) out.push_back(static_cast<int>(*(*pack.asArray())[3].asInteger()));
        return out;
    }
    int recordedPenalty(std::size_t i) const {
        auto dict = platform::dictionaryWithContentsOfFile(resultsPath());
        return static_cast<int>(*(*dict->at("Yolkfall.v1").asArray())[i].asArray()->at(4).asInteger());
    }
};

TEST_F(YolkfallRound, LoneEggIsLaidOnTheThirtiethTickAndStepsEveryThirtyUntilCaughtInTheLastThird) {
    open();
    press("2");
    ASSERT_EQ(game->getState(), YolkfallViewController::kPlaying);
    EXPECT_TRUE(lit(100));
    EXPECT_TRUE(lit(1000) && lit(1003));
    ticks(29);
    EXPECT_TRUE(litEggTags().empty());
    tick();
    auto eggs = litEggTags();
    ASSERT_EQ(eggs.size(), 1u);
    ASSERT_EQ(eggs[0] % 100, 0);
    const int deck = deckOfEggTag(eggs[0]), base = eggs[0];
    EXPECT_TRUE(soundNow(rollSound(deck)));
    press(basketKey(deck));
    for (int step = 1; step <= 4; ++step) {
        ticks(29);
        EXPECT_TRUE(lit(base + step - 1)) << step;
        tick();
        EXPECT_EQ(litEggTags(), std::vector<int>{base + step}) << step;
        EXPECT_TRUE(soundNow(rollSound(deck))) << step;
    }
    ticks(19);   // 11 ticks left to the next step: too early to catch
    EXPECT_TRUE(lit(base + 4));
    EXPECT_EQ(game->getScores(), 0);
    tick();      // 10 left: within the last third of the wait
    EXPECT_TRUE(litEggTags().empty());
    EXPECT_EQ(game->getScores(), 1);
    EXPECT_EQ(game->getDgScores()->shownDigit(0), 1);
    EXPECT_TRUE(soundNow("yolkfall_02"));
    EXPECT_EQ(eggCount(), 0);
}

TEST_F(YolkfallRound, MissWithTheHareAwayCostsAWholeMarkAndShowsAStillChickForEightTicks) {
    open();
    press("2");
    ticks(30);
    const int base = litEggTags().at(0), deck = deckOfEggTag(base);
    press(basketKey((deck + 2) & 3));
    ticks(149);
    EXPECT_TRUE(lit(base + 4));
    tick();   // fifth step: the egg leaves its deck with the basket elsewhere
    EXPECT_TRUE(litEggTags().empty());
    EXPECT_EQ(game->getPenalty(), 2);
    EXPECT_TRUE(lit(900));
    EXPECT_EQ(game->getGril()->getHalfGril(), 0);
    EXPECT_TRUE(soundNow("yolkfall_06"));
    EXPECT_FALSE(lit(200) || lit(201) || lit(202));
    const int chickTag = deck > 1 ? 400 : 300;
    for (int i = 0; i < 7; ++i) {
        EXPECT_TRUE(lit(chickTag)) << i;
        tick();
    }
    EXPECT_TRUE(lit(chickTag));
    tick();
    EXPECT_FALSE(lit(chickTag) || lit(chickTag + 1));
    EXPECT_EQ(game->getChick(), nullptr);
    EXPECT_EQ(env.countPlays("yolkfall_08"), 0);
    EXPECT_EQ(game->getState(), YolkfallViewController::kPlaying);
}

TEST_F(YolkfallRound, MissWithTheHareOutCostsAHalfMarkRingsTheHareAndRunsTheChick) {
    open();
    press("2");
    game->set_auto_(true);
    ASSERT_TRUE(tickUntil([&] { return game->getScores() >= 12 && !lit(200); }));
    ASSERT_TRUE(tickUntil([&] { return lit(200); }));   // the hare comes out
    EXPECT_EQ(game->getPenalty(), 0);
    ASSERT_GE(game->getCountEggToDeckMAX(), 3);   // several eggs on the face
    game->set_auto_(false);
    ASSERT_TRUE(missAnEgg());
    ASSERT_GE(eggCount(), 1);
    EXPECT_EQ(game->getPenalty(), 1);
    EXPECT_EQ(game->getGril()->getHalfGril(), 1);
    EXPECT_TRUE(lit(201));
    EXPECT_FALSE(lit(200));
    const int side = game->getChick()->getDeck() ? 400 : 300;
    EXPECT_TRUE(lit(side));
    const int movesBefore = env.countPlays("yolkfall_08");
    std::vector<int> walk;
    for (int i = 0; i < 40; ++i) {
        for (int k = 0; k < 5; ++k)
            if (lit(side + k) && (walk.empty() || walk.back() != side + k)) walk.push_back(side + k);
        tick();
    }
    EXPECT_EQ(walk, (std::vector<int>{side, side + 1, side + 2, side + 3, side + 4}));
    EXPECT_EQ(env.countPlays("yolkfall_08") - movesBefore, 5);
    EXPECT_EQ(game->getChick(), nullptr);
    EXPECT_EQ(eggCount(), 0);
    EXPECT_TRUE(litEggTags().empty());
}

TEST_F(YolkfallRound, RoundEndsWhenAChickFinishesAboveFiveHalfMarksAndIsRecorded) {
    open();
    press("2");
    for (int miss = 1; miss <= 3; ++miss) {
        ASSERT_TRUE(missAnEgg()) << miss;
        EXPECT_EQ(game->getPenalty(), 2 * miss);
        if (miss < 3) {
            ASSERT_TRUE(tickUntil([&] { return game->getChick() == nullptr; }, 100));
        }
    }
    EXPECT_EQ(game->getState(), YolkfallViewController::kPlaying);   // the chick still runs
    ASSERT_TRUE(tickUntil([&] { return game->getState() == YolkfallViewController::kIdle; }, 100));
    EXPECT_EQ(env.countPlays("endgame"), 1);
    EXPECT_EQ(game->getCycleSuperVisor(), nullptr);
    EXPECT_EQ(recordedScores(), std::vector<int>{0});
    EXPECT_EQ(recordedPenalty(0), 6);
    EXPECT_TRUE(lit(900) && lit(901) && lit(902));
    int baskets = 0;
    for (int t = 100; t <= 103; ++t) baskets += lit(t);
    EXPECT_EQ(baskets, 1);
    EXPECT_TRUE(litEggTags().empty());
    for (int t : {200, 201, 202, 300, 400}) EXPECT_FALSE(lit(t)) << t;
    EXPECT_TRUE(lit(1000));
    const int basket = game->getWolf()->getPosBasket();
    press(basketKey((basket + 1) & 3));   // the basket buttons are dead after the round
    EXPECT_EQ(game->getWolf()->getPosBasket(), basket);
    ticks(100);
    EXPECT_EQ(env.countPlays("endgame"), 1);
}

TEST_F(YolkfallRound, GameANeverLaysOnTheFrozenDeckWhichIsChosenAnewAfterEachChickPhase) {
    open();
    std::vector<int> frozen;
    int changesAfterChick = 0;
    for (int round = 0; round < 4; ++round) {
        press("1");
        ASSERT_EQ(game->getTypeGame(), 1);
        for (int miss = 0; miss < 2; ++miss) {
            const int f = game->getNumFreezDeck();
            ASSERT_GE(f, 1);
            ASSERT_LE(f, 4);
            frozen.push_back(f);
            press(basketKey(f - 1));   // every egg comes elsewhere, so every egg is missed
            for (int i = 0; i < 2000 && !game->getChick(); ++i) {
                tick();
                for (int k = 0; k < 5; ++k) ASSERT_FALSE(lit(VCEgg::baseTagForDeck(f - 1) + k));
            }
            ASSERT_NE(game->getChick(), nullptr);
            ASSERT_TRUE(tickUntil([&] { return game->getChick() == nullptr; }, 100));
            changesAfterChick += game->getNumFreezDeck() != f;
        }
    }
    EXPECT_GE(changesAfterChick, 1);
    EXPECT_GE(std::set<int>(frozen.begin(), frozen.end()).size(), 2u);
}

TEST_F(YolkfallRound, SpeedScheduleFollowsTheScoreSeenAtEachCheck) {
    open();
    struct Case { int scores, eggs, speed; };
    const Case cases[] = {{4, 1, 30},  {5, 2, 29},   {9, 2, 29},   {10, 3, 29},  {20, 4, 29},  {40, 1, 29},
                          {41, 1, 28}, {50, 5, 28},  {81, 1, 27},  {250, 6, 23}, {521, 1, 16}, {560, 1, 16},
                          {561, 1, 15}, {599, 1, 15}, {600, 1, 30}, {998, 1, 30}};
    for (const Case& c : cases) {
        press("2");
        game->setScores(c.scores);
        ticks(29);
        EXPECT_EQ(game->getCountEggToDeckMAX(), 1) << c.scores;
        tick();   // the first check, 30 ticks into the round
        EXPECT_EQ(game->getCountEggToDeckMAX(), c.eggs) << c.scores;
        EXPECT_EQ(game->getSpeedEgg(), c.speed) << c.scores;
    }
    // A whole band skipped between two checks: 3, then 11.
    press("2");
    game->setScores(3);
    ticks(30);
    game->setScores(11);
    ticks(30);
    EXPECT_EQ(game->getCountEggToDeckMAX(), 3);
    EXPECT_EQ(game->getSpeedEgg(), 29);
}

TEST_F(YolkfallRound, AutomaticPlayRaisesEggsAndSpeedAtTheListedScores) {
    open();
    press("2");
    game->set_auto_(true);
    std::vector<std::pair<int, int>> eggChanges;   // (new count, score)
    int eggs = game->getCountEggToDeckMAX(), speed = game->getSpeedEgg();
    for (int i = 0; i < 200000 && eggs < 6; ++i) {
        tick();
        if (game->getCountEggToDeckMAX() != eggs) {
            eggs = game->getCountEggToDeckMAX();
            eggChanges.emplace_back(eggs, game->getScores());
        }
        if (game->getSpeedEgg() != speed) {
            speed = game->getSpeedEgg();
            EXPECT_EQ(speed, (600 - game->getScores()) / 40 + 15) << game->getScores();
        }
    }
    ASSERT_EQ(eggChanges.size(), 5u);
    const int low[] = {5, 10, 20, 50, 250};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(eggChanges[k].first, k + 2);
        EXPECT_GE(eggChanges[k].second, low[k]);
        EXPECT_LE(eggChanges[k].second, low[k] + 4);
    }
    EXPECT_EQ(game->getPenalty(), 0);
}

TEST_F(YolkfallRound, ReachingTwoHundredAndFiveHundredClearsThePenaltyMarks) {
    open();
    press("2");
    for (int bonus : {200, 500}) {
        game->set_auto_(false);
        ASSERT_TRUE(missAnEgg());
        ASSERT_TRUE(tickUntil([&] { return game->getChick() == nullptr; }, 100));
        ASSERT_TRUE(lit(900));
        game->setScores(bonus - 1);
        game->set_auto_(true);
        ASSERT_TRUE(tickUntil([&] { return game->getScores() == bonus; }));
        EXPECT_EQ(game->getPenalty(), 0) << bonus;
        EXPECT_FALSE(lit(900) || lit(901) || lit(902)) << bonus;
    }
}

TEST_F(YolkfallRound, ScoreWrapsFrom999ToZeroRecordingTheRoundAndKeepingTheSpeed) {
    open();
    press("2");
    game->set_auto_(true);
    game->setScores(561);
    ASSERT_TRUE(tickUntil([&] { return game->getSpeedEgg() == 15; }, 100));
    const int eggs = game->getCountEggToDeckMAX();
    game->setScores(998);
    ASSERT_TRUE(tickUntil([&] { return game->getScores() != 998; }));
    EXPECT_EQ(game->getScores(), 0);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(game->getDgScores()->shownDigit(i), 0);
    EXPECT_EQ(recordedScores(), std::vector<int>{999});
    ASSERT_TRUE(tickUntil([&] { return game->getScores() >= 20; }));
    EXPECT_EQ(game->getState(), YolkfallViewController::kPlaying);
    EXPECT_EQ(game->getSpeedEgg(), 15);
    EXPECT_EQ(game->getCountEggToDeckMAX(), eggs);
    EXPECT_EQ(game->getDgScores()->getNum(), game->getScores());
}

TEST_F(YolkfallRound, AutomaticPlayCatchesEveryEggForAnHour) {
    open();
    press("2");
    game->set_auto_(true);
    for (int second = 0; second < 3600; ++second) {
        env.advance(1.0);
        ASSERT_EQ(game->getChick(), nullptr) << second;
        ASSERT_EQ(game->getPenalty(), 0) << second;
        if (second % 60 == 0) env.clearSounds();   // keeps the recording small; misses are checked each second
        ASSERT_EQ(env.countPlays("yolkfall_06"), 0) << second;
    }
    EXPECT_EQ(game->getState(), YolkfallViewController::kPlaying);
    EXPECT_EQ(game->getCountEggToDeckMAX(), 6);
    EXPECT_EQ(game->getSpeedEgg(), 15);
    EXPECT_GE(recordedScores().at(0), 999);   // the score went round at least once
}

}  // namespace
}  // namespace plumbrick::testing
