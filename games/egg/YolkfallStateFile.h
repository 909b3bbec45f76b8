#pragma once
// The state file of a paused egg round: the 19 keys of the keyed archive, their types and the values
// the game itself can have written. Reading is all-or-nothing: every key is decoded and checked before
// the controller applies any of them, so a damaged or hostile file never leaves a half-restored round.

#include <cstdint>
#include <optional>
#include <utility>

#include "platform/Date.h"
#include "platform/FileManager.h"
#include "platform/KeyedArchive.h"
#include "services/GameFace.h"

namespace plumbrick {

// One paused round, as written under the 19 keys (in the order they are written).
struct YolkfallSavedState {
    std::int32_t VersionSAVES = 100;
    std::int32_t typeGame = 2;
    std::int32_t state = 2;
    bool flagWolf = false;
    std::int32_t penalty = 0;
    std::int32_t scores = 0;
    std::int32_t countEggToDeckMAX = 1;
    std::int32_t itemDeck = 0;
    std::int32_t SpeedEgg = 30;
    std::int32_t timePauseChangePositionEgg = 30;
    std::int32_t timeNextUpSpeedPause = 30;
    std::int32_t oldScoresChangeSpeed = 0;
    double timeGame = 0;
    double timeStartGame = 0;
    std::int32_t wolfPosBasket = 0;
    std::int32_t harePosition = 0;
    std::int32_t hareVisible = 0;
    std::optional<platform::Date> gameroundDateStart;
    bool displayAlfa = true;

    friend bool operator==(const YolkfallSavedState&, const YolkfallSavedState&) = default;
};

namespace yolkfall_state {

inline constexpr std::int32_t kVersion = game_face::kStateVersion;

// Writes the 19 keys in their order into the archiver (which the caller finishes).
void encode(const YolkfallSavedState& s, platform::KeyedArchiver& archiver);

// Reads the 19 keys. Nothing (and no exception) when "VersionSAVES" is not 100: an older or foreign
// layout is not restored. Throws StoredDataException("UnarchiverException", "bad archive: <key> ...")
// when any key is missing, of another type, or holds a value that the game cannot have written.
std::optional<YolkfallSavedState> decode(const platform::KeyedUnarchiver& unarchiver);

// The bytes of a state file: not a keyed archive -> "UnarchiverException" with "bad archive";
// otherwise as decode.
std::optional<YolkfallSavedState> decodeBytes(const platform::Bytes& bytes);

// Checks the values alone (decode calls it); throws as decode does.
void check(const YolkfallSavedState& s);

// The most eggs on the face that the speed schedule can have allowed by the time score / 5 reached q.
int maxEggsForQuotient(int q);
// The egg-step interval that the speed check sets when it sees score / 5 == q, as the pair of the
// smallest and largest possible values (30 for q == 0, when no change has happened yet).
std::pair<int, int> speedRangeForQuotient(int q);

}  // namespace yolkfall_state
}  // namespace plumbrick
