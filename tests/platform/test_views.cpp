// The view tree, controls, scroll and table views, touches and keys, named images and the bundle.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/Bundle.h"
#include "platform/Image.h"
#include "platform/Input.h"
#include "platform/Segment.h"
#include "platform/TableView.h"
#include "platform/View.h"
#include "platform/ViewController.h"
#include "platform/headless/Headless.h"
#include "test_support.h"

using namespace platform;
using platform::headless::Environment;

namespace {

std::shared_ptr<View> tagged(int tag, Rect frame = {}) {
    auto v = std::make_shared<View>(frame);
    v->setTag(tag);
    return v;
}

std::vector<int> tags(const View& v) {
    std::vector<int> out;
    for (const auto& s : v.subviews()) out.push_back(s->tag());
    return out;
}

TEST(ViewTreeTest, ViewWithTagIsDepthFirstBackToFront) {
    auto root = tagged(1);
    auto a = tagged(2), a1 = tagged(7), a2 = tagged(8);
    auto b = tagged(7), b1 = tagged(8);
    a->addSubview(a1);
    a1->addSubview(a2);
    b->addSubview(b1);
    root->addSubview(a);
    root->addSubview(b);

    EXPECT_EQ(root->viewWithTag(1), root.get());     // the view itself
    EXPECT_EQ(root->viewWithTag(7), a1.get());       // not b, which is shallower but in front
    EXPECT_EQ(root->viewWithTag(8), a2.get());       // a's subtree is searched whole before b
    EXPECT_EQ(b->viewWithTag(8), b1.get());
    EXPECT_EQ(root->viewWithTag(99), nullptr);
    EXPECT_EQ(a1->viewWithTag(2), nullptr);          // never upwards
    a->setTag(7);
    EXPECT_EQ(root->viewWithTag(7), a.get());        // a parent before its children

    Segment seg = Segment::withTag(*root, 8), none = Segment::withTag(*root, 99);
    seg.hide();
    EXPECT_TRUE(a2->isHidden());
    seg.toggle();
    EXPECT_FALSE(a2->isHidden());
    none.show();   // a null segment does nothing
    EXPECT_FALSE(none.isHidden());
    EXPECT_FALSE(none);
}

TEST(ViewTreeTest, AddInsertRemoveAndMove) {
    auto root = tagged(0), other = tagged(100);
    auto v1 = tagged(1), v2 = tagged(2), v3 = tagged(3);
    root->addSubview(v1);
    root->addSubview(v2);
    EXPECT_EQ(tags(*root), (std::vector<int>{1, 2}));
    root->insertSubviewAtIndex(v3, 0);
    EXPECT_EQ(tags(*root), (std::vector<int>{3, 1, 2}));
    root->insertSubviewAtIndex(tagged(4), 99);   // clamped: on top
    EXPECT_EQ(tags(*root), (std::vector<int>{3, 1, 2, 4}));
    root->addSubview(v3);                        // re-adding moves it on top
    EXPECT_EQ(tags(*root), (std::vector<int>{1, 2, 4, 3}));
    root->insertSubviewAtIndex(v3, 1);
    EXPECT_EQ(tags(*root), (std::vector<int>{1, 3, 2, 4}));
    root->insertSubviewAtIndex(v1, 3);           // index counted after taking it out
    EXPECT_EQ(tags(*root), (std::vector<int>{3, 2, 4, 1}));

    other->addSubview(v2);                       // moves from one parent to another
    EXPECT_EQ(tags(*root), (std::vector<int>{3, 4, 1}));
    EXPECT_EQ(v2->superview(), other.get());
    EXPECT_TRUE(v2->isDescendantOf(other.get()));
    EXPECT_FALSE(v2->isDescendantOf(root.get()));

    v3->removeFromSuperview();
    EXPECT_EQ(v3->superview(), nullptr);
    EXPECT_EQ(tags(*root), (std::vector<int>{4, 1}));
    v3->removeFromSuperview();                   // twice: nothing

    // Removal by index, as the return to the menu does: a view the tree alone held dies with it.
    std::weak_ptr<View> weak = root->subviews()[0];
    root->subviews()[0]->removeFromSuperview();
    EXPECT_TRUE(weak.expired());
    EXPECT_EQ(tags(*root), (std::vector<int>{1}));

    // No cycles.
    v1 = tagged(1);
    root->addSubview(v1);
    v1->addSubview(root);
    v1->addSubview(v1);
    EXPECT_EQ(root->superview(), nullptr);
    EXPECT_TRUE(v1->subviews().empty());
}

TEST(ViewTreeTest, ParentDeathClearsBackPointers) {
    auto child = tagged(5);
    {
        auto parent = tagged(1);
        parent->addSubview(child);
        EXPECT_EQ(child->superview(), parent.get());
    }
    EXPECT_EQ(child->superview(), nullptr);
    child->removeFromSuperview();
}

TEST(ViewTreeTest, AlphaClampsAndConvertToRootFollowsFramesAndOffsets) {
    View v;
    v.setAlpha(1.5);
    EXPECT_EQ(v.alpha(), 1.0);
    v.setAlpha(-1);
    EXPECT_EQ(v.alpha(), 0.0);

    auto root = std::make_shared<View>(Rect(0, 0, 480, 320));
    auto scroll = std::make_shared<ScrollView>(Rect(10, 20, 100, 50));
    auto inner = std::make_shared<View>(Rect(150, 5, 30, 30));
    scroll->setContentSize({400, 50});
    root->addSubview(scroll);
    scroll->addSubview(inner);
    scroll->setContentOffset({120, 0});
    EXPECT_EQ(inner->convertToRoot({1, 2}), (Point{10 + 150 - 120 + 1, 20 + 5 + 2}));
}

TEST(ControlTest, TargetsAreCalledOncePerMatchingMaskWithTheControlAsSender) {
    Control c;
    std::vector<std::string> calls;
    View* sender = nullptr;
    c.addTarget([&](View* s) { calls.push_back("down"); sender = s; }, ControlEventTouchDown);
    c.addTarget([&](View*) { calls.push_back("up"); }, ControlEventTouchUpInside);
    c.addTarget([&](View*) { calls.push_back("both"); }, ControlEventTouchDown | ControlEventTouchUpInside);
    c.sendActionsForControlEvents(ControlEventTouchDown);
    EXPECT_EQ(calls, (std::vector<std::string>{"down", "both"}));
    EXPECT_EQ(sender, &c);
    calls.clear();
    c.sendActionsForControlEvents(ControlEventTouchUpInside);
    EXPECT_EQ(calls, (std::vector<std::string>{"up", "both"}));
    calls.clear();
    c.sendActionsForControlEvents(ControlEventTouchDown | ControlEventTouchUpInside);
    EXPECT_EQ(calls, (std::vector<std::string>{"down", "up", "both"}));
    calls.clear();
    c.sendActionsForControlEvents(2);
    EXPECT_TRUE(calls.empty());

    struct Screen {
        View* got = nullptr;
        void pressBtPause(View* s) { got = s; }
    } screen;
    c.addTarget(&screen, &Screen::pressBtPause, ControlEventTouchUpInside);
    c.sendActionsForControlEvents(ControlEventTouchUpInside);
    EXPECT_EQ(screen.got, &c);
}

TEST(ScrollViewTest, OffsetClampsAndPagesSnap) {
    ScrollView s(Rect(0, 26, 480, 267));
    s.setContentSize({2880, 267});
    s.setContentOffset({5000, 40});
    EXPECT_EQ(s.contentOffset(), (Point{2400, 0}));
    s.setContentOffset({-3, 0});
    EXPECT_EQ(s.contentOffset(), (Point{0, 0}));
    s.setContentOffset({1000, 0});
    s.snapToPage();
    EXPECT_EQ(s.contentOffset().x, 1000);   // paging off: stays
    s.setPagingEnabled(true);
    s.snapToPage();
    EXPECT_EQ(s.contentOffset().x, 960);
    EXPECT_EQ(s.currentPage(), 2);
    EXPECT_EQ(s.bounds().origin, (Point{960, 0}));
}

class Rows : public TableViewDataSource, public TableViewDelegate {
public:
    int count = 0;
    std::vector<int> asked;
    int made = 0;
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& table, IndexPath ip) override {
        asked.push_back(ip.row);
        if (ip.row == skipRow) return nullptr;
        auto cell = table.dequeueReusableCellWithIdentifier("MyCellID");
        if (!cell) {
            cell = std::make_shared<TableViewCell>(Rect(0, 0, 320, 25), "MyCellID");
            ++made;
        }
        cell->setTag(1000 + ip.row);
        return cell;
    }
    int numberOfRowsInSection(TableView&, int) override { return count; }
    double heightForRowAtIndexPath(TableView&, IndexPath ip) override { return ip.row == 0 ? 40 : 25; }
    int skipRow = -1;
};

