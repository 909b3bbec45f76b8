// The egg round on the real face: laying, egg steps, catching, missing, chick phases, the end of a
// round, game A's frozen deck, the speed schedule, bonuses, the wrap at 999, automatic play, and the
// buttons in every state with the root controller's requests, dimming and the pause sign.

#include <set>
#include <string>

#include "test_yolkfall_support.h"

namespace plumbrick::testing {
namespace {

class Round : public YolkfallFixture {
protected:
    // Paused: every direct subview with tag 1..9999 that is lit is at 0.7, and the pause sign shows.
    void expectDimmed(bool dimmed) {
        for (const auto& v : face->subviews())
            EXPECT_DOUBLE_EQ(v->alpha(), dimmed && !v->isHidden() && v->tag() >= 1 && v->tag() <= 9999 ? 0.7 : 1.0)
                << "tag " << v->tag();
        EXPECT_EQ(game->getIvGamePause()->isHidden(), !dimmed);
    }
};

TEST_F(Round, LoneEggIsLaidOnTheThirtiethTickStepsEveryThirtyAndIsCaughtInTheLastThird) {
    openAndStart();
    ticks(29);
    EXPECT_TRUE(litEggTags().empty());
    tick();
    ASSERT_EQ(litEggTags().size(), 1u) << "one egg";
    const int base = litEggTags()[0], deck = deckOfEggTag(base);
    ASSERT_EQ(base, VCEgg::baseTagForDeck(deck)) << "on its deck's first segment";
    press(basketKey(deck));
    for (int step = 0; step <= 4; ++step) {
        EXPECT_EQ(litEggTags(), std::vector<int>{base + step}) << step;
        EXPECT_TRUE(soundNow(rollSound(deck))) << step;
        ticks(step < 4 ? 30 : 19);
    }
    EXPECT_TRUE(lit(base + 4)) << "11 ticks before the next step: too early to catch";
    tick();   // 10 left: within the last third of the wait
    EXPECT_TRUE(litEggTags().empty());
    EXPECT_EQ(game->getDgScores()->shownDigit(0), 1);
    EXPECT_TRUE(soundNow("yolkfall_02"));
}

TEST_F(Round, MissesWithTheHareAwayShowAStillChickAndEndTheRoundAboveFiveHalfMarks) {
    openAndStart();
    ticks(30);
    const int deck = deckOfEggTag(litEggTags().at(0)), chick = chickTag(deck);
    press(basketKey((deck + 2) & 3));
    ticks(150);   // the fifth step: the egg leaves its deck with the basket elsewhere
    EXPECT_EQ(game->getPenalty(), 2);
    EXPECT_EQ(game->getGril()->getHalfGril(), 0);
    EXPECT_TRUE(lit(kMark));
    EXPECT_TRUE(soundNow("yolkfall_06"));
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(lit(chick)) << i;
        EXPECT_FALSE(lit(chick + 1)) << i;
        tick();
    }
    EXPECT_EQ(game->getChick(), nullptr);

