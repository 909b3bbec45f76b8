#pragma once
// What the fuzz targets of the games' state files share: a real controller on its real face, and the steps
// every input goes through. The bytes are decoded on their own first: a file that is taken must pass the
// game's checks again and survive being written again unchanged; a refused one must be refused as
// "UnarchiverException" with "bad archive". Then the same bytes are put on disk as the state file and
// loaded: a file that is taken stays until its round goes on, any other is gone at once and leaves the
// controller idle, with one log line when it was refused and none when it was of another layout.

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "platform/Bundle.h"
#include "platform/FileManager.h"
#include "platform/KeyedArchive.h"
#include "platform/headless/Headless.h"
#include "services/GameFace.h"
#include "services/SavedFields.h"

namespace fuzz_state {

inline void check(bool ok) {
    if (!ok) __builtin_trap();
}

// A fuzz build makes no resources: then the layouts are read from the source tree (pictures and sounds
// stay missing, which the games do not mind).
inline void findLayouts(const std::string& layout) {
    auto& bundle = platform::Bundle::mainBundle();
    if (!bundle.pathForLayout(layout).empty()) return;
    const std::string source = __FILE__;
    const auto fuzzDir = source.find_last_of('/');
    if (fuzzDir == std::string::npos) return;
    const auto rootDir = source.find_last_of('/', fuzzDir - 1);
    bundle.setResourcePath((rootDir == std::string::npos ? std::string(".") : source.substr(0, rootDir)) +
                           "/resources");
}

// One controller on its face for the whole run (set-up reads a layout).
template <class Game> struct Face {
    platform::headless::Environment env;
    std::unique_ptr<Game> game;
    Face(const char* gameId, const char* layout) {
        findLayouts(layout);
        game = std::make_unique<Game>(gameId, layout, nullptr);
        check(game->view() != nullptr);
    }
};

// A game's table of saved fields, with its decodeBytes, check and encode.
template <class Saved> using StateFile = plumbrick::saved_fields::Table<Saved>;

template <class Saved>
std::optional<Saved> decodeOrNothing(const StateFile<Saved>& file, const platform::Bytes& bytes, bool& refused) {
    refused = false;
    try {
        return file.decodeBytes(bytes);
    } catch (const plumbrick::StoredDataException& e) {
        check(e.name() == "UnarchiverException");
        check(e.reason().rfind("bad archive", 0) == 0);
        refused = true;
        return std::nullopt;
    }
}

// The round in the bytes as the game's own reader takes it, checked and written again unchanged.
template <class Saved>
std::optional<Saved> decodeTwice(const StateFile<Saved>& file, const std::uint8_t* data, std::size_t size,
                                 bool& refused) {
    const auto decoded = decodeOrNothing(file, platform::Bytes(data, data + size), refused);
    if (decoded) {
        file.check(*decoded);   // throws (and the fuzzer reports it) if a bad value got through
        platform::KeyedArchiver again;
        file.encode(*decoded, again);
        again.finishEncoding();
        bool refusedAgain = false;
        const auto roundTrip = decodeOrNothing(file, again.data(), refusedAgain);
        check(roundTrip.has_value() && *roundTrip == *decoded);
    }
    return decoded;
}

// One input. A round that is taken comes back paused without a log line; `taken(game, decoded)` then checks
// what the game holds and chooses how it plays on, and the round is played for 8 s of the virtual clock.
template <class Game, class Saved, class Taken>
int testOneInput(const char* gameId, const char* layout, const StateFile<Saved>& file, const std::uint8_t* data,
                 std::size_t size, Taken taken) {
    static Face<Game>* face = new Face<Game>(gameId, layout);
    Game& game = *face->game;
    face->env.clearLog();
    face->env.clearSounds();

    bool refused = false;
    const auto decoded = decodeTwice(file, data, size, refused);

    const std::string path = game.pathStateFile();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    check(game.loadStateGame());
    check(platform::FileManager::defaultManager().fileExistsAtPath(path) == decoded.has_value());

    if (decoded) {
        check(game.getState() == Game::kPaused);
        check(face->env.logLines().empty());
        taken(game, *decoded);
        plumbrick::game_face::releaseStateFile(path);   // as the pause button does when it resumes the round
        check(!platform::FileManager::defaultManager().fileExistsAtPath(path));
        game.playGame();
        face->env.advance(8.0);
        game.endGame();
    } else {
        check(game.getState() == Game::kIdle);
        check(face->env.logLines().size() == (refused ? 1u : 0u));
    }
    return 0;
}

}   // namespace fuzz_state
