#include "platform/FileManager.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

// Temporary files of an atomic write are named ".<name>.tmp.XXXXXX" (six characters from mkstemp).
constexpr const char* kTempInfix = ".tmp.";
constexpr std::size_t kTempSuffixLength = 6;

std::string describe(const std::string& what, const std::string& path, int err) {
    return what + " " + path + ": " + std::strerror(err);
}

void setError(std::string* error, std::string text) {
    if (error) *error = std::move(text);
}

std::string folderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string lastComponent(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool isTemporaryName(const std::string& name) {
    // ".<something>.tmp.XXXXXX"
    if (name.size() < 1 + 1 + std::strlen(kTempInfix) + kTempSuffixLength || name[0] != '.') return false;
    auto infix = name.size() - kTempSuffixLength - std::strlen(kTempInfix);
    return name.compare(infix, std::strlen(kTempInfix), kTempInfix) == 0 && infix > 1;
}

// The file operations, each of which first asks the fault seam.
int faultOr(FileOp op) { return FileFaults::shared().check(op); }

void record(const FileCall& call) {
    if (FileFaults::shared().recording()) FileFaults::shared().record(call);
}

ssize_t doWrite(int fd, const std::string& path, const std::uint8_t* data, std::size_t size) {
    if (int e = faultOr(FileOp::Write)) {
        errno = e;
        return -1;
    }
    ssize_t n = ::write(fd, data, size);
    if (n > 0 && FileFaults::shared().recording()) record({FileOp::Write, path, {}, Bytes(data, data + n)});
    return n;
}

int doSync(int fd, const std::string& path, bool directory = false) {
    if (int e = faultOr(FileOp::Sync)) {
        errno = e;
        return -1;
    }
    int r = ::fsync(fd);
    if (r == 0) record({FileOp::Sync, path, {}, {}, false, directory});
    return r;
}

// replace false: fails with EEXIST rather than replace an item at `to`, in one step where the file system
// can (elsewhere the caller's check just before has to do).
int doRename(const std::string& from, const std::string& to, bool replace = true) {
    if (int e = faultOr(FileOp::Rename)) {
        errno = e;
        return -1;
    }
    int r = -1;
#ifdef RENAME_NOREPLACE
    if (!replace) {
        r = ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
        if (r != 0 && errno != EINVAL && errno != ENOSYS) return r;
    }
#else
    (void)replace;
#endif
    if (r != 0) r = ::rename(from.c_str(), to.c_str());
    if (r == 0) record({FileOp::Rename, from, to, {}});
    return r;
}

FileChangeHook& changeHook() {
    static FileChangeHook hook;
    return hook;
}

void tell(FileChange change, const std::string& path) {
    if (changeHook()) changeHook()(change, path);
}

int doUnlink(const std::string& path) {
    if (int e = faultOr(FileOp::Remove)) {
        errno = e;
        return -1;
    }
    int r = ::unlink(path.c_str());
    if (r == 0) record({FileOp::Remove, path, {}, {}});
    return r;
}

int doOpen(const std::string& path, int flags) {
    if (int e = faultOr(FileOp::Open)) {
        errno = e;
        return -1;
    }
    int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd >= 0) record({FileOp::Open, path, {}, {}, false, (flags & O_DIRECTORY) != 0});
    return fd;
}

int doMkstemp(std::string& templ) {
    if (int e = faultOr(FileOp::Open)) {
        errno = e;
        return -1;
    }
    int fd = ::mkostemp(templ.data(), O_CLOEXEC);
    if (fd >= 0) record({FileOp::Open, templ, {}, {}, true});
    return fd;
}

ssize_t doRead(int fd, void* buffer, std::size_t size) {
    if (int e = faultOr(FileOp::Read)) {
        errno = e;
        return -1;
    }
    return ::read(fd, buffer, size);
}

int doMkdir(const std::string& path) {
    if (int e = faultOr(FileOp::MakeDir)) {
        errno = e;
        return -1;
    }
    return ::mkdir(path.c_str(), 0755);
}

bool isDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string& documentsOverride() {
    static std::string path;
    return path;
}

}   // namespace

// ---------------------------------------------------------------------------------------------------------
// FileFaults

FileFaults& FileFaults::shared() {
    static FileFaults faults;
    return faults;
}

void FileFaults::failNth(FileOp op, int nth, int error) {
    if (nth < 1 || error == 0) return;
    armed_.push_back({op, nth, error});
}

void FileFaults::clear() {
    armed_.clear();
    observer_ = nullptr;
}

int FileFaults::check(FileOp op) {
    if (observer_) observer_(op);
    int result = 0;
    for (auto it = armed_.begin(); it != armed_.end();) {
        if (it->op == op && --it->remaining == 0) {
            if (result == 0) result = it->error;
            it = armed_.erase(it);
        } else {
            ++it;
        }
    }
    return result;
}

// ---------------------------------------------------------------------------------------------------------
// FileManager

FileManager& FileManager::defaultManager() {
    static FileManager manager;
    return manager;
}

