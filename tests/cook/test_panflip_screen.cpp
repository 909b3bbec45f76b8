// The cook game's screen: its set-up from the layout, the seven buttons, recording of rounds, dimming and
// the application's end.
#include "tests/cook/panflip_fixture.h"

using namespace plumbrick;
using namespace plumbrick::testing;
using V = std::vector<int>;

namespace {
using PanflipScreen = PanflipFixture;
}

TEST_F(PanflipScreen, AFreshScreenIsIdleAndDarkWithGameBChosen) {
    open();
    EXPECT_EQ(game->getState(), PanflipViewController::kIdle);
    EXPECT_EQ(game->getTypeGame(), 2);
    EXPECT_EQ(game->getCountWorkCooks(), 4);
    EXPECT_TRUE(litSegments().empty());
    ASSERT_NE(game->getBtMenu(), nullptr);
    EXPECT_DOUBLE_EQ(game->getBtMenu()->frame().origin.y, game->getBtMenu()->frame().size.height);
    EXPECT_TRUE(game->getIvGamePause()->isHidden());
    EXPECT_TRUE(game->shouldAutorotateToInterfaceOrientation(3));
    for (int o : {1, 2, 4}) EXPECT_FALSE(game->shouldAutorotateToInterfaceOrientation(o));
    for (const char* key : {kLeft, kRight, kPause}) press(key);   // no effect while idle
    EXPECT_TRUE(litSegments().empty());
    EXPECT_FALSE(stateFileExists());
    EXPECT_TRUE(env.logLines().empty());
}

TEST_F(PanflipScreen, StartingGameAWhileBPlaysRecordsItAndServesThreePlaces) {
    open();
    startAndServe(kGameB);
    env.advance(5);
    press(kGameA);
    auto rounds = recordedRounds();
    ASSERT_EQ(rounds.size(), 1u);
    EXPECT_EQ(*(*rounds[0].asArray())[2].asInteger(), 5);   // whole seconds played
    EXPECT_EQ(game->getTypeGame(), 1);
    EXPECT_EQ(litTags(100, 113), V({100, 101, 102}));
    ASSERT_NE(game->getGameResult()->getArGamesResult(), nullptr);
    EXPECT_EQ(game->getGameResult()->getArGamesResult()->size(), 2u);
}

TEST_F(PanflipScreen, PauseRecordsAndDimsAndLeftRightAreIgnoredUntilResumed) {
    open();
    startAndServe();
    env.advance(1.0);
    press(kPause);
    ASSERT_EQ(recordedRounds().size(), 1u);
    EXPECT_FALSE(game->getIvGamePause()->isHidden());
    V dimmed = *game->getArDisplayAlfa();   // in the order of the face's subviews
    std::sort(dimmed.begin(), dimmed.end());
    EXPECT_EQ(dimmed, litSegments());
    for (int tag : dimmed) EXPECT_DOUBLE_EQ(alphaOf(tag), 0.7) << tag;
    const int place = game->getCook()->getPosCook();
    press(kLeft), press(kRight), press(kRight);
    EXPECT_EQ(game->getCook()->getPosCook(), place);

    press(kPause);
    EXPECT_EQ(game->getState(), PanflipViewController::kPlaying);
    EXPECT_TRUE(game->getIvGamePause()->isHidden());
    EXPECT_FALSE(game->getDisplayAlfa());
    for (int tag : dimmed) EXPECT_DOUBLE_EQ(alphaOf(tag), 1.0) << tag;
    press(place == 0 ? kRight : kLeft);
    EXPECT_NE(game->getCook()->getPosCook(), place);
}

TEST_F(PanflipScreen, StartingFromAPauseDoesNotRecordThePausedRoundAgain) {
    open();
    startAndServe();
    press(kPause);
    const platform::Date pausedEnd = endOf(recordedRounds().at(0));
    env.advance(30);
    press(kGameB);
    const auto rounds = recordedRounds();   // the new round is not in the file before its first record
    ASSERT_EQ(rounds.size(), 1u);
    EXPECT_EQ(endOf(rounds[0]), pausedEnd);
    EXPECT_TRUE(game->getIvGamePause()->isHidden());
    EXPECT_FALSE(game->getDisplayAlfa());
    for (int tag : litSegments()) EXPECT_DOUBLE_EQ(alphaOf(tag), 1.0) << tag;
    EXPECT_EQ(game->getState(), PanflipViewController::kPlaying);
}

TEST_F(PanflipScreen, MenuAndInfoHoldAPlayingRoundFirst) {
    open();
    press(kMenu);   // idle: nothing recorded, the menu is asked for
    EXPECT_TRUE(recordedRounds().empty());
    EXPECT_EQ(root.calls, std::vector<std::string>{"switchMenuFromGame:"});
    EXPECT_EQ(root.games, std::vector<platform::ViewController*>{game.get()});

    startAndServe();
    press(kInfo);
    EXPECT_EQ(game->getState(), PanflipViewController::kPaused);
    EXPECT_EQ(recordedRounds().size(), 1u);
    EXPECT_FALSE(game->getIvGamePause()->isHidden());
    EXPECT_EQ(root.calls.back(), "switchInfoFromGame:Panflip.v1");

    press(kPause);
    press(kMenu);
    EXPECT_EQ(game->getState(), PanflipViewController::kPaused);
    EXPECT_EQ(root.calls.back(), "switchMenuFromGame:");
}

TEST_F(PanflipScreen, TheApplicationsEndSavesOnlyARound) {
    open();
    terminate();
    EXPECT_FALSE(stateFileExists());

    startAndServe();
    env.advance(2.5);
    terminate();
    EXPECT_EQ(game->getState(), PanflipViewController::kPaused);
    EXPECT_TRUE(game->getIvGamePause()->isHidden());   // the sign is left alone
    EXPECT_EQ(recordedRounds().size(), 1u);
    ASSERT_TRUE(stateFileExists());
    const auto bytes = platform::FileManager::defaultManager().dataWithContentsOfFile(statePath());
    ASSERT_TRUE(bytes);
    const auto saved = panflip_state::decodeBytes(*bytes);
    ASSERT_TRUE(saved);
    EXPECT_EQ(*saved, game->savedState());
    EXPECT_EQ(saved->state, 2);
    EXPECT_TRUE(saved->displayAlfa);
}
