// The statistics screen as the root shows it: each game's recorded rounds in one reused screen, the
// date and score columns, the row height, the back control, and cells reused for malformed packs.

#include "AppFixture.h"

#include "platform/Plist.h"
#include "services/GamesResultViewController.h"
#include "services/VCGamesResult.h"

namespace plumbrick::test {
namespace {

using platform::Label;
using platform::TableView;

// 14:05 on 3 February 2011 in Berlin (13:05 UTC).
constexpr double kFebruaryThird1405 = 1296738300.0;

class StatisticsTest : public AppTest {
protected:
    // Records a round of `gameId` in the results file, begun and ended at the given wall-clock time.
    void recordRound(const std::string& gameId, double wallClock, int score) {
        env.clock().setWallBase(wallClock - env.now());
        VCGamesResult store(gameId);
        store.Load();
        store.NewGame();
        store.EndGame(12, score, 1);
    }
    GamesResultViewController& statistics() { return *root->getViewControllerGamesResult(); }
    TableView& table() { return *statistics().getTbStatistic(); }
    // The texts of the label with that tag (2 the date, 5 the score), row by row.
    std::vector<std::string> column(int tag) {
        std::vector<std::string> texts;
        for (int row = 0; row < table().numberOfRows(); ++row) {
            auto* label = table().cellForRow(row) ? table().cellForRow(row)->viewWithTagAs<Label>(tag) : nullptr;
            texts.push_back(label ? label->text() : "<none>");
        }
        return texts;
    }
};

TEST_F(StatisticsTest, TwoGamesInTurnShareOneScreenThatListsEachGamesRounds) {
    for (int i = 0; i < 3; ++i) recordRound("Yolkfall.v1", kFebruaryThird1405 + 86460.0 * i, 7 + 50 * i);
    recordRound("Antlerby.v1", kFebruaryThird1405 + 3 * 86400, 55);
    dismissIntro();
    root->switchGameFromMenu(1);
    env.advance(1.2);
    View* gameView = root->getViewControllerGame(1)->view();

    root->switchInfoFromGame("Yolkfall.v1");
    GamesResultViewController* screen = root->getViewControllerGamesResult();
    ASSERT_NE(screen, nullptr);
    View* statisticsView = screen->view();
    EXPECT_EQ(stack(), (Views{gameView, statisticsView}));
    // Highest score first, as stored; rows 25 points high.
    EXPECT_EQ(column(2), (std::vector<std::string>{"05.02.2011 14:07", "04.02.2011 14:06", "03.02.2011 14:05"}));
    EXPECT_EQ(column(5), (std::vector<std::string>{"107", "57", "7"}));
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(table().cellForRow(row)->frame(), platform::Rect(0, 25.0 * row, 320, 25)) << row;

    // The back control (btBack:) hides the screen and takes it out of the tree.
    ASSERT_TRUE(platform::pressKey(*statisticsView, "escape"));
    EXPECT_EQ(statisticsView->superview(), nullptr);
    EXPECT_EQ(stack(), Views{gameView});

    root->switchInfoFromGame("Antlerby.v1");
    EXPECT_EQ(root->getViewControllerGamesResult(), screen);
    EXPECT_EQ(stack(), (Views{gameView, statisticsView}));
    EXPECT_DOUBLE_EQ(statisticsView->alpha(), 1.0);
    EXPECT_EQ(column(2), std::vector<std::string>{"06.02.2011 14:05"});
    EXPECT_EQ(column(5), std::vector<std::string>{"55"});

    statistics().btBack(nullptr);   // a game that never recorded a round: an empty table
    root->switchInfoFromGame("Whiskerpond.v1");
    EXPECT_EQ(table().numberOfRows(), 0);
}

TEST_F(StatisticsTest, AReusedCellForAMalformedPackIsCleared) {
    recordRound("Yolkfall.v1", kFebruaryThird1405, 7);
    recordRound("Yolkfall.v1", kFebruaryThird1405 + 60, 9);
    root->switchInfoFromGame("Yolkfall.v1");
    ASSERT_EQ(column(5), (std::vector<std::string>{"9", "7"}));
    platform::TableViewCell* first = table().cellForRow(0);

    // The same cells come back from the reuse queue for a list whose first pack is broken.
    platform::PlistArray list = *statistics().getArGamesResult();
    list[0] = platform::PlistValue(platform::PlistArray(list[0].asArray()->begin(), list[0].asArray()->begin() + 4));
    statistics().setArGamesResult(std::make_shared<platform::PlistArray>(list));
    table().reloadData();
    EXPECT_EQ(column(2), (std::vector<std::string>{"", "03.02.2011 14:05"}));
    EXPECT_EQ(column(5), (std::vector<std::string>{"", "7"}));
    EXPECT_TRUE(table().cellForRow(0) == first || table().cellForRow(1) == first);
    EXPECT_TRUE(env.logContains("ERROR VCGamesResult:initWithPack:"));
}

}   // namespace
}   // namespace plumbrick::test
