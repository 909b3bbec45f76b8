#include "platform/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace platform {

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

void FileLock::release() {
    if (fd_ >= 0) ::close(fd_);   // closing the last descriptor of the open file releases its lock
    fd_ = -1;
}

#ifdef __EMSCRIPTEN__

FileLock FileLock::waitForFolder(const std::string&) { return {}; }

FileLock FileLock::tryFile(const std::string&, Outcome* outcome, std::string* why) {
    *outcome = Outcome::Unavailable;
    *why = "the browser has no file locks";
    return {};
}

#else

FileLock FileLock::waitForFolder(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return {};
    int r = 0;
    do r = ::flock(fd, LOCK_EX);
    while (r != 0 && errno == EINTR);
    if (r != 0) {
        ::close(fd);
        return {};
    }
    return FileLock(fd);
}

FileLock FileLock::tryFile(const std::string& path, Outcome* outcome, std::string* why) {
    auto unavailable = [&](std::string reason) {
        *outcome = Outcome::Unavailable;
        *why = std::move(reason);
        return FileLock();
    };
    // O_NOFOLLOW: a link is never followed; O_NONBLOCK: a FIFO in the file's place does not block the open.
    constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | kFlags, 0644);
    int error = fd < 0 ? errno : 0;
    if (fd < 0 && (error == EACCES || error == EROFS || error == EPERM)) {
        fd = ::open(path.c_str(), O_RDONLY | kFlags);   // an existing file in a folder that cannot be written
        if (fd < 0 && errno != ENOENT) error = errno;   // no file there: the reason it could not be made stands
    }
    if (fd < 0) {
        if (error == ELOOP || error == EISDIR) return unavailable("it is not a regular file");
        return unavailable(std::strerror(error));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return unavailable("it is not a regular file");
    }
    int r = 0;
    do r = ::flock(fd, LOCK_EX | LOCK_NB);
    while (r != 0 && errno == EINTR);
    if (r != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) {
            *outcome = Outcome::HeldElsewhere;
            why->clear();
            return {};
        }
        return unavailable(std::strerror(error));
    }
    *outcome = Outcome::Held;
    why->clear();
    return FileLock(fd);
}

#endif

}   // namespace platform
