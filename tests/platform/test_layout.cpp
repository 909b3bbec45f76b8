// Layouts: loud failures naming the file and the name, the application's own layouts, screen controllers that
// load their view once, and a bad main layout.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/Application.h"
#include "platform/Layout.h"
#include "platform/ViewController.h"
#include "platform/headless/Headless.h"
#include "test_support.h"

using namespace platform;
using platform::headless::Environment;

namespace {

class LayoutTest : public ::testing::Test {
protected:
    Environment env;
    testsupport::TempResources res{env.documents()};
    std::shared_ptr<ImageView> ivGamePause;
    // The LayoutError message of a load, or "" when it loads.
    static std::string errorOf(const std::function<void()>& load) {
        try {
            load();
        } catch (const LayoutError& e) {
            return e.what();
        }
        return "";
    }
    std::string errorOf(const std::string& json) {
        LayoutBindings bindings;
        bindings.outlet("ivGamePause", ivGamePause);
        return errorOf([&] { loadLayoutFromString(json, "Broken.json", bindings); });
    }
};

TEST_F(LayoutTest, UnknownNamesAndMalformedInputFailNamingTheFileAndTheName) {
    const std::pair<const char*, const char*> cases[] = {
        {R"({"root": {"class": "Button", "frame": [0,0,1,1], "action": "pressBtNothing:"}})", "pressBtNothing:"},
        {R"({"root": {"class": "View", "frame": [0,0,1,1], "outlet": "ivGamePause"}})", "ivGamePause"},   // wrong class
        {R"({"root": {"class": "View", "frame": [0,0,1,1],)", "malformed JSON"},
        {R"({"root": {"class": "View", "frame": [0,0,1]}})", "frame"},
        {R"({"root": {"class": "View", "frame": [0,0,1,1], "colour": "#fff"}})", "colour"},
    };
    for (const auto& [json, mentions] : cases) {
        const std::string message = errorOf(json);
        EXPECT_NE(message.find("Broken.json"), std::string::npos) << json << " -> " << message;
        EXPECT_NE(message.find(mentions), std::string::npos) << json << " -> " << message;
    }
    EXPECT_EQ(ivGamePause, nullptr);
    EXPECT_EQ(errorOf(R"({"root": {"class": "View", "frame": [0,0,1,1]}, "comment": "fine"})"), "");
    EXPECT_NE(errorOf([] { loadLayout("Nowhere", {}); }).find("Nowhere.json"), std::string::npos);
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
    const std::pair<const char*, const char*> bad[] = {
        {R"({"delegate": "NoSuchDelegate", "viewController": {"class": "PauseController", "layout": "PauseScreen"}})",
         "NoSuchDelegate"},
        {R"({"delegate": "TestDelegate")", "malformed JSON"},
    };
    for (const auto& [json, mentions] : bad) {
        const std::string file = res.layout("MainWindow", json);
        const std::string message = errorOf([] { Application::sharedApplication().launch(); });
        EXPECT_NE(message.find(file), std::string::npos) << json << " -> " << message;
        EXPECT_NE(message.find(mentions), std::string::npos) << json << " -> " << message;
    }
    EXPECT_EQ(Application::sharedApplication().delegate(), nullptr);
}

}   // namespace
