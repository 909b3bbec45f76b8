#pragma once
// The state file of a paused cook round: the 39 keys of its keyed archive, their types, and the values that
// the game itself can have written, as one table of saved fields (services/SavedFields.h). Reading is
// all-or-nothing: every key is decoded and checked before the controller applies any of them, so a damaged or
// hostile file never leaves a half-restored round, and no stored height, column, step or interval can index
// outside an array or arm a timer with a bad interval.

#include <array>
#include <cstdint>
#include <optional>

#include "platform/Date.h"
#include "platform/FileManager.h"
#include "platform/KeyedArchive.h"
#include "services/GameFace.h"
#include "services/SavedFields.h"

namespace plumbrick {

// The fields of a round that the controller holds itself: its members, by inheritance, and so the very values
// written. The defaults are those of a controller before its first round.
struct PanflipRoundState {
    std::int32_t typeGame = 2;
    std::int32_t state = 0;   // idle
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
    double intervalCatHogPause = 0;
    std::int32_t stepNewRound = 1;
    std::int32_t stepCookFoodToss = 1;
    std::int32_t stepSteal = 0;
    std::int32_t stepCatHog = 1;
    std::int32_t oldScoresChangeSpeed = 0;
    std::int32_t itemFood = 0;
    std::int32_t posStealFood = 0;
    std::array<std::int32_t, 4> posHeightFood{};
    std::array<std::int32_t, 4> maxHeightFood{};

    friend bool operator==(const PanflipRoundState&, const PanflipRoundState&) = default;
};

// One paused round as written: the controller's own fields and those it takes from its timers, the face's
// elements and the results store when it writes. The keys and their order are the table in PanflipStateFile.cpp.
struct PanflipSavedState : PanflipRoundState {
    std::int32_t VersionSAVES = 100;
    bool forkHog = false;
    std::int32_t cookPosition = 1;
    std::int32_t timerNewRound = 0;   // 1 when the timer was armed (a marker), else 0
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

// The 39 saved fields in the order they are written, their checks, and encode, decode, decodeBytes and check
// that follow from them. "VersionSAVES" other than 100 reads as nothing: another layout is not restored.
const saved_fields::Table<PanflipSavedState>& table();

}   // namespace panflip_state
}   // namespace plumbrick
