// The cook game's screen and its saved round: the buttons in each run state, recording and dimming, the
// paused round that survives the application's end, and the state files that must not come back.
#include <cmath>
#include <functional>

#include "platform/Notice.h"
#include "tests/cook/panflip_fixture.h"

using namespace plumbrick;
using namespace plumbrick::testing;

namespace {

class PanflipState : public PanflipFixture {
protected:
    // The lit segments but the mouse at its hole, which comes back only with the next round.
    V faceTags() const {
        V tags = litTags(1, 9999);
        std::erase(tags, kMouse);
        return tags;
    }
    void expectDimmed(const V& tags, double a) {
        for (int t : tags) EXPECT_DOUBLE_EQ(face->viewWithTag(t)->alpha(), a) << t;
    }
    // Pauses, ends the application and opens the game again: the round comes back as it was written, its
    // segments dimmed under the pause sign, the file kept until the round goes on (the results file keeps
    // whole seconds of the start).
    PanflipSavedState pauseAndRestore() {
        press("space");
        const PanflipSavedState saved = game->savedState();
        V shown = faceTags();
        for (int& t : shown)   // a toss comes back down
            if (saved.timerCookFoodToss && t >= kCookToss && t <= kCookToss + 3) t += kCookDown - kCookToss;
        restart();
        PanflipSavedState s = game->savedState();
        EXPECT_NEAR(s.gameroundDateStart->timeIntervalSince1970, saved.gameroundDateStart->timeIntervalSince1970, 1.1);
        s.gameroundDateStart = saved.gameroundDateStart;
        EXPECT_EQ(s, saved);
        EXPECT_EQ(faceTags(), shown);
        EXPECT_TRUE(stateFileExists());
        EXPECT_TRUE(env.logLines().empty());
        EXPECT_FALSE(game->getIvGamePause()->isHidden());
        expectDimmed(shown, 0.7);
        return saved;
    }
};

}   // namespace

TEST_F(PanflipState, ButtonsInEachRunStateRecordingAndDimming) {
    open();   // idle: dark, only the start, menu and info buttons act, and nothing is saved
    EXPECT_DOUBLE_EQ(game->getBtMenu()->frame().origin.y, game->getBtMenu()->frame().size.height);
    for (const char* key : {"left", "right", "space"}) press(key);
    EXPECT_EQ(game->getState(), 0);
    EXPECT_EQ(game->getTypeGame(), 2);
    EXPECT_TRUE(game->getIvGamePause()->isHidden());
    EXPECT_TRUE(litTags(1, 9999).empty());
    press("escape");
    EXPECT_TRUE(rounds().empty());
    EXPECT_EQ(root.games, std::vector<platform::ViewController*>{game.get()});
    restart();
    EXPECT_FALSE(stateFileExists());
    startAndServe("2");
    env.advance(5);
    press("1");   // game B's round is recorded, game A begins
    ASSERT_EQ(rounds().size(), 1u);
    EXPECT_EQ(std::get<2>(rounds()[0]), 5);
    env.advance(1.9);
    press("space");
    V dimmed = *game->getArDisplayAlfa();
    std::sort(dimmed.begin(), dimmed.end());
    EXPECT_EQ(rounds().size(), 2u);
    EXPECT_EQ(dimmed, litTags(1, 9999));
    EXPECT_EQ(game->getIvGamePause()->alpha(), 1.0);
    expectDimmed(dimmed, 0.7);
    press("space");
    EXPECT_EQ(game->getState(), 1);
    EXPECT_TRUE(game->getIvGamePause()->isHidden());
    EXPECT_FALSE(game->getDisplayAlfa());
    expectDimmed(dimmed, 1.0);
    press("i");
    press("escape");   // info and menu pause a playing round first
    EXPECT_EQ(game->getState(), 2);
    EXPECT_EQ(rounds().size(), 2u);
    EXPECT_FALSE(game->getIvGamePause()->isHidden());
    EXPECT_EQ(root.calls, (std::vector<std::string>{"switchMenuFromGame:", "switchInfoFromGame:Panflip.v1",
                                                    "switchMenuFromGame:"}));
    const double pausedEnd = std::get<1>(rounds()[1]);
    env.advance(30);
    press("2");   // a start from a pause records nothing more and lights the face again
    ASSERT_EQ(rounds().size(), 2u);
    EXPECT_EQ(std::get<1>(rounds()[1]), pausedEnd);
    EXPECT_TRUE(game->getIvGamePause()->isHidden());
    expectDimmed(litTags(1, 9999), 1.0);
    env.advance(2.5);   // the application's end pauses a playing round, saves it, and leaves the sign alone
    platform::NotificationCenter::defaultCenter().postNotificationName(platform::ApplicationWillTerminateNotification);
    EXPECT_EQ(game->getState(), 2);
    EXPECT_TRUE(game->getIvGamePause()->isHidden());
    EXPECT_EQ(rounds().size(), 3u);
    EXPECT_TRUE(stateFileExists());
}

