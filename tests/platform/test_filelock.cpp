// Locks between processes: an flock(2) conflicts between two opens of a file even in one process, so these
// cases need no second process.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/FileLock.h"

namespace fs = std::filesystem;
using platform::FileLock;

namespace {

class FileLocks : public ::testing::Test {
protected:
    void SetUp() override {
        char templ[] = "/tmp/plumbrick-locks-XXXXXX";
        ASSERT_NE(::mkdtemp(templ), nullptr);
        folder = templ;
    }
    void TearDown() override { fs::remove_all(folder); }
    FileLock take(const fs::path& path) { return FileLock::tryFile(path, &outcome, &why); }

    fs::path folder;
    FileLock::Outcome outcome = FileLock::Outcome::Unavailable;
    std::string why;
};

}   // namespace

TEST_F(FileLocks, ALockFileIsHeldByOneOpenAtATimeAndFreeAgainOnceReleased) {
    FileLock first = take(folder / "a.lock");
    EXPECT_EQ(outcome, FileLock::Outcome::Held);
    EXPECT_TRUE(fs::is_regular_file(folder / "a.lock"));
    FileLock second = take(folder / "a.lock");
    EXPECT_EQ(outcome, FileLock::Outcome::HeldElsewhere);
    EXPECT_FALSE(second.held());
    first.release();
    FileLock third = take(folder / "a.lock");
    EXPECT_EQ(outcome, FileLock::Outcome::Held);
}

// Never a lock through a link, on a folder, or where the file cannot be made; whatever is there is left alone.
TEST_F(FileLocks, AnythingButARegularFileOrAFileThatCannotBeMadeIsUnavailable) {
    fs::create_directory(folder / "dir.lock");
    std::ofstream(folder / "target") << "kept";
    fs::create_symlink(folder / "target", folder / "link.lock");
    for (const char* name : {"dir.lock", "link.lock"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(take(folder / name).held());
        EXPECT_EQ(outcome, FileLock::Outcome::Unavailable);
        EXPECT_EQ(why, "it is not a regular file");
    }
    EXPECT_TRUE(fs::is_directory(folder / "dir.lock"));
    EXPECT_TRUE(fs::is_symlink(folder / "link.lock"));
    EXPECT_FALSE(take(folder / "missing" / "a.lock").held());
    EXPECT_EQ(outcome, FileLock::Outcome::Unavailable);
    EXPECT_EQ(why, "No such file or directory");
}

TEST_F(FileLocks, AFolderIsLockedAndAMissingOneGivesNoLockWithoutWaiting) {
    FileLock held = FileLock::waitForFolder(folder);
    EXPECT_TRUE(held.held());
    EXPECT_FALSE(FileLock::waitForFolder(folder / "missing").held()) << "no folder: no lock, no wait";
}
