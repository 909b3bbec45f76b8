#pragma once
// The state file of a paused cook round: the 39 keys of its keyed archive, their types, and the values that
// the game itself can have written. Reading is all-or-nothing: every key is decoded and checked before the
// controller applies any of them, so a damaged or hostile file never leaves a half-restored round, and no
// stored height, column, step or interval can index outside an array or arm a timer with a bad interval.

#include <array>
#include <cstdint>
#include <optional>

#include "platform/Date.h"
#include "platform/FileManager.h"
#include "platform/KeyedArchive.h"
#include "services/GameFace.h"

namespace plumbrick {

// One paused round, as written under the 39 keys (in the order they are written).
struct PanflipSavedState {
    std::int32_t VersionSAVES = 100;
    std::int32_t typeGame = 2;
    std::int32_t state = 2;
    bool _autoPilot_ = false;
    bool flagCookToss = false;
    bool flagCookMove = false;
    std::int32_t penalty = 0;
    std::int32_t scores = 0;
    double timeGame = 0;
    double timeStartGame = 0;
    double intervalNewRoundPause = 0;
    double intervalCookFoodTossPause = 0;
    double timerStepLifeFood = 0.3166;
    double intervalSrealPause = 0;
    double intervalCatHogPause = 3.0;
    std::int32_t stepNewRound = 1;
    std::int32_t stepCookFoodToss = 1;
    std::int32_t stepSteal = 0;
    std::int32_t stepCatHog = 1;
    std::int32_t oldScoresChangeSpeed = 0;
    std::int32_t itemFood = 0;
    std::int32_t posStealFood = 0;
    std::array<std::int32_t, 4> posHeightFood{};
    std::array<std::int32_t, 4> maxHeightFood{};
    bool forkHog = false;
    std::int32_t cookPosition = 1;
    std::int32_t timerNewRound = 0;       // 1 when the timer was armed (a marker), else 0
    std::int32_t timerCookFoodToss = 0;
    std::int32_t timerTossFood = 1;
    std::int32_t timerSteal = 0;
    std::int32_t timerCatHog = 1;
    std::optional<platform::Date> gameroundDateStart;
    bool displayAlfa = true;

    int countWorkCooks() const { return typeGame == 1 ? 3 : 4; }
    friend bool operator==(const PanflipSavedState&, const PanflipSavedState&) = default;
};

namespace panflip_state {

inline constexpr std::int32_t kVersion = game_face::kStateVersion;
inline constexpr int kKeyCount = 39;
// The keys in the order they are written.
extern const char* const kKeys[kKeyCount];

// Writes the 39 keys in their order into the archiver (which the caller finishes).
void encode(const PanflipSavedState& s, platform::KeyedArchiver& archiver);

// Reads the 39 keys. Nothing (and no exception) when "VersionSAVES" is not 100: another layout is not
// restored. Throws StoredDataException("UnarchiverException", "bad archive: <key> ...") when a key is
// missing, of another type, or holds a value that the game cannot have written.
std::optional<PanflipSavedState> decode(const platform::KeyedUnarchiver& unarchiver);

// The bytes of a state file: not a keyed archive -> "UnarchiverException" with "bad archive"; else as decode.
std::optional<PanflipSavedState> decodeBytes(const platform::Bytes& bytes);

// Checks the values alone (decode calls it); throws as decode does.
void check(const PanflipSavedState& s);

}  // namespace panflip_state
}  // namespace plumbrick