TEST_F(PanflipState, PausedRoundsComeBackAsTheyStoodInEverySequenceAndGoOnInTheSameRecord) {
    open();
    startAndServe();
    ASSERT_EQ(playUntilLoss(0), 0);
    env.advance(0.7);
    pauseAndRestore();   // in the mouse run: the mouse, and the lost item away
    EXPECT_EQ(mouseTags(), V{kMouse + 2});
    EXPECT_EQ(drawnHeight(0), -1);
    press("space");
    at(
        env.now() + 0.6, [] {}, [&] { EXPECT_EQ(mouseTags(), V{kMouse + 3}); });
    env.advance(3.5);   // the rest of the run, the mark and a new round
    for (int n = 0; n < 40; ++n) guardedTick();
    const PanflipSavedState saved = pauseAndRestore();   // in play, with points and a mark
    EXPECT_GT(saved.scores, 0);
    EXPECT_EQ(saved.penalty, 1);
    EXPECT_EQ(game->getDgScores()->getNum(), saved.scores);
    press("space");
    env.advance(3);
    press("space");
    ASSERT_EQ(rounds().size(), 1u);   // the same round goes on
    EXPECT_NEAR(std::get<0>(rounds()[0]), saved.gameroundDateStart->timeIntervalSince1970, 1.1);

    press("2");
    env.advance(0.6);
    pauseAndRestore();   // between new-round steps 2 and 3
    EXPECT_EQ(cookTags(), (V{kCookToss, kCookToss + 1, kCookToss + 2, kCookToss + 3}));
    EXPECT_EQ(litTags(food(0, 0), food(3, 4)), (V{food(0, 1), food(1, 1), food(2, 1), food(3, 1)}));
    press("space");
    env.advance(0.5);
    EXPECT_EQ(cookTags(), V{kCookDown + 1});
    EXPECT_TRUE(game->getTimerTossFood());
    game->set_autoPilot_(true);
    ASSERT_TRUE(ticksUntil([&] { return game->getTimerCookFoodToss() != nullptr; }));
    env.advance(0.1);
    EXPECT_EQ(pauseAndRestore().stepCookFoodToss, 3);   // in a toss, at the throw
}

// A value the game cannot have written refuses the whole file: one log line naming the key, the file deleted,
// and the screen exactly as freshly set up (no new round in the results list either). Another version is
// dropped without a word.
TEST_F(PanflipState, AnImpossibleValueRefusesTheWholeFileAndAnotherVersionIsDropped) {
    using Patch = std::function<void(PanflipSavedState&, platform::KeyedArchiver*)>;   // before and after encoding
    const std::vector<std::pair<std::string, Patch>> cases = {
        {"posHeightFood_2",
         [](auto& s, auto*) {
             s.posHeightFood[2] = 5;
             s.maxHeightFood[2] = 0;
         }},
        {"maxHeightFood_1", [](auto& s, auto*) { s.maxHeightFood[1] = 1; }},
        {"cook.position",
         [](auto& s, auto*) {
             s.typeGame = 1;
             s.itemFood = 0;
             s.cookPosition = 3;
         }},
        {"itemFood",
         [](auto& s, auto*) {
             s.typeGame = 1;
             s.cookPosition = 0;
             s.itemFood = 3;
         }},
        {"state", [](auto& s, auto*) { s.state = 1; }},
        {"penalty", [](auto& s, auto*) { s.penalty = 3; }},
        {"timeGame", [](auto& s, auto*) { s.timeGame = std::nan(""); }},
        {"timeGame", [](auto& s, auto*) { s.timeGame = -0x1p31 - 1; }},
        {"timerStepLifeFood", [](auto& s, auto*) { s.timerStepLifeFood = -INFINITY; }},
        {"intervalCatHogPause", [](auto& s, auto*) { s.intervalCatHogPause = std::nan(""); }},
        {"timerSteal", [](auto& s, auto*) { s.timerSteal = 2; }},
        {"stepNewRound",
         [](auto& s, auto*) {
             s.timerTossFood = 0;
             s.timerNewRound = 1;
             s.stepNewRound = 4;
         }},
        {"intervalNewRoundPause",
         [](auto& s, auto*) {
             s.timerTossFood = 0;
             s.timerNewRound = 1;
             s.stepNewRound = 2;
         }},
        {"intervalCookFoodTossPause",
         [](auto& s, auto*) {
             s.timerCookFoodToss = 1;
             s.stepCookFoodToss = 3;
             s.intervalCookFoodTossPause = 0;
         }},
        {"stepSteal", [](auto& s, auto*) { s.stepSteal = 5; }},
        {"gameround.dateStart", [](auto& s, auto*) { s.gameroundDateStart.reset(); }},
        {"itemFood",
         [](auto&, auto* a) {
             if (a) a->encodeDouble(3.0, "itemFood");
         }},   // a real for an integer
        {"fork.hog",
         [](auto&, auto* a) {
             if (a) a->encodeObject(std::nullopt, "fork.hog");
         }},   // nothing for a boolean
        {"", [](auto& s, auto*) { s.VersionSAVES = 99; }},
    };
    open();
    startAndServe();
    env.advance(1);
    press("space");
    const PanflipSavedState valid = game->savedState();
    open();
    const Look fresh = look();
    for (const auto& [key, patch] : cases) {
        PanflipSavedState s = valid;
        platform::KeyedArchiver a;
        patch(s, nullptr);
        panflip_state::table().encode(s, a);
        patch(s, &a);
        a.finishEncoding();
        ASSERT_TRUE(a.writeToFile(statePath()));
        open();
        EXPECT_EQ(game->getState(), 0) << key;
        EXPECT_EQ(look(), fresh) << key;
        EXPECT_FALSE(stateFileExists()) << key;
        EXPECT_EQ(rounds().size(), 1u) << key;
        ASSERT_EQ(env.logLines().size(), key.empty() ? 0u : 1u) << key;
        if (key.empty()) continue;
        const std::string& line = env.logLines()[0];
        EXPECT_TRUE(line.starts_with("ERROR PanflipViewController:loadStateGame: UnarchiverException: bad archive: "))
            << line;
        EXPECT_NE(line.find("\"" + key + "\""), std::string::npos) << line;
        env.clearLog();
    }
    platform::FileManager::defaultManager().writeToFileAtomically(statePath(),
                                                                  platform::Bytes{'h', 'e', 'l', 'l', 'o'});
    open();
    EXPECT_EQ(look(), fresh);
    EXPECT_FALSE(stateFileExists());
    EXPECT_EQ(env.logLines(),
              std::vector<std::string>{"ERROR PanflipViewController:loadStateGame: UnarchiverException: bad archive"});
}

