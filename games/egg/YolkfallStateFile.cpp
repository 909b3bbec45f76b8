#include "games/egg/YolkfallStateFile.h"

#include <algorithm>
#include <limits>

namespace plumbrick::yolkfall_state {

using game_face::checkBool;
using game_face::checkDate;
using game_face::checkFinite;
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

void encode(const YolkfallSavedState& s, platform::KeyedArchiver& a) {
    a.encodeInt(s.VersionSAVES, "VersionSAVES");
    a.encodeInt(s.typeGame, "typeGame");
    a.encodeInt(s.state, "state");
    a.encodeBool(s.flagWolf, "flagWolf");
    a.encodeInt(s.penalty, "penalty");
    a.encodeInt(s.scores, "scores");
    a.encodeInt(s.countEggToDeckMAX, "countEggToDeckMAX");
    a.encodeInt(s.itemDeck, "itemDeck");
    a.encodeInt(s.SpeedEgg, "SpeedEgg");
    a.encodeInt(s.timePauseChangePositionEgg, "timePauseChangePositionEgg");
    a.encodeInt(s.timeNextUpSpeedPause, "timeNextUpSpeedPause");
    a.encodeInt(s.oldScoresChangeSpeed, "oldScoresChangeSpeed");
    a.encodeDouble(s.timeGame, "timeGame");
    a.encodeDouble(s.timeStartGame, "timeStartGame");
    a.encodeInt(s.wolfPosBasket, "wolf.posBasket");
    a.encodeInt(s.harePosition, "hare.position");
    a.encodeInt(s.hareVisible, "hare.visible");
    a.encodeObject(s.gameroundDateStart, "gameround.dateStart");
    a.encodeBool(s.displayAlfa, "displayAlfa");
}

// The values a paused round of this game can have. A round is written only while paused, after the
// pause has cleared flagWolf and dimmed the face; a lost round (penalty above 5) is never written;
// the score is never left at 999; the countdowns run from their start value down to 1.
void check(const YolkfallSavedState& s) {
    checkRange("VersionSAVES", s.VersionSAVES, kVersion, kVersion);
    checkRange("typeGame", s.typeGame, 1, 2);
    checkRange("state", s.state, 2, 2);
    checkBool("flagWolf", s.flagWolf, false, "in a paused round");
    checkRange("penalty", s.penalty, 0, 5);
    checkRange("scores", s.scores, 0, 998);
    checkRange("oldScoresChangeSpeed", s.oldScoresChangeSpeed, 0, 998 / 5);
    const int q = s.oldScoresChangeSpeed;
    checkRange("countEggToDeckMAX", s.countEggToDeckMAX, 1, maxEggsForQuotient(q));
    checkRange("itemDeck", s.itemDeck, 0, 3);
    const auto [speedLo, speedHi] = speedRangeForQuotient(q);
    checkRange("SpeedEgg", s.SpeedEgg, speedLo, speedHi);
    checkRange("timePauseChangePositionEgg", s.timePauseChangePositionEgg, 1, 30);
    checkRange("timeNextUpSpeedPause", s.timeNextUpSpeedPause, 1, 30);
    // Seconds played come from the wall clock, so a clock set back during play leaves them negative.
    checkFinite("timeGame", s.timeGame, -2147483648.0, 2147483648.0);
    checkFinite("timeStartGame", s.timeStartGame, 0.0, std::numeric_limits<double>::infinity());
    checkRange("wolf.posBasket", s.wolfPosBasket, 0, 3);
    checkRange("hare.visible", s.hareVisible, 0, 1);
    checkRange("hare.position", s.harePosition, 0, s.hareVisible == 1 ? 2 : 1);
    checkDate("gameround.dateStart", s.gameroundDateStart);
    checkBool("displayAlfa", s.displayAlfa, true, "in a paused round");
}

std::optional<YolkfallSavedState> decode(const platform::KeyedUnarchiver& u) {
    const game_face::CheckedArchiveReader r(u);
    // Another layout version is not ours to read: nothing is restored and nothing is reported.
    if (!r.hasVersion("VersionSAVES", kVersion)) return std::nullopt;

    YolkfallSavedState s;
    s.VersionSAVES = kVersion;
    s.typeGame = r.readInt("typeGame");
    s.state = r.readInt("state");
    s.flagWolf = r.readBool("flagWolf");
    s.penalty = r.readInt("penalty");
    s.scores = r.readInt("scores");
    s.countEggToDeckMAX = r.readInt("countEggToDeckMAX");
    s.itemDeck = r.readInt("itemDeck");
    s.SpeedEgg = r.readInt("SpeedEgg");
    s.timePauseChangePositionEgg = r.readInt("timePauseChangePositionEgg");
    s.timeNextUpSpeedPause = r.readInt("timeNextUpSpeedPause");
    s.oldScoresChangeSpeed = r.readInt("oldScoresChangeSpeed");
    s.timeGame = r.readDouble("timeGame");
    s.timeStartGame = r.readDouble("timeStartGame");
    s.wolfPosBasket = r.readInt("wolf.posBasket");
    s.harePosition = r.readInt("hare.position");
    s.hareVisible = r.readInt("hare.visible");
    s.gameroundDateStart = r.readDate("gameround.dateStart");
    s.displayAlfa = r.readBool("displayAlfa");
    check(s);
    return s;
}

std::optional<YolkfallSavedState> decodeBytes(const platform::Bytes& bytes) {
    return decode(*game_face::unarchive(bytes));
}

}  // namespace plumbrick::yolkfall_state
