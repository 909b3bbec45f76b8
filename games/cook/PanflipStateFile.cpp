#include "games/cook/PanflipStateFile.h"

#include <string>
#include <vector>

#include "games/cook/PanflipTiming.h"

namespace plumbrick::panflip_state {

namespace {

using game_face::badArchive;
using game_face::checkBool;
using game_face::checkDate;
using game_face::checkFinite;
using game_face::checkOneOf;
using game_face::checkOneOfReal;
using game_face::checkRange;

using S = PanflipSavedState;
using namespace saved_fields;

// The cat's pause: a single-precision draw of min + k * 0.01, widened to double.
void checkCatPause(const char* key, double v, float max) {
    checkFinite(key, v, panflip::kCatAwayMin, max);
    if (static_cast<double>(static_cast<float>(v)) != v)
        badArchive(std::string("\"") + key + "\" is not a drawn pause");
}

// Column c's height: 0..4, and not above its peak while rising.
Field<S> height(const char* key, int c) {
    return {key, Element<S>{&S::posHeightFood, c}, range(0, 4), [c](const S& s, const char* k) {
                const auto i = std::size_t(c);
                if (s.maxHeightFood[i] != 0 && s.posHeightFood[i] > s.maxHeightFood[i])
                    badArchive(std::string("\"") + k + "\" is above its peak");
            }};
}
// Column c's peak: 2..4 while rising, 0 once falling.
Field<S> peak(const char* key, int c) { return {key, Element<S>{&S::maxHeightFood, c}, oneOf({0, 2, 3, 4})}; }

// The rules between the timers, checked once every value has passed its own check.
void checkTimers(const S& s) {
    if (s.timerNewRound + s.timerTossFood + s.timerSteal != 1)
        badArchive("\"timerNewRound\", \"timerTossFood\" and \"timerSteal\" are not exactly one armed");
    if (s.timerCatHog == s.timerSteal)
        badArchive("\"timerCatHog\" is armed together with \"timerSteal\" or neither is");
}

}   // namespace

// The keys in the order they are written, and the values a paused round of this game can have. A round is
// written only while paused, after the pause has held the cook still and dimmed the face; a third mark ends
// the round 1.2 s after it is shown; the score never stays at 999. At every moment of a round exactly one of
// three sequences holds the play: the new-round steps, the food timer, or the mouse run; the fork runs except
// during the mouse run.
const Table<S>& table() {
    static const Table<S> table(
        {
            {"VersionSAVES", &S::VersionSAVES, oneOf({kVersion})},
            {"typeGame", &S::typeGame, range(1, 2)},
            {"state", &S::state, oneOf({2})},
            {"_autoPilot_", &S::_autoPilot_, any()},
            {"flagCookToss", &S::flagCookToss, any(),
             [](const S& s, const char* k) {
                 if (!s.timerCookFoodToss) checkBool(k, s.flagCookToss, false, "without \"timerCookFoodToss\"");
             }},
            {"flagCookMove", &S::flagCookMove, is(false, "in a paused round")},
            {"penalty", &S::penalty, range(0, 3),
             [](const S& s, const char*) {
                 if (s.penalty == 3 && !(s.timerSteal && s.stepSteal == 4))
                     badArchive("\"penalty\" is 3 outside the last step of the mouse run");
             }},
            {"scores", &S::scores, range(0, 998)},
            // Seconds played come from the wall clock, so a clock set back during play leaves them negative.
            {"timeGame", &S::timeGame, finite(-2147483648.0, 2147483648.0)},
            {"timeStartGame", &S::timeStartGame, finite(0.0, 1e12)},
            {"intervalNewRoundPause", &S::intervalNewRoundPause, any(),
             [](const S& s, const char* k) {
                 if (!s.timerNewRound) return checkOneOfReal(k, s.intervalNewRoundPause, {0.0});
                 checkOneOfReal(k, s.intervalNewRoundPause,
                                {s.stepNewRound == 2 ? panflip::kNewRoundShowDown : panflip::kNewRoundShowUp});
             }},
            {"intervalCookFoodTossPause", &S::intervalCookFoodTossPause,
             oneOfReal({0.0, panflip::kTossCatch, panflip::kTossThrow}),
             [](const S& s, const char* k) {
                 if (s.timerCookFoodToss)
                     checkOneOfReal(k, s.intervalCookFoodTossPause,
                                    {s.stepCookFoodToss == 2 ? panflip::kTossCatch : panflip::kTossThrow});
             }},
            // The food timer's speed: set by the formula at the score whose tenth is oldScoresChangeSpeed.
            {"timerStepLifeFood", &S::timerStepLifeFood, any(),
             [](const S& s, const char* k) {
                 const int q = s.oldScoresChangeSpeed;
                 if (q == 0) return checkOneOfReal(k, s.timerStepLifeFood, {panflip::kFoodStart});
                 const double fastest = panflip::foodInterval(10 * q + 9), slowest = panflip::foodInterval(10 * q);
                 if (!(s.timerStepLifeFood >= fastest && s.timerStepLifeFood <= slowest))
                     badArchive("\"" + std::string(k) + "\" is not the speed set at " + std::to_string(10 * q) +
                                " to " + std::to_string(10 * q + 9) + " points");
             }},
            {"intervalSrealPause", &S::intervalSrealPause,
             oneOfReal({0.0, panflip::kStealGone, panflip::kStealStep, panflip::kStealStand, panflip::kStealMark})},
            {"intervalCatHogPause", &S::intervalCatHogPause, any(),
             [](const S& s, const char* k) {
                 checkCatPause(k, s.intervalCatHogPause,
                               s.stepCatHog == 2 ? panflip::kCatAwayMax : panflip::kCatOutMax);
             }},
            {"stepNewRound", &S::stepNewRound, range(1, 3),
             [](const S& s, const char* k) {
                 if (s.timerNewRound) return checkRange(k, s.stepNewRound, 2, 3);
                 checkOneOf(k, s.stepNewRound, {1});
             }},
            {"stepCookFoodToss", &S::stepCookFoodToss, range(1, 3),
             [](const S& s, const char* k) {
                 if (s.timerCookFoodToss) checkRange(k, s.stepCookFoodToss, 2, 3);
             }},
            {"stepSteal", &S::stepSteal, range(0, 4),
             [](const S& s, const char* k) { checkRange(k, s.stepSteal, s.timerSteal ? 1 : 0, 4); }},
            {"stepCatHog", &S::stepCatHog, range(1, 2)},
            {"oldScoresChangeSpeed", &S::oldScoresChangeSpeed, range(0, 998 / 10)},
            {"itemFood", &S::itemFood, any(),
             [](const S& s, const char* k) {
                 checkRange(k, s.itemFood, 0, s.timerNewRound ? 3 : s.countWorkCooks() - 1);
             }},
            {"posStealFood", &S::posStealFood, range(0, 4)},
            height("posHeightFood_0", 0),
            height("posHeightFood_1", 1),
            height("posHeightFood_2", 2),
            height("posHeightFood_3", 3),
            peak("maxHeightFood_0", 0),
            peak("maxHeightFood_1", 1),
            peak("maxHeightFood_2", 2),
            peak("maxHeightFood_3", 3),
            // The fork: out exactly between its steps 2 and 1; withdrawn while the mouse runs.
            {"fork.hog", &S::forkHog, any(),
             [](const S& s, const char* k) {
                 checkBool(k, s.forkHog, s.timerCatHog != 0 && s.stepCatHog == 1, "for the fork's step");
             }},
            {"cook.position", &S::cookPosition, any(),
             [](const S& s, const char* k) { checkRange(k, s.cookPosition, 0, s.countWorkCooks() - 1); }},
            {"timerNewRound", &S::timerNewRound, range(0, 1)},
            {"timerCookFoodToss", &S::timerCookFoodToss, range(0, 1)},
            {"timerTossFood", &S::timerTossFood, range(0, 1)},
            {"timerSteal", &S::timerSteal, range(0, 1)},
            {"timerCatHog", &S::timerCatHog, range(0, 1)},
            {"gameround.dateStart", &S::gameroundDateStart, date()},
            {"displayAlfa", &S::displayAlfa, is(true, "in a paused round")},
        },
        "VersionSAVES", kVersion, checkTimers);
    return table;
}

}   // namespace plumbrick::panflip_state
