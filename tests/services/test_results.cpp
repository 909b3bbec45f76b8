// The results store on real files in a temporary documents folder.

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/FileManager.h"
#include "platform/Plist.h"
#include "platform/headless/Headless.h"
#include "services/Support.h"
#include "services/VCGameRound.h"
#include "services/VCGamesResult.h"

using namespace plumbrick;
namespace fs = std::filesystem;

namespace {

constexpr double kWallBase = 1296741900.0;   // 2011-02-03T14:05:00Z, the headless clock's start

class Results : public ::testing::Test {
protected:
    platform::headless::Environment env;
    std::string file = getPathFolderSaveGame() + "/Tinmarsh.result";

    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static void write(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    // A results file written by hand: game id -> the given packs (XML array bodies).
    void writeXml(const std::string& body) {
        write(file, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + body + "</dict></plist>\n");
    }
    static std::string xmlPack(const std::string& start, int time, int scores, int penalty) {
        return "<array><date>" + start + "</date><date>" + start + "</date><integer>" + std::to_string(time) +
               "</integer><integer>" + std::to_string(scores) + "</integer><integer>" + std::to_string(penalty) +
               "</integer><string></string></array>";
    }
    static std::vector<int> scores(const VCGamesResult& store) {
        std::vector<int> out;
        for (const auto& pack : *store.getArGamesResult()) out.push_back(VCGameRound::scoresOfPack(pack));
        return out;
    }
    // The scores stored under `game` in the file, read back with our reader.
    std::vector<int> scoresInFile(const std::string& game) {
        VCGamesResult store(game);
        store.Load();
        return scores(store);
    }
    // Plays one round: NewGame, EndGame with the score, and a few seconds between rounds.
    void playRound(VCGamesResult& store, int score) {
        store.NewGame();
        env.advance(2.0);
        store.EndGame(20, score, 2);
        env.advance(2.0);
    }
    int logCount(const std::string& fragment) const {
        int n = 0;
        for (const auto& line : env.logLines()) n += line.find(fragment) != std::string::npos;
        return n;
    }
};

}  // namespace

TEST_F(Results, FirstRoundWritesTheFileWithOnePack) {
    VCGamesResult store("Yolkfall.v1");
    EXPECT_EQ(store.getArGamesResult(), nullptr);
    EXPECT_EQ(store.getPlaceOfStorage(), env.documents() + "/Quillfen/Tinmarsh.result");
    store.Load();
    ASSERT_NE(store.getArGamesResult(), nullptr);
    EXPECT_TRUE(store.getArGamesResult()->empty());
    EXPECT_FALSE(fs::exists(file)) << "Load writes nothing";

    env.advance(0.25);
    store.NewGame();
    ASSERT_EQ(store.getArGamesResult()->size(), 1u);
    EXPECT_FALSE(fs::exists(file)) << "NewGame does not save";
    env.advance(31.5);
    store.EndGame(31, 57, 3);
    ASSERT_TRUE(fs::exists(file));

    // Read the file with libplist itself: keys, nesting and value types.
    const std::string xml = read(file);
    EXPECT_EQ(xml.rfind("<?xml", 0), 0u);
    plist_t root = nullptr;
    plist_from_xml(xml.data(), uint32_t(xml.size()), &root);
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(plist_get_node_type(root), PLIST_DICT);
    EXPECT_EQ(plist_dict_get_size(root), 1u);
    plist_t list = plist_dict_get_item(root, "Yolkfall.v1");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(plist_get_node_type(list), PLIST_ARRAY);
    ASSERT_EQ(plist_array_get_size(list), 1u);
    plist_t pack = plist_array_get_item(list, 0);
    ASSERT_EQ(plist_get_node_type(pack), PLIST_ARRAY);
    ASSERT_EQ(plist_array_get_size(pack), 6u);
    const plist_type types[6] = {PLIST_DATE, PLIST_DATE, PLIST_UINT, PLIST_UINT, PLIST_UINT, PLIST_STRING};
    for (uint32_t i = 0; i < 6; ++i) EXPECT_EQ(plist_get_node_type(plist_array_get_item(pack, i)), types[i]) << i;
    int32_t sec = 0, usec = 0;
    plist_get_date_val(plist_array_get_item(pack, 0), &sec, &usec);
    EXPECT_NEAR(sec + usec / 1e6 + 978307200.0, kWallBase + 0.25, 1.0);
    plist_get_date_val(plist_array_get_item(pack, 1), &sec, &usec);
    EXPECT_NEAR(sec + usec / 1e6 + 978307200.0, kWallBase + 31.75, 1.0);
    const uint64_t expected[3] = {31, 57, 3};
    for (uint32_t i = 0; i < 3; ++i) {
        uint64_t v = 0;
        plist_get_uint_val(plist_array_get_item(pack, 2 + i), &v);
        EXPECT_EQ(v, expected[i]);
    }
    char* name = nullptr;
    plist_get_string_val(plist_array_get_item(pack, 5), &name);
    ASSERT_NE(name, nullptr);
    EXPECT_STREQ(name, "");
    free(name);
    plist_free(root);

    // The current round stays current: later records go to the same pack.
    store.EndGame(40, 60, 4);
    EXPECT_EQ(scoresInFile("Yolkfall.v1"), std::vector<int>{60});
    EXPECT_TRUE(env.logLines().empty());
}

TEST_F(Results, KeepsTheFiveBestAndDropsTheLowest) {
    VCGamesResult store("Yolkfall.v1");
    store.Load();
    for (int score : {40, 90, 10, 70, 55}) playRound(store, score);
    EXPECT_EQ(scores(store), (std::vector<int>{90, 70, 55, 40, 10}));
    EXPECT_EQ(scoresInFile("Yolkfall.v1"), (std::vector<int>{90, 70, 55, 40, 10}));

    store.NewGame();
    EXPECT_EQ(scores(store), (std::vector<int>{90, 70, 55, 40, 0})) << "the lowest went, the new round came last";
    EXPECT_EQ(scoresInFile("Yolkfall.v1").size(), 5u) << "the file learns of it at the next record";
    env.advance(3);
    store.EndGame(3, 60, 0);
    EXPECT_EQ(scoresInFile("Yolkfall.v1"), (std::vector<int>{90, 70, 60, 55, 40}));
}

TEST_F(Results, SevenForeignPacksAreCutToFourBeforeTheNewRound) {
    std::string packs;
    for (int i = 0; i < 7; ++i) packs += xmlPack("2010-01-0" + std::to_string(i + 1) + "T10:00:00Z", 5, 70 - i, 0);
    writeXml("<key>Yolkfall.v1</key><array>" + packs + "</array>");
    VCGamesResult store("Yolkfall.v1");
    store.Load();
    EXPECT_EQ(store.getArGamesResult()->size(), 7u);
    store.NewGame();
    EXPECT_EQ(scores(store), (std::vector<int>{70, 69, 68, 67, 0}));
}

TEST_F(Results, ScoreNeverDecreasesWithinARound) {
    VCGamesResult store("Yolkfall.v1");
    store.Load();
    store.NewGame();
    store.EndGame(30, 120, 2);
    store.EndGame(45, 80, 3);
    VCGameRound round;
    round.setPack(store.getArGamesResult()->front());
    EXPECT_EQ(round.getTime(), 45);
    EXPECT_EQ(round.getPenalty(), 3);
    EXPECT_EQ(round.getScores(), 120);
    EXPECT_EQ(scoresInFile("Yolkfall.v1"), std::vector<int>{120});
}

TEST_F(Results, ARoundThatOvertakesMovesUp) {
    VCGamesResult store("Yolkfall.v1");
    store.Load();
    for (int score : {50, 30}) playRound(store, score);
    store.NewGame();
    store.EndGame(5, 20, 0);
    EXPECT_EQ(scores(store), (std::vector<int>{50, 30, 20}));
    store.EndGame(9, 45, 0);
    EXPECT_EQ(scores(store), (std::vector<int>{50, 45, 30}));
    store.EndGame(12, 51, 0);
    EXPECT_EQ(scores(store), (std::vector<int>{51, 50, 30}));
    EXPECT_EQ(scoresInFile("Yolkfall.v1"), (std::vector<int>{51, 50, 30}));
}

TEST_F(Results, EqualScoresKeepTheirOrder) {
    VCGamesResult store("Yolkfall.v1");
    store.Load();
    for (int i = 0; i < 3; ++i) playRound(store, 25);
    const auto& list = *store.getArGamesResult();
    for (std::size_t i = 1; i < list.size(); ++i)
        EXPECT_LT(VCGameRound::dateStartOfPack(list[i - 1]).timeIntervalSince1970,
                  VCGameRound::dateStartOfPack(list[i]).timeIntervalSince1970);
}

TEST_F(Results, StartDateLookupTolerance) {
    const platform::Date t0 = platform::Date::dateWithTimeIntervalSince1970(kWallBase + 100);
    auto list = std::make_shared<platform::PlistArray>();
    list->push_back(VCGameRound(t0, t0, 1, 10, 0, "").getPack());
    const platform::Date t1 = platform::Date::dateWithTimeIntervalSince1970(kWallBase + 100.8);
    list->push_back(VCGameRound(t1, t1, 1, 10, 0, "").getPack());
    VCGamesResult store("Yolkfall.v1");
    store.setArGamesResult(list);

    auto at = [&](double offset) { return store.findResultWithDateStart(platform::Date{t0.timeIntervalSince1970 + offset}); };
    EXPECT_EQ(at(0), 0);
    EXPECT_EQ(at(1.0), 0) << "1.0 s after the first entry: the nearer-front entry wins";
    EXPECT_EQ(at(-1.0), 0);
    EXPECT_EQ(at(1.2), 1) << "only the second entry is within 1.1 s";
    EXPECT_EQ(at(1.85), 1);
    EXPECT_EQ(at(1.95), -1) << "1.15 s from the second";
    EXPECT_EQ(at(2.0), -1);
    EXPECT_EQ(at(-1.2), -1);

    store.setArGamesResult(std::make_shared<platform::PlistArray>());
    EXPECT_EQ(store.findResultWithDateStart(t0), -1);
    VCGamesResult unloaded("Yolkfall.v1");
    EXPECT_EQ(unloaded.findResultWithDateStart(t0), -1);
}

TEST_F(Results, SetGameRoundWithDateStart) {
    VCGamesResult store("Yolkfall.v1");
    store.Load();
    store.NewGame();
    const platform::Date start = store.getGameround()->getDateStart();
    store.EndGame(12, 34, 1);
    env.advance(10);
    store.NewGame();   // another round becomes current
    store.EndGame(1, 5, 0);

    EXPECT_TRUE(store.setGameRoundWithDateStart(platform::Date{start.timeIntervalSince1970 + 0.5}));
    EXPECT_EQ(store.getGameround()->getScores(), 34);
    EXPECT_EQ(store.getGameround()->getTime(), 12);
    EXPECT_EQ(store.getGameround()->getDateStart(), start) << "the start date as stored";
    EXPECT_EQ(store.getArGamesResult()->size(), 2u);

    VCGamesResult fresh("Yolkfall.v1");
    fresh.Load();
    EXPECT_EQ(fresh.getGameround(), nullptr);
    EXPECT_TRUE(fresh.setGameRoundWithDateStart(start)) << "a store with no current round makes one";
    ASSERT_NE(fresh.getGameround(), nullptr);
    EXPECT_EQ(fresh.getGameround()->getScores(), 34);
    EXPECT_EQ(fresh.getArGamesResult()->size(), 2u) << "the round is not added to the list";

    env.advance(5);
    const double now = platform::Date::date().timeIntervalSince1970;
    EXPECT_FALSE(fresh.setGameRoundWithDateStart(platform::Date{start.timeIntervalSince1970 - 1000}));
    EXPECT_EQ(fresh.getArGamesResult()->size(), 3u) << "no match: a new round is appended";
    EXPECT_DOUBLE_EQ(fresh.getGameround()->getDateStart().timeIntervalSince1970, now) << "it begins now";
    EXPECT_EQ(fresh.getGameround()->getScores(), 0);
}

TEST_F(Results, ARoundRecordedReloadedAndRecordedAgainIsNotDuplicated) {
    env.advance(0.73);   // a start date with a fraction of a second, which the file does not keep
    VCGamesResult game("Yolkfall.v1");
    game.Load();
    game.NewGame();
    const platform::Date start = game.getGameround()->getDateStart();
    EXPECT_NE(start.timeIntervalSince1970, double(long(start.timeIntervalSince1970)));
    env.advance(4);
    game.EndGame(4, 10, 0);

    // The same store reads the file again (whole seconds now) and records again.
    game.Load();
    game.EndGame(8, 20, 0);
    EXPECT_EQ(scoresInFile("Yolkfall.v1"), std::vector<int>{20});

    // The next run: a new store picks the round up by the start date kept with the paused game.
    VCGamesResult next("Yolkfall.v1");
    next.Load();
    ASSERT_TRUE(next.setGameRoundWithDateStart(start));
    next.EndGame(12, 30, 1);
    next.EndGame(16, 31, 1);
    EXPECT_EQ(scoresInFile("Yolkfall.v1"), std::vector<int>{31});
}

TEST_F(Results, SaveKeepsTheOtherGamesLists) {
    VCGamesResult cook("Panflip.v1");
    cook.Load();
    playRound(cook, 77);
    playRound(cook, 12);
    VCGamesResult egg("Yolkfall.v1");
    egg.Load();
    playRound(egg, 5);
    EXPECT_EQ(scoresInFile("Panflip.v1"), (std::vector<int>{77, 12}));
    EXPECT_EQ(scoresInFile("Yolkfall.v1"), std::vector<int>{5});

    // Another game's list is kept as read, even when it is not ours to judge.
    writeXml("<key>Antlerby.v1</key><string>odd</string><key>Yolkfall.v1</key><array/>");
    egg.EndGame(1, 6, 0);
    auto dict = platform::dictionaryWithContentsOfFile(file);
    ASSERT_TRUE(dict);
    ASSERT_TRUE(dict->count("Antlerby.v1"));
    EXPECT_EQ(*dict->at("Antlerby.v1").asString(), "odd");
    EXPECT_EQ(scoresInFile("Yolkfall.v1"), std::vector<int>{6});
    EXPECT_TRUE(env.logLines().empty());
}

TEST_F(Results, EndGameWithoutACurrentRoundChangesNothing) {
    VCGamesResult store("Yolkfall.v1");
    store.Load();
    store.EndGame(10, 10, 0);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_TRUE(store.getArGamesResult()->empty());

    VCGamesResult other("Panflip.v1");
    other.Load();
    playRound(other, 3);
    const std::string before = read(file);
    store.EndGame(10, 10, 0);
    EXPECT_EQ(read(file), before);

    VCGamesResult unloaded("Yolkfall.v1");   // a round begun before any Load is never recorded
    unloaded.NewGame();
    unloaded.EndGame(1, 2, 3);
    EXPECT_EQ(unloaded.getArGamesResult(), nullptr);
    EXPECT_EQ(read(file), before);
}

TEST_F(Results, MalformedPackInTheListIsLoggedByEndGame) {
    VCGamesResult store("Yolkfall.v1");
    store.Load();
    store.NewGame();
    auto list = std::make_shared<platform::PlistArray>();
    list->push_back(platform::PlistArray{platform::PlistValue("not a date"), 1, 2});
    list->push_back(store.getGameround()->getPack());
    store.setArGamesResult(list);
    env.advance(3);
    store.EndGame(3, 9, 1);
    ASSERT_EQ(env.logLines().size(), 1u);
    EXPECT_EQ(env.logLines()[0].rfind("ERROR VCGamesResult:EndGame: ", 0), 0u) << env.logLines()[0];
    EXPECT_GT(env.logLines()[0].size(), std::string("ERROR VCGamesResult:EndGame: ").size()) << "with a description";
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(store.getGameround()->getTime(), 3) << "the steps before the failure stay done";
    EXPECT_EQ(store.getGameround()->getScores(), 9);
}

TEST_F(Results, LoadDropsMalformedPacksAndRecordingGoesOn) {
    const std::string good1 = xmlPack("2010-05-01T10:00:00Z", 10, 90, 1);
    const std::string good2 = xmlPack("2010-05-02T10:00:00Z", 10, 60, 1);
    const std::string good3 = xmlPack("2010-05-03T10:00:00Z", 10, 30, 1);
    const std::string shortPack = "<array><date>2010-05-04T10:00:00Z</date><integer>1</integer></array>";
    const std::string realScore =
        "<array><date>2010-05-05T10:00:00Z</date><date>2010-05-05T10:00:00Z</date><integer>1</integer>"
        "<real>2.5</real><integer>0</integer><string></string></array>";
    const std::string hugeScore =
        "<array><date>2010-05-06T10:00:00Z</date><date>2010-05-06T10:00:00Z</date><integer>1</integer>"
        "<integer>99999999999</integer><integer>0</integer><string></string></array>";
    writeXml("<key>Panflip.v1</key><array>" + xmlPack("2010-04-01T10:00:00Z", 1, 1, 1) +
             "</array><key>Yolkfall.v1</key><array>" + good1 + shortPack + good2 + realScore +
             "<string>stray</string>" + hugeScore + good3 + "</array>");
    VCGamesResult store("Yolkfall.v1");
    store.Load();
    EXPECT_EQ(scores(store), (std::vector<int>{90, 60, 30}));
    EXPECT_EQ(logCount("ERROR VCGamesResult:Load: "), 4);
    EXPECT_EQ(env.logLines().size(), 4u);

    store.NewGame();
    store.EndGame(5, 70, 0);
    EXPECT_EQ(scoresInFile("Yolkfall.v1"), (std::vector<int>{90, 70, 60, 30}));
    EXPECT_EQ(scoresInFile("Panflip.v1"), std::vector<int>{1});
    EXPECT_EQ(logCount("EndGame"), 0);
}

TEST_F(Results, NonArrayUnderTheGameIdGivesAnEmptyList) {
    writeXml("<key>Yolkfall.v1</key><dict/>");
    VCGamesResult store("Yolkfall.v1");
    store.Load();
    ASSERT_NE(store.getArGamesResult(), nullptr);
    EXPECT_TRUE(store.getArGamesResult()->empty());
    EXPECT_TRUE(env.logLines().empty());
}

TEST_F(Results, AnUnreadableFileIsMovedAsideBeforeItIsReplaced) {
    const std::string aside = file + ".unreadable";
    write(aside, "older garbage");
    write(file, "<?xml this is not a property list");
    VCGamesResult store("Yolkfall.v1");
    store.Load();
    EXPECT_TRUE(store.getArGamesResult()->empty());
    EXPECT_TRUE(env.logLines().empty()) << "Load reports nothing";

    playRound(store, 8);
    EXPECT_EQ(read(aside), "<?xml this is not a property list") << "the older one was replaced";
    EXPECT_EQ(scoresInFile("Yolkfall.v1"), std::vector<int>{8});
    EXPECT_EQ(logCount("ERROR VCGamesResult:Save: "), 1);

    store.EndGame(30, 9, 2);   // the new file is readable: nothing more is moved
    EXPECT_EQ(read(aside), "<?xml this is not a property list");
    EXPECT_EQ(env.logLines().size(), 1u);
}

TEST_F(Results, AFileOfTheWrongShapeIsMovedAsideToo) {
    write(file, "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>x</string></array></plist>");
    VCGamesResult store("Yolkfall.v1");
    store.Load();
    playRound(store, 4);
    EXPECT_TRUE(fs::exists(file + ".unreadable"));
    EXPECT_EQ(scoresInFile("Yolkfall.v1"), std::vector<int>{4});
}

TEST_F(Results, AnUnreadableFileThatCannotBeMovedIsNotOverwritten) {
    write(file, "garbage");
    VCGamesResult store("Yolkfall.v1");
    store.Load();
    store.NewGame();
    platform::FileFaults::shared().failNth(platform::FileOp::Rename, 1, EIO);
    store.EndGame(1, 2, 0);
    platform::FileFaults::shared().clear();
    EXPECT_EQ(read(file), "garbage");
    EXPECT_FALSE(fs::exists(file + ".unreadable"));
    EXPECT_EQ(logCount("ERROR VCGamesResult:Save: "), 1);
    store.EndGame(2, 3, 0);   // the next record moves it and saves
    EXPECT_EQ(read(file + ".unreadable"), "garbage");
    EXPECT_EQ(scoresInFile("Yolkfall.v1"), std::vector<int>{3});
}

TEST_F(Results, AFailedWriteGoesUnnoticedAndLeavesTheOldFile) {
    VCGamesResult store("Yolkfall.v1");
    store.Load();
    playRound(store, 10);
    const std::string before = read(file);
    store.NewGame();
    platform::FileFaults::shared().failNth(platform::FileOp::Sync, 1, EIO);
    store.EndGame(1, 20, 0);
    platform::FileFaults::shared().clear();
    EXPECT_EQ(read(file), before);
    EXPECT_EQ(scores(store), (std::vector<int>{20, 10})) << "the list in memory has the record";
    store.EndGame(2, 21, 0);
    EXPECT_EQ(scoresInFile("Yolkfall.v1"), (std::vector<int>{21, 10}));
}

TEST(GameRound, PackRoundTripAndMalformedPacks) {
    platform::headless::Environment env;
    const platform::Date a{kWallBase + 0.5}, b{kWallBase + 61.25};
    VCGameRound round(a, b, 61, 999, -1, "x");
    const auto pack = round.getPack();
    auto back = VCGameRound::initWithPack(pack);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->getDateStart(), a);
    EXPECT_EQ(back->getDateEnd(), b);
    EXPECT_EQ(back->getTime(), 61);
    EXPECT_EQ(back->getScores(), 999);
    EXPECT_EQ(back->getPenalty(), -1);
    EXPECT_EQ(back->getName(), "x");
    EXPECT_TRUE(env.logLines().empty());

