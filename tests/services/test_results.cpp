// The results store on real files in a temporary documents folder.

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <filesystem>

#include "platform/headless/Headless.h"
#include "services/Support.h"
#include "services/VCGameRound.h"
#include "services/VCGamesResult.h"
#include "tests/services/results_fixture.h"
#include "tests/support/file_text.h"

using namespace plumbrick;
using plumbrick::testing::readText;
using plumbrick::testing::writeText;

namespace {

using plumbrick::testing::Scores;

class Results : public plumbrick::testing::ResultsFixture {
protected:
    // A results file written by hand: the dictionary's body.
    void writeXml(const std::string& body) {
        writeText(file, "<?xml version=\"1.0\"?>\n<plist version=\"1.0\"><dict>" + body + "</dict></plist>\n");
    }
    static std::string xmlPack(int day, int scores, const std::string& score = "") {
        const std::string date = "<date>2010-05-0" + std::to_string(day) + "T10:00:00Z</date>";
        return "<array>" + date + date + "<integer>10</integer>" +
               (score.empty() ? "<integer>" + std::to_string(scores) + "</integer>" : score) +
               "<integer>1</integer><string></string></array>";
    }
    int logged(const std::string& fragment) const {
        int n = 0;
        for (const auto& line : env.logLines()) n += line.rfind(fragment, 0) == 0;
        return n;
    }
};

}   // namespace

TEST_F(Results, FirstRoundWritesAFileThatLibplistReads) {
    VCGamesResult store = loaded();
    store.EndGame(10, 10, 0);
    EXPECT_FALSE(std::filesystem::exists(file)) << "EndGame without a round writes nothing";
    store.NewGame();
    EXPECT_FALSE(std::filesystem::exists(file)) << "neither Load nor NewGame writes";
    store.EndGame(31, 57, 3);

    const std::string xml = readText(file);
    plist_t root = nullptr;
    plist_from_xml(xml.data(), uint32_t(xml.size()), &root);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(plist_dict_get_size(root), 1u);
    plist_t pack = plist_access_path(root, 2, "Yolkfall.v1", 0u);
    ASSERT_EQ(plist_get_node_type(pack), PLIST_ARRAY);
    ASSERT_EQ(plist_array_get_size(pack), 6u);
    const plist_type types[6] = {PLIST_DATE, PLIST_DATE, PLIST_UINT, PLIST_UINT, PLIST_UINT, PLIST_STRING};
    for (uint32_t i = 0; i < 6; ++i) EXPECT_EQ(plist_get_node_type(plist_array_get_item(pack, i)), types[i]) << i;
    plist_free(root);
}

TEST_F(Results, FiveBestKeptSortedByScoreThatNeverDecreasesWithinARound) {
    VCGamesResult store = loaded();
    for (int score : {40, 90, 10, 70, 55}) playRound(store, score);
    EXPECT_EQ(inFile(), (Scores{90, 70, 55, 40, 10}));
    store.NewGame();
    EXPECT_EQ(scores(store), (Scores{90, 70, 55, 40, 0})) << "the lowest went, the new round came last";
    store.EndGame(3, 20, 0);
    EXPECT_EQ(inFile(), (Scores{90, 70, 55, 40, 20}));
    store.EndGame(5, 45, 0);
    EXPECT_EQ(inFile(), (Scores{90, 70, 55, 45, 40})) << "overtaking moves it up";
    store.EndGame(8, 30, 1);
    EXPECT_EQ(inFile(), (Scores{90, 70, 55, 45, 40})) << "a lower score later keeps the higher";
    VCGameRound round;
    round.setPack(store.getArGamesResult()->at(3));
    EXPECT_EQ(round.getScores(), 45);
    EXPECT_EQ(round.getTime(), 8);
    EXPECT_EQ(round.getPenalty(), 1);
}

TEST_F(Results, LoadKeepsOnlyWellFormedPacksInOrderAndRecordingGoesOn) {
    const std::string bad[] = {"<array><date>2010-05-04T10:00:00Z</date><integer>1</integer></array>",
                               xmlPack(5, 0, "<real>2.5</real>"), "<string>stray</string>",
                               xmlPack(6, 0, "<integer>99999999999</integer>")};
    writeXml("<key>Panflip.v1</key><array>" + xmlPack(1, 1) + "</array><key>Yolkfall.v1</key><array>" + xmlPack(1, 90) +
             bad[0] + xmlPack(2, 60) + bad[1] + bad[2] + bad[3] + xmlPack(3, 30) + "</array>");
    VCGamesResult store = loaded();
    EXPECT_EQ(scores(store), (Scores{90, 60, 30}));
    EXPECT_EQ(logged("ERROR VCGamesResult:Load: "), 4);
    store.NewGame();
    store.EndGame(5, 70, 0);
    EXPECT_EQ(inFile(), (Scores{90, 70, 60, 30}));
    EXPECT_EQ(inFile("Panflip.v1"), Scores{1});
    EXPECT_EQ(env.logLines().size(), 4u) << "one line for each pack dropped, and the file written is clean";
}

TEST_F(Results, AnUnreadableFileIsMovedAsideOnceBesideTheCopiesKeptEarlier) {
    const std::string aside = file + ".unreadable";
    writeText(aside, "older");
    int n = 2;
    for (const std::string content : {"<?xml this is not a property list", "<plist version=\"1.0\"><array/></plist>"}) {
        writeText(file, content);
        VCGamesResult store = loaded();
        EXPECT_TRUE(store.getArGamesResult()->empty());
        playRound(store, 8);
        const std::string kept = aside + "." + std::to_string(n++);
        EXPECT_EQ(readText(kept), content);
        EXPECT_EQ(inFile(), Scores{8});
        store.EndGame(30, 9, 2);   // the new file is readable: nothing more is moved
        EXPECT_EQ(readText(kept), content);
    }
    EXPECT_EQ(readText(aside), "older");
    EXPECT_EQ(logged("ERROR VCGamesResult:Save: "), 2);
    EXPECT_EQ(env.logLines().size(), 2u);
}

// Values that a property list cannot hold unchanged, in other games' lists, are dropped like malformed packs (one
// line each) before anything is written. That what is written is well-formed and reads back as it was kept is the
// results round-trip fuzz target's check, on these values among its seeds.
TEST_F(Results, OtherGamesValuesThatCannotBeHeldAreDroppedWithALineEach) {
    const std::string bad[] = {
        xmlPack(2, 0, "<integer>9223372036854775808</integer>"),
        "<array><date>9999-12-31T23:59:59Z</date></array>",
        "<array><string>\xff\xfe</string></array>",
        "<array><string>a&#1;b</string></array>",
        "<array><dict><key>\xc0\x80</key><true/></dict></array>",
    };
    std::string antlerby = "<key>Antlerby.v1</key><array>" + xmlPack(1, 4);
    for (const std::string& pack : bad) antlerby += pack;
    writeXml(antlerby +
             "</array><key>Reel\xff</key><array/><key>Starwick.v1</key><string>\x01</string>"
             "<key>Whiskerpond.v1</key><real>2.5</real><key>Yolkfall.v1</key><array/>");
    VCGamesResult store = loaded();
    playRound(store, 6);
    EXPECT_EQ(inFile("Antlerby.v1"), Scores{4});
    EXPECT_EQ(logged("ERROR VCGamesResult:Save: dropped "), 7);
    EXPECT_EQ(env.logLines().size(), 7u);
}
