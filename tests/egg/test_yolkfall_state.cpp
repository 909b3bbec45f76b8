// The paused round that survives the application's end: what is written, what comes back, and
// state files that are damaged, foreign or hostile (read whole and checked before anything is applied).

#include <plist/plist.h>

#include <cmath>
#include <functional>
#include <sstream>

#include "games/egg/YolkfallStateFile.h"
#include "platform/Application.h"
#include "platform/Notification.h"
#include "tests/support/golden.h"
#include "yolkfall_fixture.h"

namespace plumbrick::testing {
namespace {

// A paused round as the game writes it (a golden file, the hare set out in its ringing pose), with one key of
// the archive replaced by a libplist node (kind 'u' integer, 'r' real) or left out ('-'), which our
// own archiver never writes.
platform::Bytes archive(const std::string& key, char kind, double v = 0) {
    auto round = yolkfall_state::table().decodeBytes(readGolden("b_scored.state").value()).value();
    round.harePosition = 2;
    round.hareVisible = 1;
    platform::KeyedArchiver archiver;
    yolkfall_state::table().encode(round, archiver);
    archiver.finishEncoding();
    plist_t root = nullptr;
    plist_from_bin(reinterpret_cast<const char*>(archiver.data().data()), uint32_t(archiver.data().size()), &root);
    plist_t top = plist_dict_get_item(root, "$top");
    if (kind == '-') plist_dict_remove_item(top, key.c_str());
    if (kind == 'u') plist_dict_set_item(top, key.c_str(), plist_new_uint(uint64_t(std::int64_t(v))));
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
    // The occasion a backend that can end without notice gives at every pass of its loop.
    static void checkpoint() {
        platform::NotificationCenter::defaultCenter().postNotificationName(platform::ApplicationCheckpointNotification);
    }
    // Ticks with a checkpoint occasion after each, until `pred` holds.
    template <class Pred> bool playUntil(Pred pred) {
        return tickUntil([&] {
            checkpoint();
            return pred();
        });
    }
    static platform::Bytes stateBytes() {
        return files().dataWithContentsOfFile(statePath()).value_or(platform::Bytes{});
    }
    // Everything the screen shows and what the controller holds beyond it.
    std::string snapshot() const {
        std::ostringstream s;
        std::function<void(const platform::View&)> walk = [&](const platform::View& v) {
            s << v.tag() << (v.isHidden() ? 'h' : 'v') << v.alpha() << ';';
            for (const auto& sub : v.subviews()) walk(*sub);
        };
        walk(*face);
        const auto& r = game->getRound().saved();
        const auto* results = game->getGameResult();
        s << r.state << r.typeGame << ',' << r.scores << ',' << r.penalty << ',' << r.SpeedEgg << r.countEggToDeckMAX
          << r.itemDeck << r.flagWolf << r.hareVisible << ',' << r.timeGame << (results->getGameround() != nullptr)
          << results->getArGamesResult()->size();
        return s.str();
    }
};

// Another version, plain text, a penalty out of range or of the wrong kind are the seeds the state file's fuzz
// target replays (each refused as here, or dropped without a line); these are the game's own rules.
TEST_F(State, BadFilesRestoreNothingAndAreDeleted) {
    open();
    const std::string fresh = snapshot();
    // "hare.visible" 0 with the ringing pose is named by "hare.position": a ringing pose needs the hare out.
    struct {
        const char* key;
        char kind;
        double v = 0;
        const char* named = nullptr;
    } const faults[] = {{"scores", 'u', 0x1p32 + 5},     // in range only when cut to 32 bits
                        {"timeGame", 'r', NAN},          // not a number
                        {"countEggToDeckMAX", 'u', 6},   // more eggs than the score so far allows
                        {"hare.visible", 'u', 0, "hare.position"},
                        {"itemDeck", '-'}};   // missing
    for (const auto& f : faults) {
        SCOPED_TRACE(std::string(f.key) + " " + f.kind + " " + std::to_string(f.v));
        env.clearLog();
        ASSERT_TRUE(files().writeToFileAtomically(statePath(), archive(f.key, f.kind, f.v)));
        open();
        EXPECT_EQ(snapshot(), fresh);
        EXPECT_FALSE(exists(statePath()));
        ASSERT_EQ(env.logLines().size(), 1u);
        const std::string& line = env.logLines()[0];
        EXPECT_EQ(line.rfind("ERROR YolkfallViewController:loadStateGame: UnarchiverException: bad archive", 0), 0u)
            << line;
        EXPECT_NE(line.find("\"" + std::string(f.named ? f.named : f.key) + "\""), std::string::npos) << line;
    }
    env.clearLog();
    // The archive itself is restored, also with the negative seconds played of a clock set back during play.
    files().writeToFileAtomically(statePath(), archive("timeGame", 'r', -598.5));
    open();
    EXPECT_EQ(game->getState(), kPaused);
    EXPECT_EQ(game->getTimeGame(), -598.5);
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

// A checkpoint writes the very file the pause would write at that moment, and the round plays on.
TEST_F(State, ACheckpointIsTheFileThePauseWritesAndTheRoundPlaysOn) {
    openAndStart(true);
    ASSERT_TRUE(tickUntil([&] { return game->getScores() >= 12; }));
    checkpoint();
    const platform::Bytes written = stateBytes();
    EXPECT_EQ(game->getState(), kPlaying);
    terminate();
    EXPECT_EQ(written, stateBytes());
}

// A program ended without notice (no will-terminate) brings the round back paused from its last checkpoint,
// at most one interval older, and goes on in the same results pack. A program ended with notice writes the same
// file (ACheckpointIsTheFileThePauseWrites...), and each golden file comes back paused and kept until it goes on.
TEST_F(State, AProgramEndedWithoutNoticeBringsTheRoundBackFromItsLastCheckpoint) {
    openAndStart(true);
    const double start = env.now();
    ASSERT_TRUE(playUntil([&] { return env.now() - start >= 11.3; }));
    const int scores = game->getScores();
    open();
    EXPECT_EQ(game->getState(), kPaused);
    EXPECT_FALSE(game->getIvGamePause()->isHidden());
    EXPECT_GE(game->getTimeGame(), 11.3 - game_face::kCheckpointInterval);
    EXPECT_LE(game->getScores(), scores);
    press("space");
    EXPECT_FALSE(exists(statePath())) << "resumed, the round cannot come back a second time";
    ticks(40);
    press("space");
    EXPECT_EQ(recorded().size(), 1u) << "the same round, not a new one";
}

// A round that ends, is lost with its chick still on the face at the end of the program, or gives way to a
// new round leaves no checkpoint that could bring it back.
TEST_F(State, AnEndedLostOrReplacedRoundLeavesNoCheckpointBehind) {
    open();
    press("2");
    checkpoint();
    press("1");
    EXPECT_FALSE(exists(statePath())) << "replaced by a new round";
    for (int miss = 1; miss <= 3; ++miss) {
        checkpoint();
        ASSERT_TRUE(missAnEgg(miss < 3));
    }
    checkpoint();
    terminate();   // the chick of the losing miss is still on the face
    EXPECT_FALSE(exists(statePath())) << "lost with the chick on the face";
    platform::Application::sharedApplication().reset();
    open();
    press("2");
    for (int miss = 1; miss <= 3; ++miss) {
        checkpoint();
        ASSERT_TRUE(missAnEgg(true));
    }
    EXPECT_EQ(game->getState(), kIdle);
    EXPECT_EQ(game->getCycleSuperVisor(), nullptr) << "no game timer after the round";
    EXPECT_FALSE(exists(statePath())) << "ended";
}

}   // namespace
}   // namespace plumbrick::testing
