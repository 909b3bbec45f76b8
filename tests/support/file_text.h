#pragma once
// Whole files as text, for the tests that look at what a program or a save left on disk.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace plumbrick::testing {

inline std::string readText(const std::filesystem::path& path) {
    std::stringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

inline void writeText(const std::filesystem::path& path, const std::string& s) {
    std::ofstream(path, std::ios::binary) << s;
}

}   // namespace plumbrick::testing
