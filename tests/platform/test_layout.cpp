// The layout loader: building the tree, outlets and actions by name, loud failures, and the real layouts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/Input.h"
#include "platform/Layout.h"
#include "platform/TableView.h"
#include "platform/headless/Headless.h"
#include "test_support.h"

using namespace platform;
using platform::headless::Environment;

namespace {

const char* kFace = R"({
  "root": {
    "class": "View", "frame": [0, 0, 480, 320], "backgroundColor": "#000000ff",
    "subviews": [
      { "class": "ImageView", "frame": [0, 0, 480, 320], "image": "face.png" },
      { "class": "ImageView", "tag": 100, "frame": [120, 150, 60, 50], "image": "seg_100.png", "hidden": true },
      { "class": "Button", "frame": [4, 200, 50, 50], "image": "btn_round.png",
        "action": "pressBtWolfLU:", "events": 1, "key": "q" },
      { "class": "View", "tag": 10000, "frame": [420, 290, 60, 30], "alpha": 0.5, "subviews": [
          { "class": "Button", "frame": [0, 0, 60, 30], "outlet": "btMenu", "action": "pressBtMenu:", "key": "escape" } ] },
      { "class": "ImageView", "frame": [200, 40, 80, 20], "image": "pause.png", "outlet": "ivGamePause", "hidden": true },
      { "class": "Label", "frame": [0, 0, 100, 20], "text": "00", "font": ["Helvetica", 20], "textAlignment": 2,
        "textColor": "#ff000080", "tag": 5 },
      { "class": "ScrollView", "frame": [0, 26, 480, 267], "contentSize": [2880, 267], "outlet": "menuScrolView" },
      { "class": "TableView", "frame": [80, 92, 320, 125], "outlet": "tbStatistic" }
    ]
  }
})";

struct Screen {
    std::vector<std::string> pressed;
    View* btMenu = nullptr;
    std::shared_ptr<ImageView> ivGamePause;
    std::shared_ptr<ScrollView> menuScrolView;
    TableView* tbStatistic = nullptr;
    void pressBtWolfLU(View*) { pressed.push_back("LU"); }
    void pressBtMenu(View*) { pressed.push_back("menu"); }
    LayoutBindings bindings() {
        LayoutBindings b;
        b.action("pressBtWolfLU:", this, &Screen::pressBtWolfLU);
        b.action("pressBtMenu:", this, &Screen::pressBtMenu);
        b.outlet("btMenu", btMenu);
        b.outlet("ivGamePause", ivGamePause);
        b.outlet("menuScrolView", menuScrolView);
        b.outlet("tbStatistic", tbStatistic);
        return b;
    }
};

class LayoutTest : public ::testing::Test {
protected:
    Environment env;
    testsupport::TempResources res;
    Screen screen;

    // The LayoutError message for a layout text, or "" when it loads.
    std::string errorOf(const std::string& json) {
        try {
            loadLayoutFromString(json, "Broken.json", screen.bindings());
        } catch (const LayoutError& e) {
            return e.what();
        }
        return "";
    }
};

