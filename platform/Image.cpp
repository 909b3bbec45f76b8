#include "platform/Image.h"

#include <cstdint>
#include <fstream>
#include <unordered_map>

#include "platform/Bundle.h"

namespace platform {

namespace {
std::unordered_map<std::string, std::shared_ptr<Image>>& cache() {
    static std::unordered_map<std::string, std::shared_ptr<Image>> images;
    return images;
}

std::uint32_t bigEndian32(const unsigned char* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | std::uint32_t(p[3]);
}
}   // namespace

bool readPngSize(const std::string& path, int& width, int& height) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    unsigned char header[24];
    if (!in.read(reinterpret_cast<char*>(header), sizeof header)) return false;
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    for (int i = 0; i < 8; ++i)
        if (header[i] != signature[i]) return false;
    // The first chunk is IHDR, 13 bytes long: width and height lead it.
    if (bigEndian32(header + 8) != 13 || header[12] != 'I' || header[13] != 'H' || header[14] != 'D' ||
        header[15] != 'R')
        return false;
    const std::uint32_t w = bigEndian32(header + 16), h = bigEndian32(header + 20);
    if (w == 0 || h == 0 || w > 0x7fffffffu || h > 0x7fffffffu) return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

std::shared_ptr<Image> Image::imageNamed(const std::string& name) {
    if (name.empty()) return nullptr;
    auto& images = cache();
    if (auto it = images.find(name); it != images.end()) return it->second;

    // "x.png" is the 1x picture; "x@2x.png" beside it, when present, is the same picture at twice the pixels.
    std::string stem = name, ext = "png";
    if (auto dot = name.rfind('.'); dot != std::string::npos && dot > 0) {
        stem = name.substr(0, dot);
        ext = name.substr(dot + 1);
    }
    const Bundle& bundle = Bundle::mainBundle();
    std::string path = bundle.pathForResource(stem, ext);
    std::string path2x = bundle.pathForResource(stem + "@2x", ext);
    int w = 0, h = 0;
    Size size;
    if (!path.empty() && readPngSize(path, w, h)) {
        size = {double(w), double(h)};
    } else if (!path2x.empty() && readPngSize(path2x, w, h)) {
        path = path2x;   // only the 2x picture exists: it stands in at half its pixel size
        size = {w / 2.0, h / 2.0};
    } else {
        return nullptr;   // missing pictures are not cached: they may appear later
    }
    if (!path2x.empty()) {
        int w2 = 0, h2 = 0;
        if (!readPngSize(path2x, w2, h2)) path2x.clear();
    }
    // The face's own pictures are named after it: "yolkfall_502" and "yolkfall_07_05" are ink on "yolkfall_face".
    bool lcdInk = false;
    if (auto underscore = stem.find('_'); underscore != std::string::npos && underscore > 0) {
        std::string face = stem.substr(0, underscore) + "_face";
        lcdInk = stem.rfind(face, 0) != 0 &&
                 (!bundle.pathForResource(face, ext).empty() || !bundle.pathForResource(face + "@2x", ext).empty());
    }
    auto image = std::make_shared<Image>(name, path, path2x, size, lcdInk);
    // Where only the 2x picture is kept (the web page), it stands in for both.
    std::string touch = bundle.pathForResource(stem + "_touch", ext),
                touch2x = bundle.pathForResource(stem + "_touch@2x", ext);
    if (!touch.empty() || !touch2x.empty())
        image->setTouchVariant(stem + "_touch." + ext, touch.empty() ? touch2x : touch, touch2x);
    images.emplace(name, image);
    return image;
}

void Image::clearCache() { cache().clear(); }

}   // namespace platform
