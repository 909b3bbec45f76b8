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
    const char* found = std::getenv("PLUMBRICK_RESOURCES");
    const std::string override = found ? found : "";
    fs::path exeDir;
    if (override.empty()) {   // else the executable's place is not needed
        std::error_code ec;
        const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
        exeDir = ec ? fs::current_path(ec) : exe.parent_path();
    }
    searched_ = resourceCandidates(exeDir, override);
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
    // A screen looks up hundreds of pictures, most of them under several names (1x, 2x, the touch face's):
    // looked up in the listing, not the file system, each costs no system call.
    if (file.find('/') == std::string::npos && listing()) {
        if (rootFiles_.count(file)) return (root / file).string();
        // Resources may also sit one folder down (sounds/, images/, ...); the first folder in name order wins.
        for (const Folder& folder : folders_)
            if (folder.files.count(file)) return (folder.path / file).string();
        return {};
    }
    if (isFile(root / file)) return (root / file).string();
    for (const Folder& folder : folders_)
        if (isFile(folder.path / file)) return (folder.path / file).string();
    return {};
}

bool Bundle::listing() const {
    std::error_code ec;
    const fs::file_time_type changed = fs::last_write_time(root_, ec);
    if (ec) return false;
    if (listedRoot_ == root_ && listedTime_ == changed) return true;
    listedRoot_.clear();
    rootFiles_.clear();
    folders_.clear();
    for (fs::directory_iterator it(root_, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code kind;
        if (it->is_regular_file(kind)) {
            rootFiles_.insert(it->path().filename().string());
        } else if (it->is_directory(kind)) {
            Folder folder{it->path(), {}};
            std::error_code inner;
            for (fs::directory_iterator f(it->path(), inner), fend; !inner && f != fend; f.increment(inner)) {
                std::error_code fileKind;
                if (f->is_regular_file(fileKind)) folder.files.insert(f->path().filename().string());
            }
            folders_.push_back(std::move(folder));
        }
    }
    if (ec) return false;
    std::sort(folders_.begin(), folders_.end(), [](const Folder& a, const Folder& b) { return a.path < b.path; });
    listedRoot_ = root_;
    listedTime_ = changed;
    return true;
}

std::string Bundle::pathForLayout(const std::string& name) const {
    if (name.empty() || root_.empty() || name.find("..") != std::string::npos) return {};
    fs::path p = fs::path(root_) / "layouts" / (name + ".json");
    return isFile(p) ? p.string() : std::string{};
}

}   // namespace platform
