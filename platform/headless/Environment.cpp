#include "platform/headless/Headless.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "platform/FileManager.h"
#include "platform/Image.h"
#include "platform/Log.h"
#include "platform/Notice.h"
#include "platform/Notification.h"
#include "platform/SaveReports.h"
#include "platform/View.h"

namespace platform::headless {

namespace fs = std::filesystem;

namespace {
void resetPlatform() {
    // The application first: its controllers may still invalidate timers and remove observers as they go.
    Application::sharedApplication().reset();
    NotificationCenter::defaultCenter().reset();
    RunLoop::main().reset();
    Notices::shared().reset();
    SaveReports::shared().reset();
    Animation::reset();
    Image::clearCache();
    FileFaults::shared().clear();
    setFileChangeHook(nullptr);
}
}   // namespace

Environment::Environment(std::string documentsDir) : documents_(std::move(documentsDir)) {
    if (documents_.empty()) {
        std::error_code ec;
        fs::path base = fs::temp_directory_path(ec);
        if (ec) base = "/tmp";
        std::string pattern = (base / "plumbrick-test-XXXXXX").string();
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        if (!mkdtemp(buf.data()))
            throw std::runtime_error("cannot make a temporary documents folder in " + base.string());
        documents_ = buf.data();
        ownsDocuments_ = true;
    }
    resetPlatform();
    backends_.emplace(clock_, *this, *this);
    setLogHook([this](const std::string& line) { log_.push_back(line); }, true);
    setDocumentsDirectory(documents_);
}

Environment::~Environment() {
    // What the test left running goes first, while the backends it may call are still in place.
    resetPlatform();
    backends_.reset();
    setLogHook(nullptr);
    setDocumentsDirectory({});
    if (ownsDocuments_) {
        std::error_code ec;
        fs::remove_all(documents_, ec);
    }
}

void Environment::advance(double seconds) {
    RunLoop& loop = RunLoop::main();
    const double target = clock_.now() + std::max(0.0, seconds);
    // Event by event: the clock stands at each event's time while it runs.
    for (;;) {
        const double due = loop.nextDueTime();
        if (!(due <= target + 1e-9)) break;
        clock_.set(std::max(clock_.now(), std::min(due, target)));
        loop.runUntil(due);
    }
    clock_.set(std::max(clock_.now(), target));
    loop.runUntil(target);
}

SystemSoundID Environment::create(const std::string& path) {
    soundPaths_.push_back(path);
    return static_cast<SystemSoundID>(soundPaths_.size());
}

void Environment::play(SystemSoundID id) {
    const std::string path = id >= 1 && id <= soundPaths_.size() ? soundPaths_[id - 1] : std::string{};
    sounds_.push_back(SoundPlay{id, path, RunLoop::main().now()});
}

int Environment::countPlays(const std::string& name) const {
    return static_cast<int>(std::count_if(sounds_.begin(), sounds_.end(), [&name](const SoundPlay& p) {
        return !p.path.empty() && fs::path(p.path).stem().string() == name;
    }));
}

bool Environment::logContains(const std::string& fragment) const {
    return std::any_of(log_.begin(), log_.end(),
                       [&fragment](const std::string& line) { return line.find(fragment) != std::string::npos; });
}

}   // namespace platform::headless
