// The cook game's screen: its set-up from the layout, the seven buttons, recording of rounds, dimming and
// the application's end.
#include "tests/cook/panflip_fixture.h"

using namespace plumbrick;
using namespace plumbrick::testing;

namespace {
using PanflipScreen = PanflipFixture;
}

TEST_F(PanflipScreen, AFreshScreenIsIdleAndDarkAndOnlyTheStartMenuAndInfoButtonsAct) {
    open();
    EXPECT_TRUE(game->getState() == 0 && game->getTypeGame() == 2 && game->getCountWorkCooks() == 4);
    EXPECT_EQ(litTags(1, 9999), V{});
    EXPECT_DOUBLE_EQ(game->getBtMenu()->frame().origin.y, game->getBtMenu()->frame().size.height);
    EXPECT_TRUE(game->getIvGamePause()->isHidden());
    for (int o = 1; o <= 4; ++o) EXPECT_EQ(game->shouldAutorotateToInterfaceOrientation(o), o == 3);
    for (const char* key : {"left", "right", "space"}) press(key);
    EXPECT_EQ(litTags(1, 9999), V{});
    press("escape");   // idle: nothing recorded, the menu is asked for
    EXPECT_TRUE(rounds().empty());
    EXPECT_EQ(root.games, std::vector<platform::ViewController*>{game.get()});
    restart();         // idle: nothing saved
    EXPECT_FALSE(stateFileExists());
}

TEST_F(PanflipScreen, PauseRecordsAndDimsTheLitSegmentsAndAPauseMoreResumes) {
    open();
    startAndServe("2");
    env.advance(5);
    press("1");   // the round of game B is recorded, game A begins with three places
    ASSERT_EQ(rounds().size(), 1u);
    EXPECT_EQ(std::get<2>(rounds()[0]), 5);
    EXPECT_EQ(litTags(100, 113), (V{100, 101, 102}));
    env.advance(1.9);
    press("space");
    ASSERT_EQ(rounds().size(), 2u);
    EXPECT_FALSE(game->getIvGamePause()->isHidden());
    V dimmed = *game->getArDisplayAlfa();
    std::sort(dimmed.begin(), dimmed.end());
    EXPECT_EQ(dimmed, litTags(1, 9999));
    for (int tag : dimmed) EXPECT_DOUBLE_EQ(face->viewWithTag(tag)->alpha(), 0.7) << tag;
    EXPECT_DOUBLE_EQ(game->getIvGamePause()->alpha(), 1.0);
    const int place = game->getCook()->getPosCook();
    press("left"), press("right"), press("right");
    EXPECT_EQ(game->getCook()->getPosCook(), place);

    press("space");
    EXPECT_TRUE(game->getState() == 1 && game->getIvGamePause()->isHidden() && !game->getDisplayAlfa());
    for (int tag : dimmed) EXPECT_DOUBLE_EQ(face->viewWithTag(tag)->alpha(), 1.0) << tag;
    press(place == 0 ? "right" : "left");
    EXPECT_NE(game->getCook()->getPosCook(), place);
}

TEST_F(PanflipScreen, StartingFromAPauseDoesNotRecordThePausedRoundAgain) {
    open();
    startAndServe();
    press("space");
    const double pausedEnd = std::get<1>(rounds().at(0));
    env.advance(30);
    press("2");
    EXPECT_EQ(rounds().size(), 1u);   // the new round reaches the file at its first record
    EXPECT_EQ(std::get<1>(rounds()[0]), pausedEnd);
    EXPECT_TRUE(game->getIvGamePause()->isHidden() && !game->getDisplayAlfa() && game->getState() == 1);
    for (int tag : litTags(1, 9999)) EXPECT_DOUBLE_EQ(face->viewWithTag(tag)->alpha(), 1.0) << tag;
}

TEST_F(PanflipScreen, InfoMenuAndTheApplicationsEndHoldAPlayingRoundFirst) {
    open();
    startAndServe();
    press("i");
    EXPECT_TRUE(game->getState() == 2 && rounds().size() == 1 && !game->getIvGamePause()->isHidden());
    EXPECT_EQ(root.calls, std::vector<std::string>{"switchInfoFromGame:Panflip.v1"});
    press("space");
    press("escape");
    EXPECT_TRUE(game->getState() == 2 && root.calls.back() == "switchMenuFromGame:");
    press("space");
    game->getIvGamePause()->setHidden(true);
    env.advance(2.5);
    platform::NotificationCenter::defaultCenter().postNotificationName(platform::ApplicationWillTerminateNotification);
    EXPECT_EQ(game->getState(), 2);
    EXPECT_TRUE(game->getIvGamePause()->isHidden());   // the sign is left alone
    const auto bytes = platform::FileManager::defaultManager().dataWithContentsOfFile(statePath());
    ASSERT_TRUE(bytes);
    const auto saved = panflip_state::decodeBytes(*bytes);
    ASSERT_TRUE(saved);
    EXPECT_EQ(*saved, game->savedState());
    EXPECT_TRUE(saved->state == 2 && saved->displayAlfa);
}
