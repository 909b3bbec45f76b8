// Fuzz target: the cook game's state file, read by a real controller on its real face. Every input is put
// on disk as the state file and loaded. A file that is taken must hold only values the game can have written
// (checked again here), must survive being written again unchanged, must come back into the controller as
// it was decoded, and the restored round must then play on; a file that is refused must leave the
// controller idle, with one log line naming the failure, and the file must be gone either way.

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "games/cook/PanflipStateFile.h"
#include "games/cook/PanflipViewController.h"
#include "platform/FileManager.h"
#include "platform/headless/Headless.h"

namespace {

using plumbrick::PanflipSavedState;
using plumbrick::PanflipViewController;
namespace state_file = plumbrick::panflip_state;

void check(bool ok) {
    if (!ok) __builtin_trap();
}

struct Face {
    platform::headless::Environment env;
    std::unique_ptr<PanflipViewController> game;
    Face() {
        game = std::make_unique<PanflipViewController>("Panflip.v1", "PanflipViewController", nullptr);
        check(game->view() != nullptr);
    }
};

std::optional<PanflipSavedState> decodeOrNothing(const platform::Bytes& bytes, bool& refused) {
    refused = false;
    try {
        return state_file::decodeBytes(bytes);
    } catch (const plumbrick::StoredDataException& e) {
        check(e.name() == "UnarchiverException");
        check(e.reason().rfind("bad archive", 0) == 0);
        refused = true;
        return std::nullopt;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Face* face = new Face;   // one face for the whole run: set-up reads a layout
    PanflipViewController& game = *face->game;
    face->env.clearLog();
    face->env.clearSounds();

    const platform::Bytes bytes(data, data + size);
    bool refused = false;
    const auto decoded = decodeOrNothing(bytes, refused);
    if (decoded) {
        state_file::check(*decoded);   // throws (and the fuzzer reports it) if a bad value got through
        platform::KeyedArchiver again;
        state_file::encode(*decoded, again);
        again.finishEncoding();
        bool refusedAgain = false;
        const auto roundTrip = decodeOrNothing(again.data(), refusedAgain);
        check(roundTrip.has_value() && *roundTrip == *decoded);
    }

    const std::string path = game.pathStateFile();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    check(game.loadStateGame());
    check(!platform::FileManager::defaultManager().fileExistsAtPath(path));

    if (decoded) {
        check(game.getState() == PanflipViewController::kPaused);
        check(face->env.logLines().empty());
        PanflipSavedState back = game.savedState();
        back.gameroundDateStart = decoded->gameroundDateStart;   // the results list keeps whole seconds
        check(back == *decoded);
        game.playGame();
        game.set_autoPilot_(size % 2 == 0);
        face->env.advance(8.0);   // food steps, tosses, the fork, a mouse run and a new round
        game.endGame();
    } else {
        check(game.getState() == PanflipViewController::kIdle);
        check(face->env.logLines().size() == (refused ? 1u : 0u));
    }
    return 0;
}
