// Helpers shared by the resource tests: where the sources and the built resources are, layout walking, PNG sizes.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace restest {

std::filesystem::path sourceDir();
std::filesystem::path builtDir();
std::filesystem::path facesDir();

std::vector<std::filesystem::path> layoutFiles();
nlohmann::json loadJson(const std::filesystem::path& path);

// Calls f for the root view and every view below it.
void forEachView(const nlohmann::json& view, const std::function<void(const nlohmann::json&)>& f);

// Face name of a layout whose first view shows "<face>_face.png", else empty.
std::string faceOf(const nlohmann::json& layout);

struct Size {
  int w = 0, h = 0;
  bool operator==(const Size&) const = default;
};
// Width and height from a PNG file's header, or nothing if the file is missing or not a PNG.
std::optional<Size> pngSize(const std::filesystem::path& path);

// The egg faces and their layout names.
struct EggFace {
  std::string face;
  std::string layout;
};
const std::vector<EggFace>& eggFaces();

// A fresh temporary folder, removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path write(const std::string& name, const std::string& text) const;

 private:
  std::filesystem::path path_;
};

}  // namespace restest
