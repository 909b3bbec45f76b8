// The egg game's screen: set-up from the layout, the buttons in every state, the root controller's
// requests, dimming of a paused face and the pause sign. Also the faces of slots 3 to 6.

#include "platform/FileManager.h"
#include "test_yolkfall_support.h"

namespace plumbrick::testing {
namespace {

class YolkfallScreen : public YolkfallFixture {
protected:
    // Every direct subview with tag 1..9999 that is lit is at 0.7, everything else at 1.0.
    void expectDimmed(bool dimmed) {
        for (const auto& v : face->subviews()) {
            const bool dims = dimmed && !v->isHidden() && v->tag() >= 1 && v->tag() <= 9999;
            EXPECT_DOUBLE_EQ(v->alpha(), dims ? 0.7 : 1.0) << "tag " << v->tag();
        }
        EXPECT_EQ(game->getDisplayAlfa(), dimmed);
    }
    std::string resultsBytes() const {
        auto b = platform::FileManager::defaultManager().dataWithContentsOfFile(resultsPath());
        return b ? std::string(b->begin(), b->end()) : std::string();
    }
    std::size_t packs() const { return game->getGameResult()->getArGamesResult()->size(); }
};

TEST_F(YolkfallScreen, SetUpLeavesADarkIdleFaceWithGameBSelected) {
    open();
    EXPECT_EQ(game->getState(), YolkfallViewController::kIdle);
    EXPECT_EQ(game->getTypeGame(), 2);
    for (const auto& v : face->subviews())
        if (v->tag() >= 100 && v->tag() <= 1003) {
            EXPECT_TRUE(v->isHidden()) << v->tag();
        }
    ASSERT_NE(game->getIvGamePause(), nullptr);
    EXPECT_TRUE(game->getIvGamePause()->isHidden());
    ASSERT_NE(game->getBtMenu(), nullptr);
    EXPECT_DOUBLE_EQ(game->getBtMenu()->frame().origin.y, game->getBtMenu()->frame().size.height);
    EXPECT_NE(face->viewWithTag(10000), nullptr);
    EXPECT_TRUE(game->shouldAutorotateToInterfaceOrientation(3));
    for (int o : {1, 2, 4}) EXPECT_FALSE(game->shouldAutorotateToInterfaceOrientation(o));
    EXPECT_EQ(game->getCycleSuperVisor(), nullptr);
    EXPECT_EQ(game->getLife(), nullptr);
    EXPECT_EQ(game->getHare()->getTimeState(), 800);
    press("space");   // pause does nothing while idle
    press("q");
    EXPECT_EQ(game->getState(), YolkfallViewController::kIdle);
    EXPECT_FALSE(lit(100));
    EXPECT_TRUE(root.calls.empty());
    EXPECT_FALSE(platform::FileManager::defaultManager().fileExistsAtPath(resultsPath()));
}

TEST_F(YolkfallScreen, BasketButtonsMoveTheBasketOnlyWhilePlaying) {
    open();
    press("2");
    const std::pair<const char*, int> moves[] = {{"p", 103}, {"l", 102}, {"a", 101}, {"q", 100}};
    for (auto [key, tag] : moves) {
        press(key);
        for (int t = 100; t <= 103; ++t) EXPECT_EQ(lit(t), t == tag) << key;
    }
    press("space");
    press("p");
    EXPECT_TRUE(lit(100));
    EXPECT_FALSE(lit(103));
}

TEST_F(YolkfallScreen, StartButtonsBeginRoundsAndRecordTheRunningOne) {
    open();
    press("2");
    EXPECT_EQ(game->getState(), YolkfallViewController::kPlaying);
    EXPECT_EQ(packs(), 1u);
    EXPECT_EQ(game->getDgScores()->getNum(), 0);
    game->set_auto_(true);
    ASSERT_TRUE(tickUntil([&] { return game->getScores() >= 3; }));
    press("1");   // game A over a running round: it is recorded first
    EXPECT_EQ(game->getTypeGame(), 1);
    EXPECT_GE(game->getNumFreezDeck(), 1);
    EXPECT_EQ(game->getScores(), 0);
    EXPECT_FALSE(game->get_auto_());
    EXPECT_EQ(packs(), 2u);
    EXPECT_NE(resultsBytes().find("<integer>3</integer>"), std::string::npos);
}

TEST_F(YolkfallScreen, PauseDimsTheLitSegmentsShowsTheSignAndResumeRestoresThem) {
    open();
    press("2");
    game->set_auto_(true);
    ASSERT_TRUE(tickUntil([&] { return game->getScores() >= 6 && eggCount() >= 2; }));
    const auto eggs = litEggTags();
    const int countdown = game->getTimePauseChangePositionEgg();
    press("space");
    EXPECT_EQ(game->getState(), YolkfallViewController::kPaused);
    expectDimmed(true);
    EXPECT_FALSE(game->getIvGamePause()->isHidden());
    EXPECT_DOUBLE_EQ(game->getIvGamePause()->alpha(), 1.0);
    EXPECT_DOUBLE_EQ(face->viewWithTag(10000)->alpha(), 1.0);
    EXPECT_NE(resultsBytes().find("<integer>" + std::to_string(game->getScores()) + "</integer>"), std::string::npos);
    env.advance(30);   // nothing moves while paused
    EXPECT_EQ(litEggTags(), eggs);
    press("q");
    EXPECT_EQ(litEggTags(), eggs);
    press("space");
    EXPECT_EQ(game->getState(), YolkfallViewController::kPlaying);
    expectDimmed(false);
    EXPECT_TRUE(game->getIvGamePause()->isHidden());
    EXPECT_EQ(game->getTimePauseChangePositionEgg(), countdown);
    tick();
    EXPECT_EQ(game->getTimePauseChangePositionEgg(), countdown > 1 ? countdown - 1 : game->getSpeedEgg());
}

TEST_F(YolkfallScreen, StartWhilePausedEndsTheRoundWithoutRecordingItAgain) {
    open();
    press("2");
    ticks(40);
    press("space");
    const std::string recorded = resultsBytes();
    ASSERT_FALSE(recorded.empty());
    env.advance(5);
    press("2");
    EXPECT_EQ(resultsBytes(), recorded);
    EXPECT_EQ(game->getState(), YolkfallViewController::kPlaying);
    EXPECT_TRUE(game->getIvGamePause()->isHidden());
    expectDimmed(false);
    EXPECT_EQ(packs(), 2u);
}

TEST_F(YolkfallScreen, MenuAndInfoHoldARunningRoundAndOtherwiseOnlyChangeTheScreen) {
    open();
    press("escape");
    press("i");
    EXPECT_EQ(game->getState(), YolkfallViewController::kIdle);
    EXPECT_EQ(root.calls, (std::vector<std::string>{"switchMenuFromGame:", "switchInfoFromGame:Yolkfall.v1"}));
    EXPECT_EQ(root.games.at(0), game.get());
    for (const char* key : {"escape", "i"}) {
        press("2");
        ticks(40);
        root.calls.clear();
        press(key);
        EXPECT_EQ(game->getState(), YolkfallViewController::kPaused) << key;
        EXPECT_FALSE(game->getIvGamePause()->isHidden());
        expectDimmed(true);
        EXPECT_FALSE(resultsBytes().empty());
        press(key);   // again while paused: only the screen changes
        EXPECT_EQ(game->getState(), YolkfallViewController::kPaused);
        EXPECT_EQ(root.calls.size(), 2u);
        press("space");
        EXPECT_EQ(game->getState(), YolkfallViewController::kPlaying);
        expectDimmed(false);
    }
}

TEST_F(YolkfallScreen, DimmingTwiceKeepsTheFirstListAndUndimmingRestoresIt) {
    open();
    press("2");
    game->setDisplayAlfa(true);
    const std::vector<int> tags = *game->getArDisplayAlfa();
    EXPECT_EQ(tags, (std::vector<int>{100, 1003, 1002, 1001, 1000}));   // back to front
    face->viewWithTag(900)->setHidden(false);
    game->setDisplayAlfa(true);
    EXPECT_EQ(*game->getArDisplayAlfa(), tags);
    EXPECT_DOUBLE_EQ(alphaOf(900), 1.0);
    game->setDisplayAlfa(false);
    game->setDisplayAlfa(false);
    EXPECT_EQ(game->getArDisplayAlfa(), nullptr);
    for (int t : tags) EXPECT_DOUBLE_EQ(alphaOf(t), 1.0);
}

TEST_F(YolkfallScreen, SlotsThreeToSixPlayOnTheirOwnFacesAndKeepTheirOwnFiles) {
    const std::pair<const char*, const char*> slots[] = {{"Antlerby.v1", "AntlerbyViewController"},
                                                         {"Reelholm.v1", "ReelholmViewController"},
                                                         {"Starwick.v1", "StarwickViewController"},
                                                         {"Whiskerpond.v1", "WhiskerpondViewController"}};
    for (auto [id, layout] : slots) {
        open(id, layout);
        press("2");
        ticks(30);
        EXPECT_EQ(litEggTags().size(), 1u) << id;
        press("space");
        game->applicationWillTerminate(platform::ApplicationWillTerminateNotification);
        EXPECT_TRUE(platform::FileManager::defaultManager().fileExistsAtPath(statePath(id))) << id;
    }
    EXPECT_FALSE(platform::FileManager::defaultManager().fileExistsAtPath(statePath()));
}

}  // namespace
}  // namespace plumbrick::testing
