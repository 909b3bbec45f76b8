// Layouts: the tree with outlets and actions by name, loud failures, the application's own layouts,
// screen controllers that load their view once, and the launch from the main layout.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/Application.h"
#include "platform/Input.h"
#include "platform/Layout.h"
#include "platform/ViewController.h"
#include "platform/headless/Headless.h"
#include "test_support.h"

using namespace platform;
using platform::headless::Environment;

namespace {

const char* kFace = R"({"root": {"class": "View", "frame": [0, 0, 480, 320], "subviews": [
  {"class": "ImageView", "tag": 100, "frame": [120, 150, 60, 50], "image": "seg_100.png", "hidden": true},
  {"class": "Button", "frame": [4, 200, 50, 50], "image": "btn_round.png", "action": "pressBtWolfLU:", "events": 1,
   "key": "q"},
  {"class": "View", "tag": 10000, "frame": [420, 290, 60, 30], "alpha": 0.5, "subviews": [
    {"class": "Button", "frame": [0, 0, 60, 30], "outlet": "btMenu", "action": "pressBtMenu:", "key": "escape"}]},
  {"class": "ImageView", "frame": [200, 40, 80, 20], "outlet": "ivGamePause"},
  {"class": "ScrollView", "frame": [0, 26, 480, 267], "contentSize": [2880, 267], "outlet": "menuScrolView"}]}})";

struct Screen {
    std::string pressed;
    View* btMenu = nullptr;
    std::shared_ptr<ImageView> ivGamePause;
    std::shared_ptr<ScrollView> menuScrolView;
    void pressBtWolfLU(View*) { pressed += "LU "; }
    void pressBtMenu(View*) { pressed += "menu "; }
    LayoutBindings bindings() {
        LayoutBindings b;
        b.action("pressBtWolfLU:", this, &Screen::pressBtWolfLU);
        b.action("pressBtMenu:", this, &Screen::pressBtMenu);
        b.outlet("btMenu", btMenu);
        b.outlet("ivGamePause", ivGamePause);
        b.outlet("menuScrolView", menuScrolView);
        return b;
    }
};

class LayoutTest : public ::testing::Test {
protected:
    Environment env;
    testsupport::TempResources res{env.documents()};
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

TEST_F(LayoutTest, BuildsTheTreeAndConnectsOutletsAndActionsByEventMask) {
    res.png("seg_100.png", 60, 50);
    auto root = loadLayoutFromString(kFace, "Face.json", screen.bindings());
    ASSERT_EQ(root->subviews().size(), 5u);
    auto* seg = root->viewWithTagAs<ImageView>(100);
    ASSERT_NE(seg, nullptr);
    ASSERT_NE(seg->image(), nullptr);
    EXPECT_TRUE(seg->isHidden());
    EXPECT_EQ(seg->frame(), Rect(120, 150, 60, 50));
    auto* lu = dynamic_cast<Button*>(root->subviews()[1].get());
    EXPECT_EQ(lu->image(), nullptr);   // a missing picture is no image
    View* tab = root->viewWithTag(10000);
    EXPECT_EQ(tab->alpha(), 0.5);
    EXPECT_EQ(screen.btMenu, tab->subviews()[0].get());
    EXPECT_EQ(screen.ivGamePause.get(), root->subviews()[3].get());
    EXPECT_EQ(screen.menuScrolView->contentSize(), (Size{2880, 267}));

    lu->sendActionsForControlEvents(ControlEventTouchUpInside);   // LU acts on touch-down only
    EXPECT_EQ(screen.pressed, "");
    EXPECT_TRUE(pressKey(*root, "q"));
    EXPECT_TRUE(pressKey(*root, "escape"));
    EXPECT_EQ(screen.pressed, "LU menu ");
}

TEST_F(LayoutTest, UnknownNamesAndMalformedInputFailNamingTheFileAndTheName) {
    const std::pair<const char*, const char*> cases[] = {
        {R"({"root": {"class": "View", "frame": [0,0,1,1], "subviews": [
            {"class": "Button", "frame": [0,0,1,1], "action": "pressBtNothing:"}]}})",
         "pressBtNothing:"},
        {R"({"root": {"class": "View", "frame": [0,0,1,1], "outlet": "ivNothing"}})", "ivNothing"},
        {R"({"root": {"class": "View", "frame": [0,0,1,1], "outlet": "ivGamePause"}})", "ivGamePause"},   // wrong class
        {R"({"root": {"class": "Gadget", "frame": [0,0,1,1]}})", "Gadget"},
        {R"({"root": {"class": "View", "frame": [0,0,1,1],)", "malformed JSON"},
        {R"({"root": {"class": "View", "frame": [0,0,1]}})", "frame"},
        {R"({"root": {"frame": [0,0,1,1]}})", "class"},
        {R"({"root": {"class": "View", "frame": [0,0,1,1], "colour": "#fff"}})", "colour"},
        {R"({"root": {"class": "View", "frame": [0,0,1,1], "action": "pressBtMenu:"}})", "action"},   // not a control
        {R"({"root": {"class": "Label", "frame": [0,0,1,1], "textColor": "red"}})", "textColor"},
        {R"({"root": {"class": "View", "frame": [0,0,1,1]}, "extra": 1})", "extra"},
    };
    for (const auto& [json, mentions] : cases) {
        const std::string message = errorOf(json);
        EXPECT_NE(message.find("Broken.json"), std::string::npos) << json << " -> " << message;
        EXPECT_NE(message.find(mentions), std::string::npos) << json << " -> " << message;
    }
    EXPECT_EQ(screen.ivGamePause, nullptr);
    EXPECT_EQ(errorOf(R"({"root": {"class": "View", "frame": [0,0,1,1]}, "comment": "fine"})"), "");
    for (const std::string name : {"Nowhere", "Bad"}) {   // by name from the bundle: missing, then malformed
        if (name == "Bad") res.layout("Bad", "{ \"root\": ");
        try {
            loadLayout(name, {});
            ADD_FAILURE() << name << " loaded";
        } catch (const LayoutError& e) {
            EXPECT_NE(std::string(e.what()).find(name + ".json"), std::string::npos) << e.what();
        }
    }
}

