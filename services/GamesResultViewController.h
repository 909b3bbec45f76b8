#pragma once
// The statistics screen of one game: a table of its recorded rounds, one row each, with the date the
// round was last recorded and its score. The root controller makes it once and hands it each game's
// freshly loaded list; the screen takes itself off screen through its back control.

#include <memory>
#include <string>

#include "platform/Date.h"
#include "platform/Plist.h"
#include "platform/TableView.h"
#include "platform/ViewController.h"

namespace plumbrick {

class VCGameRound;

class GamesResultViewController : public platform::ViewController,
                                  public platform::TableViewDataSource,
                                  public platform::TableViewDelegate {
public:
    static constexpr const char* kCellIdentifier = "MyCellID";
    static constexpr double kRowHeight = 25.0;
    static constexpr int kDateLabelTag = 2;
    static constexpr int kScoreLabelTag = 5;

    explicit GamesResultViewController(std::string nibName = "GamesResultView");
    ~GamesResultViewController() override;

    void viewDidLoad() override;
    void viewDidUnload() override {}
    bool shouldAutorotateToInterfaceOrientation(int orientation) override;

    // Table data source and delegate.
    int numberOfRowsInSection(platform::TableView& tableView, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& tableView,
                                                                   platform::IndexPath indexPath) override;
    double heightForRowAtIndexPath(platform::TableView& tableView, platform::IndexPath indexPath) override;

    // A new cell with its date label (tag 2) and score label (tag 5).
    std::shared_ptr<platform::TableViewCell> tableviewCellWithReuseIdentifier(const std::string& identifier);
    // Fills the cell from the row's pack; a pack that gives no round leaves the cell with empty labels.
    void configureCell(platform::TableViewCell& cell, platform::IndexPath indexPath);

    // The back control: hides the screen and takes it out of the view tree.
    void btBack(platform::View* sender);

    platform::TableView* getTbStatistic() const { return tbStatistic.get(); }
    const std::shared_ptr<platform::PlistArray>& getArGamesResult() const { return arGamesResult; }
    void setArGamesResult(std::shared_ptr<platform::PlistArray> list) { arGamesResult = std::move(list); }
    const std::shared_ptr<VCGameRound>& getGameround() const { return gameround; }
    void setGameround(std::shared_ptr<VCGameRound> round) { gameround = std::move(round); }

    // The one date formatter of the application ("dd.MM.yyyy HH:mm", local time), made on first use.
    static const platform::DateFormatter& sharedDateFormatter();

protected:
    void bindLayout(platform::LayoutBindings& bindings) override;

private:
    std::shared_ptr<platform::TableView> tbStatistic;
    std::shared_ptr<platform::PlistArray> arGamesResult;
    std::shared_ptr<VCGameRound> gameround;
};

}   // namespace plumbrick
