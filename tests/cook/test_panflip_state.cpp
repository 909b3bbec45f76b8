// The paused cook round that survives the application's end: what comes back on the face, and the state
// files that must not come back (another version, damaged or impossible values).
#include <functional>
#include <random>

#include "tests/cook/panflip_fixture.h"

using namespace plumbrick;
using namespace plumbrick::testing;
using V = std::vector<int>;

namespace {

class PanflipState : public PanflipFixture {
protected:
    // Ends the application and opens the game again on the same documents folder.
    void restart() {
        terminate();
        open();
    }
    // A paused round in play, as the game writes it.
    PanflipSavedState pausedInPlay() {
        open();
        startAndServe();
        for (int n = 0; n < 12; ++n) guardedTick();
        press(kPause);
        return game->savedState();
    }
    static void writeState(const PanflipSavedState& s,
                           const std::function<void(platform::KeyedArchiver&)>& patch = nullptr) {
        platform::KeyedArchiver a;
        panflip_state::encode(s, a);
        if (patch) patch(a);
        a.finishEncoding();
        ASSERT_TRUE(a.writeToFile(statePath()));
    }
    // The restored round, but for the start date that the results file keeps in whole seconds.
    PanflipSavedState restored(const PanflipSavedState& saved) const {
        PanflipSavedState s = game->savedState();
        EXPECT_NEAR(s.gameroundDateStart->timeIntervalSince1970, saved.gameroundDateStart->timeIntervalSince1970, 1.1);
        s.gameroundDateStart = saved.gameroundDateStart;
        return s;
    }
};

V without(V v, int tag) {
    v.erase(std::remove(v.begin(), v.end(), tag), v.end());
    return v;
}

}  // namespace

TEST_F(PanflipState, APausedRoundComesBackDimmedAndGoesOnInTheSameRecord) {
    open();
    startAndServe();
    ASSERT_EQ(playUntilLoss(3), 3);
    env.advance(2.61 + 0.9);
    for (int n = 0; n < 40; ++n) guardedTick();
    press(kPause);
    const PanflipSavedState saved = game->savedState();
    const V shown = litSegments();
    ASSERT_GT(saved.scores, 0);
    ASSERT_EQ(saved.penalty, 1);

    restart();
    EXPECT_FALSE(stateFileExists());
    EXPECT_EQ(game->getState(), PanflipViewController::kPaused);
    EXPECT_EQ(restored(saved), saved);
    EXPECT_EQ(litSegments(), without(shown, 300));   // the mouse at its hole comes back with the next round
    EXPECT_EQ(game->getDgScores()->getNum(), saved.scores);
    EXPECT_EQ(litTags(900, 902), V({900}));
    EXPECT_FALSE(game->getIvGamePause()->isHidden());
    for (int tag : litSegments()) EXPECT_DOUBLE_EQ(alphaOf(tag), 0.7) << tag;
    EXPECT_TRUE(env.logLines().empty());

    press(kPause);
    env.advance(3);
    press(kPause);
    const auto rounds = recordedRounds();
    ASSERT_EQ(rounds.size(), 1u);
    EXPECT_NEAR(startOf(rounds[0]).timeIntervalSince1970, saved.gameroundDateStart->timeIntervalSince1970, 1.1);
    EXPECT_GE(scoreOf(rounds[0]), saved.scores);
}

TEST_F(PanflipState, ARoundSavedInTheMouseRunComesBackWithTheMouseAndGoesOnAfterSixTenths) {
    open();
    startAndServe();
    ASSERT_EQ(playUntilLoss(0), 0);
    env.advance(0.7);
    press(kPause);
    const PanflipSavedState saved = game->savedState();
    restart();
    EXPECT_EQ(restored(saved), saved);
    EXPECT_EQ(litTags(300, 305), V({302}));
    EXPECT_EQ(drawnHeight(0), -1);   // the lost item stays away
    press(kPause);
    const double r = env.now();
    EXPECT_EQ(game->getTimerSteal()->fireDate(), r + 0.6);
    env.advance(0.6);
    EXPECT_EQ(litTags(300, 305), V({303}));
}

TEST_F(PanflipState, ARoundSavedBetweenNewRoundStepsTwoAndThreeShowsEveryCookTossing) {
    open();
    press(kGameB);
    env.advance(0.6);
    press(kPause);
    restart();
    EXPECT_EQ(game->getStepNewRound(), 3);
    EXPECT_EQ(litTags(100, 113), V({110, 111, 112, 113}));
    EXPECT_EQ(litTags(400, 434), V({401, 411, 421, 431}));
    press(kPause);
    env.advance(0.5);
    EXPECT_EQ(litTags(100, 113), V({101}));
    EXPECT_NE(game->getTimerTossFood(), nullptr);
}

TEST_F(PanflipState, TwoHundredPointsAndOneMarkComeBackAsSaved) {
    PanflipSavedState s = pausedInPlay();
    s.scores = 200;
    s.penalty = 1;
    writeState(s);
    open();
    EXPECT_EQ(game->getScores(), 200);
    EXPECT_EQ(game->getDgScores()->getNum(), 200);
    EXPECT_EQ(game->getPenalty(), 1);
    EXPECT_EQ(litTags(900, 902), V({900}));
}