TEST_F(LayoutTest, BuildsTheTreeAndConnectsOutletsActionsAndKeys) {
    res.png("face.png", 480, 320);
    res.png("seg_100.png", 60, 50);
    auto root = loadLayoutFromString(kFace, "Face.json", screen.bindings());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->frame(), Rect(0, 0, 480, 320));
    EXPECT_EQ(root->backgroundColor(), Color::black());
    ASSERT_EQ(root->subviews().size(), 8u);

    auto* face = dynamic_cast<ImageView*>(root->subviews()[0].get());
    ASSERT_NE(face, nullptr);
    ASSERT_NE(face->image(), nullptr);
    EXPECT_EQ(face->image()->size(), (Size{480, 320}));
    auto* seg = root->viewWithTagAs<ImageView>(100);
    ASSERT_NE(seg, nullptr);
    EXPECT_TRUE(seg->isHidden());
    EXPECT_EQ(seg->frame(), Rect(120, 150, 60, 50));   // the layout's frame, not the picture's size

    EXPECT_EQ(dynamic_cast<Button*>(root->subviews()[2].get())->image(), nullptr);   // missing picture: no image
    View* tab = root->viewWithTag(10000);
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->alpha(), 0.5);
    EXPECT_FALSE(tab->layer().hasAnimations());

    EXPECT_EQ(screen.btMenu, tab->subviews()[0].get());
    ASSERT_NE(screen.ivGamePause, nullptr);
    EXPECT_TRUE(screen.ivGamePause->isHidden());
    ASSERT_NE(screen.menuScrolView, nullptr);
    EXPECT_EQ(screen.menuScrolView->contentSize(), (Size{2880, 267}));
    ASSERT_NE(screen.tbStatistic, nullptr);
    EXPECT_STREQ(screen.tbStatistic->className(), "TableView");

    auto* label = root->viewWithTagAs<Label>(5);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "00");
    EXPECT_EQ(label->font(), (Font{"Helvetica", 20}));
    EXPECT_EQ(label->textAlignment(), TextAlignmentRight);
    EXPECT_NEAR(label->textColor().a, 128 / 255.0, 1e-12);
    EXPECT_EQ(label->textColor().r, 1.0);

    // Actions by their event masks: the LU button on touch-down, the menu button on touch-up-inside.
    auto* lu = dynamic_cast<Control*>(root->subviews()[2].get());
    lu->sendActionsForControlEvents(ControlEventTouchUpInside);
    EXPECT_TRUE(screen.pressed.empty());
    EXPECT_TRUE(pressKey(*root, "q"));
    EXPECT_TRUE(pressKey(*root, "escape"));
    EXPECT_EQ(screen.pressed, (std::vector<std::string>{"LU", "menu"}));
    EXPECT_EQ(lu->keyEquivalent(), "q");
}

TEST_F(LayoutTest, LoadsByNameFromTheBundleAndNeverAnimates) {
    res.layout("Small", R"({"root": {"class": "View", "frame": [0, 0, 10, 10], "alpha": 0.25}})");
    View::beginAnimations();   // a view loaded inside a block starts at its layout values
    auto v = loadLayout("Small", {});
    View::commitAnimations();
    EXPECT_EQ(v->presentationAlpha(), 0.25);
    try {
        loadLayout("Nowhere", {});
        FAIL() << "a missing layout loaded";
    } catch (const LayoutError& e) {
        EXPECT_NE(std::string(e.what()).find("Nowhere.json"), std::string::npos) << e.what();
    }
    const std::string file = res.layout("Bad", "{ \"root\": ");
    try {
        loadLayoutFromFile(file, {});
        FAIL();
    } catch (const LayoutError& e) {
        EXPECT_NE(std::string(e.what()).find(file), std::string::npos) << e.what();
    }
}

