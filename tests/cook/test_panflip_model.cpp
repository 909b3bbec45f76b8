// The cook round's rules on the model alone: a fixed clock, fixed draws, and the effects it tells its screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>

#include "games/cook/PanflipRound.h"

using namespace plumbrick;
using namespace plumbrick::panflip;

namespace {

// The peaks in turn, and the fork's pauses as short as they can be.
struct FixedDraws : Random {
    std::vector<int> peaks{2};
    std::size_t drawn = 0;
    int maxPositionFood() override { return peaks[drawn++ % peaks.size()]; }
    float pauseCat(float min, float) override { return min; }
};

class CookRound : public ::testing::Test {
protected:
    double now = 1000;
    FixedDraws* draws = nullptr;
    std::map<int, bool> lit;                           // segments by tag, as last shown or hidden
    std::map<Sequence, std::pair<double, bool>> due;   // the running sequences: interval and repeats
    std::vector<Sound> sounds;
    std::optional<Recorded> recorded;   // the last round recorded
    bool ended = false;
    PanflipRound round{[this](const Effect& e) { apply(e); }, [this] { return now; }, makeDraws()};

    std::unique_ptr<Random> makeDraws() {
        auto d = std::make_unique<FixedDraws>();
        draws = d.get();
        return d;
    }
    void apply(const Effect& e) {
        if (const auto* s = std::get_if<Segment>(&e)) lit[s->tag] = s->visible;
        if (const auto* a = std::get_if<Arm>(&e)) due[a->sequence] = {a->interval, a->repeats};
        if (const auto* s = std::get_if<Stop>(&e)) due.erase(s->sequence);
        if (const auto* p = std::get_if<PlaySound>(&e)) sounds.push_back(p->sound);
        if (const auto* r = std::get_if<Recorded>(&e)) recorded = *r;
        ended = ended || std::holds_alternative<Ended>(e);
    }
    const PanflipSavedState& s() const { return round.state(); }
    std::optional<double> interval(Sequence q) const {
        return due.contains(q) ? std::optional(due.at(q).first) : std::nullopt;
    }
    void tick(Sequence q) {
        ASSERT_TRUE(due.contains(q));
        round.tick(q);
    }
    // Game B served: every item thrown from its pan, the food steps running.
    void serve() {
        round.setUp();
        round.startGame();
        tick(Sequence::NewRound);
        tick(Sequence::NewRound);
    }
    void turns(int n) {   // n food steps of every column
        for (int k = 0; k < 4 * n && !HasFatalFailure(); ++k) tick(Sequence::Food);
    }
    // Game B served and played on until column 2, having waited in its pan for a turn, is lost.
    void serveAndLose() {
        serve();
        turns(3);
        tick(Sequence::Food);
        tick(Sequence::Food);
    }
    int drawnHeight(int column) {   // -1: not drawn
        for (int h = 0; h < 5; ++h)
            if (lit[foodTag(column, h)]) return h;
        return -1;
    }
    int marks() { return int(lit[kMarkTag]) + int(lit[kMarkTag + 1]) + int(lit[kMarkTag + 2]); }
    bool played(Sound sound) const { return std::find(sounds.begin(), sounds.end(), sound) != sounds.end(); }
};

}   // namespace

TEST_F(CookRound, AnItemRisesToItsPeakFallsAndIsCaughtWithATossUnderTheCook) {
    draws->peaks = {4, 3, 4, 4};   // columns 0 to 3
    serve();
    EXPECT_TRUE(played(Sound::Toss)) << "the serve throws every item from its pan";
    std::vector<int> heights;   // column 1, where the cook stands, steps first
    for (int turn = 0; turn < 5; ++turn, turns(1)) heights.push_back(drawnHeight(1));
    EXPECT_EQ(heights, (std::vector<int>{1, 2, 3, 2, 1}));
    EXPECT_EQ(drawnHeight(1), 0);
    EXPECT_EQ(s().scores, 1);
    EXPECT_TRUE(played(Sound::Entrap));
    EXPECT_EQ(interval(Sequence::CookToss), 0.08);
    round.press(Control::Right);   // ignored during the catch and the throw
    EXPECT_EQ(s().cookPosition, 1);
    tick(Sequence::CookToss);
    EXPECT_TRUE(lit[kCookTossTag + 1]);
    EXPECT_EQ(drawnHeight(1), 1);
    EXPECT_EQ(interval(Sequence::CookToss), 0.2);
    round.press(Control::Left);   // while the pan only waits to come down, a move cuts the toss short
    EXPECT_TRUE(lit[kCookDownTag]);
    EXPECT_FALSE(due.contains(Sequence::CookToss));
}

TEST_F(CookRound, AnItemWaitsInThePanForOneTurnAndAMoveThereCatchesIt) {
    serve();
    turns(2);
    tick(Sequence::Food);
    tick(Sequence::Food);   // column 2 has come down beside the cook
    EXPECT_EQ(drawnHeight(2), 0);
    EXPECT_EQ(s().scores, 1);   // column 1, under the cook
    tick(Sequence::CookToss);
    tick(Sequence::CookToss);
    round.press(Control::Right);
    EXPECT_EQ(s().scores, 2);
}

