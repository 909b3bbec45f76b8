#pragma once
// One copy of the program per save folder, on the desktop. The copy that runs holds an exclusive lock on the
// file "plumbrick.lock" in the folder (released by the system when the copy ends, however it ends) and listens
// on a socket in $XDG_RUNTIME_DIR named after the folder. A later start there finds the lock held, asks the
// running copy through the socket to bring its window to the front, and ends.

#include <string>

#include "platform/FileLock.h"

namespace platform::sdl {

class SingleInstance {
public:
    // `runtimeFolder` empty: no channel (the running copy is then never asked for its window).
    SingleInstance(std::string folder, std::string runtimeFolder);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    enum class Start {
        Alone,       // this copy holds the lock
        Unlocked,    // no lock to be had (why() says what was in the way): this copy runs without one
        Elsewhere,   // another copy holds it
    };
    Start start();
    const std::string& why() const { return why_; }
    const std::string& folder() const { return folder_; }
    const std::string& lockPath() const { return lockPath_; }
    // The channel's socket: "plumbrick-<hash of the folder's real path>.socket" in the runtime folder, or empty.
    const std::string& channelPath() const { return channelPath_; }

    // After start() gave Alone: opens the channel (replacing a socket that a killed copy left). False when there
    // is no channel to open.
    bool listen();
    // Answers every request waiting on the channel, without waiting; how many there were.
    int answerRequests();
    // After start() gave Elsewhere: asks the running copy for its window; true when it answered in time.
    bool askToRaise(int timeoutMs) const;

    static constexpr const char* kLockName = "plumbrick.lock";

private:
    std::string folder_;
    std::string lockPath_;
    std::string channelPath_;
    std::string why_;
    FileLock lock_;
    int listener_ = -1;
};

}   // namespace platform::sdl
