// The statistics screen as the root shows it: each game's recorded rounds in one reused screen, the
// date and score columns, the row height, the back control, and cells reused for malformed packs.

#include "AppFixture.h"

#include "platform/Plist.h"
#include "services/GamesResultViewController.h"
#include "services/VCGamesResult.h"

namespace plumbrick::test {
namespace {

using platform::Label;
using platform::PlistArray;
using platform::PlistValue;
using platform::TableView;
using platform::View;

// 14:05 on 3 February 2011 in Berlin (13:05 UTC).
constexpr double kFebruaryThird1405 = 1296738300.0;

class StatisticsTest : public AppTest {
protected:
    // Plays a round of `gameId` to the results file: begun and recorded at the given wall-clock time.
    void recordRound(const std::string& gameId, double wallClock, int scores) {
        env.clock().setWallBase(wallClock - env.now());
        VCGamesResult store(gameId);
        store.Load();
        store.NewGame();
        store.EndGame(12, scores, 1);
    }

    GamesResultViewController& statistics() { return *root->getViewControllerGamesResult(); }
    TableView& table() { return *statistics().getTbStatistic(); }
    std::string labelText(int row, int tag) {
        platform::TableViewCell* cell = table().cellForRow(row);
        if (!cell) return "<no cell>";
        auto* label = cell->viewWithTagAs<Label>(tag);
        return label ? label->text() : "<no label>";
    }
    std::vector<std::string> column(int tag) {
        std::vector<std::string> texts;
        for (int row = 0; row < table().numberOfRows(); ++row) texts.push_back(labelText(row, tag));
        return texts;
    }
};

TEST_F(StatisticsTest, TwoGamesInTurnShareOneScreenThatListsEachGamesRounds) {
    recordRound("Yolkfall.v1", kFebruaryThird1405, 7);
    recordRound("Yolkfall.v1", kFebruaryThird1405 + 86400 + 60, 120);
    recordRound("Antlerby.v1", kFebruaryThird1405 + 3 * 86400, 55);
    dismissIntro();
    root->switchGameFromMenu(1);
    env.advance(1.2);
    View* gameView = root->getViewControllerGame(1)->view();

    root->switchInfoFromGame("Yolkfall.v1");
    GamesResultViewController* screen = root->getViewControllerGamesResult();
    ASSERT_NE(screen, nullptr);
    View* statisticsView = screen->view();
    EXPECT_EQ(stack(), (std::vector<View*>{gameView, statisticsView}));
    EXPECT_DOUBLE_EQ(statisticsView->alpha(), 1.0);
    EXPECT_EQ(table().dataSource(), screen);
    EXPECT_EQ(table().delegate(), screen);
    // Highest score first, as stored.
    EXPECT_EQ(column(2), (std::vector<std::string>{"04.02.2011 14:06", "03.02.2011 14:05"}));
    EXPECT_EQ(column(5), (std::vector<std::string>{"120", "7"}));

    // The back control hides the screen and takes it out of the tree.
    ASSERT_TRUE(platform::pressKey(*statisticsView, "escape"));
    EXPECT_EQ(statisticsView->superview(), nullptr);
    EXPECT_DOUBLE_EQ(statisticsView->alpha(), 0.0);
    EXPECT_EQ(stack(), std::vector<View*>{gameView});

    root->switchInfoFromGame("Antlerby.v1");
    EXPECT_EQ(root->getViewControllerGamesResult(), screen);
    EXPECT_EQ(screen->view(), statisticsView);
    EXPECT_EQ(stack(), (std::vector<View*>{gameView, statisticsView}));
    EXPECT_DOUBLE_EQ(statisticsView->alpha(), 1.0);
    EXPECT_EQ(column(2), std::vector<std::string>{"06.02.2011 14:05"});
    EXPECT_EQ(column(5), std::vector<std::string>{"55"});

    // A game that never recorded a round: an empty table.
    statistics().btBack(nullptr);
    root->switchInfoFromGame("Whiskerpond.v1");
    EXPECT_EQ(table().numberOfRows(), 0);
    EXPECT_EQ(table().cellForRow(0), nullptr);
}

TEST_F(StatisticsTest, CellsShowTheEndDateAndAPlainRightAlignedScore) {
    recordRound("Yolkfall.v1", kFebruaryThird1405, 7);
    root->switchInfoFromGame("Yolkfall.v1");
    platform::TableViewCell* cell = table().cellForRow(0);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->reuseIdentifier(), "MyCellID");
    EXPECT_EQ(cell->frame().size, (platform::Size{320, 25}));

