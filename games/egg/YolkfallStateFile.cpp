#include "games/egg/YolkfallStateFile.h"

#include <cmath>
#include <sstream>

namespace plumbrick::yolkfall_state {

namespace {

using platform::ArchiveValueKind;

[[noreturn]] void bad(const std::string& what) {
    throw StateFileException(kUnarchiverException, std::string(kBadArchive) + ": " + what);
}

std::string quoted(const char* key) { return std::string("\"") + key + "\""; }

std::int32_t readInt(const platform::KeyedUnarchiver& u, const char* key) {
    if (u.kindForKey(key) != ArchiveValueKind::Integer) bad(quoted(key) + " is missing or not an integer");
    const auto v = u.decodeInt64ForKey(key);
    if (!v || *v < INT32_MIN || *v > INT32_MAX) bad(quoted(key) + " does not fit 32 bits");
    return static_cast<std::int32_t>(*v);
}

bool readBool(const platform::KeyedUnarchiver& u, const char* key) {
    if (u.kindForKey(key) != ArchiveValueKind::Bool) bad(quoted(key) + " is missing or not a boolean");
    return u.decodeBoolForKey(key);
}

double readDouble(const platform::KeyedUnarchiver& u, const char* key) {
    if (u.kindForKey(key) != ArchiveValueKind::Real) bad(quoted(key) + " is missing or not a real number");
    return u.decodeDoubleForKey(key);
}

platform::Date readDate(const platform::KeyedUnarchiver& u, const char* key) {
    const auto d = u.decodeObjectForKey(key);
    if (u.kindForKey(key) != ArchiveValueKind::Date || !d) bad(quoted(key) + " is missing or not a date");
    return *d;
}

void inRange(const char* key, std::int64_t v, std::int64_t lo, std::int64_t hi) {
    if (v < lo || v > hi) {
        std::ostringstream s;
        s << quoted(key) << " is " << v << ", outside " << lo << " to " << hi;
        bad(s.str());
    }
}

}  // namespace

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
    inRange("VersionSAVES", s.VersionSAVES, kVersion, kVersion);
    inRange("typeGame", s.typeGame, 1, 2);
    inRange("state", s.state, 2, 2);
    if (s.flagWolf) bad("\"flagWolf\" is true in a paused round");
    inRange("penalty", s.penalty, 0, 5);
    inRange("scores", s.scores, 0, 998);
    inRange("oldScoresChangeSpeed", s.oldScoresChangeSpeed, 0, 998 / 5);
    const int q = s.oldScoresChangeSpeed;
    inRange("countEggToDeckMAX", s.countEggToDeckMAX, 1, maxEggsForQuotient(q));
    inRange("itemDeck", s.itemDeck, 0, 3);
    const auto [speedLo, speedHi] = speedRangeForQuotient(q);
    inRange("SpeedEgg", s.SpeedEgg, speedLo, speedHi);
    inRange("timePauseChangePositionEgg", s.timePauseChangePositionEgg, 1, 30);
    inRange("timeNextUpSpeedPause", s.timeNextUpSpeedPause, 1, 30);
    if (!std::isfinite(s.timeGame) || s.timeGame < 0 || s.timeGame >= 2147483648.0)
        bad("\"timeGame\" is not a playing time in seconds");
    if (!std::isfinite(s.timeStartGame) || s.timeStartGame < 0) bad("\"timeStartGame\" is not a time since 1970");
    inRange("wolf.posBasket", s.wolfPosBasket, 0, 3);
    inRange("hare.visible", s.hareVisible, 0, 1);
    inRange("hare.position", s.harePosition, 0, s.hareVisible == 1 ? 2 : 1);
    if (!s.gameroundDateStart || !std::isfinite(s.gameroundDateStart->timeIntervalSince1970))
        bad("\"gameround.dateStart\" is not a date");
    if (!s.displayAlfa) bad("\"displayAlfa\" is false in a paused round");
}

std::optional<YolkfallSavedState> decode(const platform::KeyedUnarchiver& u) {
    // Another layout version is not ours to read: nothing is restored and nothing is reported.
    if (u.kindForKey("VersionSAVES") != ArchiveValueKind::Integer) return std::nullopt;
    const auto version = u.decodeInt64ForKey("VersionSAVES");
    if (!version || *version != kVersion) return std::nullopt;

    YolkfallSavedState s;
    s.VersionSAVES = kVersion;
    s.typeGame = readInt(u, "typeGame");
    s.state = readInt(u, "state");
    s.flagWolf = readBool(u, "flagWolf");
    s.penalty = readInt(u, "penalty");
    s.scores = readInt(u, "scores");
    s.countEggToDeckMAX = readInt(u, "countEggToDeckMAX");
    s.itemDeck = readInt(u, "itemDeck");
    s.SpeedEgg = readInt(u, "SpeedEgg");
    s.timePauseChangePositionEgg = readInt(u, "timePauseChangePositionEgg");
    s.timeNextUpSpeedPause = readInt(u, "timeNextUpSpeedPause");
    s.oldScoresChangeSpeed = readInt(u, "oldScoresChangeSpeed");
    s.timeGame = readDouble(u, "timeGame");
    s.timeStartGame = readDouble(u, "timeStartGame");
    s.wolfPosBasket = readInt(u, "wolf.posBasket");
    s.harePosition = readInt(u, "hare.position");
    s.hareVisible = readInt(u, "hare.visible");
    s.gameroundDateStart = readDate(u, "gameround.dateStart");
    s.displayAlfa = readBool(u, "displayAlfa");
    check(s);
    return s;
}

std::optional<YolkfallSavedState> decodeBytes(const platform::Bytes& bytes) {
    const auto unarchiver = platform::KeyedUnarchiver::initForReadingWithData(bytes);
    if (!unarchiver) throw StateFileException(kUnarchiverException, kBadArchive);
    return decode(*unarchiver);
}

}  // namespace plumbrick::yolkfall_state
