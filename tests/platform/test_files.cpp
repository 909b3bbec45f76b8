// Files: atomic writes under injected faults, stale temporaries, reads, and finding the resources folder relative
// to the executable (installed, beside it, or in the build tree).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

#include "platform/Bundle.h"
#include "platform/FileManager.h"
#include "platform/headless/Headless.h"
#include "test_support.h"

using namespace platform;
using testsupport::bytesOf;
namespace fs = std::filesystem;

namespace {

class Files : public ::testing::Test {
protected:
    headless::Environment env;
    FileManager& fm = FileManager::defaultManager();
    std::string path(const std::string& name) const { return env.documents() + "/" + name; }
    std::set<std::string> listing() const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(env.documents())) names.insert(e.path().filename());
        return names;
    }
    const fs::path top = fs::path(env.documents());
    fs::path make(const fs::path& relative) const {
        fs::create_directories(top / relative);
        return top / relative;
    }
    std::string found(const fs::path& exeDir, const std::string& override = "") const {
        return findResourceRoot(resourceCandidates(exeDir, override));
    }
    std::string contents(const std::string& p) const {
        auto data = fm.dataWithContentsOfFile(p);
        return data ? testsupport::textOf(*data) : "<none>";
    }
};

TEST_F(Files, AnAtomicWriteReplacesWholeOrFailsLeavingTheOldFileAndNoTemporary) {
    const std::string target = path("state");
    ASSERT_TRUE(fm.writeToFileAtomically(target, bytesOf("old, and longer")));
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    const struct {
        FileOp op;
        int err;
        const char* what;
    } cases[] = {
        {FileOp::Open, EMFILE, "temporary"},
        {FileOp::Write, ENOSPC, "write"},
        {FileOp::Sync, EIO, "sync"},
        {FileOp::Rename, EXDEV, "replace"},
    };
    for (const auto& c : cases) {
        FileFaults::shared().failNth(c.op, 1, c.err);
        std::string error;
        EXPECT_FALSE(fm.writeToFileAtomically(target, bytesOf("new"), &error)) << c.what;
        for (const char* part : {c.what, static_cast<const char*>(std::strerror(c.err)), target.c_str()})
            EXPECT_NE(error.find(part), std::string::npos) << error;
        EXPECT_EQ(contents(target), "old, and longer") << c.what;
        EXPECT_EQ(listing(), std::set<std::string>{"state"}) << c.what;
        FileFaults::shared().clear();
    }
    std::string error;
    EXPECT_FALSE(fm.writeToFileAtomically(path("no/such/folder/file"), bytesOf("x"), &error));
    EXPECT_NE(error.find(std::strerror(ENOENT)), std::string::npos) << error;
    // The folder is synced after the rename: when that fails the save has failed, though the new contents are in.
    FileFaults::shared().failNth(FileOp::Sync, 2, EIO);
    EXPECT_FALSE(fm.writeToFileAtomically(target, bytesOf("new"), &error));
    EXPECT_NE(error.find("folder"), std::string::npos) << error;
    EXPECT_EQ(contents(target), "new");
    EXPECT_EQ(listing(), std::set<std::string>{"state"});
}

// A process killed between writing and renaming leaves its temporary file; only files named the way the
// writer names them are removed.
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
    for (const std::string name : {temp.c_str(), ".other.tmp.abc123", "visible.tmp.abc123", ".short.tmp.abc12"})
        std::ofstream(path(name)) << "partial";
    ASSERT_EQ(::mkdir(path(".folder.tmp.abcdef").c_str(), 0755), 0);   // a folder is never removed
    fm.removeStaleTemporaries(env.documents());
    EXPECT_EQ(listing(), (std::set<std::string>{"Tinmarsh.Yolkfall.v1.state", "visible.tmp.abc123", ".short.tmp.abc12",
                                                ".folder.tmp.abcdef"}));
    EXPECT_EQ(contents(target), "x");
}

TEST_F(Files, ReadsGiveTheWholeFileOrNothing) {
    EXPECT_FALSE(fm.dataWithContentsOfFile(path("missing")));
    EXPECT_FALSE(fm.dataWithContentsOfFile(env.documents()));   // a folder is not a file
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0644), 0);
    EXPECT_FALSE(fm.dataWithContentsOfFile(path("fifo")));   // nor a pipe, and reading it does not block
    std::string big(100000, 'z');
    big.back() = 'b';
    std::ofstream(path("big")) << big;
    EXPECT_EQ(contents(path("big")), big);
    EXPECT_FALSE(fm.dataWithContentsOfFile(path("big"), 99999));
    FileFaults::shared().failNth(FileOp::Read, 2, EIO);   // a failure part-way gives nothing, not a part
    EXPECT_FALSE(fm.dataWithContentsOfFile(path("big")));
}

TEST_F(Files, TheInstalledFolderWinsOverAResourcesFolderBesideTheProgramWhichServesWithoutIt) {
    const fs::path bin = make("prefix/bin");
    make("prefix/bin/resources");
    make("prefix/share/plumbrick");
    EXPECT_EQ(found(bin), (top / "prefix/share/plumbrick").string());
    fs::remove(top / "prefix/share/plumbrick");
    EXPECT_EQ(found(bin), (bin / "resources").string());
}

TEST_F(Files, AProgramTwoFoldersDownInABuildTreeFindsTheTreesResources) {
    make("build/resources");
    std::ofstream(top / "build/CMakeCache.txt") << "# cache\n";
    EXPECT_EQ(found(make("build/tests/sdl")), (top / "build/resources").string());
}

TEST_F(Files, AnOverrideIsTheOnlyPlaceLookedIn) {
    const fs::path bin = make("prefix/bin");
    make("prefix/share/plumbrick");
    make("elsewhere");
    EXPECT_EQ(found(bin, (top / "elsewhere").string()), (top / "elsewhere").string());
    EXPECT_EQ(found(bin, (top / "missing").string()), "");
}

}   // namespace
