// Fuzz target: the egg game's state file, read by a real controller on its real face. Every input is
// put on disk as the state file and loaded. A file that is taken must hold only values the game can
// have written (checked again here), must survive being written again unchanged, and the restored
// round must then play on; a file that is refused must leave the controller idle, with one log line
// naming the failure, and the file must be gone either way.

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "games/egg/YolkfallStateFile.h"
#include "games/egg/YolkfallViewController.h"
#include "platform/Bundle.h"
#include "platform/FileManager.h"
#include "platform/headless/Headless.h"

namespace {

using plumbrick::YolkfallSavedState;
using plumbrick::YolkfallViewController;
namespace state_file = plumbrick::yolkfall_state;

void check(bool ok) {
    if (!ok) __builtin_trap();
}

// The fuzz build makes no resources: then the layout is read from the source tree (pictures and sounds
// stay missing, which the game does not mind).
void findLayouts() {
    auto& bundle = platform::Bundle::mainBundle();
    if (!bundle.pathForLayout("YolkfallViewController").empty()) return;
    const std::string source = __FILE__;
    const auto fuzzDir = source.find_last_of('/');
    if (fuzzDir == std::string::npos) return;
    const auto rootDir = source.find_last_of('/', fuzzDir - 1);
    bundle.setResourcePath((rootDir == std::string::npos ? std::string(".") : source.substr(0, rootDir)) + "/resources");
}

struct Face {
    platform::headless::Environment env;
    std::unique_ptr<YolkfallViewController> game;
    Face() {
        findLayouts();
        game = std::make_unique<YolkfallViewController>("Yolkfall.v1", "YolkfallViewController", nullptr);
        check(game->view() != nullptr);
    }
};

std::optional<YolkfallSavedState> decodeOrNothing(const platform::Bytes& bytes, bool& refused) {
    refused = false;
    try {
        return state_file::decodeBytes(bytes);
    } catch (const plumbrick::StateFileException& e) {
        check(e.name() == "UnarchiverException");
        check(e.reason().rfind("bad archive", 0) == 0);
        refused = true;
        return std::nullopt;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Face* face = new Face;   // one face for the whole run: set-up reads a layout
    YolkfallViewController& game = *face->game;
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
        check(game.getState() == YolkfallViewController::kPaused);
        check(game.getScores() == decoded->scores && game.getPenalty() == decoded->penalty);
        check(face->env.logLines().empty());
        game.playGame();
        game.set_auto_(size % 2 == 0);
        face->env.advance(8.0);   // 320 ticks: eggs laid, stepped, caught or missed, chicks run
        game.endGame();
    } else {
        check(game.getState() == YolkfallViewController::kIdle);
        check(face->env.logLines().size() == (refused ? 1u : 0u));
    }
    return 0;
}
