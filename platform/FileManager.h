#pragma once
// Files and folders. Every file operation goes through FileSystem, which has a fault seam so that tests
// can make the Nth write, sync or rename fail with a chosen error. Files are written whole and atomically:
// a temporary file in the same folder, written, flushed and synced, then renamed over the old one.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

using Bytes = std::vector<std::uint8_t>;

enum class FileOp { Open, Write, Sync, Rename, Remove, MakeDir, Read };

// One system call of the file layer that succeeded, as a recorder sees it.
struct FileCall {
    FileOp op;
    std::string path;         // the file or folder acted on; a rename's source
    std::string to;           // a rename's target
    Bytes data;               // what a write wrote
    bool creates = false;     // an Open that made a new file
    bool directory = false;   // an Open or a Sync of a folder
};

// Fault injection: the `nth` call (1-based, counted from arming) of `op` fails with `error` (an errno value).
// Every system call counts once: each write(2) is a Write, each fsync(2) a Sync (an atomic write syncs the
// file, then its folder), each open(2) an Open (the temporary file, the folder to sync, a file to read), each
// read(2) a Read, each mkdir(2) a MakeDir, each unlink(2) or rmdir(2) a Remove, each rename(2) a Rename.
class FileFaults {
public:
    static FileFaults& shared();
    void failNth(FileOp op, int nth, int error);
    // Clears the armed faults and the observer.
    void clear();
    // Called by the file operations; returns the errno to fail with, or 0.
    int check(FileOp op);
    // Sees every operation just before it is checked (tests look at the folder at that moment).
    void setObserver(std::function<void(FileOp)> observer) { observer_ = std::move(observer); }
    // Sees every call that succeeded, with what it acted on (a test replays them as a crash would leave them).
    void setRecorder(std::function<void(const FileCall&)> recorder) { recorder_ = std::move(recorder); }
    // Called by the file operations after a call succeeded.
    void record(const FileCall& call) {
        if (recorder_) recorder_(call);
    }
    bool recording() const { return static_cast<bool>(recorder_); }

private:
    struct Armed {
        FileOp op;
        int remaining;
        int error;
    };
    std::vector<Armed> armed_;
    std::function<void(FileOp)> observer_;
    std::function<void(const FileCall&)> recorder_;
};

class FileManager {
public:
    static FileManager& defaultManager();

    bool fileExistsAtPath(const std::string& path) const;
    bool fileExistsAtPath(const std::string& path, bool* isDirectory) const;
    // Makes the folder (and its parents); true on success or when it exists as a folder. On failure *error
    // says which folder could not be made, and why.
    bool createDirectoryAtPath(const std::string& path, std::string* error = nullptr);
    // Whether a file can be made in the folder now: makes one (named as an atomic write's temporary file, so
    // that one left by a killed process is cleared) and removes it. On failure *error says why.
    bool canWriteInFolder(const std::string& folder, std::string* error = nullptr);
    // True on success; on failure *error gets a readable description.
    bool removeItemAtPath(const std::string& path, std::string* error = nullptr);
    // What is at a path itself (a symbolic link is not followed).
    enum class ItemKind { None, RegularFile, Other };
    ItemKind itemKindAtPath(const std::string& path) const;
    // Removes a regular file and nothing else: a folder, a link or any other item is left alone and the
    // answer is false, with *error saying so.
    bool removeFileAtPath(const std::string& path, std::string* error = nullptr);
    // Never replaces an item at `to` (the check and the move are one step where the file system allows it).
    bool moveItemAtPath(const std::string& from, const std::string& to, std::string* error = nullptr);

    // The whole file, or nothing when it is missing or unreadable. maxBytes guards against huge files.
    std::optional<Bytes> dataWithContentsOfFile(const std::string& path, std::size_t maxBytes = 64u << 20) const;
    // The same; when there is nothing, *error gets why: ENOENT (no file), EISDIR (not a regular file), EFBIG
    // (more than maxBytes), or the errno of the open or read that failed.
    std::optional<Bytes> dataWithContentsOfFile(const std::string& path, std::size_t maxBytes, int* error) const;
    // Atomic write (see above). False when any step fails; the old file is then untouched and no
    // temporary file is left. *error gets a description. The one exception is a failure to sync the folder
    // after the rename: the new contents are then in place but not known to be durable, and the write still
    // answers false.
    bool writeToFileAtomically(const std::string& path, const Bytes& bytes, std::string* error = nullptr);
    // Removes temporary files that a killed process left in a folder (never loads them): regular files
    // named ".<name>.tmp.XXXXXX", as writeToFileAtomically names them.
    void removeStaleTemporaries(const std::string& folder);
};

// Whoever keeps the folders somewhere else too (the web page keeps them in the browser's storage) is told of
// every file that a write or a move put in place, once it is there, and of every item that a removal or a move
// took away. A write's own temporary file is never told of; a stale one that was found and removed is (a copy
// kept elsewhere may hold it). Unset, no one is told.
enum class FileChange { Saved, Removed };
using FileChangeHook = std::function<void(FileChange change, const std::string& path)>;
void setFileChangeHook(FileChangeHook hook);

// Path helpers.
std::string stringByAppendingPathComponent(const std::string& path, const std::string& component);
// The user's documents directory: $XDG_DATA_HOME/plumbrick, default ~/.local/share/plumbrick.
// Tests point it elsewhere with setDocumentsDirectory.
std::string documentsDirectory();
void setDocumentsDirectory(std::string path);   // empty restores the default
// NSSearchPathForDirectoriesInDomains(9, 1, true): one entry, the documents directory.
std::vector<std::string> NSSearchPathForDirectoriesInDomains(int directory, int domainMask, bool expandTilde);

}   // namespace platform
