#include "services/GamesResultViewController.h"

#include "platform/Label.h"
#include "services/VCGameRound.h"

namespace plumbrick {

using platform::Label;
using platform::Rect;
using platform::TableViewCell;

namespace {

// Made the first time a cell is filled, then kept for the whole run.
std::unique_ptr<platform::DateFormatter>& dateFormatterSlot() {
    static std::unique_ptr<platform::DateFormatter> formatter;
    return formatter;
}

}   // namespace

const platform::DateFormatter& GamesResultViewController::sharedDateFormatter() {
    auto& formatter = dateFormatterSlot();
    if (!formatter) {
        formatter = std::make_unique<platform::DateFormatter>();
        formatter->setDateFormat("dd.MM.yyyy HH:mm");
    }
    return *formatter;
}

GamesResultViewController::GamesResultViewController(std::string nibName)
    : platform::ViewController(std::move(nibName)) {}

GamesResultViewController::~GamesResultViewController() {
    // The table may outlive this screen inside someone else's tree; it must not call back into it.
    if (tbStatistic) {
        tbStatistic->setDataSource(nullptr);
        tbStatistic->setDelegate(nullptr);
    }
}

void GamesResultViewController::bindLayout(platform::LayoutBindings& bindings) {
    bindings.outlet("tbStatistic", tbStatistic);
    bindings.action("btBack:", this, &GamesResultViewController::btBack);
}

void GamesResultViewController::viewDidLoad() {
    platform::ViewController::viewDidLoad();
    if (tbStatistic) {
        tbStatistic->setDataSource(this);
        tbStatistic->setDelegate(this);
    }
}

bool GamesResultViewController::shouldAutorotateToInterfaceOrientation(int orientation) {
    return orientation == platform::InterfaceOrientationLandscapeRight;
}

int GamesResultViewController::numberOfRowsInSection(platform::TableView&, int) {
    return arGamesResult ? static_cast<int>(arGamesResult->size()) : 0;
}

double GamesResultViewController::heightForRowAtIndexPath(platform::TableView&, platform::IndexPath) {
    return kRowHeight;
}

std::shared_ptr<TableViewCell> GamesResultViewController::cellForRowAtIndexPath(platform::TableView& tableView,
                                                                                platform::IndexPath indexPath) {
    if (!arGamesResult) return nullptr;
    auto cell = tableView.dequeueReusableCellWithIdentifier(kCellIdentifier);
    if (!cell) cell = tableviewCellWithReuseIdentifier(kCellIdentifier);
    configureCell(*cell, indexPath);
    return cell;
}

std::shared_ptr<TableViewCell> GamesResultViewController::tableviewCellWithReuseIdentifier(
    const std::string& identifier) {
    auto cell = std::make_shared<TableViewCell>(Rect(0, 0, 320, kRowHeight), identifier);

    auto date = std::make_shared<Label>(Rect(2, -0.5, 232, 26));
    date->setTag(kDateLabelTag);
    date->setFont({"Helvetica", 20});
    date->setBackgroundColor(platform::Color::white(0));
    cell->contentView()->addSubview(date);

    // The score keeps the label's default font.
    auto score = std::make_shared<Label>(Rect(234, -0.5, 40, 26));
    score->setTag(kScoreLabelTag);
    score->setTextAlignment(platform::TextAlignmentRight);
    score->setBackgroundColor(platform::Color::white(0));
    cell->contentView()->addSubview(score);
    return cell;
}

void GamesResultViewController::configureCell(TableViewCell& cell, platform::IndexPath indexPath) {
    const platform::DateFormatter& formatter = sharedDateFormatter();
    auto* date = cell.viewWithTagAs<Label>(kDateLabelTag);
    auto* score = cell.viewWithTagAs<Label>(kScoreLabelTag);

    std::shared_ptr<VCGameRound> round;
    if (arGamesResult && indexPath.row >= 0 && indexPath.row < static_cast<int>(arGamesResult->size()))
        round = VCGameRound::initWithPack((*arGamesResult)[indexPath.row]);

    if (round) {
        if (date) date->setText(formatter.stringFromDate(round->getDateEnd()));
        if (score) score->setText(std::to_string(round->getScores()));
    } else {
        // A reused cell would otherwise go on showing the row it showed before.
        if (date) date->setText({});
        if (score) score->setText({});
    }
}

void GamesResultViewController::btBack(platform::View* sender) {
    (void)sender;
    if (!isViewLoaded()) return;
    view()->setAlpha(0.0);
    view()->removeFromSuperview();
}

}   // namespace plumbrick
