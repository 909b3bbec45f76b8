#include "services/Support.h"

#include <cstdint>
#include <cstdlib>
#include <set>
#include <utility>

#include "platform/Bundle.h"
#include "platform/FileManager.h"
#include "platform/SaveReports.h"

namespace plumbrick {

namespace {
// Temporary files that a killed process left behind are cleared the first time this process uses a
// save folder; never later, so that a write in progress is never disturbed.
void clearStaleTemporariesOnce(const std::string& folder) {
    static std::set<std::string> cleared;
    if (cleared.insert(folder).second) platform::FileManager::defaultManager().removeStaleTemporaries(folder);
}
}   // namespace

namespace {
// The save folder, and whether it was there before this call.
std::pair<std::string, bool> saveFolder() {
    auto& fm = platform::FileManager::defaultManager();
    const auto paths = platform::NSSearchPathForDirectoriesInDomains(9, 1, true);
    std::string documents = paths.empty() ? platform::documentsDirectory() : paths.front();
    std::string folder = platform::stringByAppendingPathComponent(documents, "Quillfen");
    bool isDirectory = false;
    // The trailing "/" makes a plain file of that name count as missing; making the folder then fails.
    if (fm.fileExistsAtPath(folder + "/", &isDirectory)) {
        platform::SaveReports::shared().setFolderProblem("");
        return {folder, true};
    }
    std::string why;
    const bool made = fm.createDirectoryAtPath(folder + "/", &why);
    platform::SaveReports::shared().setFolderProblem(made ? "" : why);
    return {made ? folder : documents, false};
}
}   // namespace

std::string getPathFolderSaveGame() {
    auto [folder, existed] = saveFolder();
    if (existed) clearStaleTemporariesOnce(folder);
    return folder;
}

std::string makeSaveFolder() { return saveFolder().first; }

bool checkSaveFolder() {
    auto& reports = platform::SaveReports::shared();
    const std::string folder = getPathFolderSaveGame();
    std::string why;
    if (platform::FileManager::defaultManager().canWriteInFolder(folder, &why)) return true;
    // A folder that could not be made is why no file can be made where it would be.
    if (!reports.folderProblem().empty()) why = reports.folderProblem();
    reports.failed("folder", "ERROR save folder: " + why, kFolderNotWritableNotice);
    return false;
}

void removeStaleSaveTemporaries() {
    const auto paths = platform::NSSearchPathForDirectoriesInDomains(9, 1, true);
    const std::string documents = paths.empty() ? platform::documentsDirectory() : paths.front();
    bool isDirectory = false;
    for (const std::string& folder : {platform::stringByAppendingPathComponent(documents, "Quillfen"), documents}) {
        if (platform::FileManager::defaultManager().fileExistsAtPath(folder, &isDirectory) && isDirectory)
            clearStaleTemporariesOnce(folder);
    }
}

bool initSound(platform::SystemSoundID& soundId, const std::string& name, const std::string& type) {
    const platform::Bundle& bundle = platform::Bundle::mainBundle();
    std::string path = bundle.pathForResource(name, type);
    // The browser's build holds its sounds as WAV (browsers decode no AIFF).
    if (path.empty()) path = bundle.pathForResource(name, "wav");
    soundId = platform::AudioServicesCreateSystemSoundID(path);
    return true;
}

int rnd2(int min, int max) {
    const std::int64_t span = std::int64_t(max) - std::int64_t(min) + 1;
    if (span <= 0) return min;
    std::int64_t r = std::int64_t(min) + std::int64_t(std::rand()) % span;
    if (r < min) r = min;
    if (r > max) r = max;
    return int(r);
}

int randMaxPositionFood() {
    int r = 2 + std::rand() % 3;
    return r > 4 ? 4 : r;
}

float randPauseCat(float min, float max) {
    const float scaled = (max - min) * 100.0f;
    if (!(scaled >= 1.0f)) return min;   // also refuses NaN
    const int n = scaled >= 2147483647.0f ? 2147483647 : int(scaled);
    const int k = std::rand() % n;
    return float(double(min) + double(k) * 0.01);
}

}   // namespace plumbrick
