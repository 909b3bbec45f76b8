#include "platform/TableView.h"

#include <algorithm>
#include <cmath>

namespace platform {

TableViewCell::TableViewCell(Rect frame, std::string reuseIdentifier)
    : View(frame),
      reuseIdentifier_(std::move(reuseIdentifier)),
      contentView_(std::make_shared<View>(Rect(0, 0, frame.size.width, frame.size.height))) {
    addSubview(contentView_);
}

namespace {
// A shown cell goes back to the queue of its identifier (a cell without one is not reused).
void enqueue(std::map<std::string, std::vector<std::shared_ptr<TableViewCell>>>& queue,
             const std::shared_ptr<TableViewCell>& cell) {
    cell->removeFromSuperview();
    if (!cell->reuseIdentifier().empty()) queue[cell->reuseIdentifier()].push_back(cell);
}
}   // namespace

void TableView::reloadData() {
    auto shown = std::move(visible_);
    visible_.clear();
    for (auto& [row, cell] : shown) enqueue(reuseQueue_, cell);

    TableViewDataSource* source = dataSource();
    TableViewDelegate* rows = delegate();
    rowCount_ = source ? std::max(0, source->numberOfRowsInSection(*this, 0)) : 0;
    rowTops_.assign(static_cast<std::size_t>(rowCount_) + 1, 0.0);
    for (int i = 0; i < rowCount_; ++i) {
        double h = rows ? rows->heightForRowAtIndexPath(*this, IndexPath{0, i}) : 44.0;
        if (!std::isfinite(h) || h < 0) h = 0;
        rowTops_[static_cast<std::size_t>(i) + 1] = rowTops_[static_cast<std::size_t>(i)] + h;
    }
    setContentSize({frame_.size.width, rowTops_.back()});
    ScrollView::setContentOffset(contentOffset());   // clamped to the new content
    layoutVisibleRows();
}

std::shared_ptr<TableViewCell> TableView::dequeueReusableCellWithIdentifier(const std::string& identifier) {
    auto it = reuseQueue_.find(identifier);
    if (it == reuseQueue_.end() || it->second.empty()) return nullptr;
    auto cell = std::move(it->second.back());
    it->second.pop_back();
    return cell;
}

TableViewCell* TableView::cellForRow(int row) const {
    auto it = visible_.find(row);
    return it == visible_.end() ? nullptr : it->second.get();
}

void TableView::layoutVisibleRows() {
    const double top = boundsOrigin_.y, bottom = top + frame_.size.height;
    auto inView = [&](int row) {
        const auto i = static_cast<std::size_t>(row);
        return row >= 0 && row < rowCount_ && rowTops_[i] < bottom && rowTops_[i + 1] > top;
    };
    for (auto it = visible_.begin(); it != visible_.end();) {
        if (inView(it->first)) {
            ++it;
        } else {
            enqueue(reuseQueue_, it->second);
            it = visible_.erase(it);
        }
    }
    TableViewDataSource* source = dataSource();
    if (!source) return;
    // Rows are found by their tops; the first row in view is the last one starting at or above `top`.
    const auto firstIt = std::upper_bound(rowTops_.begin(), rowTops_.end() - 1, top);
    int first = static_cast<int>(firstIt - rowTops_.begin()) - 1;
    if (first < 0) first = 0;
    for (int row = first; row < rowCount_ && rowTops_[static_cast<std::size_t>(row)] < bottom; ++row) {
        if (!inView(row) || visible_.count(row)) continue;
        auto cell = source->cellForRowAtIndexPath(*this, IndexPath{0, row});
        if (!cell) continue;   // the row stays empty
        const double y = rowTops_[static_cast<std::size_t>(row)];
        const double h = rowTops_[static_cast<std::size_t>(row) + 1] - y;
        cell->setFrame({0, y, frame_.size.width, h});
        if (View* content = cell->contentView()) content->setFrame({0, 0, frame_.size.width, h});
        addSubview(cell);
        visible_[row] = std::move(cell);
    }
}

void TableView::setContentOffset(Point p) {
    ScrollView::setContentOffset(p);
    layoutVisibleRows();
}

}   // namespace platform
