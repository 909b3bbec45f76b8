// The cook game's screen and its saved round: the buttons in each run state, recording and dimming, the
// paused round that survives the application's end, and the state files that must not come back.
#include <cmath>
#include <functional>

#include "tests/cook/panflip_fixture.h"

using namespace plumbrick;
using namespace plumbrick::testing;

namespace {

class PanflipState : public PanflipFixture {
protected:
    static void writeState(const PanflipSavedState& s, const std::function<void(platform::KeyedArchiver&)>& patch) {
        platform::KeyedArchiver a;
        panflip_state::encode(s, a);
        patch(a);
        a.finishEncoding();
        ASSERT_TRUE(a.writeToFile(statePath()));
    }
    // Pauses, ends the application and opens the game again; the round must come back as it was written
    // (the results file keeps the start date in whole seconds).
    PanflipSavedState pauseAndRestore() {
        press("space");
        PanflipSavedState saved = game->savedState();
        restart();
        PanflipSavedState s = game->savedState();
        EXPECT_TRUE(!stateFileExists() && env.logLines().empty());
        EXPECT_NEAR(s.gameroundDateStart->timeIntervalSince1970, saved.gameroundDateStart->timeIntervalSince1970, 1.1);
        s.gameroundDateStart = saved.gameroundDateStart;
        EXPECT_EQ(s, saved);
        return saved;
    }
    void expectDimmed(const V& tags, double alpha) {
        for (int tag : tags) EXPECT_DOUBLE_EQ(face->viewWithTag(tag)->alpha(), alpha) << tag;
    }
};

}  // namespace

TEST_F(PanflipState, AnIdleScreenIsDarkAndOnlyItsMenuButtonActsAndNothingIsSaved) {
    open();
    EXPECT_TRUE(game->getState() == 0 && game->getTypeGame() == 2 && game->getIvGamePause()->isHidden());
    EXPECT_DOUBLE_EQ(game->getBtMenu()->frame().origin.y, game->getBtMenu()->frame().size.height);
    for (const char* key : {"left", "right", "space"}) press(key);
    EXPECT_TRUE(litTags(1, 9999).empty() && game->getState() == 0);
    press("escape");
    EXPECT_TRUE(rounds().empty() && root.games == std::vector<platform::ViewController*>{game.get()});
    restart();
    EXPECT_FALSE(stateFileExists());
}

TEST_F(PanflipState, ButtonsRecordAPlayingRoundAndPauseDimsIt) {
    open();
    startAndServe("2");
    env.advance(5);
    press("1");   // game B's round is recorded, game A begins
    ASSERT_EQ(rounds().size(), 1u);
    EXPECT_EQ(std::get<2>(rounds()[0]), 5);
    env.advance(1.9);
    press("space");
    ASSERT_EQ(rounds().size(), 2u);
    V dimmed = *game->getArDisplayAlfa();
    std::sort(dimmed.begin(), dimmed.end());
    EXPECT_EQ(dimmed, litTags(1, 9999));
    expectDimmed(dimmed, 0.7);
    EXPECT_TRUE(!game->getIvGamePause()->isHidden() && game->getIvGamePause()->alpha() == 1.0);
    const int place = game->getCook()->getPosCook();
    press("left"), press("right"), press("right");
    EXPECT_EQ(game->getCook()->getPosCook(), place);
    press("space");
    EXPECT_TRUE(game->getState() == 1 && game->getIvGamePause()->isHidden() && !game->getDisplayAlfa());
    expectDimmed(dimmed, 1.0);
    press("i");   // info and menu pause a playing round first
    EXPECT_TRUE(game->getState() == 2 && rounds().size() == 2 && !game->getIvGamePause()->isHidden());
    press("escape");
    EXPECT_EQ(root.calls, (std::vector<std::string>{"switchInfoFromGame:Panflip.v1", "switchMenuFromGame:"}));
    const double pausedEnd = std::get<1>(rounds()[1]);
    env.advance(30);
    press("2");   // a start from a pause records nothing more and lights the face again
    EXPECT_TRUE(rounds().size() == 2 && std::get<1>(rounds()[1]) == pausedEnd && !game->getDisplayAlfa());
    EXPECT_TRUE(game->getIvGamePause()->isHidden() && game->getState() == 1);
    expectDimmed(litTags(1, 9999), 1.0);
    env.advance(2.5);   // the application's end pauses a playing round, saves it, and leaves the sign alone
    platform::NotificationCenter::defaultCenter().postNotificationName(platform::ApplicationWillTerminateNotification);
    EXPECT_TRUE(game->getState() == 2 && game->getIvGamePause()->isHidden() && rounds().size() == 3 && stateFileExists());
}

TEST_F(PanflipState, APausedRoundComesBackDimmedAndGoesOnInTheSameRecord) {
    open();
    startAndServe();
    ASSERT_EQ(playUntilLoss(3), 3);
    env.advance(2.61 + 0.9);
    for (int n = 0; n < 40; ++n) guardedTick();
    press("space");
    V shown = litTags(1, 9999);
    shown.erase(std::find(shown.begin(), shown.end(), 300));   // the mouse at its hole comes with the next round
    press("space");
    const PanflipSavedState saved = pauseAndRestore();
    ASSERT_TRUE(saved.scores > 0 && saved.penalty == 1);
    EXPECT_EQ(litTags(1, 9999), shown);   // cook, items, fork, score and mark as saved
    EXPECT_FALSE(game->getIvGamePause()->isHidden());
    expectDimmed(shown, 0.7);
    press("space");
    env.advance(3);
    press("space");
    ASSERT_EQ(rounds().size(), 1u);
    EXPECT_NEAR(std::get<0>(rounds()[0]), saved.gameroundDateStart->timeIntervalSince1970, 1.1);
}