// The interval after the food step that sees a new tenth of the score: (700 - score) * 0.1516 / 700 + 0.165.
TEST_F(CookRound, TheFoodSpeedFollowsTheScoreSeenAtEachStepAndHoldsAfterTheWrap) {
    serve();
    const std::pair<int, double> cases[] = {
        {9, 0.3166},  {10, 0.31443428571428567}, {20, 0.31226857142857145}, {500, 0.20831428571428573},
        {700, 0.165}, {990, 0.10219428571428572}};
    for (const auto& [scores, expected] : cases) {
        round.setScores(scores);
        tick(Sequence::Food);
        EXPECT_DOUBLE_EQ(interval(Sequence::Food).value(), expected) << scores;
    }
    round.setScores(998);
    tick(Sequence::Food);
    round.setScores(999);   // recorded, and shown as 0
    tick(Sequence::Food);
    EXPECT_DOUBLE_EQ(interval(Sequence::Food).value(), 0.10219428571428572);
}

TEST_F(CookRound, MarksAreClearedAt200And500PointsAndTheRoundIsRecordedAt999) {
    serve();
    for (int scores : {199, 200, 201, 499, 500}) {
        round.setPenalty(2);
        round.setScores(scores);
        EXPECT_EQ(marks(), scores % 100 ? 2 : 0) << scores;
    }
    round.setPenalty(1);
    now += 30.5;
    round.setScores(999);
    const auto& record = recorded;
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->scores, 999);
    EXPECT_EQ(record->penalty, 1);
    EXPECT_EQ(record->time, 0);   // the seconds before the stretch under way
    EXPECT_EQ(s().scores, 0);
}

// A loss stops the play; the mouse stands 0.6 s under the column, steps right every 0.2 s to its last place,
// waits 0.6 s more and goes; 0.01 s later the mark shows, and 1.2 s after that a new round begins.
TEST_F(CookRound, ALostItemSendsTheMouseCostsAMarkAndANewRoundFollows) {
    serveAndLose();
    EXPECT_TRUE(played(Sound::Stealing));
    EXPECT_EQ(drawnHeight(2), -1);
    EXPECT_TRUE(lit[kMouseTag + 3]);
    EXPECT_FALSE(lit[kMouseTag]);
    EXPECT_FALSE(due.contains(Sequence::Food));
    EXPECT_FALSE(due.contains(Sequence::CatHog));
    round.press(Control::Left);   // the cook is held still
    EXPECT_EQ(s().cookPosition, 1);
    std::vector<std::optional<double>> steps{interval(Sequence::Steal)};
    for (int k = 0; k < 5; ++k, steps.push_back(interval(Sequence::Steal))) tick(Sequence::Steal);
    EXPECT_EQ(steps, (std::vector<std::optional<double>>{0.6, 0.2, 0.2, 0.6, 0.01, 1.2}));
    EXPECT_FALSE(lit[kMouseTag + 5]);
    EXPECT_EQ(marks(), 1);
    tick(Sequence::Steal);
    EXPECT_TRUE(lit[kMouseTag]);
    EXPECT_EQ(interval(Sequence::NewRound), 0.4);
    EXPECT_EQ(s().state, PanflipRound::kPlaying);
}

TEST_F(CookRound, TheThirdMarkEndsTheRoundAndRecordsIt) {
    serveAndLose();
    round.setPenalty(2);
    now += 12;
    for (int k = 0; k < 6; ++k) tick(Sequence::Steal);
    EXPECT_EQ(s().state, PanflipRound::kIdle);
    EXPECT_TRUE(due.empty());
    EXPECT_TRUE(ended);
    EXPECT_TRUE(played(Sound::EndGame));
    const auto& record = recorded;
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->time, 12);
    EXPECT_EQ(record->penalty, 3);
}

TEST_F(CookRound, TheForkHoldsColumnZeroAtHeightTwoWhileOtherColumnsPassIt) {
    draws->peaks = {4};
    serve();
    turns(1);
    tick(Sequence::CatHog);
    EXPECT_TRUE(lit[kForkTag]);
    EXPECT_EQ(interval(Sequence::CatHog), 3.0);
    turns(2);
    EXPECT_EQ(drawnHeight(1), 4);
    EXPECT_EQ(drawnHeight(0), 2);
    EXPECT_EQ(s().maxHeightFood[0], 0);
    tick(Sequence::CatHog);
    EXPECT_FALSE(lit[kForkTag]);
    turns(1);
    EXPECT_EQ(drawnHeight(0), 1);
}

// A pause holds each running sequence as a mark; a resume arms exactly those again with the whole interval
// of their step (the mouse run with 0.6 s).
TEST_F(CookRound, APauseHoldsEverySequenceAndAResumeArmsItWithItsWholeInterval) {
    serve();
    turns(2);
    tick(Sequence::Food);   // a catch
    round.pauseGame();
    EXPECT_TRUE(due.empty());
    EXPECT_TRUE(round.isArmed(Sequence::CookToss));
    EXPECT_TRUE(s().displayAlfa);
    round.press(Control::Left);
    EXPECT_EQ(s().cookPosition, 1);
    now += 5;
    round.playGame();
    EXPECT_EQ(s().timeGame, 0);
    EXPECT_EQ(s().timeStartGame, 1005);
    EXPECT_EQ(interval(Sequence::CookToss), 0.08);
    EXPECT_EQ(due.at(Sequence::Food), std::pair(0.3166, true));
    EXPECT_EQ(interval(Sequence::CatHog), 3.0);
    EXPECT_FALSE(s().displayAlfa);
    turns(1);
    tick(Sequence::Food);   // the mouse run
    round.pauseGame();
    EXPECT_EQ(s().timeGame, 0);
    round.playGame();
    EXPECT_EQ(interval(Sequence::Steal), 0.6);
    EXPECT_TRUE(s().flagCookMove);   // a resume lets the cook move again, even in the run
}
