#include "platform/sdl/SingleInstance.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/FileManager.h"

namespace platform::sdl {

namespace {

constexpr char kRaised[] = "raised\n";

// FNV-1a: the same folder gives the same name in every build.
std::uint64_t hashOf(const std::string& text) {
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : text) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

bool fillAddress(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

}   // namespace

SingleInstance::SingleInstance(std::string folder, std::string runtimeFolder)
    : folder_(std::move(folder)), lockPath_(stringByAppendingPathComponent(folder_, kLockName)) {
    if (runtimeFolder.empty() || runtimeFolder[0] != '/') return;   // XDG: a relative runtime folder is invalid
    char real[PATH_MAX];
    const std::string key = ::realpath(folder_.c_str(), real) ? std::string(real) : folder_;
    char name[64];
    std::snprintf(name, sizeof name, "plumbrick-%016llx.socket", static_cast<unsigned long long>(hashOf(key)));
    channelPath_ = stringByAppendingPathComponent(runtimeFolder, name);
    sockaddr_un unused{};
    if (!fillAddress(channelPath_, unused)) channelPath_.clear();   // too long for a socket's name
}

SingleInstance::~SingleInstance() {
    if (listener_ >= 0) {
        // Still holding the lock, so the socket is this copy's own.
        ::unlink(channelPath_.c_str());
        ::close(listener_);
    }
}

SingleInstance::Start SingleInstance::start() {
    FileLock::Outcome outcome = FileLock::Outcome::Unavailable;
    lock_ = FileLock::tryFile(lockPath_, &outcome, &why_);
    switch (outcome) {
    case FileLock::Outcome::Held: return Start::Alone;
    case FileLock::Outcome::HeldElsewhere: return Start::Elsewhere;
    case FileLock::Outcome::Unavailable: break;
    }
    return Start::Unlocked;
}

bool SingleInstance::listen() {
    sockaddr_un address{};
    if (!lock_.held() || listener_ >= 0 || !fillAddress(channelPath_, address)) return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    ::unlink(channelPath_.c_str());   // left by a copy that was killed: the lock says no copy uses it now
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 8) != 0) {
        ::close(fd);
        return false;
    }
    listener_ = fd;
    return true;
}

int SingleInstance::answerRequests() {
    if (listener_ < 0) return 0;
    int answered = 0;
    for (;;) {
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) break;   // none waiting (EAGAIN), or one that gave up
        ::send(fd, kRaised, sizeof kRaised - 1, MSG_NOSIGNAL);
        ::close(fd);
        ++answered;
    }
    return answered;
}

bool SingleInstance::askToRaise(int timeoutMs) const {
    sockaddr_un address{};
    if (!fillAddress(channelPath_, address)) return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    std::string reply;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        pollfd p{fd, POLLIN, 0};
        char buffer[16];
        while (reply.size() < sizeof kRaised - 1 && ::poll(&p, 1, timeoutMs) > 0) {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            reply.append(buffer, std::size_t(n));
        }
    }
    ::close(fd);
    return reply == kRaised;
}

}   // namespace platform::sdl
