#pragma once
// The state file of a paused egg round: the 19 keys of the keyed archive, their types and the values
// the game itself can have written, as one table of saved fields (services/SavedFields.h). Reading is
// all-or-nothing: every key is decoded and checked before the round takes any of them, so a damaged or
// hostile file never leaves a half-restored round.

#include <cstdint>
#include <optional>
#include <utility>

#include "games/egg/YolkfallRound.h"
#include "platform/Date.h"
#include "platform/FileManager.h"
#include "platform/KeyedArchive.h"
#include "services/GameFace.h"
#include "services/SavedFields.h"

namespace plumbrick {

// One paused round as written: the round's own fields, the layout's version and the start of the results
// store's current round. The keys and their order are the table in YolkfallStateFile.cpp.
struct YolkfallSavedState : YolkfallRoundState {
    std::int32_t VersionSAVES = 100;
    std::optional<platform::Date> gameroundDateStart;

    friend bool operator==(const YolkfallSavedState&, const YolkfallSavedState&) = default;
};

namespace yolkfall_state {

inline constexpr std::int32_t kVersion = game_face::kStateVersion;

// The 19 saved fields in the order they are written, their checks, and encode, decode, decodeBytes and check
// that follow from them. "VersionSAVES" other than 100 reads as nothing: an older or foreign layout.
const saved_fields::Table<YolkfallSavedState>& table();

// The most eggs on the face that the speed schedule can have allowed by the time score / 5 reached q.
int maxEggsForQuotient(int q);
// The egg-step interval that the speed check sets when it sees score / 5 == q, as the pair of the
// smallest and largest possible values (30 for q == 0, when no change has happened yet).
std::pair<int, int> speedRangeForQuotient(int q);

}   // namespace yolkfall_state
}   // namespace plumbrick
