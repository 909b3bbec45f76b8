#pragma once
// Locks between processes: an exclusive flock(2) on a file or a folder, held while the object lives. The system
// releases it when the process ends, however it ends (kill -9 too), so a lock never outlives its holder. Taking a
// lock changes nothing on disk, so it stays outside the file layer's fault seam. In the browser a lock is never
// held (one page runs one program, and the page itself keeps other tabs out).

#include <string>

namespace platform {

class FileLock {
public:
    FileLock() = default;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    FileLock(FileLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FileLock& operator=(FileLock&& other) noexcept;
    ~FileLock() { release(); }

    // Waits for the lock on the folder at `path` (the folder's own entry, which an atomic rename of a file in it
    // does not replace). Where the folder cannot be opened or the file system has no locks, the answer is not
    // held and the caller goes on without it.
    static FileLock waitForFolder(const std::string& path);

    enum class Outcome {
        Held,            // this process holds the lock now
        HeldElsewhere,   // another open of the file holds it (another process, as a rule)
        Unavailable,     // no lock to be had: *why says what was in the way
    };
    // Tries, without waiting, the lock file at `path`, made (empty) when missing. A link, a folder or any other
    // item that is not a regular file at the path is Unavailable and left alone; so is a file that cannot be
    // made (a read-only folder). An existing file is locked even where it cannot be written.
    static FileLock tryFile(const std::string& path, Outcome* outcome, std::string* why);

    bool held() const { return fd_ >= 0; }
    void release();

private:
    explicit FileLock(int fd) : fd_(fd) {}
    int fd_ = -1;
};

}   // namespace platform
