#pragma once
// Golden state files: the bytes a scripted round writes when paused, kept in the source tree so that a change
// to how a round is saved can be checked to write the very same files. With PLUMBRICK_WRITE_GOLDEN=1 in the
// environment the test writes the golden file instead of comparing (only to add a new one).

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <string>
#include <type_traits>

#include "platform/FileManager.h"

namespace plumbrick::testing {

inline std::string goldenPath(const std::string& name) { return std::string(PLUMBRICK_GOLDEN_DIR) + "/" + name; }

inline std::optional<platform::Bytes> readGolden(const std::string& name) {
    std::ifstream in(goldenPath(name), std::ios::binary);
    if (!in) return std::nullopt;
    return platform::Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Compares `written` with the golden file `name` byte for byte (or writes it, see above).
inline void expectGolden(const std::string& name, const std::optional<platform::Bytes>& written) {
    ASSERT_TRUE(written.has_value()) << name << ": the round wrote no state file";
    if (const char* w = std::getenv("PLUMBRICK_WRITE_GOLDEN"); w && std::string(w) == "1") {
        std::ofstream(goldenPath(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(written->data()), static_cast<std::streamsize>(written->size()));
        return;
    }
    const auto golden = readGolden(name);
    ASSERT_TRUE(golden.has_value()) << goldenPath(name) << " is missing";
    EXPECT_EQ(written->size(), golden->size()) << name;
    EXPECT_TRUE(*written == *golden) << name << ": the written bytes differ from the golden file";
}

// The golden tests of one game, on its fixture: `open()` makes the controller `game` on the documents folder,
// `press(key)` presses a key, and `statePath()` names the game's state file.
template <class Fixture> class GoldenRounds : public Fixture {
protected:
    // Pauses the round with the space key and returns the state file the game writes.
    std::optional<platform::Bytes> pauseAndWrite() {
        this->press("space");
        EXPECT_EQ(this->game->getState(), std::remove_cvref_t<decltype(*this->game)>::kPaused);
        EXPECT_TRUE(this->game->saveStateGame());
        return platform::FileManager::defaultManager().dataWithContentsOfFile(this->statePath());
    }
    // Puts each golden file where the game reads its state file and opens the game: a paused round, no line
    // logged, and the file kept until the round goes on. `check` then gets the file as `table` decodes it.
    template <class Table, class Check>
    void expectEachComesBackPaused(std::initializer_list<const char*> names, const Table& table, Check check) {
        auto& files = platform::FileManager::defaultManager();
        for (const char* name : names) {
            SCOPED_TRACE(name);
            const auto golden = readGolden(name);
            ASSERT_TRUE(golden.has_value()) << goldenPath(name) << " is missing";
            const auto expected = table.decodeBytes(*golden);
            ASSERT_TRUE(expected.has_value());
            this->env.clearLog();
            ASSERT_TRUE(files.writeToFileAtomically(this->statePath(), *golden));
            this->open();
            EXPECT_TRUE(this->env.logLines().empty());
            EXPECT_TRUE(files.fileExistsAtPath(this->statePath())) << "kept until the round goes on";
            EXPECT_EQ(this->game->getState(), std::remove_cvref_t<decltype(*this->game)>::kPaused);
            check(*expected);
        }
    }
};

}   // namespace plumbrick::testing