TEST(TableViewTest, ReloadShowsTheRowsInsideTheBoundsAndReusesCells) {
    TableView table(Rect(80, 92, 320, 125));
    Rows rows;
    table.setDataSource(&rows);
    table.reloadData();
    EXPECT_EQ(table.numberOfRows(), 0);
    EXPECT_TRUE(table.subviews().empty());

    rows.count = 10;
    table.setDelegate(&rows);
    table.reloadData();
    // Heights 40, 25, 25, ...: rows 0..4 start above 125 (at 0, 40, 65, 90, 115).
    EXPECT_EQ(rows.asked, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(table.contentSize(), (Size{320, 40 + 9 * 25}));
    ASSERT_NE(table.cellForRow(1), nullptr);
    EXPECT_EQ(table.cellForRow(1)->frame(), Rect(0, 40, 320, 25));
    EXPECT_EQ(table.cellForRow(0)->frame(), Rect(0, 0, 320, 40));
    EXPECT_EQ(table.cellForRow(0)->contentView()->frame(), Rect(0, 0, 320, 40));
    EXPECT_EQ(table.cellForRow(5), nullptr);
    EXPECT_EQ(table.subviews().size(), 5u);
    EXPECT_EQ(table.viewWithTag(1003), table.cellForRow(3));

    rows.asked.clear();
    table.reloadData();   // every shown cell is reused, none is made
    EXPECT_EQ(rows.made, 5);
    EXPECT_EQ(table.subviews().size(), 5u);

    table.setContentOffset({0, 100});   // rows 3..8 (tops 90 .. 215) are in 100..225
    EXPECT_EQ(table.cellForRow(2), nullptr);
    ASSERT_NE(table.cellForRow(8), nullptr);
    EXPECT_EQ(table.subviews().size(), 6u);
    EXPECT_EQ(rows.made, 6);

    rows.count = 2;
    rows.skipRow = 1;
    table.reloadData();   // the offset clamps to the smaller content; a row without a cell stays empty
    EXPECT_EQ(table.contentOffset(), (Point{0, 0}));
    EXPECT_NE(table.cellForRow(0), nullptr);
    EXPECT_EQ(table.cellForRow(1), nullptr);
    EXPECT_EQ(table.subviews().size(), 1u);
    EXPECT_NE(table.dequeueReusableCellWithIdentifier("MyCellID"), nullptr);
    EXPECT_EQ(table.dequeueReusableCellWithIdentifier("Other"), nullptr);
}

// ---- touches and keys ----

class InputTest : public ::testing::Test {
protected:
    Environment env;
    std::shared_ptr<View> root = std::make_shared<View>(Rect(0, 0, 480, 320));
    std::vector<std::string> calls;
    std::shared_ptr<Control> control(Rect frame, const std::string& name, std::string key = {}) {
        auto c = std::make_shared<Button>(frame);
        c->addTarget([this, name](View*) { calls.push_back(name + ".down"); }, ControlEventTouchDown);
        c->addTarget([this, name](View*) { calls.push_back(name + ".up"); }, ControlEventTouchUpInside);
        c->setKeyEquivalent(std::move(key));
        return c;
    }
};

TEST_F(InputTest, TouchGoesToTheFrontMostControlThroughImageViews) {
    auto back = control(Rect(0, 0, 200, 200), "back", "q");
    auto front = control(Rect(100, 100, 200, 200), "front", "q");
    root->addSubview(back);
    root->addSubview(front);
    auto picture = std::make_shared<ImageView>(Rect(0, 0, 50, 50));
    front->addSubview(picture);   // an image inside a control, as on the info pages
    root->addSubview(std::make_shared<ImageView>(Rect(0, 0, 480, 320)));   // a segment over everything

    EXPECT_EQ(touchAt(*root, {150, 150}), front.get());
    EXPECT_EQ(touchAt(*root, {50, 50}), back.get());
    EXPECT_EQ(touchAt(*root, {110, 110}, false), front.get());
    EXPECT_EQ(calls, (std::vector<std::string>{"front.down", "front.up", "back.down", "back.up", "front.down"}));
    EXPECT_EQ(hitTest(*root, {110, 110}), front.get());
    EXPECT_EQ(controlAt(*root, {479, 319}), nullptr);
    EXPECT_EQ(hitTest(*root, {479, 319}), root.get());
    EXPECT_EQ(hitTest(*root, {480, 10}), nullptr);

    calls.clear();
    EXPECT_TRUE(pressKey(*root, "q"));   // the front-most of two controls with the key
    EXPECT_EQ(calls, (std::vector<std::string>{"front.down", "front.up"}));
    front->setHidden(true);
    calls.clear();
    EXPECT_EQ(touchAt(*root, {150, 150}), back.get());
    EXPECT_TRUE(pressKey(*root, "q"));
    EXPECT_EQ(calls, (std::vector<std::string>{"back.down", "back.up", "back.down", "back.up"}));
    back->setEnabled(false);
    EXPECT_FALSE(pressKey(*root, "q"));
    EXPECT_EQ(controlAt(*root, {50, 50}), nullptr);
    EXPECT_FALSE(pressKey(*root, ""));
}

TEST_F(InputTest, HitTestUsesTheDrawnTransformAndScrollOffset) {
    auto c = control(Rect(100, 100, 100, 50), "c");
    root->addSubview(c);
    c->setTransform(AffineTransform::makeTranslation(0, -50));   // slid up by its height
    EXPECT_EQ(controlAt(*root, {150, 120}), nullptr);
    EXPECT_EQ(controlAt(*root, {150, 70}), c.get());
    c->setTransform(AffineTransform::makeScale(0.5, 0.5));       // about its centre (150, 125)
    EXPECT_EQ(controlAt(*root, {110, 125}), nullptr);
    EXPECT_EQ(controlAt(*root, {130, 125}), c.get());
    c->setTransform(AffineTransform::makeScale(0, 0));
    EXPECT_EQ(controlAt(*root, {150, 125}), nullptr);

    auto scroll = std::make_shared<ScrollView>(Rect(0, 0, 480, 320));
    scroll->setContentSize({960, 320});
    auto page = control(Rect(543, 0, 354, 242), "page2");
    scroll->addSubview(page);
    root->addSubview(scroll);
    EXPECT_EQ(controlAt(*root, {100, 100}), nullptr);
    scroll->setContentOffset({480, 0});
    EXPECT_EQ(controlAt(*root, {100, 100}), page.get());
    const Point centre = page->convertToRoot({177, 121});
    EXPECT_EQ(controlAt(*root, centre), page.get());
}

TEST_F(InputTest, ATouchThatRemovesItsControlEndsSafely) {
    // The info page: touch-down removes the control; no touch-up follows, nothing is used after free.
    auto page = std::make_shared<Control>(Rect(0, 0, 480, 320));
    int downs = 0, ups = 0;
    page->addTarget([&downs](View* sender) { ++downs; sender->removeFromSuperview(); }, ControlEventTouchDown);
    page->addTarget([&ups](View*) { ++ups; }, ControlEventTouchUpInside);
    std::weak_ptr<View> weak = page;
    root->addSubview(std::move(page));
    touchAt(*root, {10, 10});
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 0);
    EXPECT_TRUE(weak.expired());
    EXPECT_TRUE(root->subviews().empty());
}

