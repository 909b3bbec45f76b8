// Files: atomic writes under injected faults, stale temporaries, folders, reads and the documents directory.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileManager.h"

using namespace platform;

namespace {

Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

class Files : public ::testing::Test {
protected:
    void SetUp() override {
        char templ[] = "/tmp/plumbrick-files-XXXXXX";
        ASSERT_NE(::mkdtemp(templ), nullptr);
        dir = templ;
        FileFaults::shared().clear();
    }
    void TearDown() override {
        FileFaults::shared().clear();
        FileManager::defaultManager().removeItemAtPath(dir);
    }

    std::string path(const std::string& name) const { return dir + "/" + name; }

    std::set<std::string> listing() const {
        std::set<std::string> names;
        if (DIR* d = ::opendir(dir.c_str())) {
            while (dirent* e = ::readdir(d))
                if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, "..")) names.insert(e->d_name);
            ::closedir(d);
        }
        return names;
    }

    std::string contents(const std::string& p) const {
        auto data = fm.dataWithContentsOfFile(p);
        return data ? std::string(data->begin(), data->end()) : "<none>";
    }

    void touch(const std::string& p, const std::string& text = "x") { std::ofstream(p) << text; }

    FileManager& fm = FileManager::defaultManager();
    std::string dir;
};

TEST_F(Files, AtomicWriteCreatesAndReplaces) {
    const std::string target = path("Tinmarsh.result");
    std::string error;
    ASSERT_TRUE(fm.writeToFileAtomically(target, bytesOf("first"), &error)) << error;
    EXPECT_EQ(contents(target), "first");
    ASSERT_TRUE(fm.writeToFileAtomically(target, bytesOf("second, longer"), &error)) << error;
    EXPECT_EQ(contents(target), "second, longer");
    ASSERT_TRUE(fm.writeToFileAtomically(target, Bytes{}, &error)) << error;
    EXPECT_EQ(contents(target), "");
    EXPECT_EQ(listing(), std::set<std::string>{"Tinmarsh.result"});
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

// Each failing step leaves the old file as it was and no temporary file behind.
TEST_F(Files, AtomicWriteFailureKeepsOldFile) {
    struct Case { FileOp op; int nth; int err; const char* what; };
    const Case cases[] = {
        {FileOp::Open, 1, EMFILE, "temporary"},
        {FileOp::Write, 1, ENOSPC, "write"},
        {FileOp::Write, 1, EIO, "write"},
        {FileOp::Sync, 1, EIO, "sync"},
        {FileOp::Rename, 1, EXDEV, "replace"},
    };
    const std::string target = path("state");
    for (const auto& c : cases) {
        ASSERT_TRUE(fm.writeToFileAtomically(target, bytesOf("old")));
        FileFaults::shared().failNth(c.op, c.nth, c.err);
        std::string error;
        EXPECT_FALSE(fm.writeToFileAtomically(target, bytesOf("new contents"), &error)) << c.what;
        EXPECT_NE(error.find(c.what), std::string::npos) << error;
        EXPECT_NE(error.find(std::strerror(c.err)), std::string::npos) << error;
        EXPECT_NE(error.find(target), std::string::npos) << error;
        EXPECT_EQ(contents(target), "old") << c.what;
        EXPECT_EQ(listing(), std::set<std::string>{"state"}) << c.what;
        FileFaults::shared().clear();
    }
}

TEST_F(Files, AtomicWriteToMissingFolderFails) {
    std::string error;
    EXPECT_FALSE(fm.writeToFileAtomically(path("no/such/folder/file"), bytesOf("x"), &error));
    EXPECT_NE(error.find(std::strerror(ENOENT)), std::string::npos) << error;
    EXPECT_FALSE(fm.writeToFileAtomically("", bytesOf("x"), &error));
    EXPECT_FALSE(fm.writeToFileAtomically(dir + "/", bytesOf("x"), &error));
}

// The folder is synced after the rename; when that fails the save is reported as failed, the new
// contents are already in place and nothing is left over.
TEST_F(Files, FailedFolderSyncIsAFailedSave) {
    const std::string target = path("f");
    ASSERT_TRUE(fm.writeToFileAtomically(target, bytesOf("old")));
    FileFaults::shared().failNth(FileOp::Sync, 2, EIO);
    std::string error;
    EXPECT_FALSE(fm.writeToFileAtomically(target, bytesOf("new"), &error));
    EXPECT_NE(error.find("folder"), std::string::npos) << error;
    EXPECT_EQ(contents(target), "new");
    EXPECT_EQ(listing(), std::set<std::string>{"f"});
}

TEST_F(Files, FaultsCountFromArmingAndFireOnce) {
    const std::string target = path("f");
    FileFaults::shared().failNth(FileOp::Rename, 2, EACCES);
    EXPECT_TRUE(fm.writeToFileAtomically(target, bytesOf("1")));
    EXPECT_FALSE(fm.writeToFileAtomically(target, bytesOf("2")));
    EXPECT_TRUE(fm.writeToFileAtomically(target, bytesOf("3")));
    EXPECT_EQ(contents(target), "3");

    auto& faults = FileFaults::shared();
    faults.failNth(FileOp::Write, 1, EIO);
    faults.failNth(FileOp::Write, 3, ENOSPC);
    EXPECT_EQ(faults.check(FileOp::Sync), 0);
    EXPECT_EQ(faults.check(FileOp::Write), EIO);
    EXPECT_EQ(faults.check(FileOp::Write), 0);
    EXPECT_EQ(faults.check(FileOp::Write), ENOSPC);
    EXPECT_EQ(faults.check(FileOp::Write), 0);
}

// A process killed between writing and renaming leaves its temporary file; the next use of the folder
// removes it, and only files named the way the writer names them.
TEST_F(Files, StaleTemporariesAreRemoved) {
    const std::string target = path("Tinmarsh.Yolkfall.v1.state");
    std::set<std::string> seenAtRename;
    FileFaults::shared().setObserver([&](FileOp op) {
        if (op == FileOp::Rename) seenAtRename = listing();
    });
    ASSERT_TRUE(fm.writeToFileAtomically(target, bytesOf("x")));
    FileFaults::shared().clear();
    ASSERT_EQ(seenAtRename.size(), 1u);
    const std::string temp = *seenAtRename.begin();
    EXPECT_EQ(temp.rfind(".Tinmarsh.Yolkfall.v1.state.tmp.", 0), 0u) << temp;

    touch(path(temp), "partial");
    touch(path(".other.tmp.abc123"));
    touch(path(".hidden"));
    touch(path("visible.tmp.abc123"));   // no leading dot: not ours
    touch(path(".short.tmp.abc12"));     // five characters: not ours
    ASSERT_EQ(::mkdir(path(".folder.tmp.abcdef").c_str(), 0755), 0);
    fm.removeStaleTemporaries(dir);
    EXPECT_EQ(listing(), (std::set<std::string>{"Tinmarsh.Yolkfall.v1.state", ".hidden", "visible.tmp.abc123",
                                                ".short.tmp.abc12", ".folder.tmp.abcdef"}));
    EXPECT_EQ(contents(target), "x");
    fm.removeStaleTemporaries(path("missing"));   // no folder: nothing happens
}

TEST_F(Files, FoldersAndItems) {
    bool isDir = true;
    EXPECT_FALSE(fm.fileExistsAtPath(path("a"), &isDir));
    EXPECT_FALSE(isDir);
    ASSERT_TRUE(fm.createDirectoryAtPath(path("a/b/c")));
    EXPECT_TRUE(fm.fileExistsAtPath(path("a/b/c"), &isDir));
    EXPECT_TRUE(isDir);
    EXPECT_TRUE(fm.createDirectoryAtPath(path("a/b/c")));   // exists: success
    touch(path("a/file"));
    EXPECT_TRUE(fm.fileExistsAtPath(path("a/file"), &isDir));
    EXPECT_FALSE(isDir);
    EXPECT_FALSE(fm.createDirectoryAtPath(path("a/file")));
    EXPECT_FALSE(fm.createDirectoryAtPath(path("a/file/sub")));

    FileFaults::shared().failNth(FileOp::MakeDir, 1, EROFS);
    EXPECT_FALSE(fm.createDirectoryAtPath(path("x/y")));
    EXPECT_FALSE(fm.fileExistsAtPath(path("x")));

    std::string error;
    EXPECT_TRUE(fm.moveItemAtPath(path("a/file"), path("moved"), &error)) << error;
    EXPECT_TRUE(fm.fileExistsAtPath(path("moved")));
    touch(path("other"));
    EXPECT_FALSE(fm.moveItemAtPath(path("moved"), path("other"), &error));   // never replaces
    EXPECT_FALSE(fm.moveItemAtPath(path("nothing"), path("x"), &error));

    FileFaults::shared().failNth(FileOp::Remove, 1, EBUSY);
    EXPECT_FALSE(fm.removeItemAtPath(path("moved"), &error));
    EXPECT_NE(error.find(std::strerror(EBUSY)), std::string::npos) << error;
    EXPECT_TRUE(fm.fileExistsAtPath(path("moved")));
    EXPECT_TRUE(fm.removeItemAtPath(path("moved")));
    EXPECT_TRUE(fm.removeItemAtPath(path("a"), &error)) << error;   // a folder with everything in it
    EXPECT_FALSE(fm.fileExistsAtPath(path("a")));
    EXPECT_FALSE(fm.removeItemAtPath(path("a"), &error));
    EXPECT_NE(error.find(std::strerror(ENOENT)), std::string::npos) << error;
}

TEST_F(Files, Reads) {
    EXPECT_FALSE(fm.dataWithContentsOfFile(path("missing")));
    EXPECT_FALSE(fm.dataWithContentsOfFile(dir));   // a folder is not a file
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0644), 0);
    EXPECT_FALSE(fm.dataWithContentsOfFile(path("fifo")));   // nor a pipe, and reading it does not block
    touch(path("empty"), "");
    ASSERT_TRUE(fm.dataWithContentsOfFile(path("empty")));
    EXPECT_TRUE(fm.dataWithContentsOfFile(path("empty"))->empty());

    std::string big(100000, 'z');
    big[0] = 'a';
    big.back() = 'b';
    touch(path("big"), big);
    auto data = fm.dataWithContentsOfFile(path("big"));
    ASSERT_TRUE(data);
    EXPECT_EQ(std::string(data->begin(), data->end()), big);
    EXPECT_FALSE(fm.dataWithContentsOfFile(path("big"), 99999));
    EXPECT_TRUE(fm.dataWithContentsOfFile(path("big"), 100000));

    FileFaults::shared().failNth(FileOp::Read, 2, EIO);   // a failure part-way gives nothing, not a part
    EXPECT_FALSE(fm.dataWithContentsOfFile(path("big")));
    FileFaults::shared().failNth(FileOp::Open, 1, EACCES);
    EXPECT_FALSE(fm.dataWithContentsOfFile(path("big")));
}

