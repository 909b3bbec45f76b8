#pragma once
// Helpers for the platform tests: bytes from text, and a resources folder that the main bundle points at.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/Bundle.h"
#include "platform/FileManager.h"
#include "platform/Image.h"

namespace testsupport {

inline platform::Bytes bytesOf(const std::string& s) { return platform::Bytes(s.begin(), s.end()); }
inline std::string textOf(const platform::Bytes& b) { return std::string(b.begin(), b.end()); }

// Points the main bundle at `root` (a folder the test owns, such as the Environment's documents folder)
// for its lifetime.
class TempResources {
public:
    explicit TempResources(std::string root)
        : root_(std::move(root)), saved_(platform::Bundle::mainBundle().resourcePath()) {
        platform::Bundle::mainBundle().setResourcePath(root_);
        platform::Image::clearCache();
    }
    ~TempResources() {
        platform::Bundle::mainBundle().setResourcePath(saved_);
        platform::Image::clearCache();
    }
    std::string write(const std::string& relative, const std::string& bytes) const {
        const std::filesystem::path p = std::filesystem::path(root_) / relative;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }
    // The first bytes of a PNG file of that pixel size: enough for the header reader.
    std::string png(const std::string& relative, std::uint32_t w, std::uint32_t h) const {
        std::string bytes("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
        for (std::uint32_t v : {w, h})
            for (int s = 24; s >= 0; s -= 8) bytes.push_back(static_cast<char>((v >> s) & 0xff));
        return write(relative, bytes + std::string("\x08\x06\0\0\0\0\0\0\0", 9));
    }
    std::string layout(const std::string& name, const std::string& json) const {
        return write("layouts/" + name + ".json", json);
    }

private:
    std::string root_, saved_;
};

}   // namespace testsupport
