#pragma once
// The state file of a paused cook round: the 39 keys of its keyed archive, their types, and the values that
// the game itself can have written, as one table of saved fields (services/SavedFields.h). Reading is
// all-or-nothing: every key is decoded and checked before the round takes any of them, so a damaged or
// hostile file never leaves a half-restored round, and no stored height, column, step or interval can index
// outside an array or arm a timer with a bad interval.

#include <cstdint>

#include "games/cook/PanflipRound.h"
#include "services/GameFace.h"
#include "services/SavedFields.h"

namespace plumbrick {

namespace panflip_state {

inline constexpr std::int32_t kVersion = game_face::kStateVersion;

// The 39 saved fields in the order they are written, their checks, and encode, decode, decodeBytes and check
// that follow from them. "VersionSAVES" other than 100 reads as nothing: another layout is not restored.
const saved_fields::Table<PanflipSavedState>& table();

}   // namespace panflip_state
}   // namespace plumbrick