bool FileManager::fileExistsAtPath(const std::string& path) const { return fileExistsAtPath(path, nullptr); }

bool FileManager::fileExistsAtPath(const std::string& path, bool* isDir) const {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) {
        if (isDir) *isDir = false;
        return false;
    }
    if (isDir) *isDir = S_ISDIR(st.st_mode);
    return true;
}

bool FileManager::createDirectoryAtPath(const std::string& path, std::string* error) {
    if (path.empty()) {
        setError(error, describe("Could not make the folder", path, ENOENT));
        return false;
    }
    if (isDirectory(path)) return true;
    // Make the parents first, then this folder.
    std::string parent = folderOf(path);
    if (parent != path && parent != "." && parent != "/" && !isDirectory(parent)) {
        if (!createDirectoryAtPath(parent, error)) return false;
    }
    if (doMkdir(path) == 0) return true;
    // Someone else may have made it meanwhile.
    const int err = errno;
    if (err == EEXIST && isDirectory(path)) return true;
    setError(error, describe("Could not make the folder", path, err));
    return false;
}

bool FileManager::canWriteInFolder(const std::string& folder, std::string* error) {
    std::string temp = stringByAppendingPathComponent(folder, std::string(".check") + kTempInfix + "XXXXXX");
    int fd = doMkstemp(temp);
    if (fd < 0) {
        setError(error, describe("Could not make a file in", folder, errno));
        return false;
    }
    ::close(fd);
    if (doUnlink(temp) != 0) {
        setError(error, describe("Could not remove", temp, errno));
        return false;
    }
    return true;
}

bool FileManager::removeItemAtPath(const std::string& path, std::string* error) {
    struct stat st {};
    if (path.empty() || ::lstat(path.c_str(), &st) != 0) {
        setError(error, describe("Could not remove", path, path.empty() ? ENOENT : errno));
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        // A folder goes with everything in it.
        DIR* dir = ::opendir(path.c_str());
        if (!dir) {
            setError(error, describe("Could not remove", path, errno));
            return false;
        }
        std::vector<std::string> names;
        while (dirent* entry = ::readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        ::closedir(dir);
        for (const auto& name : names) {
            if (!removeItemAtPath(stringByAppendingPathComponent(path, name), error)) return false;
        }
        if (int e = faultOr(FileOp::Remove)) {
            setError(error, describe("Could not remove", path, e));
            return false;
        }
        if (::rmdir(path.c_str()) != 0) {
            setError(error, describe("Could not remove", path, errno));
            return false;
        }
        tell(FileChange::Removed, path);
        return true;
    }
    if (doUnlink(path) != 0) {
        setError(error, describe("Could not remove", path, errno));
        return false;
    }
    tell(FileChange::Removed, path);
    return true;
}

FileManager::ItemKind FileManager::itemKindAtPath(const std::string& path) const {
    struct stat st {};
    if (path.empty() || ::lstat(path.c_str(), &st) != 0) return ItemKind::None;
    return S_ISREG(st.st_mode) ? ItemKind::RegularFile : ItemKind::Other;
}

bool FileManager::removeFileAtPath(const std::string& path, std::string* error) {
    struct stat st {};
    if (path.empty() || ::lstat(path.c_str(), &st) != 0) {
        setError(error, describe("Could not remove", path, path.empty() ? ENOENT : errno));
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        setError(error, "Did not remove " + path + ": it is not a regular file");
        return false;
    }
    // unlink(2) never removes a folder, should one have taken the file's place meanwhile.
    if (doUnlink(path) != 0) {
        setError(error, describe("Could not remove", path, errno));
        return false;
    }
    tell(FileChange::Removed, path);
    return true;
}

bool FileManager::moveItemAtPath(const std::string& from, const std::string& to, std::string* error) {
    struct stat st {};
    if (::lstat(from.c_str(), &st) != 0) {
        setError(error, describe("Could not move", from, errno));
        return false;
    }
    if (::lstat(to.c_str(), &st) == 0) {
        // Like the platform's file manager, a move never replaces an existing item.
        setError(error, describe("Could not move " + from + " to", to, EEXIST));
        return false;
    }
    if (doRename(from, to, /*replace=*/false) != 0) {
        setError(error, describe("Could not move " + from + " to", to, errno));
        return false;
    }
    tell(FileChange::Removed, from);
    tell(FileChange::Saved, to);
    return true;
}

std::optional<Bytes> FileManager::dataWithContentsOfFile(const std::string& path, std::size_t maxBytes) const {
    int error = 0;
    return dataWithContentsOfFile(path, maxBytes, &error);
}

std::optional<Bytes> FileManager::dataWithContentsOfFile(const std::string& path, std::size_t maxBytes,
                                                         int* error) const {
    auto nothing = [&](int fd, int err) -> std::optional<Bytes> {
        if (fd >= 0) ::close(fd);
        *error = err;
        return std::nullopt;
    };
    // O_NONBLOCK: a FIFO in the file's place must not block the open; regular files ignore it.
    int fd = doOpen(path, O_RDONLY | O_NONBLOCK);
    if (fd < 0) return nothing(-1, errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) return nothing(fd, errno);
    if (!S_ISREG(st.st_mode)) return nothing(fd, EISDIR);
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) return nothing(fd, EFBIG);
    Bytes bytes;
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    std::uint8_t buffer[16384];
    for (;;) {
        ssize_t n = doRead(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return nothing(fd, errno);
        }
        if (n == 0) break;
        if (bytes.size() + static_cast<std::size_t>(n) > maxBytes) return nothing(fd, EFBIG);   // grew while we read it
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    ::close(fd);
    *error = 0;
    return bytes;
}

bool FileManager::writeToFileAtomically(const std::string& path, const Bytes& bytes, std::string* error) {
    if (path.empty() || path.back() == '/') {
        setError(error, describe("Could not write", path, EINVAL));
        return false;
    }
    const std::string folder = folderOf(path);
    std::string temp = stringByAppendingPathComponent(folder, "." + lastComponent(path) + kTempInfix + "XXXXXX");

    int fd = doMkstemp(temp);
    if (fd < 0) {
        setError(error, describe("Could not create a temporary file for", path, errno));
        return false;
    }
    // Every failure from here on removes the temporary file; the old file is not touched.
    auto fail = [&](const std::string& what, int err) {
        if (fd >= 0) ::close(fd);
        ::unlink(temp.c_str());
        setError(error, describe(what, path, err));
        return false;
    };

    ::fchmod(fd, 0644);   // mkstemp makes 0600; saved files are ordinary user files
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = doWrite(fd, temp, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail("Could not write", errno);
        }
        if (n == 0) return fail("Could not write", EIO);
        done += static_cast<std::size_t>(n);
    }
    if (doSync(fd, temp) != 0) return fail("Could not sync", errno);
    int closed = ::close(fd);
    fd = -1;
    if (closed != 0) return fail("Could not close", errno);
    if (doRename(temp, path) != 0) return fail("Could not replace", errno);

    // The new contents are in place; make the rename itself durable.
    int dirfd = doOpen(folder, O_RDONLY | O_DIRECTORY);
    int err = dirfd < 0 ? errno : 0;
    if (dirfd >= 0) {
        if (doSync(dirfd, folder, true) != 0) err = errno;
        ::close(dirfd);
    }
    tell(FileChange::Saved, path);   // in place, even where the folder's sync failed
    if (err != 0) {
        setError(error, describe("Wrote, but could not sync the folder of", path, err));
        return false;
    }
    return true;
}

