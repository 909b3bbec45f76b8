// The paused cook round that survives the application's end: what comes back on the face, and the state
// files that must not come back (another version, damaged or impossible values).
#include <cmath>
#include <functional>
#include <random>

#include "tests/cook/panflip_fixture.h"

using namespace plumbrick;
using namespace plumbrick::testing;

namespace {

class PanflipState : public PanflipFixture {
protected:
    // A paused round in play, as the game writes it.
    PanflipSavedState pausedInPlay() {
        open();
        startAndServe();
        for (int n = 0; n < 12; ++n) guardedTick();
        press("space");
        return game->savedState();
    }
    static void writeState(const PanflipSavedState& s, const std::function<void(platform::KeyedArchiver&)>& patch = {}) {
        platform::KeyedArchiver a;
        panflip_state::encode(s, a);
        if (patch) patch(a);
        a.finishEncoding();
        ASSERT_TRUE(a.writeToFile(statePath()));
    }
    // The restored round; the results file keeps the start date in whole seconds.
    PanflipSavedState restored(const PanflipSavedState& saved) const {
        PanflipSavedState s = game->savedState();
        EXPECT_NEAR(s.gameroundDateStart->timeIntervalSince1970, saved.gameroundDateStart->timeIntervalSince1970, 1.1);
        s.gameroundDateStart = saved.gameroundDateStart;
        return s;
    }
};

}  // namespace

TEST_F(PanflipState, APausedRoundComesBackDimmedAndGoesOnInTheSameRecord) {
    open();
    startAndServe();
    ASSERT_EQ(playUntilLoss(3), 3);
    env.advance(2.61 + 0.9);
    for (int n = 0; n < 40; ++n) guardedTick();
    press("space");
    const PanflipSavedState saved = game->savedState();
    V shown = litTags(1, 9999);
    shown.erase(std::find(shown.begin(), shown.end(), 300));   // the mouse at its hole comes with the next round
    ASSERT_TRUE(saved.scores > 0 && saved.penalty == 1);

    restart();
    EXPECT_FALSE(stateFileExists());
    EXPECT_EQ(restored(saved), saved);
    EXPECT_EQ(litTags(1, 9999), shown);   // cook, items, fork, score and mark as saved
    EXPECT_EQ(game->getDgScores()->getNum(), saved.scores);
    EXPECT_FALSE(game->getIvGamePause()->isHidden());
    for (int tag : shown) EXPECT_DOUBLE_EQ(face->viewWithTag(tag)->alpha(), 0.7) << tag;
    EXPECT_TRUE(env.logLines().empty());

    press("space");
    env.advance(3);
    press("space");
    ASSERT_EQ(rounds().size(), 1u);
    EXPECT_NEAR(std::get<0>(rounds()[0]), saved.gameroundDateStart->timeIntervalSince1970, 1.1);
}

TEST_F(PanflipState, RoundsSavedInTheMouseRunAndBetweenNewRoundStepsComeBackAsTheyStood) {
    open();
    startAndServe();
    ASSERT_EQ(playUntilLoss(0), 0);
    env.advance(0.7);
    press("space");
    const PanflipSavedState saved = game->savedState();
    restart();
    EXPECT_EQ(restored(saved), saved);
    EXPECT_TRUE(litTags(300, 305) == V{302} && drawnHeight(0) == -1);   // the mouse, and the lost item away
    press("space");
    at(env.now() + 0.6, [] {}, [&] { EXPECT_EQ(litTags(300, 305), V{303}); });

    press("2");
    env.advance(0.6);   // between steps 2 and 3
    press("space");
    restart();
    EXPECT_EQ(litTags(100, 113), (V{110, 111, 112, 113}));
    EXPECT_EQ(litTags(400, 434), (V{401, 411, 421, 431}));
    press("space");
    env.advance(0.5);
    EXPECT_TRUE(litTags(100, 113) == V{101} && game->getTimerTossFood());
}

TEST_F(PanflipState, TwoHundredPointsAndAMarkComeBackAndAnotherVersionNothing) {
    PanflipSavedState s = pausedInPlay();
    s.scores = 200;
    s.penalty = 1;
    writeState(s);
    open();
    EXPECT_TRUE(game->getScores() == 200 && game->getDgScores()->getNum() == 200 && game->getPenalty() == 1);
    EXPECT_EQ(litTags(900, 902), V{900});

    open();
    const auto fresh = look();
    s.VersionSAVES = 99;
    writeState(s);
    open();
    EXPECT_TRUE(game->getState() == 0 && look() == fresh && !stateFileExists() && env.logLines().empty());
}

