#pragma once
// Resource lookup. The resources folder is found relative to the running executable, so that a copy works
// wherever it is put: `../share/plumbrick` when installed, a `resources` folder beside the executable, or the
// build tree's `resources` (beside the CMakeCache.txt in the executable's folder or one or two above it).
// PLUMBRICK_RESOURCES in the environment overrides all of them; a port whose files live elsewhere (a virtual
// file system) sets the folder with setResourcePath before the application launches.

#include <filesystem>
#include <string>
#include <unordered_set>
#include <vector>

namespace platform {

// Where resources are looked for, in order, for an executable in `exeDir`; `override` (when not empty) is the
// only place looked in.
std::vector<std::filesystem::path> resourceCandidates(const std::filesystem::path& exeDir, const std::string& override);
// The first candidate that is a folder, or empty.
std::string findResourceRoot(const std::vector<std::filesystem::path>& candidates);

class Bundle {
public:
    static Bundle& mainBundle();
    // Full path of "<name>.<type>" in the resources, or empty when missing. Type may be empty.
    std::string pathForResource(const std::string& name, const std::string& type) const;
    // Full path of a layout file "layouts/<name>.json", or empty.
    std::string pathForLayout(const std::string& name) const;
    // The resources folder; empty when none was found.
    const std::string& resourcePath() const { return root_; }
    void setResourcePath(std::string root) { root_ = std::move(root); }
    // The places looked in at start, for the message when none held the resources.
    const std::vector<std::filesystem::path>& searched() const { return searched_; }

private:
    Bundle();
    // The root's files and the folders one down from it (in name order) with their files: the program's own
    // files, which do not change while it runs, so they are listed once, and again only when the root has
    // changed (another root set, or its time of change moved). False when the root cannot be listed.
    bool listing() const;
    struct Folder {
        std::filesystem::path path;
        std::unordered_set<std::string> files;
    };
    std::string root_;
    std::vector<std::filesystem::path> searched_;
    mutable std::string listedRoot_;
    mutable std::filesystem::file_time_type listedTime_{};
    mutable std::unordered_set<std::string> rootFiles_;
    mutable std::vector<Folder> folders_;
};

}   // namespace platform