void FileManager::removeStaleTemporaries(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    std::vector<std::string> stale;
    while (dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (!isTemporaryName(name)) continue;
        std::string path = stringByAppendingPathComponent(folder, name);
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) stale.push_back(path);
    }
    ::closedir(dir);
    for (const auto& path : stale)
        if (doUnlink(path) == 0) tell(FileChange::Removed, path);
}

// ---------------------------------------------------------------------------------------------------------
// Paths

std::string stringByAppendingPathComponent(const std::string& path, const std::string& component) {
    std::string result = path;
    while (result.size() > 1 && result.back() == '/') result.pop_back();
    std::size_t start = 0;
    while (start < component.size() && component[start] == '/') ++start;
    std::string tail = component.substr(start);
    if (tail.empty()) return result.empty() ? component : result;
    if (result.empty()) return component;
    if (result != "/") result += '/';
    return result + tail;
}

void setFileChangeHook(FileChangeHook hook) { changeHook() = std::move(hook); }

void setDocumentsDirectory(std::string path) { documentsOverride() = std::move(path); }

std::string documentsDirectory() {
    if (!documentsOverride().empty()) return documentsOverride();
    // XDG: a relative XDG_DATA_HOME is invalid and ignored.
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') return stringByAppendingPathComponent(xdg, "plumbrick");
    std::string home;
    if (const char* h = std::getenv("HOME"); h && h[0]) {
        home = h;
    } else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) {
        home = pw->pw_dir;
    } else {
        home = "/";
    }
    return stringByAppendingPathComponent(home, ".local/share/plumbrick");
}

std::vector<std::string> NSSearchPathForDirectoriesInDomains(int directory, int domainMask, bool expandTilde) {
    constexpr int kDocumentDirectory = 9;
    constexpr int kUserDomainMask = 1;
    if (directory != kDocumentDirectory || (domainMask & kUserDomainMask) == 0) return {};
    std::string path = documentsDirectory();
    if (!expandTilde) {
        const char* home = std::getenv("HOME");
        std::string h = home ? home : "";
        while (h.size() > 1 && h.back() == '/') h.pop_back();
        if (!h.empty() && h != "/" && path.compare(0, h.size(), h) == 0 &&
            (path.size() == h.size() || path[h.size()] == '/'))
            path = "~" + path.substr(h.size());
    }
    return {path};
}

}   // namespace platform
