// The view tree, controls, touches and keys, and named images.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/Image.h"
#include "platform/Input.h"
#include "platform/View.h"
#include "platform/headless/Headless.h"
#include "test_support.h"

using namespace platform;
using platform::headless::Environment;

namespace {

std::shared_ptr<View> tagged(int tag) {
    auto v = std::make_shared<View>();
    v->setTag(tag);
    return v;
}

std::vector<int> tags(const View& v) {
    std::vector<int> out;
    for (const auto& s : v.subviews()) out.push_back(s->tag());
    return out;
}

TEST(ViewTreeTest, ViewWithTagIsTheViewOrItsFirstDescendantDepthFirst) {
    auto root = tagged(1), a = tagged(2), a1 = tagged(7), a2 = tagged(8), b = tagged(7);
    a->addSubview(a1);
    a1->addSubview(a2);
    b->addSubview(tagged(8));
    root->addSubview(a);
    root->addSubview(b);
    EXPECT_EQ(root->viewWithTag(1), root.get());   // the view itself
    EXPECT_EQ(root->viewWithTag(7), a1.get());     // not b, which is shallower but in front
    EXPECT_EQ(root->viewWithTag(8), a2.get());     // a's subtree is searched whole before b
    EXPECT_EQ(root->viewWithTag(99), nullptr);
    EXPECT_EQ(a1->viewWithTag(2), nullptr);   // never upwards
    a->setTag(7);
    EXPECT_EQ(root->viewWithTag(7), a.get());   // a parent before its children
}

TEST(ViewTreeTest, SubviewOrderInsertMoveAndRemove) {
    auto root = tagged(0), other = tagged(100), v1 = tagged(1), v2 = tagged(2), v3 = tagged(3);
    root->addSubview(v1);
    root->addSubview(v2);
    root->insertSubviewAtIndex(v3, 0);
    EXPECT_EQ(tags(*root), (std::vector<int>{3, 1, 2}));
    root->insertSubviewAtIndex(tagged(4), 99);   // clamped: on top
    root->addSubview(v3);                        // re-adding moves it on top
    EXPECT_EQ(tags(*root), (std::vector<int>{1, 2, 4, 3}));
    root->insertSubviewAtIndex(v1, 3);   // index counted after taking it out
    EXPECT_EQ(tags(*root), (std::vector<int>{2, 4, 3, 1}));
    other->addSubview(v2);   // moves from one parent to another
    EXPECT_EQ(tags(*root), (std::vector<int>{4, 3, 1}));
    EXPECT_EQ(v2->superview(), other.get());

    v3->removeFromSuperview();
    v3->removeFromSuperview();   // twice: nothing
    EXPECT_EQ(v3->superview(), nullptr);
    std::weak_ptr<View> weak = root->subviews()[0];
    root->subviews()[0]->removeFromSuperview();   // a view that only the tree held dies with it
    EXPECT_TRUE(weak.expired());
    EXPECT_EQ(tags(*root), (std::vector<int>{1}));

    v1->addSubview(root);   // no cycles
    v1->addSubview(v1);
    EXPECT_EQ(root->superview(), nullptr);
    EXPECT_TRUE(v1->subviews().empty());
    other.reset();   // a dead parent leaves no dangling back pointer
    EXPECT_EQ(v2->superview(), nullptr);
}

TEST(ControlTest, TargetsAreCalledOncePerMatchingMaskWithTheControlAsSender) {
    Control c;
    std::string calls;
    std::vector<View*> senders;
    c.addTarget(
        [&](View* s) {
            calls += "d";
            senders.push_back(s);
        },
        ControlEventTouchDown);
    c.addTarget(
        [&](View* s) {
            calls += "u";
            senders.push_back(s);
        },
        ControlEventTouchUpInside);
    c.addTarget(
        [&](View* s) {
            calls += "b";
            senders.push_back(s);
        },
        ControlEventTouchDown | ControlEventTouchUpInside);
    const std::pair<int, const char*> cases[] = {{ControlEventTouchDown, "db"},
                                                 {ControlEventTouchUpInside, "ub"},
                                                 {ControlEventTouchDown | ControlEventTouchUpInside, "dub"},
                                                 {2, ""}};
    for (const auto& [mask, want] : cases) {
        calls.clear();
        c.sendActionsForControlEvents(mask);
        EXPECT_EQ(calls, want) << mask;
    }
    EXPECT_EQ(senders, std::vector<View*>(7, &c));
}

TEST(InputTest, TouchesAndKeysGoToTheFrontMostEnabledControlThroughImageViews) {
    Environment env;
    auto root = std::make_shared<View>(Rect(0, 0, 480, 320));
    std::vector<std::string> calls;
    auto control = [&](Rect frame, const std::string& name) {
        auto c = std::make_shared<Button>(frame);
        c->addTarget([&calls, name](View*) { calls.push_back(name + ".down"); }, ControlEventTouchDown);
        c->addTarget([&calls, name](View*) { calls.push_back(name + ".up"); }, ControlEventTouchUpInside);
        c->setKeyEquivalent("q");
        root->addSubview(c);
        return c;
    };
    auto back = control(Rect(0, 0, 200, 200), "back");
    auto front = control(Rect(100, 100, 200, 200), "front");
    root->addSubview(std::make_shared<ImageView>(Rect(0, 0, 480, 320)));   // a segment over everything
    EXPECT_EQ(touchAt(*root, {150, 150}), front.get());
    EXPECT_EQ(touchAt(*root, {50, 50}, false), back.get());
    EXPECT_TRUE(pressKey(*root, "q"));
    EXPECT_EQ(calls, (std::vector<std::string>{"front.down", "front.up", "back.down", "front.down", "front.up"}));
    front->setHidden(true);
    back->setEnabled(false);
    EXPECT_FALSE(pressKey(*root, "q"));
    EXPECT_EQ(controlAt(*root, {150, 150}), nullptr);

    // A touch-down that takes its control out of the tree: no touch-up follows, nothing is used after free.
    calls.clear();
    std::weak_ptr<Control> page = control(Rect(0, 0, 480, 320), "page");
    page.lock()->addTarget([](View* sender) { sender->removeFromSuperview(); }, ControlEventTouchDown);
    touchAt(*root, {10, 10});
    EXPECT_TRUE(page.expired());
    EXPECT_EQ(calls, (std::vector<std::string>{"page.down"}));
}

TEST(ImageTest, SizesComeFromPngHeadersAndAMissingOrBrokenImageIsNull) {
    Environment env;
    testsupport::TempResources res(env.documents());
    res.png("menu_01.png", 354, 242);
    res.png("big@2x.png", 100, 60);   // only the 2x file: half its pixels
    res.write("broken.png", "not a picture at all, just words");
    res.write("short.png", std::string("\x89PNG\r\n\x1a\n", 8));
    auto image = Image::imageNamed("menu_01.png");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->size(), (Size{354, 242}));
    EXPECT_EQ(Image::imageNamed("big.png")->size(), (Size{50, 30}));
    for (const char* bad : {"missing.png", "broken.png", "short.png", ""})
        EXPECT_EQ(Image::imageNamed(bad), nullptr) << bad;
    EXPECT_EQ(ImageView(image).frame(), Rect(0, 0, 354, 242));
}

}   // namespace
