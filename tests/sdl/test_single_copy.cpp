// One copy of the program per save folder: real processes of the program (SDL's dummy drivers) against one
// folder. Every wait is for a condition (a file, a line, an exit), with a generous limit for a busy machine.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/file_text.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr int kLimitMs = 120000;

using plumbrick::testing::readText;

// Waits until `done` holds, looking again whenever something changes in `folder`.
bool waitUntil(const fs::path& folder, const std::function<bool()>& done) {
    const int watch = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    inotify_add_watch(watch, folder.c_str(), IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO | IN_DELETE);
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLimitMs);
    bool ok = done();
    while (!ok && std::chrono::steady_clock::now() < end) {
        pollfd p{watch, POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        ::poll(&p, 1, int(std::max<long long>(1, left.count())));
        char events[4096];
        while (::read(watch, events, sizeof events) > 0) {}
        ok = done();
    }
    ::close(watch);
    return ok;
}

// The exit status of a child, or -1 when it has not ended within the limit.
int waitForExit(pid_t pid) {
    const int handle = int(::syscall(SYS_pidfd_open, pid, 0));
    if (handle >= 0) {
        pollfd p{handle, POLLIN, 0};
        ::poll(&p, 1, kLimitMs);
        ::close(handle);
    }
    int status = 0;
    if (::waitpid(pid, &status, handle >= 0 ? WNOHANG : 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

class SingleCopy : public ::testing::Test {
protected:
    void SetUp() override {
        char templ[] = "/tmp/plumbrick-copies-XXXXXX";
        ASSERT_NE(::mkdtemp(templ), nullptr);
        scratch = templ;
        folder = scratch / "data/plumbrick/Quillfen";
        runtime = scratch / "run";
        fs::create_directories(folder);
        fs::create_directories(runtime);
        fs::permissions(runtime, fs::perms::owner_all);
    }
    void TearDown() override {
        for (pid_t pid : started) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        fs::remove_all(scratch);
    }

    // Starts the program with its stderr in <scratch>/<name>.log.
    pid_t start(const std::string& name, std::vector<std::string> args = {}) {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            if (!entry.starts_with("DISPLAY=") && !entry.starts_with("WAYLAND_DISPLAY=") && !entry.starts_with("XDG_"))
                env.push_back(entry);
        }
        for (const std::string& entry :
             {"XDG_DATA_HOME=" + (scratch / "data").string(), "XDG_CONFIG_HOME=" + (scratch / "config").string(),
              "XDG_RUNTIME_DIR=" + runtime.string(), std::string("SDL_VIDEODRIVER=dummy"),
              std::string("SDL_AUDIODRIVER=dummy")})
            env.push_back(entry);
        args.insert(args.begin(), PLUMBRICK_EXE);
        std::vector<char*> argv, envp;
        for (auto& a : args) argv.push_back(a.data());
        for (auto& e : env) envp.push_back(e.data());
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, (scratch / (name + ".log")).c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        pid_t pid = -1;
        const int rc = posix_spawn(&pid, PLUMBRICK_EXE, &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0) return -1;
        started.push_back(pid);
        return pid;
    }
    int finish(pid_t pid) {
        const int status = waitForExit(pid);
        if (status >= 0) std::erase(started, pid);
        return status;
    }
    // The copy that runs has made its window and opened the channel for later starts.
    bool listening() {
        return waitUntil(runtime, [&] {
            for (const auto& entry : fs::directory_iterator(runtime))
                if (entry.path().extension() == ".socket") return true;
            return false;
        });
    }
    fs::path log(const std::string& name) const { return scratch / (name + ".log"); }

    fs::path scratch;
    fs::path folder;    // the save folder
    fs::path runtime;   // XDG_RUNTIME_DIR
    std::vector<pid_t> started;
};

}   // namespace

TEST_F(SingleCopy, ASecondStartEndsWithItsLineAndTheFirstPlaysOnWithItsSavesIntact) {
    const std::string results = "<?xml version=\"1.0\"?>\n<plist version=\"1.0\"><dict/></plist>\n";
    std::ofstream(folder / "Tinmarsh.result") << results;
    const pid_t first = start("first");
    ASSERT_TRUE(listening());

    const pid_t second = start("second");
    EXPECT_EQ(finish(second), 0);
    const std::string line = readText(log("second"));
    EXPECT_TRUE(line.starts_with("plumbrick: Plumbrick is already running")) << line;
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << line;
    if (line.ends_with("brought to the front\n")) {
        EXPECT_TRUE(waitUntil(
            scratch, [&] { return readText(log("first")).find("brought to the front") != std::string::npos; }));
    }
    EXPECT_EQ(::waitpid(first, nullptr, WNOHANG), 0) << "the first copy plays on";
    EXPECT_EQ(readText(folder / "Tinmarsh.result"), results);
    ::kill(first, SIGTERM);
    EXPECT_EQ(finish(first), 0);
    EXPECT_EQ(readText(folder / "Tinmarsh.result"), results);
}

// The next start also removes the temporary file a save cut short leaves beside the one it replaces, and keeps that.
TEST_F(SingleCopy, ACopyKilledWithSigkillLeavesNoLockBehindAndTheNextStartTidiesItsTemporaries) {
    const pid_t first = start("first");
    ASSERT_TRUE(listening());
    ::kill(first, SIGKILL);
    EXPECT_EQ(finish(first), 128 + SIGKILL);
    std::ofstream(folder / ".Tinmarsh.result.tmp.Ab12Cd") << "half a file";
    std::ofstream(folder / "Tinmarsh.result") << "kept";
    const pid_t next = start("next", {"--exit-after-first-frame"});
    EXPECT_EQ(finish(next), 0);
    EXPECT_EQ(readText(log("next")), "");
    EXPECT_FALSE(fs::exists(folder / ".Tinmarsh.result.tmp.Ab12Cd"));
    EXPECT_EQ(readText(folder / "Tinmarsh.result"), "kept");
}

// Something else where the lock file belongs: the program runs as it would without the lock, with one line.
TEST_F(SingleCopy, ALockFileThatIsNotAFileNeverStopsAStart) {
    fs::create_directory(folder / "plumbrick.lock");
    const pid_t copy = start("copy", {"--exit-after-first-frame"});
    EXPECT_EQ(finish(copy), 0);
    const std::string line = readText(log("copy"));
    EXPECT_TRUE(line.starts_with("plumbrick: cannot lock " + (folder / "plumbrick.lock").string() +
                                 " (it is not a regular file); running without it"))
        << line;
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << line;
}
