#include "games/egg/YolkfallStateFile.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace plumbrick::yolkfall_state {

using game_face::checkRange;

int maxEggsForQuotient(int q) {
    if (q >= 50) return 6;
    if (q >= 10) return 5;
    if (q >= 4) return 4;
    if (q >= 2) return 3;
    if (q >= 1) return 2;
    return 1;
}

std::pair<int, int> speedRangeForQuotient(int q) {
    if (q <= 0) return {30, 30};
    const auto speedAt = [](int scores) { return (600 - scores) / 40 + 15; };
    const int lo = 5 * q, hi = 5 * q + 4;
    if (lo >= 600) return {15, speedAt(5)};   // no change at or above 600: the last one came earlier
    return {speedAt(std::min(hi, 599)), speedAt(lo)};
}

namespace {

using S = YolkfallSavedState;
using namespace saved_fields;

}   // namespace

// The keys in the order they are written, and the values a paused round of this game can have. A round is
// written only while paused, after the pause has cleared flagWolf and dimmed the face; a lost round (penalty
// above 5) is never written; the score is never left at 999; the countdowns run from their start value down
// to 1; how many eggs and how fast follow from the score at the last speed change.
const Table<S>& table() {
    static const Table<S> table(
        {
            {"VersionSAVES", &S::VersionSAVES, range(kVersion, kVersion)},
            {"typeGame", &S::typeGame, range(1, 2)},
            {"state", &S::state, range(2, 2)},
            {"flagWolf", &S::flagWolf, is(false, "in a paused round")},
            {"penalty", &S::penalty, range(0, 5)},
            {"scores", &S::scores, range(0, 998)},
            {"countEggToDeckMAX", &S::countEggToDeckMAX, any(),
             [](const S& s, const char* key) {
                 checkRange(key, s.countEggToDeckMAX, 1, maxEggsForQuotient(s.oldScoresChangeSpeed));
             }},
            {"itemDeck", &S::itemDeck, range(0, 3)},
            {"SpeedEgg", &S::SpeedEgg, any(),
             [](const S& s, const char* key) {
                 const auto [lo, hi] = speedRangeForQuotient(s.oldScoresChangeSpeed);
                 checkRange(key, s.SpeedEgg, lo, hi);
             }},
            {"timePauseChangePositionEgg", &S::timePauseChangePositionEgg, range(1, 30)},
            {"timeNextUpSpeedPause", &S::timeNextUpSpeedPause, range(1, 30)},
            {"oldScoresChangeSpeed", &S::oldScoresChangeSpeed, range(0, 998 / 5)},
            // Seconds played come from the wall clock, so a clock set back during play leaves them negative.
            {"timeGame", &S::timeGame, finite(-2147483648.0, 2147483648.0)},
            {"timeStartGame", &S::timeStartGame, finite(0.0, std::numeric_limits<double>::infinity())},
            {"wolf.posBasket", &S::wolfPosBasket, range(0, 3)},
            {"hare.position", &S::harePosition, any(),
             [](const S& s, const char* key) { checkRange(key, s.harePosition, 0, s.hareVisible == 1 ? 2 : 1); }},
            {"hare.visible", &S::hareVisible, range(0, 1)},
            {"gameround.dateStart", &S::gameroundDateStart, date()},
            {"displayAlfa", &S::displayAlfa, is(true, "in a paused round")},
        },
        "VersionSAVES", kVersion);
    return table;
}

}   // namespace plumbrick::yolkfall_state
