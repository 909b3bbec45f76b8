// Fuzz target: the egg game's state file, read by a real controller on its real face; fuzz_state_file.h
// says what every input must pass. A round that is taken must come back with its score and penalty, then
// plays on under automatic or hand play (320 ticks: eggs laid, stepped, caught or missed, chicks run).

#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_state_file.h"
#include "games/egg/YolkfallStateFile.h"
#include "games/egg/YolkfallViewController.h"

using plumbrick::YolkfallSavedState;
using plumbrick::YolkfallViewController;
namespace state_file = plumbrick::yolkfall_state;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz_state::StateFile<YolkfallSavedState>& file = state_file::table();
    return fuzz_state::testOneInput<YolkfallViewController>(
        "Yolkfall.v1", "YolkfallViewController", file, data, size,
        [size](YolkfallViewController& game, const YolkfallSavedState& decoded) {
            fuzz_state::check(game.getScores() == decoded.scores && game.getPenalty() == decoded.penalty);
            game.set_auto_(size % 2 == 0);
        });
}
