#pragma once
// Golden state files: the bytes a scripted round writes when paused, kept in the source tree so that a change
// to how a round is saved can be checked to write the very same files. With PLUMBRICK_WRITE_GOLDEN=1 in the
// environment the test writes the golden file instead of comparing (only to add a new one).

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

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

}   // namespace plumbrick::testing
