// The egg round on the real face: an egg's segments, sounds and score digit, the game timer, and the buttons
// in every state with the root controller's requests, dimming and the pause sign.

#include <string>

#include "yolkfall_fixture.h"

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
    ASSERT_EQ(base, YolkfallRound::eggTag(deck, 0)) << "on its deck's first segment";
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

TEST_F(Round, ButtonsInEveryStateWithTheGameTimerTheRootsRequestsDimmingAndRecording) {
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
        EXPECT_EQ(game->getCycleSuperVisor() != nullptr, s.state == kPlaying) << "one game timer, while it plays";
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

}   // namespace
}   // namespace plumbrick::testing
