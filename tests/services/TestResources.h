#pragma once
// A temporary resources folder for tests that need pictures or sounds of their own.
// It points the main bundle at itself while it lives and restores the old path afterwards.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/Bundle.h"
#include "platform/Image.h"

namespace plumbrick::testsupport {

class TestResources {
public:
    explicit TestResources(const std::string& under)
        : root_(std::filesystem::path(under) / "test-resources"), old_(platform::Bundle::mainBundle().resourcePath()) {
        std::filesystem::create_directories(root_);
        platform::Bundle::mainBundle().setResourcePath(root_.string());
        platform::Image::clearCache();
    }
    ~TestResources() {
        platform::Bundle::mainBundle().setResourcePath(old_);
        platform::Image::clearCache();
    }
    // A PNG header of the given size: enough for the picture to be found and measured.
    void addPng(const std::string& name, std::uint32_t w = 8, std::uint32_t h = 12) {
        std::ofstream out(root_ / name, std::ios::binary);
        const unsigned char head[16] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
        out.write(reinterpret_cast<const char*>(head), sizeof head);
        for (std::uint32_t v : {w, h}) {
            const unsigned char be[4] = {std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)};
            out.write(reinterpret_cast<const char*>(be), 4);
        }
        out.write("\x08\x06\0\0\0", 5);
    }
    void addFile(const std::string& name, const std::string& bytes) {
        std::ofstream(root_ / name, std::ios::binary) << bytes;
    }
    std::string path() const { return root_.string(); }

private:
    std::filesystem::path root_;
    std::string old_;
};

}  // namespace plumbrick::testsupport
