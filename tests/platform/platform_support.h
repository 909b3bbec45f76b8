#pragma once
// Helpers for the platform tests: bytes from text, and a resources folder that the main bundle points at.

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/Bundle.h"
#include "platform/FileManager.h"

namespace plumbrick::testing {

inline platform::Bytes bytesOf(const std::string& s) { return platform::Bytes(s.begin(), s.end()); }
inline std::string textOf(const platform::Bytes& b) { return std::string(b.begin(), b.end()); }

// Points the main bundle at `root` (a folder the test owns, such as the Environment's documents folder)
// for its lifetime.
class TempResources {
public:
    explicit TempResources(std::string root)
        : root_(std::move(root)), saved_(platform::Bundle::mainBundle().resourcePath()) {
        platform::Bundle::mainBundle().setResourcePath(root_);
    }
    ~TempResources() { platform::Bundle::mainBundle().setResourcePath(saved_); }
    std::string write(const std::string& relative, const std::string& bytes) const {
        const std::filesystem::path p = std::filesystem::path(root_) / relative;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }

private:
    std::string root_, saved_;
};

}   // namespace plumbrick::testing