// The seconds played come from the wall clock: one set back during play leaves them negative, and such a round
// is restored like any other rather than refused and lost.
TEST_F(PanflipState, ARoundPlayedWhileTheClockWentBackIsRestored) {
    open();
    startAndServe();
    env.advance(1);
    press("space");
    PanflipSavedState s = game->savedState();
    s.timeGame = -598.5;
    platform::KeyedArchiver a;
    panflip_state::table().encode(s, a);
    a.finishEncoding();
    ASSERT_TRUE(a.writeToFile(statePath()));
    open();
    EXPECT_EQ(game->getState(), 2);
    EXPECT_EQ(game->savedState().timeGame, -598.5);
    EXPECT_TRUE(env.logLines().empty());
}

// A restored round's file stays until the round goes on: an end of the program whose save fails (a full disk)
// leaves the round on disk as it was restored, with one line and the notice; once resumed, the round cannot come
// back a second time.
TEST_F(PanflipState, ARestoredRoundSurvivesAFailedSaveAndGoesOnlyWhenResumed) {
    open();
    startAndServe();
    env.advance(1);
    press("space");
    restart();
    const PanflipSavedState restored = game->savedState();
    platform::FileFaults::shared().failNth(platform::FileOp::Write, 1, ENOSPC);
    restart();
    EXPECT_EQ(game->getState(), 2);
    EXPECT_EQ(game->savedState().scores, restored.scores);
    ASSERT_EQ(env.logLines().size(), 1u);
    EXPECT_TRUE(env.logLines()[0].starts_with("ERROR PanflipViewController:saveStateGame: ")) << env.logLines()[0];
    EXPECT_EQ(platform::Notices::shared().posted(), std::vector<std::string>{game_face::kRoundNotSavedNotice});
    press("space");
    EXPECT_FALSE(stateFileExists());
    restart();   // resumed and played: saved again at the end
    EXPECT_TRUE(stateFileExists());
}

// A results save that failed is tried again at the next occasion, and the program's end is one: a round recorded
// while the disk was full reaches the file when the program ends paused, once the disk has room again.
TEST_F(PanflipState, AFailedResultsSaveIsDoneAtTheProgramsEnd) {
    open();
    startAndServe();
    env.advance(1);
    platform::FileFaults::shared().failNth(platform::FileOp::Write, 1, ENOSPC);
    press("space");
    EXPECT_TRUE(rounds().empty());
    EXPECT_EQ(platform::Notices::shared().posted(), std::vector<std::string>{VCGamesResult::kNotSavedNotice});
    restart();
    EXPECT_EQ(rounds().size(), 1u);
    EXPECT_EQ(env.logLines().size(), 1u) << "the one line of the failure";
}