    for (int miss = 2; miss <= 3; ++miss) {
        ASSERT_TRUE(missAnEgg(miss < 3)) << miss;
        EXPECT_EQ(game->getPenalty(), 2 * miss);
    }
    EXPECT_EQ(game->getState(), kPlaying) << "until the chick finishes";
    ASSERT_TRUE(tickUntil([&] { return game->getState() == kIdle; }, 100));
    EXPECT_EQ(env.countPlays("endgame"), 1);
    EXPECT_EQ(recorded(4), std::vector<int>{6}) << "the penalty recorded";
    const int basket = game->getWolf()->getPosBasket();
    press(basketKey((basket + 1) & 3));   // the basket buttons are dead after the round
    EXPECT_EQ(game->getWolf()->getPosBasket(), basket);
}

TEST_F(Round, MissWithTheHareOutCostsAHalfMarkRingsTheHareRunsTheChickAndClearsTheEggs) {
    openAndStart(true);
    ASSERT_TRUE(tickUntil([&] { return game->getScores() >= 12 && !lit(kHare); }));
    ASSERT_TRUE(tickUntil([&] { return lit(kHare); }));   // the hare comes out, several eggs on the face
    ASSERT_TRUE(missAnEgg());
    ASSERT_GE(eggCount(), 1);
    EXPECT_EQ(game->getPenalty(), 1);
    EXPECT_EQ(game->getGril()->getHalfGril(), 1);
    EXPECT_TRUE(lit(kHare + 1));
    EXPECT_FALSE(lit(kHare));
    const int side = chickTag(game->getChick()->getDeck() ? 2 : 0), movesBefore = env.countPlays("yolkfall_08");
    std::vector<int> walk;
    for (int i = 0; i < 40; ++i) {
        for (int k = 0; k < 5; ++k)
            if (lit(side + k) && (walk.empty() || walk.back() != side + k)) walk.push_back(side + k);
        tick();
    }
    EXPECT_EQ(walk, (std::vector<int>{side, side + 1, side + 2, side + 3, side + 4}));
    EXPECT_EQ(env.countPlays("yolkfall_08") - movesBefore, 5);
    EXPECT_EQ(game->getChick(), nullptr);
    EXPECT_TRUE(litEggTags().empty());
}

TEST_F(Round, GameANeverLaysOnTheFrozenDeckWhichIsChosenAnewAfterEachChickPhase) {
    open();
    std::set<int> frozen;
    int changes = 0;
    for (int round = 0; round < 8; ++round) {
        if (round % 2 == 0) press("1");
        const int f = game->getNumFreezDeck();
        ASSERT_EQ(game->getTypeGame(), 1);
        ASSERT_GE(f, 1);
        ASSERT_LE(f, 4);
        frozen.insert(f);
        press(basketKey(f - 1));   // every egg comes elsewhere, so every egg is missed
        for (int i = 0; i < 2000 && !game->getChick(); ++i) {
            for (int k = 0; k < 5; ++k) ASSERT_FALSE(lit(VCEgg::baseTagForDeck(f - 1) + k));
            tick();
        }
        ASSERT_NE(game->getChick(), nullptr);
        ASSERT_TRUE(tickUntil([&] { return game->getChick() == nullptr; }, 100));
        changes += game->getNumFreezDeck() != f;
    }
    EXPECT_GE(changes, 1);
    EXPECT_GE(frozen.size(), 2u);
}

TEST_F(Round, SpeedScheduleFollowsTheScoreSeenAtEachCheck) {
    open();
    struct {
        int scores, eggs, speed;
    } const cases[] = {{4, 1, 30},   {5, 2, 29},   {10, 3, 29},  {40, 1, 29},  {41, 1, 28},
                       {250, 6, 23}, {560, 1, 16}, {561, 1, 15}, {599, 1, 15}, {600, 1, 30}};
    for (const auto& c : cases) {
        press("2");
        game->setScores(c.scores);
        ticks(30);   // the first check, 30 ticks into the round
        EXPECT_EQ(game->getCountEggToDeckMAX(), c.eggs) << c.scores;
        EXPECT_EQ(game->getSpeedEgg(), c.speed) << c.scores;
    }
}

TEST_F(Round, BonusesAt200And500AndTheWrapAt999) {
    openAndStart();
    for (int bonus : {200, 500}) {
        ASSERT_TRUE(missAnEgg(true));
        game->setScores(bonus - 1);
        game->set_auto_(true);
        ASSERT_TRUE(tickUntil([&] { return game->getScores() == bonus; }));
        EXPECT_EQ(game->getPenalty(), 0) << bonus;
        for (int m = 0; m < 3; ++m) EXPECT_FALSE(lit(kMark + m)) << bonus;
    }
    game->setScores(561);
    ASSERT_TRUE(tickUntil([&] { return game->getSpeedEgg() == 15; }, 100));
    const int eggs = game->getCountEggToDeckMAX();
    game->setScores(998);
    ASSERT_TRUE(tickUntil([&] { return game->getScores() != 998; }));
    EXPECT_EQ(game->getScores(), 0);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(game->getDgScores()->shownDigit(i), 0);
    EXPECT_EQ(recorded(), std::vector<int>{999});
    ASSERT_TRUE(tickUntil([&] { return game->getScores() >= 20; }));
    EXPECT_EQ(game->getState(), kPlaying);
    EXPECT_EQ(game->getSpeedEgg(), 15);
    EXPECT_EQ(game->getCountEggToDeckMAX(), eggs);
}

TEST_F(Round, ButtonsInEveryStateWithTheRootsRequestsDimmingAndRecording) {
    open();
    const std::string menu = "switchMenuFromGame:", info = "switchInfoFromGame:Yolkfall.v1";
    // Each press: the state after it, the root's request, and whether the results file changes. Start while
    // paused does not record the paused round again; start while playing records the running one.
    struct {
        const char* key;
        int state;
        std::string call;
        bool records;
    } const steps[] = {
        {"space", kIdle, "", false},    {"q", kIdle, "", false},         {"escape", kIdle, menu, false},
        {"i", kIdle, info, false},      {"2", kPlaying, "", false},      {"space", kPaused, "", true},
        {"space", kPlaying, "", false}, {"escape", kPaused, menu, true}, {"escape", kPaused, menu, false},
        {"space", kPlaying, "", false}, {"i", kPaused, info, true},      {"i", kPaused, info, false},
        {"2", kPlaying, "", false},     {"1", kPlaying, "", true}};
    for (const auto& s : steps) {
        SCOPED_TRACE(std::string(s.key) + " to state " + std::to_string(s.state));
        ticks(40);
        const auto file = files().dataWithContentsOfFile(resultsPath());
        const std::size_t calls = root.calls.size();
        press(s.key);
        EXPECT_EQ(game->getState(), s.state);
        expectDimmed(s.state == kPaused);
        EXPECT_EQ(root.calls.size(), calls + !s.call.empty());
        EXPECT_EQ(root.calls.size() == calls ? "" : root.calls.back(), s.call);
        EXPECT_EQ(files().dataWithContentsOfFile(resultsPath()) != file, s.records);
    }
    ASSERT_FALSE(root.games.empty());
    EXPECT_EQ(root.games.back(), game.get());
    EXPECT_EQ(game->getTypeGame(), 1);
    EXPECT_EQ(game->getGameResult()->getArGamesResult()->size(), 3u);
}

TEST_F(Round, APausedRoundStandsStillAndResumesWhereItWas) {
    openAndStart(true);
    ASSERT_TRUE(tickUntil([&] { return game->getScores() >= 6 && eggCount() >= 2; }));
    const auto eggs = litEggTags();
    const int countdown = game->getTimePauseChangePositionEgg(), basket = game->getWolf()->getPosBasket();
    press("space");
    env.advance(30);
    press(basketKey((basket + 1) & 3));
    EXPECT_EQ(litEggTags(), eggs);
    EXPECT_EQ(game->getWolf()->getPosBasket(), basket);
    press("space");
    EXPECT_EQ(game->getTimePauseChangePositionEgg(), countdown);
    tick();
    EXPECT_EQ(game->getTimePauseChangePositionEgg(), countdown > 1 ? countdown - 1 : game->getSpeedEgg());
}

}   // namespace
}   // namespace plumbrick::testing