// A value the game cannot have written refuses the whole file: one log line naming the key, the file
// deleted, and the screen exactly as freshly set up (no new round in the results list either).
TEST_F(PanflipState, AnImpossibleValueRefusesTheWholeFile) {
    using Patch = std::function<void(PanflipSavedState&)>;
    const std::vector<std::pair<std::string, Patch>> cases = {
        {"posHeightFood_2", [](auto& s) { s.posHeightFood[2] = 5; }},
        {"posHeightFood_0", [](auto& s) { s.posHeightFood[0] = -1; }},
        {"maxHeightFood_1", [](auto& s) { s.maxHeightFood[1] = 1; }},
        {"cook.position", [](auto& s) { s.typeGame = 1, s.cookPosition = 3; }},
        {"itemFood", [](auto& s) { s.typeGame = 1, s.cookPosition = 0, s.itemFood = 3; }},
        {"typeGame", [](auto& s) { s.typeGame = 3; }},
        {"state", [](auto& s) { s.state = 1; }},
        {"scores", [](auto& s) { s.scores = 999; }},
        {"penalty", [](auto& s) { s.penalty = 3; }},
        {"timeGame", [](auto& s) { s.timeGame = std::nan(""); }},
        {"timerStepLifeFood", [](auto& s) { s.timerStepLifeFood = 0; }},
        {"timerStepLifeFood", [](auto& s) { s.timerStepLifeFood = -INFINITY; }},
        {"timerStepLifeFood", [](auto& s) { s.oldScoresChangeSpeed = 5; }},
        {"intervalCatHogPause", [](auto& s) { s.intervalCatHogPause = std::nan(""); }},
        {"intervalCatHogPause", [](auto& s) { s.intervalCatHogPause = 3.001; }},
        {"timerSteal", [](auto& s) { s.timerSteal = 2; }},
        {"timerSteal", [](auto& s) { s.timerSteal = 1; }},
        {"stepNewRound", [](auto& s) { s.timerTossFood = 0, s.timerNewRound = 1, s.stepNewRound = 4; }},
        {"intervalNewRoundPause", [](auto& s) { s.timerTossFood = 0, s.timerNewRound = 1, s.stepNewRound = 2; }},
        {"stepCookFoodToss", [](auto& s) { s.timerCookFoodToss = 1, s.stepCookFoodToss = 1; }},
        {"intervalCookFoodTossPause",
         [](auto& s) { s.timerCookFoodToss = 1, s.stepCookFoodToss = 3, s.intervalCookFoodTossPause = 0; }},
        {"stepSteal", [](auto& s) { s.stepSteal = 5; }},
        {"stepCatHog", [](auto& s) { s.stepCatHog = 0; }},
        {"posStealFood", [](auto& s) { s.posStealFood = 9; }},
        {"flagCookMove", [](auto& s) { s.flagCookMove = true; }},
        {"displayAlfa", [](auto& s) { s.displayAlfa = false; }},
        {"gameround.dateStart", [](auto& s) { s.gameroundDateStart.reset(); }},
        {"itemFood", nullptr},   // a real number where an integer belongs
        {"fork.hog", nullptr},   // nothing where a boolean belongs
    };
    const PanflipSavedState valid = pausedInPlay();
    open();
    const auto fresh = look();
    const auto stored = game->getGameResult()->getArGamesResult()->size();
    for (const auto& [key, patch] : cases) {
        PanflipSavedState s = valid;
        if (patch) patch(s);
        writeState(s, [&, k = key](platform::KeyedArchiver& a) {
            if (patch) return;
            if (k == "itemFood") a.encodeDouble(3.0, k);
            else a.encodeObject(std::nullopt, k);
        });
        open();
        EXPECT_TRUE(game->getState() == 0 && look() == fresh && !stateFileExists()) << key;
        EXPECT_EQ(game->getGameResult()->getArGamesResult()->size(), stored) << key;
        ASSERT_EQ(env.logLines().size(), 1u) << key;
        const std::string& line = env.logLines()[0];
        EXPECT_EQ(line.rfind("ERROR PanflipViewController:loadStateGame: UnarchiverException: bad archive: ", 0), 0u) << line;
        EXPECT_NE(line.find("\"" + key + "\""), std::string::npos) << line;
        env.clearLog();
    }
    platform::FileManager::defaultManager().writeToFileAtomically(statePath(), platform::Bytes{'h', 'e', 'l', 'l', 'o'});
    open();
    EXPECT_TRUE(look() == fresh && !stateFileExists());
    EXPECT_EQ(env.logLines(), std::vector<std::string>{"ERROR PanflipViewController:loadStateGame: UnarchiverException: bad archive"});
}

// Every round the game itself writes, at any moment of any play, is taken back whole and plays on.
TEST_F(PanflipState, WhatTheGameWritesAtAnyMomentComesBackWhole) {
    std::mt19937 random(7);
    int phases[4] = {};   // new round, food, mouse run, toss
    for (int sample = 0; sample < 50; ++sample) {
        open();
        press(random() % 2 ? "1" : "2");
        for (int a = 5 + int(random() % 60); a > 0; --a) {
            const unsigned act = random() % 8;
            if (act < 5) press(act == 0 ? "space" : act < 3 ? "left" : "right");
            if (act == 5 && game->getState() == 0) press("2");
            if (act == 6) game->set_autoPilot_(random() % 2 == 0);
            env.advance(std::uniform_real_distribution<double>(0, 1.5)(random));
        }
        if (game->getState() == 0 || sample % 4 == 0) press("1"), env.advance(0.89 * (random() % 100) / 100);
        if (game->getState() == 2) press("space");
        if (sample % 4 == 3 && game->getTimerTossFood()) {   // within a toss
            game->set_autoPilot_(true);
            ticksUntil([&] { return game->getTimerCookFoodToss() != nullptr; });
            env.advance(0.27 * (random() % 100) / 100);
        }
        press("space");
        const PanflipSavedState saved = game->savedState();
        EXPECT_NO_THROW(panflip_state::check(saved)) << "sample " << sample;
        for (int k = 0; k < 4; ++k)
            phases[k] += k == 0 ? saved.timerNewRound : k == 1 ? saved.timerTossFood : k == 2 ? saved.timerSteal : saved.timerCookFoodToss;
        restart();
        ASSERT_TRUE(env.logLines().empty()) << "sample " << sample << ": " << env.logLines()[0];
        EXPECT_EQ(restored(saved), saved) << "sample " << sample;
        press("space");
        env.advance(5);
    }
    for (int p : phases) EXPECT_GT(p, 0);
}
