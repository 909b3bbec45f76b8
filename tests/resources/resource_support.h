// Helpers shared by the resource tests: where the sources and the built resources are, layout walking, PNG sizes.
#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace restest {

namespace fs = std::filesystem;
using nlohmann::json;

inline fs::path sourceDir() { return PLUMBRICK_SOURCE_DIR; }
inline fs::path builtDir() { return PLUMBRICK_RESOURCE_DIR; }
inline std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
inline json loadJson(const fs::path& path) { return json::parse(readText(path)); }

inline std::vector<fs::path> layoutFiles() {
    std::set<fs::path> out;
    for (const auto& e : fs::directory_iterator(sourceDir() / "resources" / "layouts"))
        if (e.path().extension() == ".json") out.insert(e.path());
    return {out.begin(), out.end()};
}

// Calls f for the view and every view below it.
inline void forEachView(const json& view, const std::function<void(const json&)>& f) {
    f(view);
    for (const auto& sub : view.value("subviews", json::array())) forEachView(sub, f);
}

// Face name of a layout whose first view shows "<face>_face.png", else empty.
inline std::string faceOf(const json& layout) {
    std::string image = layout.value(json::json_pointer("/root/subviews/0/image"), std::string());
    auto at = image.rfind("_face.png");
    return at != std::string::npos && at > 0 && at + 9 == image.size() ? image.substr(0, at) : "";
}

using Size = std::pair<int, int>;   // width, height
// Width and height from a PNG file's header, or nothing if the file is missing or not a PNG.
inline std::optional<Size> pngSize(const fs::path& path) {
    std::string h = readText(path).substr(0, 24);
    if (h.size() < 24 || h.compare(0, 8, "\x89PNG\r\n\x1a\n") || h.compare(12, 4, "IHDR")) return std::nullopt;
    auto be = [&](int at) {
        return int(uint8_t(h[at]) << 24 | uint8_t(h[at + 1]) << 16 | uint8_t(h[at + 2]) << 8 | uint8_t(h[at + 3]));
    };
    return Size{be(16), be(20)};
}

}   // namespace restest