TEST_F(LayoutTest, UnknownNamesAndMalformedInputFailNamingTheFileAndTheName) {
    struct Case {
        const char* json;
        const char* mentions;
    } cases[] = {
        {R"({"root": {"class": "View", "frame": [0,0,1,1], "subviews": [
            {"class": "Button", "frame": [0,0,1,1], "action": "pressBtNothing:"}]}})", "pressBtNothing:"},
        {R"({"root": {"class": "View", "frame": [0,0,1,1], "outlet": "ivNothing"}})", "ivNothing"},
        {R"({"root": {"class": "Gadget", "frame": [0,0,1,1]}})", "Gadget"},
        {R"({"root": {"class": "View", "frame": [0,0,1,1],)", "malformed JSON"},
        {R"([1, 2])", "malformed"},
        {R"({"root": {"class": "View", "frame": [0,0,1]}})", "frame"},
        {R"({"root": {"class": "View"}})", "frame"},
        {R"({"root": {"frame": [0,0,1,1]}})", "class"},
        {R"({"root": {"class": "View", "frame": [0,0,1,1], "tag": "7"}})", "tag"},
        {R"({"root": {"class": "View", "frame": [0,0,1,1], "colour": "#fff"}})", "colour"},
        {R"({"root": {"class": "View", "frame": [0,0,1,1], "action": "pressBtMenu:"}})", "action"},
        {R"({"root": {"class": "View", "frame": [0,0,1,1], "key": "q"}})", "key"},
        {R"({"root": {"class": "View", "frame": [0,0,1,1], "image": "x.png"}})", "image"},
        {R"({"root": {"class": "Label", "frame": [0,0,1,1], "textColor": "red"}})", "textColor"},
        {R"({"root": {"class": "ImageView", "frame": [0,0,1,1], "outlet": "btMenu", "hidden": 1}})", "hidden"},
        {R"({"root": {"class": "Button", "frame": [0,0,1,1], "events": 1}})", "events"},
        {R"({"root": {"class": "View", "frame": [0,0,1,1], "subviews": {}}})", "subviews"},
        {R"({"root": {"class": "View", "frame": [0,0,1,1]}, "extra": 1})", "extra"},
    };
    for (const Case& c : cases) {
        const std::string message = errorOf(c.json);
        EXPECT_NE(message.find("Broken.json"), std::string::npos) << c.json << " -> " << message;
        EXPECT_NE(message.find(c.mentions), std::string::npos) << c.json << " -> " << message;
    }
    // An outlet connected to a view of the wrong class.
    const std::string wrong = errorOf(R"({"root": {"class": "View", "frame": [0,0,1,1], "outlet": "ivGamePause"}})");
    EXPECT_NE(wrong.find("Broken.json"), std::string::npos) << wrong;
    EXPECT_NE(wrong.find("ivGamePause"), std::string::npos) << wrong;
    EXPECT_EQ(screen.ivGamePause, nullptr);
    EXPECT_EQ(errorOf(R"({"root": {"class": "View", "frame": [0,0,1,1]}, "comment": "fine"})"), "");
}

TEST_F(LayoutTest, RegisteredViewClasses) {
    struct FancyView : View {
        using View::View;
        const char* className() const override { return "FancyView"; }
    };
    registerViewClass("FancyView", [](Rect frame) { return std::make_shared<FancyView>(frame); });
    auto v = loadLayoutFromString(R"({"root": {"class": "FancyView", "frame": [1, 2, 3, 4], "tag": 9}})", "F.json", {});
    EXPECT_STREQ(v->className(), "FancyView");
    EXPECT_EQ(v->frame(), Rect(1, 2, 3, 4));
    EXPECT_EQ(v->tag(), 9);
    registerViewClass("FancyView", nullptr);
    EXPECT_THROW(loadLayoutFromString(R"({"root": {"class": "FancyView", "frame": [1, 2, 3, 4]}})", "F.json", {}),
                 LayoutError);
}

// Every layout of the application loads, given its own outlet and action names (which the screens bind).
TEST_F(LayoutTest, EveryLayoutInTheResourcesIsWellFormed) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(__FILE__).parent_path().parent_path().parent_path() / "resources" / "layouts";
    ASSERT_TRUE(fs::is_directory(folder)) << folder;
    static const std::set<std::string> builtin = {"View", "ImageView", "Control", "Button", "Label", "ScrollView",
                                                  "TableView"};
    int loaded = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".json" || entry.path().stem() == "MainWindow") continue;
        std::ifstream in(entry.path());
        const auto doc = nlohmann::json::parse(in, nullptr, false);
        ASSERT_FALSE(doc.is_discarded()) << entry.path();
        LayoutBindings bindings;
        std::function<void(const nlohmann::json&)> collect = [&](const nlohmann::json& v) {
            if (v.contains("outlet")) bindings.outlets[v["outlet"]] = [](const std::shared_ptr<View>&) {};
            if (v.contains("action")) bindings.actions[v["action"]] = [](View*) {};
            if (v.contains("class") && !builtin.count(v["class"]))
                registerViewClass(v["class"], [](Rect f) { return std::make_shared<View>(f); });
            if (v.contains("subviews"))
                for (const auto& s : v["subviews"]) collect(s);
        };
        ASSERT_TRUE(doc.contains("root")) << entry.path();
        collect(doc["root"]);
        EXPECT_NO_THROW(loadLayoutFromFile(entry.path().string(), bindings)) << entry.path();
        ++loaded;
    }
    EXPECT_GE(loaded, 5);
}

}  // namespace