    auto* date = cell->viewWithTagAs<Label>(2);
    auto* score = cell->viewWithTagAs<Label>(5);
    ASSERT_NE(date, nullptr);
    ASSERT_NE(score, nullptr);
    EXPECT_EQ(date->superview(), cell->contentView());
    EXPECT_EQ(date->text(), "03.02.2011 14:05");
    EXPECT_EQ(date->frame(), platform::Rect(2, -0.5, 232, 26));
    EXPECT_EQ(date->font(), (platform::Font{"Helvetica", 20}));
    EXPECT_EQ(date->textAlignment(), platform::TextAlignmentLeft);
    EXPECT_EQ(date->backgroundColor(), platform::Color::white(0));
    EXPECT_EQ(score->text(), "7");
    EXPECT_EQ(score->frame(), platform::Rect(234, -0.5, 40, 26));
    EXPECT_EQ(score->font(), platform::Font{});
    EXPECT_EQ(score->textAlignment(), platform::TextAlignmentRight);
    EXPECT_EQ(score->backgroundColor(), platform::Color::white(0));
}

TEST_F(StatisticsTest, FiveRoundsGiveFiveRowsTwentyFivePointsHigh) {
    for (int i = 0; i < 5; ++i) recordRound("Reelholm.v1", kFebruaryThird1405 + 3600.0 * i, 10 * (i + 1));
    root->switchInfoFromGame("Reelholm.v1");
    ASSERT_EQ(table().numberOfRows(), 5);
    EXPECT_EQ(column(5), (std::vector<std::string>{"50", "40", "30", "20", "10"}));
    EXPECT_EQ(column(2), (std::vector<std::string>{"03.02.2011 18:05", "03.02.2011 17:05", "03.02.2011 16:05",
                                                   "03.02.2011 15:05", "03.02.2011 14:05"}));
    for (int row = 0; row < 5; ++row) {
        EXPECT_DOUBLE_EQ(statistics().heightForRowAtIndexPath(table(), {0, row}), 25.0);
        ASSERT_NE(table().cellForRow(row), nullptr);
        EXPECT_DOUBLE_EQ(table().cellForRow(row)->frame().origin.y, 25.0 * row);
        EXPECT_DOUBLE_EQ(table().cellForRow(row)->frame().size.height, 25.0);
    }
}

TEST_F(StatisticsTest, AReusedCellForAMalformedPackIsCleared) {
    recordRound("Yolkfall.v1", kFebruaryThird1405, 7);
    recordRound("Yolkfall.v1", kFebruaryThird1405 + 60, 9);
    root->switchInfoFromGame("Yolkfall.v1");
    ASSERT_EQ(column(5), (std::vector<std::string>{"9", "7"}));
    platform::TableViewCell* first = table().cellForRow(0);

    // The same cells come back from the reuse queue for a list whose first pack is broken.
    PlistArray list = *statistics().getArGamesResult();
    PlistArray shortPack(list[0].asArray()->begin(), list[0].asArray()->begin() + 4);
    list[0] = PlistValue(shortPack);
    statistics().setArGamesResult(std::make_shared<PlistArray>(list));
    env.clearLog();
    table().reloadData();

    EXPECT_EQ(column(2), (std::vector<std::string>{"", "03.02.2011 14:05"}));
    EXPECT_EQ(column(5), (std::vector<std::string>{"", "7"}));
    EXPECT_TRUE(table().cellForRow(0) == first || table().cellForRow(1) == first);
    EXPECT_TRUE(env.logContains("ERROR VCGamesResult:initWithPack:"));
}

TEST(GamesResultViewController, WithoutAListThereAreNoRowsAndNoCells) {
    platform::headless::Environment env;
    GamesResultViewController screen;
    ASSERT_NE(screen.view(), nullptr);
    TableView& table = *screen.getTbStatistic();
    EXPECT_EQ(screen.getArGamesResult(), nullptr);
    EXPECT_EQ(screen.getGameround(), nullptr);
    EXPECT_EQ(screen.numberOfRowsInSection(table, 0), 0);
    EXPECT_EQ(screen.cellForRowAtIndexPath(table, {0, 0}), nullptr);
    table.reloadData();
    EXPECT_EQ(table.numberOfRows(), 0);
}

}  // namespace
}  // namespace plumbrick::test