// Every layout of the application loads, given its own outlet and action names (which the screens bind).
TEST_F(LayoutTest, EveryLayoutInTheResourcesLoads) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(__FILE__).parent_path().parent_path().parent_path() / "resources" / "layouts";
    ASSERT_TRUE(fs::is_directory(folder)) << folder;
    static const std::set<std::string> builtin = {"View",  "ImageView",  "Control",  "Button",
                                                  "Label", "ScrollView", "TableView"};
    int loaded = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".json" || entry.path().stem() == "MainWindow") continue;
        std::ifstream in(entry.path());
        const auto doc = nlohmann::json::parse(in, nullptr, false);
        ASSERT_FALSE(doc.is_discarded()) << entry.path();
        ASSERT_TRUE(doc.contains("root")) << entry.path();
        LayoutBindings bindings;
        std::function<void(const nlohmann::json&)> collect = [&](const nlohmann::json& v) {
            if (v.contains("outlet")) bindings.outlets[v["outlet"]] = [](const std::shared_ptr<View>&) {};
            if (v.contains("action")) bindings.actions[v["action"]] = [](View*) {};
            if (v.contains("class") && !builtin.count(v["class"]))
                registerViewClass(v["class"], [](Rect f) { return std::make_shared<View>(f); });
            if (v.contains("subviews"))
                for (const auto& s : v["subviews"]) collect(s);
        };
        collect(doc["root"]);
        EXPECT_NO_THROW(loadLayoutFromFile(entry.path().string(), bindings)) << entry.path();
        ++loaded;
    }
    EXPECT_GE(loaded, 5);
}

// ---- screen controllers and the launch ----

struct PauseController : ViewController {
    using ViewController::ViewController;
    std::string events;
    std::shared_ptr<ImageView> ivGamePause;
    void viewDidLoad() override {   // outlets are connected and the view knows its controller by now
        events += ivGamePause && view()->viewController() == this ? "loaded " : "unready ";
    }
    void bindLayout(LayoutBindings& b) override {
        events += "bind ";
        b.outlet("ivGamePause", ivGamePause);
    }
};

TEST_F(LayoutTest, AControllerLoadsItsViewOnceOnFirstRequest) {
    res.layout("PauseScreen", R"({"root": {"class": "View", "frame": [0, 0, 480, 320], "subviews": [
        {"class": "ImageView", "frame": [200, 40, 80, 20], "outlet": "ivGamePause"}]}})");
    res.layout("Broken", R"({"root": {"class": "View", "frame": [0,0,1,1], "action": "pressBtNothing:"}})");
    std::shared_ptr<View> kept;
    {
        PauseController vc("PauseScreen"), broken("Broken");
        EXPECT_FALSE(vc.isViewLoaded());
        kept = vc.viewShared();
        EXPECT_EQ(vc.view(), kept.get());
        EXPECT_EQ(vc.events, "bind loaded ");
        EXPECT_THROW(broken.view(), LayoutError);
        EXPECT_FALSE(broken.isViewLoaded());
    }
    EXPECT_EQ(kept->viewController(), nullptr);   // a view that outlives its controller forgets it
    EXPECT_EQ(ViewController().view()->frame(), Rect(0, 0, 480, 320));   // no layout: a plain screen-sized view
}

// A successful launch is the application's own (its tests start from the real main layout); here, the failures.
TEST_F(LayoutTest, ABadMainLayoutFailsNamingTheFileAndTheName) {
    registerDelegateClass("TestDelegate", [] { return std::shared_ptr<ApplicationDelegate>(); });
    registerControllerClass("PauseController",
                            [](const std::string& l) { return std::make_shared<PauseController>(l); });
    const std::pair<const char*, const char*> bad[] = {
        {R"({"delegate": "NoSuchDelegate", "viewController": {"class": "PauseController", "layout": "PauseScreen"}})",
         "NoSuchDelegate"},
        {R"({"delegate": "TestDelegate", "viewController": {"class": "NoSuchController", "layout": "x"}})",
         "NoSuchController"},
        {R"({"delegate": "TestDelegate")", "malformed JSON"},
        {R"({"delegate": "TestDelegate", "window": {"frame": [0, 0]}, "viewController": {"class": "PauseController"}})",
         "frame"},
    };
    for (const auto& [json, mentions] : bad) {
        const std::string file = res.layout("MainWindow", json);
        try {
            Application::sharedApplication().launch();
            ADD_FAILURE() << "launched: " << json;
        } catch (const LayoutError& e) {
            EXPECT_NE(std::string(e.what()).find(file), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(mentions), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(Application::sharedApplication().delegate(), nullptr);
}

}   // namespace
