#pragma once
// A one-column table of rows with a data source, a delegate and a queue of reusable cells.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Lifetime.h"
#include "platform/ScrollView.h"

namespace platform {

struct IndexPath {
    int section = 0;
    int row = 0;
    friend bool operator==(const IndexPath&, const IndexPath&) = default;
};

class TableViewCell : public View {
public:
    TableViewCell(Rect frame, std::string reuseIdentifier);
    const std::string& reuseIdentifier() const { return reuseIdentifier_; }
    View* contentView() const { return contentView_.get(); }
    const char* className() const override { return "TableViewCell"; }

private:
    std::string reuseIdentifier_;
    std::shared_ptr<View> contentView_;
};

class TableView;

class TableViewDataSource {
public:
    virtual ~TableViewDataSource() = default;
    virtual int numberOfRowsInSection(TableView& tableView, int section) = 0;
    // May return null ("no cell"): the row is then left empty.
    virtual std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& tableView, IndexPath indexPath) = 0;
    virtual int numberOfSectionsInTableView(TableView&) { return 1; }
};

class TableViewDelegate {
public:
    virtual ~TableViewDelegate() = default;
    virtual double heightForRowAtIndexPath(TableView&, IndexPath) { return 44.0; }
};

class TableView : public ScrollView {
public:
    explicit TableView(Rect frame = {}) : ScrollView(frame) {}
    // A data source or delegate that holds a Lifetime (OwnsLifetime) is no longer asked once it is gone.
    template <class T> void setDataSource(T* ds) {
        dataSource_ = ds;
        dataSourceOwner_ = watchOf(ds);
    }
    template <class T> void setDelegate(T* d) {
        delegate_ = d;
        delegateOwner_ = watchOf(d);
    }
    void setDataSource(std::nullptr_t) { setDataSource(static_cast<TableViewDataSource*>(nullptr)); }
    void setDelegate(std::nullptr_t) { setDelegate(static_cast<TableViewDelegate*>(nullptr)); }
    TableViewDataSource* dataSource() const { return dataSourceOwner_.gone() ? nullptr : dataSource_; }
    TableViewDelegate* delegate() const { return delegateOwner_.gone() ? nullptr : delegate_; }

    // Asks the data source again: every shown cell goes back to the reuse queue, then the rows that fall
    // inside the bounds are asked for, laid out top to bottom and shown. The content size follows the rows.
    void reloadData();
    // A cell from the reuse queue under that identifier, or null.
    std::shared_ptr<TableViewCell> dequeueReusableCellWithIdentifier(const std::string& identifier);
    int numberOfRows() const { return rowCount_; }
    // The cell shown for a row, or null when the row is not shown.
    TableViewCell* cellForRow(int row) const;
    // After a scroll: show the rows that came into view, queue the ones that left.
    void layoutVisibleRows();
    void setContentOffset(Point p) override;
    const char* className() const override { return "TableView"; }

private:
    TableViewDataSource* dataSource_ = nullptr;
    TableViewDelegate* delegate_ = nullptr;
    Lifetime::Watch dataSourceOwner_ = Unowned{};
    Lifetime::Watch delegateOwner_ = Unowned{};
    std::map<std::string, std::vector<std::shared_ptr<TableViewCell>>> reuseQueue_;
    std::map<int, std::shared_ptr<TableViewCell>> visible_;
    std::vector<double> rowTops_;   // row i spans rowTops_[i] .. rowTops_[i+1]
    int rowCount_ = 0;
};

}   // namespace platform
