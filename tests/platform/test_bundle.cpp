// Finding the resources folder relative to the executable: installed, beside it, or in the build tree.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/Bundle.h"
#include "platform/headless/Headless.h"

using namespace platform;
namespace fs = std::filesystem;

namespace {

class ResourceLookup : public ::testing::Test {
protected:
    headless::Environment env;
    fs::path top = fs::path(env.documents());
    fs::path make(const fs::path& relative) const {
        fs::create_directories(top / relative);
        return top / relative;
    }
    std::string found(const fs::path& exeDir, const std::string& override = "") const {
        return findResourceRoot(resourceCandidates(exeDir, override));
    }
};

TEST_F(ResourceLookup, AnInstalledCopyFindsShareBesideItsBinFolder) {
    const fs::path bin = make("prefix/bin");
    make("prefix/share/plumbrick");
    EXPECT_EQ(found(bin), (top / "prefix/share/plumbrick").string());
}

TEST_F(ResourceLookup, TheInstalledFolderWinsOverAResourcesFolderBesideTheProgram) {
    const fs::path bin = make("prefix/bin");
    make("prefix/bin/resources");
    make("prefix/share/plumbrick");
    EXPECT_EQ(found(bin), (top / "prefix/share/plumbrick").string());
}

TEST_F(ResourceLookup, AResourcesFolderBesideTheProgramIsUsed) {
    const fs::path dir = make("unpacked");
    make("unpacked/resources");
    EXPECT_EQ(found(dir), (top / "unpacked/resources").string());
}

TEST_F(ResourceLookup, AProgramTwoFoldersDownInABuildTreeFindsTheTreesResources) {
    make("build/resources");
    std::ofstream(top / "build/CMakeCache.txt") << "# cache\n";
    EXPECT_EQ(found(make("build/tests/sdl")), (top / "build/resources").string());
}

TEST_F(ResourceLookup, ABuildTreeMoreThanTwoFoldersUpIsNotSearched) {
    make("build/resources");
    std::ofstream(top / "build/CMakeCache.txt") << "# cache\n";
    EXPECT_EQ(found(make("build/a/b/c")), "");
}

TEST_F(ResourceLookup, NothingFoundGivesAnEmptyPathAndTheCandidatesNameWhereItLooked) {
    const fs::path bin = make("prefix/bin");
    EXPECT_EQ(found(bin), "");
    const auto places = resourceCandidates(bin, "");
    ASSERT_EQ(places.size(), 2u);
    EXPECT_EQ(places[0], top / "prefix/share/plumbrick");
    EXPECT_EQ(places[1], bin / "resources");
}

TEST_F(ResourceLookup, AnOverrideIsTheOnlyPlaceLookedIn) {
    const fs::path bin = make("prefix/bin");
    make("prefix/share/plumbrick");
    make("elsewhere");
    EXPECT_EQ(found(bin, (top / "elsewhere").string()), (top / "elsewhere").string());
    EXPECT_EQ(found(bin, (top / "missing").string()), "");
}

}   // namespace
