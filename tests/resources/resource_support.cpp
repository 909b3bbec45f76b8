#include "resource_support.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <stdexcept>

namespace restest {

namespace fs = std::filesystem;

fs::path sourceDir() { return PLUMBRICK_SOURCE_DIR; }
fs::path builtDir() { return PLUMBRICK_RESOURCE_DIR; }
fs::path facesDir() { return sourceDir() / "resources" / "art" / "faces"; }

std::vector<fs::path> layoutFiles() {
  std::vector<fs::path> out;
  for (const auto& e : fs::directory_iterator(sourceDir() / "resources" / "layouts"))
    if (e.path().extension() == ".json") out.push_back(e.path());
  std::sort(out.begin(), out.end());
  return out;
}

nlohmann::json loadJson(const fs::path& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return nlohmann::json::parse(in);
}

void forEachView(const nlohmann::json& view, const std::function<void(const nlohmann::json&)>& f) {
  f(view);
  if (view.contains("subviews"))
    for (const auto& sub : view["subviews"]) forEachView(sub, f);
}

std::string faceOf(const nlohmann::json& layout) {
  if (!layout.contains("root") || !layout["root"].contains("subviews") || layout["root"]["subviews"].empty())
    return {};
  const auto& first = layout["root"]["subviews"][0];
  std::string image = first.value("image", "");
  const std::string suffix = "_face.png";
  if (image.size() <= suffix.size() || image.compare(image.size() - suffix.size(), suffix.size(), suffix) != 0)
    return {};
  return image.substr(0, image.size() - suffix.size());
}

std::optional<Size> pngSize(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char h[24];
  if (!in.read(reinterpret_cast<char*>(h), sizeof h)) return std::nullopt;
  static const unsigned char sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  if (!std::equal(sig, sig + 8, h) || std::string(reinterpret_cast<char*>(h + 12), 4) != "IHDR") return std::nullopt;
  auto be = [&](int at) { return (h[at] << 24) | (h[at + 1] << 16) | (h[at + 2] << 8) | h[at + 3]; };
  return Size{be(16), be(20)};
}

const std::vector<EggFace>& eggFaces() {
  static const std::vector<EggFace> list = {{"yolkfall", "YolkfallViewController"},
                                            {"antlerby", "AntlerbyViewController"},
                                            {"reelholm", "ReelholmViewController"},
                                            {"starwick", "StarwickViewController"},
                                            {"whiskerpond", "WhiskerpondViewController"}};
  return list;
}

TempDir::TempDir() {
  std::random_device rd;
  path_ = fs::temp_directory_path() / ("plumbrick-res-" + std::to_string(rd()) + std::to_string(rd()));
  fs::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

fs::path TempDir::write(const std::string& name, const std::string& text) const {
  fs::path p = path_ / name;
  std::ofstream(p, std::ios::binary) << text;
  return p;
}

}  // namespace restest

// Under the sanitizer build: the text and font libraries that librsvg draws titles with keep process-wide caches
// that they never free. Those are not our leaks; every other allocation is still checked.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libpango\nleak:libharfbuzz\nleak:libglib\nleak:libgobject\nleak:librsvg\n";
}