    const std::vector<platform::PlistValue> bad = {
        platform::PlistValue(5),
        platform::PlistArray{a, b, 1, 2, 3},
        platform::PlistArray{a, b, 1, 2, 3, "", ""},
        platform::PlistArray{a, 7, 1, 2, 3, ""},
        platform::PlistArray{a, b, 1, 2.0, 3, ""},
        platform::PlistArray{a, b, 1, 2, 3, 4},
        platform::PlistArray{a, b, std::int64_t(1) << 40, 2, 3, ""},
    };
    for (const auto& pack : bad) EXPECT_EQ(VCGameRound::initWithPack(pack), nullptr);
    ASSERT_EQ(env.logLines().size(), bad.size());
    for (const auto& line : env.logLines()) EXPECT_EQ(line.rfind("ERROR VCGamesResult:initWithPack: ", 0), 0u) << line;

    VCGameRound kept(a, b, 1, 2, 3, "k");
    EXPECT_THROW(kept.setPack(bad[4]), MalformedPackError);
    EXPECT_EQ(kept.getScores(), 2) << "a malformed pack changes nothing";
    EXPECT_EQ(kept.getName(), "k");
}

TEST(GameRound, NegativeValuesSurviveTheFile) {
    platform::headless::Environment env;
    VCGamesResult store("Yolkfall.v1");
    store.Load();
    store.NewGame();
    store.EndGame(-5, 3, -2);
    VCGamesResult again("Yolkfall.v1");
    again.Load();
    ASSERT_EQ(again.getArGamesResult()->size(), 1u);
    VCGameRound round;
    round.setPack(again.getArGamesResult()->front());
    EXPECT_EQ(round.getTime(), -5);
    EXPECT_EQ(round.getPenalty(), -2);
}

TEST(GameRound, ScoresSortPutsTheHigherScoreFirst) {
    const platform::Date d{kWallBase};
    const auto high = VCGameRound(d, d, 0, 50, 0, "").getPack();
    const auto low = VCGameRound(d, d, 0, 7, 0, "").getPack();
    EXPECT_LT(VCGamesResult::scoresSort(high, low, nullptr), 0);
    EXPECT_GT(VCGamesResult::scoresSort(low, high, nullptr), 0);
    EXPECT_EQ(VCGamesResult::scoresSort(low, low, nullptr), 0);
    EXPECT_THROW(VCGamesResult::scoresSort(platform::PlistValue("x"), low, nullptr), MalformedPackError);
}
