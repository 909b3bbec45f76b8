#pragma once
// Helpers for the platform tests: a throw-away resources folder that the main bundle points at.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Bundle.h"
#include "platform/Image.h"

namespace testsupport {

class TempResources {
public:
    TempResources() {
        std::string pattern = (std::filesystem::temp_directory_path() / "plumbrick-res-XXXXXX").string();
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        if (!mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
        root_ = buf.data();
        saved_ = platform::Bundle::mainBundle().resourcePath();
        platform::Bundle::mainBundle().setResourcePath(root_);
        platform::Image::clearCache();
    }
    ~TempResources() {
        platform::Bundle::mainBundle().setResourcePath(saved_);
        platform::Image::clearCache();
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    TempResources(const TempResources&) = delete;
    TempResources& operator=(const TempResources&) = delete;

    const std::string& root() const { return root_; }

    std::string write(const std::string& relative, const std::string& bytes) const {
        std::filesystem::path p = std::filesystem::path(root_) / relative;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }
    // The first bytes of a PNG file of that pixel size: enough for the header reader.
    std::string png(const std::string& relative, std::uint32_t w, std::uint32_t h) const {
        std::string bytes("\x89PNG\r\n\x1a\n", 8);
        auto be32 = [&bytes](std::uint32_t v) {
            for (int s = 24; s >= 0; s -= 8) bytes.push_back(static_cast<char>((v >> s) & 0xff));
        };
        be32(13);
        bytes += "IHDR";
        be32(w);
        be32(h);
        bytes += std::string("\x08\x06\x00\x00\x00", 5);
        be32(0);   // CRC, not checked by the size reader
        return write(relative, bytes);
    }
    std::string layout(const std::string& name, const std::string& json) const {
        return write("layouts/" + name + ".json", json);
    }

private:
    std::string root_, saved_;
};

}  // namespace testsupport