TEST(Paths, AppendingComponents) {
    EXPECT_EQ(stringByAppendingPathComponent("/a/b", "c"), "/a/b/c");
    EXPECT_EQ(stringByAppendingPathComponent("/a/b/", "c"), "/a/b/c");
    EXPECT_EQ(stringByAppendingPathComponent("/a/b", "/c"), "/a/b/c");
    EXPECT_EQ(stringByAppendingPathComponent("/", "c"), "/c");
    EXPECT_EQ(stringByAppendingPathComponent("", "c"), "c");
    EXPECT_EQ(stringByAppendingPathComponent("a", ""), "a");
    EXPECT_EQ(stringByAppendingPathComponent("/a", "Tinmarsh.result"), "/a/Tinmarsh.result");
}

class DocumentsDirectory : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"XDG_DATA_HOME", "HOME"}) {
            const char* v = std::getenv(name);
            saved.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
        }
        setDocumentsDirectory("");
    }
    void TearDown() override {
        for (auto& [name, value] : saved) {
            if (value) ::setenv(name.c_str(), value->c_str(), 1);
            else ::unsetenv(name.c_str());
        }
        setDocumentsDirectory("");
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

TEST_F(DocumentsDirectory, FollowsXdgThenHomeAndCanBeOverridden) {
    ::setenv("HOME", "/home/player", 1);
    ::setenv("XDG_DATA_HOME", "/data/home", 1);
    EXPECT_EQ(documentsDirectory(), "/data/home/plumbrick");
    for (const char* ignored : {"relative/path", ""}) {   // not absolute: ignored
        ::setenv("XDG_DATA_HOME", ignored, 1);
        EXPECT_EQ(documentsDirectory(), "/home/player/.local/share/plumbrick");
    }
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(NSSearchPathForDirectoriesInDomains(9, 1, true),
              std::vector<std::string>{"/home/player/.local/share/plumbrick"});
    EXPECT_EQ(NSSearchPathForDirectoriesInDomains(9, 1, false), std::vector<std::string>{"~/.local/share/plumbrick"});
    EXPECT_TRUE(NSSearchPathForDirectoriesInDomains(5, 1, true).empty());

    setDocumentsDirectory("/tmp/somewhere");
    EXPECT_EQ(NSSearchPathForDirectoriesInDomains(9, 1, true), std::vector<std::string>{"/tmp/somewhere"});
    setDocumentsDirectory("");
    EXPECT_EQ(documentsDirectory(), "/home/player/.local/share/plumbrick");
}

}  // namespace