TEST_F(PanflipState, AnotherVersionRestoresNothingAndIsDeleted) {
    PanflipSavedState s = pausedInPlay();
    open();
    const auto fresh = look();
    s.VersionSAVES = 99;
    writeState(s);
    open();
    EXPECT_EQ(game->getState(), PanflipViewController::kIdle);
    EXPECT_EQ(look(), fresh);
    EXPECT_FALSE(stateFileExists());
    EXPECT_TRUE(env.logLines().empty());
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
        {"intervalCookFoodTossPause", [](auto& s) { s.timerCookFoodToss = 1, s.stepCookFoodToss = 3, s.intervalCookFoodTossPause = 0; }},
        {"stepSteal", [](auto& s) { s.stepSteal = 5; }},
        {"stepCatHog", [](auto& s) { s.stepCatHog = 0; }},
        {"posStealFood", [](auto& s) { s.posStealFood = 9; }},
        {"flagCookMove", [](auto& s) { s.flagCookMove = true; }},
        {"displayAlfa", [](auto& s) { s.displayAlfa = false; }},
        {"gameround.dateStart", [](auto& s) { s.gameroundDateStart.reset(); }},
    };
    const PanflipSavedState valid = pausedInPlay();
    open();
    const auto fresh = look();
    const auto roundsInStore = game->getGameResult()->getArGamesResult()->size();
    auto refused = [&](const std::string& key, const std::string& why) {
        open();
        EXPECT_EQ(game->getState(), PanflipViewController::kIdle) << why;
        EXPECT_EQ(look(), fresh) << why;
        EXPECT_EQ(game->getGameResult()->getArGamesResult()->size(), roundsInStore) << why;
        EXPECT_FALSE(stateFileExists()) << why;
        ASSERT_EQ(env.logLines().size(), 1u) << why;
        const std::string& line = env.logLines()[0];
        EXPECT_EQ(line.rfind("ERROR PanflipViewController:loadStateGame: UnarchiverException: bad archive", 0), 0u) << line;
        EXPECT_NE(line.find("\"" + key + "\""), std::string::npos) << line;
        env.clearLog();
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        PanflipSavedState s = valid;
        cases[i].second(s);
        writeState(s);
        refused(cases[i].first, "case " + std::to_string(i));
    }
    // A key of another type, and a key that holds nothing.
    writeState(valid, [](platform::KeyedArchiver& a) { a.encodeDouble(3.0, "itemFood"); });
    refused("itemFood", "a real number for an integer");
    writeState(valid, [](platform::KeyedArchiver& a) { a.encodeObject(std::nullopt, "fork.hog"); });
    refused("fork.hog", "nothing for a boolean");

    // Not an archive at all.
    platform::FileManager::defaultManager().writeToFileAtomically(statePath(), platform::Bytes{'h', 'e', 'l', 'l', 'o'});
    open();
    EXPECT_EQ(look(), fresh);
    EXPECT_EQ(env.logLines(), std::vector<std::string>{"ERROR PanflipViewController:loadStateGame: UnarchiverException: bad archive"});
    EXPECT_FALSE(stateFileExists());
}

// Every round the game itself writes, at any moment of any play, is taken back whole.
TEST_F(PanflipState, WhatTheGameWritesAtAnyMomentComesBackWhole) {
    std::mt19937 random(7);
    int phases[4] = {};   // new round, food, mouse run, toss
    for (int sample = 0; sample < 50; ++sample) {
        open();
        press(random() % 2 ? kGameA : kGameB);
        const int actions = 5 + static_cast<int>(random() % 60);
        for (int a = 0; a < actions; ++a) {
            switch (random() % 8) {
                case 0: press(kPause); break;
                case 1: case 2: press(kLeft); break;
                case 3: case 4: press(kRight); break;
                case 5: if (game->getState() == 0) press(kGameB); break;
                case 6: game->set_autoPilot_(random() % 2 == 0); break;
                default: break;
            }
            env.advance(std::uniform_real_distribution<double>(0, 1.5)(random));
        }
        if (game->getState() == PanflipViewController::kIdle) press(kGameA), env.advance(0.45);
        if (game->getState() == PanflipViewController::kPlaying) press(kPause);
        const PanflipSavedState saved = game->savedState();
        EXPECT_NO_THROW(panflip_state::check(saved)) << "sample " << sample;
        phases[0] += saved.timerNewRound;
        phases[1] += saved.timerTossFood;
        phases[2] += saved.timerSteal;
        phases[3] += saved.timerCookFoodToss;
        restart();
        ASSERT_TRUE(env.logLines().empty()) << "sample " << sample << ": " << env.logLines()[0];
        EXPECT_EQ(restored(saved), saved) << "sample " << sample;
        press(kPause);   // and it plays on
        env.advance(5);
        EXPECT_TRUE(env.logLines().empty());
    }
    for (int p : phases) EXPECT_GT(p, 0);
}
