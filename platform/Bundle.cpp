#include "platform/Bundle.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#ifndef PLUMBRICK_RESOURCE_DIR
#define PLUMBRICK_RESOURCE_DIR ""
#endif

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
}  // namespace

Bundle::Bundle() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        fs::path beside = exe.parent_path() / "resources";
        if (isDirectory(beside)) {
            root_ = beside.string();
            return;
        }
    }
    root_ = PLUMBRICK_RESOURCE_DIR;
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
    std::error_code ec;
    std::vector<fs::path> folders;
    for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec))
        if (isDirectory(it->path())) folders.push_back(it->path());
    std::sort(folders.begin(), folders.end());
    for (const fs::path& folder : folders)
        if (isFile(folder / file)) return (folder / file).string();
    return {};
}

std::string Bundle::pathForLayout(const std::string& name) const {
    if (name.empty() || root_.empty() || name.find("..") != std::string::npos) return {};
    fs::path p = fs::path(root_) / "layouts" / (name + ".json");
    return isFile(p) ? p.string() : std::string{};
}

}  // namespace platform
