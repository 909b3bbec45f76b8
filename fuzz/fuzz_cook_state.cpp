// Fuzz target: the cook game's state file, read by a real controller on its real face; fuzz_state_file.h
// says what every input must pass. A round that is taken must come back into the controller as it was
// decoded, then plays on (food steps, tosses, the fork, a mouse run and a new round).

#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_state_file.h"
#include "games/cook/PanflipStateFile.h"
#include "games/cook/PanflipViewController.h"

using plumbrick::PanflipSavedState;
using plumbrick::PanflipViewController;
namespace state_file = plumbrick::panflip_state;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz_state::StateFile<PanflipSavedState>& file = state_file::table();
    return fuzz_state::testOneInput<PanflipViewController>(
        "Panflip.v1", "PanflipViewController", file, data, size,
        [size](PanflipViewController& game, const PanflipSavedState& decoded) {
            PanflipSavedState back = game.round().state();
            back.gameroundDateStart = decoded.gameroundDateStart;   // the results list keeps whole seconds
            fuzz_state::check(back == decoded);
            game.set_autoPilot_(size % 2 == 0);
        });
}
