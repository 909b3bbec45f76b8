#include "platform/Bundle.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace platform {

namespace fs = std::filesystem;

namespace {
bool isFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}
bool isDirectory(const fs::path& p) {
    std::error_code ec;
    return fs::is_directory(p, ec);
}
}   // namespace

std::vector<fs::path> resourceCandidates(const fs::path& exeDir, const std::string& override) {
    if (!override.empty()) return {fs::path(override)};
    std::vector<fs::path> candidates{(exeDir / ".." / "share" / "plumbrick").lexically_normal(), exeDir / "resources"};
    // A build tree: the executables sit one or two folders below the tree's top (app/, tests/sdl/, ...).
    fs::path dir = exeDir;
    for (int up = 0; up < 3 && dir.has_relative_path(); ++up, dir = dir.parent_path())
        if (isFile(dir / "CMakeCache.txt")) {
            candidates.push_back(dir / "resources");
            break;
        }
    return candidates;
}

std::string findResourceRoot(const std::vector<fs::path>& candidates) {
    for (const fs::path& c : candidates)
        if (isDirectory(c)) return c.string();
    return {};
}

Bundle::Bundle() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    const char* override = std::getenv("PLUMBRICK_RESOURCES");
    searched_ = resourceCandidates(ec ? fs::current_path(ec) : exe.parent_path(), override ? override : "");
    root_ = findResourceRoot(searched_);
}

Bundle& Bundle::mainBundle() {
    static Bundle bundle;
    return bundle;
}

std::string Bundle::pathForResource(const std::string& name, const std::string& type) const {
    if (name.empty() || root_.empty()) return {};
    const std::string file = type.empty() ? name : name + "." + type;
    if (file.find("..") != std::string::npos) return {};
    fs::path root(root_);
    if (isFile(root / file)) return (root / file).string();
    // Resources may also sit one folder down (sounds/, images/, ...); the first folder in name order wins.
    for (const fs::path& folder : folders())
        if (isFile(folder / file)) return (folder / file).string();
    return {};
}

const std::vector<fs::path>& Bundle::folders() const {
    // A screen looks up hundreds of pictures: the root is listed once, not at every lookup, and again when
    // its time of change moves (a folder added or taken away).
    std::error_code ec;
    const fs::file_time_type changed = fs::last_write_time(root_, ec);
    if (!ec && listedRoot_ == root_ && listedTime_ == changed) return listed_;
    listed_.clear();
    listedRoot_ = ec ? std::string{} : root_;
    listedTime_ = changed;
    for (fs::directory_iterator it(root_, ec), end; !ec && it != end; it.increment(ec))
        if (isDirectory(it->path())) listed_.push_back(it->path());
    std::sort(listed_.begin(), listed_.end());
    return listed_;
}

std::string Bundle::pathForLayout(const std::string& name) const {
    if (name.empty() || root_.empty() || name.find("..") != std::string::npos) return {};
    fs::path p = fs::path(root_) / "layouts" / (name + ".json");
    return isFile(p) ? p.string() : std::string{};
}

}   // namespace platform