TEST_F(PanflipState, RoundsSavedInATossTheMouseRunAndBetweenNewRoundStepsComeBackAsTheyStood) {
    open();
    startAndServe();
    ASSERT_EQ(playUntilLoss(0), 0);
    env.advance(0.7);
    pauseAndRestore();
    EXPECT_TRUE(litTags(300, 305) == V{302} && drawnHeight(0) == -1);   // the mouse, and the lost item away
    press("space");
    at(env.now() + 0.6, [] {}, [&] { EXPECT_EQ(litTags(300, 305), V{303}); });

    press("2");
    env.advance(0.6);   // between steps 2 and 3
    pauseAndRestore();
    EXPECT_TRUE(litTags(100, 113) == (V{110, 111, 112, 113}) && litTags(400, 434) == (V{401, 411, 421, 431}));
    press("space");
    env.advance(0.5);
    EXPECT_TRUE(litTags(100, 113) == V{101} && game->getTimerTossFood());
    game->set_autoPilot_(true);
    ASSERT_TRUE(ticksUntil([&] { return game->getTimerCookFoodToss() != nullptr; }));
    env.advance(0.1);   // the throw
    EXPECT_EQ(pauseAndRestore().stepCookFoodToss, 3);
}

// A value the game cannot have written refuses the whole file: one log line naming the key, the file deleted,
// and the screen exactly as freshly set up (no new round in the results list either).
TEST_F(PanflipState, AnImpossibleValueRefusesTheWholeFileAndAnotherVersionIsDropped) {
    using Patch = std::function<void(PanflipSavedState&)>;
    const std::vector<std::pair<std::string, Patch>> cases = {
        {"posHeightFood_2", [](auto& s) { s.posHeightFood[2] = 5; }},
        {"posHeightFood_0", [](auto& s) { s.posHeightFood[0] = -1; }},
        {"maxHeightFood_1", [](auto& s) { s.maxHeightFood[1] = 1; }},
        {"cook.position", [](auto& s) { s.typeGame = 1, s.cookPosition = 3; }},
        {"itemFood", [](auto& s) { s.typeGame = 1, s.cookPosition = 0, s.itemFood = 3; }},
        {"typeGame", [](auto& s) { s.typeGame = 3; }},
        {"state", [](auto& s) { s.state = 1; }},
        {"penalty", [](auto& s) { s.penalty = 3; }},
        {"timeGame", [](auto& s) { s.timeGame = std::nan(""); }},
        {"timerStepLifeFood", [](auto& s) { s.timerStepLifeFood = -INFINITY; }},
        {"intervalCatHogPause", [](auto& s) { s.intervalCatHogPause = std::nan(""); }},
        {"timerSteal", [](auto& s) { s.timerSteal = 2; }},
        {"stepNewRound", [](auto& s) { s.timerTossFood = 0, s.timerNewRound = 1, s.stepNewRound = 4; }},
        {"intervalNewRoundPause", [](auto& s) { s.timerTossFood = 0, s.timerNewRound = 1, s.stepNewRound = 2; }},
        {"intervalCookFoodTossPause",
         [](auto& s) { s.timerCookFoodToss = 1, s.stepCookFoodToss = 3, s.intervalCookFoodTossPause = 0; }},
        {"stepSteal", [](auto& s) { s.stepSteal = 5; }},
        {"gameround.dateStart", [](auto& s) { s.gameroundDateStart.reset(); }},
        {"itemFood", nullptr},   // a real number where an integer belongs
        {"fork.hog", nullptr},   // nothing where a boolean belongs
    };
    open();
    startAndServe();
    for (int n = 0; n < 12; ++n) guardedTick();
    press("space");
    const PanflipSavedState valid = game->savedState();
    open();
    const Look fresh = look();
    for (const auto& [key, patch] : cases) {
        PanflipSavedState s = valid;
        if (patch) patch(s);
        writeState(s, [&, k = key](platform::KeyedArchiver& a) {
            if (!patch && k == "itemFood") a.encodeDouble(3.0, k);
            if (!patch && k != "itemFood") a.encodeObject(std::nullopt, k);
        });
        open();
        EXPECT_TRUE(game->getState() == 0 && look() == fresh && !stateFileExists() && rounds().size() == 1) << key;
        ASSERT_EQ(env.logLines().size(), 1u) << key;
        EXPECT_EQ(env.logLines()[0].rfind("ERROR PanflipViewController:loadStateGame: UnarchiverException: bad archive: ", 0), 0u);
        EXPECT_NE(env.logLines()[0].find("\"" + key + "\""), std::string::npos) << env.logLines()[0];
        env.clearLog();
    }
    platform::FileManager::defaultManager().writeToFileAtomically(statePath(), platform::Bytes{'h', 'e', 'l', 'l', 'o'});
    open();
    EXPECT_TRUE(look() == fresh && !stateFileExists());
    EXPECT_EQ(env.logLines(), std::vector<std::string>{"ERROR PanflipViewController:loadStateGame: UnarchiverException: bad archive"});
    env.clearLog();
    PanflipSavedState other = valid;
    other.VersionSAVES = 99;
    writeState(other, [](auto&) {});
    open();
    EXPECT_TRUE(game->getState() == 0 && look() == fresh && !stateFileExists() && env.logLines().empty());
}
