// The paused round that survives the application's end: what is written, what comes back, and
// state files that are damaged, foreign or hostile (read whole and checked before anything is applied).

#include <plist/plist.h>

#include <cmath>
#include <functional>
#include <map>
#include <sstream>

#include "games/egg/YolkfallStateFile.h"
#include "platform/Application.h"
#include "test_yolkfall_support.h"

namespace plumbrick::testing {
namespace {

// A paused round of game A as the game writes it, with one key of the archive replaced by a libplist
// node (kind 'u' integer, 'b' boolean, 'r' real) or left out ('-'), which our own archiver never writes;
// or plain text (kind 't').
platform::Bytes archive(const std::string& key = "", char kind = 0, double v = 0) {
    const std::string text = "not an archive at all\n";
    if (kind == 't') return platform::Bytes(text.begin(), text.end());
    platform::KeyedArchiver archiver;
    YolkfallSavedState round;
    round.typeGame = 1;
    round.state = 2;
    round.penalty = 3;
    round.scores = 57;
    round.countEggToDeckMAX = 5;
    round.itemDeck = 2;
    round.SpeedEgg = 28;
    round.timePauseChangePositionEgg = 12;
    round.timeNextUpSpeedPause = 7;
    round.oldScoresChangeSpeed = 10;
    round.timeGame = 83.5;
    round.timeStartGame = 1e9 + 10;
    round.wolfPosBasket = 2;
    round.harePosition = 2;
    round.hareVisible = 1;
    round.gameroundDateStart = platform::Date{1e9};
    yolkfall_state::table().encode(round, archiver);
    archiver.finishEncoding();
    plist_t root = nullptr;
    plist_from_bin(reinterpret_cast<const char*>(archiver.data().data()), uint32_t(archiver.data().size()), &root);
    plist_t top = plist_dict_get_item(root, "$top");
    if (kind == '-') plist_dict_remove_item(top, key.c_str());
    if (kind == 'u') plist_dict_set_item(top, key.c_str(), plist_new_uint(uint64_t(std::int64_t(v))));
    if (kind == 'b') plist_dict_set_item(top, key.c_str(), plist_new_bool(v != 0));
    if (kind == 'r') plist_dict_set_item(top, key.c_str(), plist_new_real(v));
    char* data = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &data, &length);
    platform::Bytes out(data, data + length);
    free(data);
    plist_free(root);
    return out;
}

class State : public YolkfallFixture {
protected:
    void terminate() { platform::Application::sharedApplication().terminate(); }
    auto counts() const {
        return std::tuple(game->getScores(), game->getDgScores()->getNum(), game->getPenalty(), game->getSpeedEgg(),
                          game->getTimePauseChangePositionEgg());
    }
    // Everything the screen shows and what the controller holds beyond it.
    std::string snapshot() const {
        std::ostringstream s;
        std::function<void(const platform::View&)> walk = [&](const platform::View& v) {
            s << v.tag() << (v.isHidden() ? 'h' : 'v') << v.alpha() << ';';
            for (const auto& sub : v.subviews()) walk(*sub);
        };
        walk(*face);
        const auto& g = *game;
        const auto* results = g.getGameResult();
        s << g.getState() << g.getTypeGame() << ',' << g.getScores() << ',' << g.getPenalty() << ',' << g.getSpeedEgg()
          << g.getCountEggToDeckMAX() << g.getItemDeck() << g.getFlagWolf() << g.getHare()->getTimeState() << ','
          << g.getTimeGame() << (results->getGameround() != nullptr) << results->getArGamesResult()->size();
        return s.str();
    }
};

TEST_F(State, EndingWhilePlayingWritesThe19KeysAndTheRoundComesBackPausedInTheSameResultsPack) {
    openAndStart(true);
    ASSERT_TRUE(tickUntil([&] { return game->getScores() >= 12; }));
    ASSERT_TRUE(missAnEgg(true));
    press("l");
    const auto kept = counts();
    terminate();
    EXPECT_EQ(game->getState(), kPaused);

    auto bytes = files().dataWithContentsOfFile(statePath());
    ASSERT_TRUE(bytes);
    plist_t root = nullptr;
    plist_from_bin(reinterpret_cast<const char*>(bytes->data()), uint32_t(bytes->size()), &root);
    plist_t top = root ? plist_dict_get_item(root, "$top") : nullptr;
    ASSERT_NE(top, nullptr);
    const plist_type U = PLIST_UINT, B = PLIST_BOOLEAN, R = PLIST_REAL;
    const std::map<std::string, plist_type> types = {{"VersionSAVES", U},
                                                     {"typeGame", U},
                                                     {"state", U},
                                                     {"flagWolf", B},
                                                     {"penalty", U},
                                                     {"scores", U},
                                                     {"countEggToDeckMAX", U},
                                                     {"itemDeck", U},
                                                     {"SpeedEgg", U},
                                                     {"timePauseChangePositionEgg", U},
                                                     {"timeNextUpSpeedPause", U},
                                                     {"oldScoresChangeSpeed", U},
                                                     {"timeGame", R},
                                                     {"timeStartGame", R},
                                                     {"wolf.posBasket", U},
                                                     {"hare.position", U},
                                                     {"hare.visible", U},
                                                     {"gameround.dateStart", PLIST_UID},
                                                     {"displayAlfa", B}};
    EXPECT_EQ(plist_dict_get_size(top), 19u);
    for (const auto& [key, type] : types) {
        plist_t node = plist_dict_get_item(top, key.c_str());
        ASSERT_NE(node, nullptr) << key;
        EXPECT_EQ(plist_get_node_type(node), type) << key;
    }
    plist_free(root);

    open();   // a new screen on the same documents folder; the file stays until the round goes on
    EXPECT_TRUE(exists(statePath()));
    EXPECT_EQ(game->getState(), kPaused);
    EXPECT_TRUE(game->getDisplayAlfa());
    EXPECT_FALSE(game->getIvGamePause()->isHidden());
    EXPECT_TRUE(lit(kDigit));
    for (int t : {kBasket + 2, kMark}) {
        EXPECT_TRUE(lit(t)) << t;
        EXPECT_EQ(face->viewWithTag(t)->alpha(), 0.7) << t;
    }
    EXPECT_EQ(counts(), kept);
    EXPECT_TRUE(litEggTags().empty());
    EXPECT_EQ(eggCount(), 0);
    press("space");
    EXPECT_FALSE(exists(statePath())) << "resumed, the round cannot come back a second time";
    EXPECT_FALSE(game->getDisplayAlfa());
    ticks(200);
    press("space");
    EXPECT_EQ(recorded().size(), 1u) << "the same round, not a new one";
    EXPECT_GE(recorded().at(0), std::get<0>(kept));
}

TEST_F(State, IdleAndLostRoundsWriteNothing) {
    open();
    terminate();
    EXPECT_FALSE(exists(statePath()));
    platform::Application::sharedApplication().reset();
    press("2");
    for (int miss = 1; miss <= 3; ++miss) ASSERT_TRUE(missAnEgg(miss < 3));
    terminate();   // the chick of the losing miss is still on the face
    EXPECT_EQ(game->getState(), kIdle);
    EXPECT_FALSE(exists(statePath()));
}

TEST_F(State, BadFilesRestoreNothingAndAreDeleted) {
    open();
    const std::string fresh = snapshot();
    // "hare.visible" 0 with the ringing pose is named by "hare.position": a ringing pose needs the hare out.
    struct {
        const char* key;
        char kind;
        double v = 0;
        const char* named = nullptr;
    } const faults[] = {{"VersionSAVES", 'u', 99},   // another version: restores nothing and logs nothing
                        {"typeGame", 'u', 0},
                        {"typeGame", 'u', 3},
                        {"state", 'u', 1},
                        {"state", 'u', 0},
                        {"flagWolf", 'b', 1},
                        {"penalty", 'u', -1},
                        {"penalty", 'u', 6},
                        {"penalty", 'u', 0x1p40},
                        {"scores", 'u', 999},
                        {"scores", 'u', 0x1p32 + 5},
                        {"countEggToDeckMAX", 'u', 0},
                        {"countEggToDeckMAX", 'u', 7},
                        {"countEggToDeckMAX", 'u', 6},   // more eggs than the score so far allows
                        {"itemDeck", 'u', -1},
                        {"itemDeck", 'u', 4},
                        {"SpeedEgg", 'u', 14},
                        {"SpeedEgg", 'u', 30},
                        {"timePauseChangePositionEgg", 'u', 0},
                        {"timePauseChangePositionEgg", 'u', 31},
                        {"timeNextUpSpeedPause", 'u', -5},
                        {"oldScoresChangeSpeed", 'u', 200},
                        {"timeGame", 'r', NAN},
                        {"timeGame", 'r', -0x1p31 - 1},
                        {"timeGame", 'r', 1e300},
                        {"timeStartGame", 'r', HUGE_VAL},
                        {"wolf.posBasket", 'u', 4},
                        {"hare.visible", 'u', 2},
                        {"hare.position", 'u', 3},
                        {"hare.visible", 'u', 0, "hare.position"},
                        {"displayAlfa", 'b', 0},
                        {"penalty", 'r', 2},
                        {"scores", 'b', 1},
                        {"timeGame", 'u', 80},
                        {"itemDeck", '-'},
                        {"gameround.dateStart", '-'},
                        {"gameround.dateStart", 'r', 5},
                        {"displayAlfa", '-'},
                        {"", 't'}};
    for (const auto& f : faults) {
        SCOPED_TRACE(std::string(f.key) + " " + f.kind + " " + std::to_string(f.v));
        env.clearLog();
        ASSERT_TRUE(files().writeToFileAtomically(statePath(), archive(f.key, f.kind, f.v)));
        open();
        EXPECT_EQ(snapshot(), fresh);
        EXPECT_FALSE(exists(statePath()));
        if (f.key == std::string("VersionSAVES")) {
            EXPECT_TRUE(env.logLines().empty());
            continue;
        }
        ASSERT_EQ(env.logLines().size(), 1u);
        const std::string& line = env.logLines()[0];
        EXPECT_EQ(line.rfind("ERROR YolkfallViewController:loadStateGame: UnarchiverException: bad archive", 0), 0u)
            << line;
        const std::string named = f.kind == 't' ? "" : "\"" + std::string(f.named ? f.named : f.key) + "\"";
        EXPECT_NE(line.find(named), std::string::npos) << line;
    }
    env.clearLog();
    // The archive itself is restored, also with the negative seconds played of a clock set back during play.
    files().writeToFileAtomically(statePath(), archive("timeGame", 'r', -598.5));
    open();
    EXPECT_EQ(game->getState(), kPaused);
    EXPECT_EQ(std::pair(game->getScores(), game->getTimeGame()), std::pair(57, -598.5));
    EXPECT_TRUE(env.logLines().empty());
}

TEST_F(State, EachGameIdKeepsItsOwnResultsAndStateFile) {
    openAndStart();
    auto first = std::move(game);
    open("Antlerby.v1", "AntlerbyViewController");
    press("2");
    ticks(60);
    terminate();   // both write their own state file and record their own round
    EXPECT_TRUE(exists(statePath()));
    EXPECT_TRUE(exists(statePath("Antlerby.v1")));
    EXPECT_EQ(recorded().size(), 1u);
    EXPECT_EQ(recorded(3, "Antlerby.v1").size(), 1u);
    first.reset();
    platform::Application::sharedApplication().reset();
    open();   // only this game's file is read, and removed when its round goes on
    EXPECT_EQ(game->getState(), kPaused);
    EXPECT_TRUE(exists(statePath("Antlerby.v1")));
    press("2");
    EXPECT_FALSE(exists(statePath()));
    EXPECT_TRUE(exists(statePath("Antlerby.v1")));
}

TEST_F(State, AnHourOfAutomaticPlayMissesNothingAndEveryMinutesPausedRoundPassesTheChecks) {
    openAndStart(true);
    for (int second = 1; second <= 3600; ++second) {
        env.advance(1.0);
        ASSERT_EQ(game->getChick(), nullptr) << "a miss at second " << second;
        ASSERT_EQ(game->getPenalty(), 0) << "a miss at second " << second;
        ASSERT_EQ(env.countPlays("yolkfall_06"), 0) << "a miss at second " << second;
        if (second % 60) continue;
        env.clearSounds();   // keeps the recording small
        press("space");
        platform::KeyedArchiver archiver;
        game->encodeWithCoder(archiver);
        archiver.finishEncoding();
        EXPECT_NO_THROW(EXPECT_TRUE(yolkfall_state::table().decodeBytes(archiver.data())) << second) << second;
        press("space");
    }
    EXPECT_EQ(std::pair(game->getCountEggToDeckMAX(), game->getSpeedEgg()), std::pair(6, 15));
    EXPECT_GE(recorded().at(0), 999);   // the score went round at least once
}

TEST_F(State, ARefusedFileLeavesTheScreenReadyForANewRound) {
    ASSERT_TRUE(files().writeToFileAtomically(statePath(), archive("", 't', 0)));
    open();
    ticks(80);   // the face settles
    press("1");
    ticks(4);
    EXPECT_EQ(game->getState(), kPlaying);
}

}   // namespace
}   // namespace plumbrick::testing
