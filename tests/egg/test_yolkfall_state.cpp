// The paused round that survives the application's end: what is written, what comes back, and
// state files that are damaged, foreign or hostile (read whole and checked before anything is applied).

#include <plist/plist.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <variant>

#include "platform/Application.h"
#include "platform/FileManager.h"
#include "test_yolkfall_support.h"

namespace plumbrick::testing {
namespace {

using Value = std::variant<std::monostate, std::int64_t, bool, double, platform::Date>;   // monostate: left out
using Entries = std::vector<std::pair<std::string, Value>>;

// A keyed archive built with libplist directly, so that values our own archiver would never write
// (wrong types, integers wider than 32 bits, left-out keys) can be put on disk.
platform::Bytes archiveBytes(const Entries& entries) {
    plist_t root = plist_new_dict(), top = plist_new_dict(), objects = plist_new_array();
    plist_array_append_item(objects, plist_new_string("$null"));
    for (const auto& [key, v] : entries) {
        plist_t node = nullptr;
        if (auto i = std::get_if<std::int64_t>(&v)) node = plist_new_uint(static_cast<std::uint64_t>(*i));
        if (auto b = std::get_if<bool>(&v)) node = plist_new_bool(*b);
        if (auto d = std::get_if<double>(&v)) node = plist_new_real(*d);
        if (auto date = std::get_if<platform::Date>(&v)) {
            plist_t obj = plist_new_dict(), cls = plist_new_dict(), names = plist_new_array();
            plist_dict_set_item(obj, "$class", plist_new_uid(plist_array_get_size(objects) + 1));
            plist_dict_set_item(obj, "NS.time", plist_new_real(date->timeIntervalSinceReferenceDate()));
            plist_array_append_item(names, plist_new_string("NSDate"));
            plist_array_append_item(names, plist_new_string("NSObject"));
            plist_dict_set_item(cls, "$classname", plist_new_string("NSDate"));
            plist_dict_set_item(cls, "$classes", names);
            node = plist_new_uid(plist_array_get_size(objects));
            plist_array_append_item(objects, obj);
            plist_array_append_item(objects, cls);
        }
        if (node) plist_dict_set_item(top, key.c_str(), node);
    }
    plist_dict_set_item(root, "$archiver", plist_new_string("NSKeyedArchiver"));
    plist_dict_set_item(root, "$version", plist_new_uint(100000));
    plist_dict_set_item(root, "$top", top);
    plist_dict_set_item(root, "$objects", objects);
    char* data = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &data, &length);
    platform::Bytes out(data, data + length);
    free(data);
    plist_free(root);
    return out;
}

// A paused round as the game writes it.
Entries goodRound(double dateStart) {
    return {{"VersionSAVES", std::int64_t(100)}, {"typeGame", std::int64_t(1)}, {"state", std::int64_t(2)},
            {"flagWolf", false}, {"penalty", std::int64_t(3)}, {"scores", std::int64_t(57)},
            {"countEggToDeckMAX", std::int64_t(5)}, {"itemDeck", std::int64_t(2)}, {"SpeedEgg", std::int64_t(28)},
            {"timePauseChangePositionEgg", std::int64_t(12)}, {"timeNextUpSpeedPause", std::int64_t(7)},
            {"oldScoresChangeSpeed", std::int64_t(11)}, {"timeGame", 83.5}, {"timeStartGame", dateStart + 10},
            {"wolf.posBasket", std::int64_t(2)}, {"hare.position", std::int64_t(2)}, {"hare.visible", std::int64_t(1)},
            {"gameround.dateStart", platform::Date{dateStart}}, {"displayAlfa", true}};
}
Entries with(Entries e, const std::string& key, Value v) {
    for (auto& [k, old] : e)
        if (k == key) old = v;
    return e;
}

class YolkfallState : public YolkfallFixture {
protected:
    void writeState(const platform::Bytes& bytes, const std::string& id = "Yolkfall.v1") {
        ASSERT_TRUE(platform::FileManager::defaultManager().writeToFileAtomically(statePath(id), bytes));
    }
    bool stateExists(const std::string& id = "Yolkfall.v1") const {
        return platform::FileManager::defaultManager().fileExistsAtPath(statePath(id));
    }
    void terminate() { platform::Application::sharedApplication().terminate(); }
    // Everything a freshly set-up screen shows and holds.
    std::string snapshot() const {
        std::string s;
        std::function<void(const platform::View&)> walk = [&](const platform::View& v) {
            s += std::to_string(v.tag()) + (v.isHidden() ? "h" : "v") + std::to_string(v.alpha()) + ";";
            for (const auto& sub : v.subviews()) walk(*sub);
        };
        walk(*face);
        const auto& g = *game;
        s += "|" + std::to_string(g.getState()) + "," + std::to_string(g.getTypeGame()) + "," + std::to_string(g.getScores()) +
             "," + std::to_string(g.getPenalty()) + "," + std::to_string(g.getCountEggToDeckMAX()) + "," +
             std::to_string(g.getFlagWolf()) + "," + std::to_string(g.getLife() != nullptr) + "," +
             std::to_string(g.getDisplayAlfa()) + "," + std::to_string(g.getWolf()->getPosBasket()) + "," +
             std::to_string(g.getHare()->getVisible()) + "," + std::to_string(g.getHare()->getTimeState()) + "," +
             std::to_string(g.getGril()->getValue()) + "," + std::to_string(g.getDgScores()->getNum()) + "," +
             std::to_string(g.getGameResult()->getGameround() != nullptr) + "," +
             std::to_string(g.getGameResult()->getArGamesResult()->size()) + "," + std::to_string(g.getTimeGame()) + "," +
             std::to_string(g.getSpeedEgg()) + "," + std::to_string(g.getItemDeck());
        return s;
    }
    std::string freshSnapshot() {
        open();
        return snapshot();
    }
};

TEST_F(YolkfallState, EndingWhilePlayingWritesThe19KeysAndTheRoundComesBackPaused) {
    open();
    press("2");
    game->set_auto_(true);
    ASSERT_TRUE(tickUntil([&] { return game->getScores() >= 12; }));
    game->set_auto_(false);
    ASSERT_TRUE(missAnEgg());
    ASSERT_TRUE(tickUntil([&] { return game->getChick() == nullptr; }, 100));
    ticks(10);
    press("l");
    const int scores = game->getScores(), penalty = game->getPenalty(), speed = game->getSpeedEgg();
    const int countdown = game->getTimePauseChangePositionEgg();
    const double started = game->getGameResult()->getGameround()->getDateStart().timeIntervalSince1970;
    terminate();
    EXPECT_EQ(game->getState(), YolkfallViewController::kPaused);
    ASSERT_TRUE(stateExists());

    // Read it back with libplist: the 19 keys with their types.
    auto bytes = *platform::FileManager::defaultManager().dataWithContentsOfFile(statePath());
    plist_t plist = nullptr;
    plist_from_bin(reinterpret_cast<const char*>(bytes.data()), static_cast<uint32_t>(bytes.size()), &plist);
    ASSERT_NE(plist, nullptr);
    plist_t top = plist_dict_get_item(plist, "$top");
    ASSERT_NE(top, nullptr);
    const std::map<std::string, plist_type> types = {
        {"VersionSAVES", PLIST_UINT}, {"typeGame", PLIST_UINT}, {"state", PLIST_UINT}, {"flagWolf", PLIST_BOOLEAN},
        {"penalty", PLIST_UINT}, {"scores", PLIST_UINT}, {"countEggToDeckMAX", PLIST_UINT}, {"itemDeck", PLIST_UINT},
        {"SpeedEgg", PLIST_UINT}, {"timePauseChangePositionEgg", PLIST_UINT}, {"timeNextUpSpeedPause", PLIST_UINT},
        {"oldScoresChangeSpeed", PLIST_UINT}, {"timeGame", PLIST_REAL}, {"timeStartGame", PLIST_REAL},
        {"wolf.posBasket", PLIST_UINT}, {"hare.position", PLIST_UINT}, {"hare.visible", PLIST_UINT},
        {"gameround.dateStart", PLIST_UID}, {"displayAlfa", PLIST_BOOLEAN}};
    EXPECT_EQ(plist_dict_get_size(top), 19u);
    for (const auto& [key, type] : types) {
        plist_t node = plist_dict_get_item(top, key.c_str());
        ASSERT_NE(node, nullptr) << key;
        EXPECT_EQ(plist_get_node_type(node), type) << key;
    }
    auto uintOf = [&](const char* key) { uint64_t v = 0; plist_get_uint_val(plist_dict_get_item(top, key), &v); return v; };
    auto boolOf = [&](const char* key) { uint8_t v = 0; plist_get_bool_val(plist_dict_get_item(top, key), &v); return v != 0; };
    EXPECT_EQ(uintOf("VersionSAVES"), 100u);
    EXPECT_EQ(uintOf("state"), 2u);
    EXPECT_EQ(uintOf("scores"), static_cast<uint64_t>(scores));
    EXPECT_EQ(uintOf("wolf.posBasket"), 2u);
    EXPECT_TRUE(boolOf("displayAlfa"));
    EXPECT_FALSE(boolOf("flagWolf"));
    plist_free(plist);

    // A new screen on the same documents folder.
    root.calls.clear();
    open();
    EXPECT_FALSE(stateExists());
    EXPECT_EQ(game->getState(), YolkfallViewController::kPaused);
    EXPECT_TRUE(game->getDisplayAlfa());
    EXPECT_FALSE(game->getIvGamePause()->isHidden());
    EXPECT_TRUE(lit(102));
    EXPECT_DOUBLE_EQ(alphaOf(102), 0.7);
    EXPECT_TRUE(lit(900));
    EXPECT_DOUBLE_EQ(alphaOf(900), 0.7);
    EXPECT_EQ(game->getScores(), scores);
    EXPECT_EQ(game->getDgScores()->getNum(), scores);
    EXPECT_TRUE(lit(1000));
    EXPECT_EQ(game->getPenalty(), penalty);
    EXPECT_EQ(game->getSpeedEgg(), speed);
    EXPECT_EQ(game->getTimePauseChangePositionEgg(), countdown);
    EXPECT_TRUE(litEggTags().empty());
    EXPECT_EQ(eggCount(), 0);
    EXPECT_EQ(game->getNumFreezDeck(), 0);
    EXPECT_FALSE(game->getHare()->getRing());
    // Resuming continues the same round in the results list.
    press("space");
    EXPECT_EQ(game->getState(), YolkfallViewController::kPlaying);
    EXPECT_FALSE(game->getDisplayAlfa());
    ticks(200);
    press("space");
    const auto* list = game->getGameResult()->getArGamesResult();
    ASSERT_EQ(list->size(), 1u);
    EXPECT_NEAR((*list)[0].asArray()->at(0).asDate()->timeIntervalSince1970, started, 1.1);
    EXPECT_GE(*(*list)[0].asArray()->at(3).asInteger(), scores);
}

TEST_F(YolkfallState, IdleAndLostRoundsWriteNothing) {
    open();
    terminate();
    EXPECT_FALSE(stateExists());
    platform::Application::sharedApplication().reset();
    press("2");
    for (int miss = 1; miss <= 3; ++miss) {
        ASSERT_TRUE(missAnEgg());
        if (miss < 3) {
            ASSERT_TRUE(tickUntil([&] { return game->getChick() == nullptr; }, 100));
        }
    }
    ASSERT_GT(game->getPenalty(), 5);
    terminate();   // the chick of the losing miss is still on the face
    EXPECT_EQ(game->getState(), YolkfallViewController::kIdle);
    EXPECT_FALSE(stateExists());
}

TEST_F(YolkfallState, RestoredRoundFromAHandBuiltArchive) {
    const double start = env.clock().wallClock() - 100;
    writeState(archiveBytes(goodRound(start)));
    open();
    EXPECT_FALSE(stateExists());
    EXPECT_EQ(game->getState(), YolkfallViewController::kPaused);
    EXPECT_EQ(game->getTypeGame(), 1);
    EXPECT_EQ(game->getScores(), 57);
    EXPECT_EQ(game->getPenalty(), 3);
    EXPECT_TRUE(lit(900) && lit(901));   // mark 2 blinks, and is lit now
    EXPECT_EQ(game->getGril()->getHalfGril(), 2);
    EXPECT_TRUE(lit(102));
    EXPECT_TRUE(lit(200));               // the hare was out: quiet, with a fresh countdown
    EXPECT_EQ(game->getHare()->getTimeState(), 320);
    EXPECT_DOUBLE_EQ(game->getTimeGame(), 83.5);
    EXPECT_EQ(game->getGameResult()->getArGamesResult()->size(), 1u);   // not found: a new round
    EXPECT_TRUE(env.logLines().empty());
}

TEST_F(YolkfallState, OtherVersionRestoresNothingAndPlainTextIsABadArchive) {
    const std::string fresh = freshSnapshot();
    writeState(archiveBytes(with(goodRound(1e9), "VersionSAVES", std::int64_t(99))));
    open();
    EXPECT_EQ(snapshot(), fresh);
    EXPECT_FALSE(stateExists());
    EXPECT_TRUE(env.logLines().empty());

    std::ofstream(statePath()) << "not an archive at all\n";
    open();
    EXPECT_EQ(snapshot(), fresh);
    EXPECT_FALSE(stateExists());
    ASSERT_EQ(env.logLines().size(), 1u);
    EXPECT_NE(env.logLines()[0].find("ERROR YolkfallViewController:loadStateGame: UnarchiverException: bad archive"),
              std::string::npos);
}

TEST_F(YolkfallState, ValuesTheGameCannotWriteMakeABadArchiveAndLeaveTheScreenAsSetUp) {
    const std::string fresh = freshSnapshot();
    const double start = 1e9;
    const std::vector<std::pair<std::string, Value>> faults = {
        {"typeGame", std::int64_t(0)}, {"typeGame", std::int64_t(3)}, {"state", std::int64_t(1)},
        {"state", std::int64_t(0)}, {"flagWolf", true}, {"penalty", std::int64_t(-1)}, {"penalty", std::int64_t(6)},
        {"penalty", std::int64_t(1) << 40}, {"scores", std::int64_t(999)}, {"scores", (std::int64_t(1) << 32) + 5},
        {"countEggToDeckMAX", std::int64_t(0)}, {"countEggToDeckMAX", std::int64_t(7)},
        {"countEggToDeckMAX", std::int64_t(6)},   // more eggs than the score so far allows
        {"itemDeck", std::int64_t(-1)}, {"itemDeck", std::int64_t(4)}, {"SpeedEgg", std::int64_t(14)},
        {"SpeedEgg", std::int64_t(30)}, {"timePauseChangePositionEgg", std::int64_t(0)},
        {"timePauseChangePositionEgg", std::int64_t(31)}, {"timeNextUpSpeedPause", std::int64_t(-5)},
        {"oldScoresChangeSpeed", std::int64_t(200)}, {"timeGame", std::nan("")}, {"timeGame", -1.0},
        {"timeGame", 1e300}, {"timeStartGame", HUGE_VAL}, {"wolf.posBasket", std::int64_t(4)},
        {"hare.visible", std::int64_t(2)}, {"hare.position", std::int64_t(3)}, {"displayAlfa", false},
        {"penalty", 2.0}, {"scores", true}, {"timeGame", std::int64_t(80)}, {"itemDeck", std::monostate{}},
        {"gameround.dateStart", std::monostate{}}, {"gameround.dateStart", 5.0}, {"displayAlfa", std::monostate{}}};
    for (const auto& [key, value] : faults) {
        env.clearLog();
        writeState(archiveBytes(with(goodRound(start), key, value)));
        open();
        SCOPED_TRACE(key + " #" + std::to_string(value.index()));
        EXPECT_EQ(snapshot(), fresh);
        EXPECT_FALSE(stateExists());
        ASSERT_EQ(env.logLines().size(), 1u);
        const std::string& line = env.logLines()[0];
        EXPECT_EQ(line.rfind("ERROR YolkfallViewController:loadStateGame: UnarchiverException: bad archive", 0), 0u)
            << line;
        EXPECT_NE(line.find("\"" + key + "\""), std::string::npos) << line;
    }
    // A ringing pose needs the hare out.
    env.clearLog();
    writeState(archiveBytes(with(goodRound(start), "hare.visible", std::int64_t(0))));
    open();
    EXPECT_EQ(snapshot(), fresh);
    EXPECT_NE(env.logLines().at(0).find("\"hare.position\""), std::string::npos);
}

TEST_F(YolkfallState, FailingResultsLookUpLeavesTheScreenAsSetUp) {
    const std::string fresh = freshSnapshot();
    // A results list holding a pack without a start date: the store's look-up fails during the restore.
    auto list = std::make_shared<platform::PlistArray>();
    list->push_back(platform::PlistArray{std::string("junk")});
    game->getGameResult()->setArGamesResult(list);
    writeState(archiveBytes(goodRound(1e9)));
    EXPECT_TRUE(game->loadStateGame());
    EXPECT_FALSE(stateExists());
    ASSERT_EQ(env.logLines().size(), 1u);
    EXPECT_NE(env.logLines()[0].find("ERROR YolkfallViewController:loadStateGame: MalformedPackError"), std::string::npos);
    game->getGameResult()->Load();
    EXPECT_EQ(snapshot(), fresh);
}

TEST_F(YolkfallState, UndeletableFileIsLoggedAndRestoredAgainNextTime) {
    writeState(archiveBytes(goodRound(1e9)));
    platform::FileFaults::shared().failNth(platform::FileOp::Remove, 1, EACCES);
    open();
    EXPECT_EQ(game->getState(), YolkfallViewController::kPaused);
    ASSERT_EQ(env.logLines().size(), 1u);
    EXPECT_EQ(env.logLines()[0].rfind("ERROR: ", 0), 0u);
    EXPECT_TRUE(stateExists());
    open();
    EXPECT_EQ(game->getState(), YolkfallViewController::kPaused);
    EXPECT_FALSE(stateExists());
}

TEST_F(YolkfallState, FailedWriteKeepsTheEarlierFile) {
    open();
    press("2");
    ticks(50);
    press("space");
    ASSERT_TRUE(game->saveStateGame());
    const auto earlier = *platform::FileManager::defaultManager().dataWithContentsOfFile(statePath());
    press("space");
    ticks(50);
    press("space");
    platform::FileFaults::shared().failNth(platform::FileOp::Write, 1, ENOSPC);
    EXPECT_FALSE(game->saveStateGame());
    EXPECT_EQ(*platform::FileManager::defaultManager().dataWithContentsOfFile(statePath()), earlier);
}

TEST_F(YolkfallState, EachGameIdKeepsItsOwnResultsAndStateFile) {
    open();
    press("2");
    ticks(60);
    auto first = std::move(game);
    open("Antlerby.v1", "AntlerbyViewController");
    press("2");
    ticks(60);
    terminate();
    EXPECT_TRUE(stateExists());
    EXPECT_TRUE(stateExists("Antlerby.v1"));
    auto dict = platform::dictionaryWithContentsOfFile(resultsPath());
    ASSERT_TRUE(dict);
    EXPECT_EQ(dict->at("Yolkfall.v1").asArray()->size(), 1u);
    EXPECT_EQ(dict->at("Antlerby.v1").asArray()->size(), 1u);
    first.reset();
    platform::Application::sharedApplication().reset();
    open();   // only this game's file is read and removed
    EXPECT_EQ(game->getState(), YolkfallViewController::kPaused);
    EXPECT_FALSE(stateExists());
    EXPECT_TRUE(stateExists("Antlerby.v1"));
}

TEST_F(YolkfallState, EveryRoundThatPlayWritesReadsBackWhole) {
    open();
    press("2");
    int checked = 0, highestQuotient = 0, highestPenalty = 0;
    auto pauseAndCheck = [&] {
        press("space");
        ASSERT_EQ(game->getState(), YolkfallViewController::kPaused);
        highestQuotient = std::max(highestQuotient, game->getOldScoresChangeSpeed());
        highestPenalty = std::max(highestPenalty, game->getPenalty());
        platform::KeyedArchiver archiver;
        game->encodeWithCoder(archiver);
        archiver.finishEncoding();
        try {
            EXPECT_TRUE(yolkfall_state::decodeBytes(archiver.data()).has_value());
            ++checked;
        } catch (const StateFileException& e) {
            ADD_FAILURE() << e.what();
        }
        press("space");
    };
    for (int phase = 0; phase < 60; ++phase) {
        if (phase % 4 == 3) {   // a miss, paused while its chick runs
            game->set_auto_(false);
            ASSERT_TRUE(missAnEgg());
            if (game->getPenalty() > 5) {   // a round lost: never written
                press("2");
                continue;
            }
            pauseAndCheck();
            if (game->getPenalty() >= 4 && game->getScores() < 499)   // a bonus soon
                game->setScores(game->getScores() < 199 ? 199 : 499);
        }
        game->set_auto_(true);
        ticks(1000 + 37 * phase);
        pauseAndCheck();
    }
    EXPECT_GE(checked, 70);
    EXPECT_GT(highestQuotient, 120);
    EXPECT_GE(highestPenalty, 4);
}

}  // namespace
}  // namespace plumbrick::testing