TEST_F(InputTest, TouchesOutsideControlsReachTheController) {
    struct Intro : ViewController {
        int touches = 0;
        void touchesBegan() override { ++touches; }
    } intro;
    auto introView = intro.viewShared();
    introView->addSubview(std::make_shared<ImageView>(Rect(0, 0, 480, 320)));
    auto plain = std::make_shared<View>(Rect(10, 10, 50, 50));
    introView->addSubview(plain);
    root->addSubview(introView);
    EXPECT_EQ(touchAt(*root, {200, 200}), nullptr);
    EXPECT_EQ(touchAt(*root, {20, 20}), nullptr);   // a plain view passes it up to the controller's view
    EXPECT_EQ(intro.touches, 2);
    introView->setUserInteractionEnabled(false);
    touchAt(*root, {200, 200});
    EXPECT_EQ(intro.touches, 2);
}

// ---- images and the bundle ----

TEST(ImageTest, SizesFromPngHeadersCachedAndMissingIsNull) {
    Environment env;
    testsupport::TempResources res;
    res.png("menu_01.png", 354, 242);
    res.png("menu_01@2x.png", 708, 484);
    res.png("big@2x.png", 100, 60);
    res.write("broken.png", "not a picture at all, just words");
    res.write("short.png", std::string("\x89PNG\r\n\x1a\n", 8));

    auto image = Image::imageNamed("menu_01.png");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->size(), (Size{354, 242}));
    EXPECT_EQ(image->path(), res.root() + "/menu_01.png");
    EXPECT_EQ(image->path2x(), res.root() + "/menu_01@2x.png");
    EXPECT_EQ(Image::imageNamed("menu_01.png"), image);   // cached

    auto only2x = Image::imageNamed("big.png");   // only the 2x file: half its pixels, in points
    ASSERT_NE(only2x, nullptr);
    EXPECT_EQ(only2x->size(), (Size{50, 30}));

    EXPECT_EQ(Image::imageNamed("missing.png"), nullptr);
    EXPECT_EQ(Image::imageNamed("broken.png"), nullptr);
    EXPECT_EQ(Image::imageNamed("short.png"), nullptr);
    EXPECT_EQ(Image::imageNamed(""), nullptr);
    res.png("missing.png", 4, 4);   // a miss is not remembered
    EXPECT_NE(Image::imageNamed("missing.png"), nullptr);

    ImageView iv(image);
    EXPECT_EQ(iv.frame(), Rect(0, 0, 354, 242));
    EXPECT_EQ(iv.image(), image);
    ImageView none(Image::imageNamed("nothing.png"));
    EXPECT_EQ(none.frame(), Rect());
    EXPECT_FALSE(none.userInteractionEnabled());

    int w = 0, h = 0;
    EXPECT_TRUE(readPngSize(res.root() + "/menu_01@2x.png", w, h));
    EXPECT_EQ(w, 708);
    EXPECT_EQ(h, 484);
    EXPECT_FALSE(readPngSize(res.root() + "/nope.png", w, h));
}

TEST(BundleTest, FindsResourcesInTheRootOrOneFolderDown) {
    testsupport::TempResources res;
    res.write("sounds/yolkfall_02.aif", "FORM");
    res.write("layouts/IntroViewController.json", "{}");
    const Bundle& bundle = Bundle::mainBundle();
    EXPECT_EQ(bundle.pathForResource("yolkfall_02", "aif"), res.root() + "/sounds/yolkfall_02.aif");
    EXPECT_EQ(bundle.pathForResource("yolkfall_02.aif", ""), res.root() + "/sounds/yolkfall_02.aif");
    EXPECT_EQ(bundle.pathForResource("yolkfall_03", "aif"), "");
    EXPECT_EQ(bundle.pathForResource("sounds", ""), "");   // folders are not resources
    EXPECT_EQ(bundle.pathForLayout("IntroViewController"), res.root() + "/layouts/IntroViewController.json");
    EXPECT_EQ(bundle.pathForLayout("Nothing"), "");
}

}  // namespace
