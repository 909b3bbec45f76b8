// Screen controllers (view loaded once, from their layout) and the application's launch from the main layout.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Input.h"
#include "platform/ViewController.h"
#include "platform/headless/Headless.h"
#include "test_support.h"

using namespace platform;
using platform::headless::Environment;

namespace {

const char* kPauseScreen = R"({"root": {"class": "View", "frame": [0, 0, 480, 320], "subviews": [
    {"class": "Button", "frame": [0, 0, 50, 50], "action": "pressBtPause:", "key": "space"},
    {"class": "ImageView", "frame": [200, 40, 80, 20], "outlet": "ivGamePause", "hidden": true}]}})";

class PauseController : public ViewController {
public:
    using ViewController::ViewController;
    std::vector<std::string>* events = nullptr;
    std::shared_ptr<ImageView> ivGamePause;
    int pauses = 0, loads = 0, unloads = 0;
    void pressBtPause(View*) { ++pauses; }
    void viewDidLoad() override {
        ++loads;
        // Outlets are connected and the view knows its controller by now.
        if (events) events->push_back(std::string("viewDidLoad ") + (ivGamePause ? "outlet" : "no outlet"));
        if (events && view() && view()->viewController() == this) events->push_back("owned");
    }
    void viewDidUnload() override {
        ++unloads;
        ivGamePause.reset();
    }
    bool shouldAutorotateToInterfaceOrientation(int o) override { return o == InterfaceOrientationLandscapeRight; }

protected:
    void bindLayout(LayoutBindings& b) override {
        if (events) events->push_back("bindLayout");
        b.action("pressBtPause:", this, &PauseController::pressBtPause);
        b.outlet("ivGamePause", ivGamePause);
    }
};

class ControllerTest : public ::testing::Test {
protected:
    Environment env;
    testsupport::TempResources res;
    void SetUp() override { res.layout("PauseScreen", kPauseScreen); }
};

TEST_F(ControllerTest, ViewIsLoadedOnceOnFirstRequestFromItsLayout) {
    std::vector<std::string> events;
    PauseController vc("PauseScreen");
    vc.events = &events;
    EXPECT_FALSE(vc.isViewLoaded());
    EXPECT_TRUE(events.empty());
    View* v = vc.view();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(vc.view(), v);
    EXPECT_EQ(vc.viewShared().get(), v);
    EXPECT_EQ(vc.loads, 1);
    EXPECT_EQ(events, (std::vector<std::string>{"bindLayout", "viewDidLoad outlet", "owned"}));
    EXPECT_EQ(vc.nibName(), "PauseScreen");
    EXPECT_TRUE(pressKey(*v, "space"));
    EXPECT_EQ(vc.pauses, 1);
    EXPECT_TRUE(vc.shouldAutorotateToInterfaceOrientation(3));
    EXPECT_FALSE(vc.shouldAutorotateToInterfaceOrientation(1));
    ViewController plain;
    EXPECT_TRUE(plain.shouldAutorotateToInterfaceOrientation(InterfaceOrientationPortrait));
    EXPECT_FALSE(plain.shouldAutorotateToInterfaceOrientation(InterfaceOrientationLandscapeRight));
}

TEST_F(ControllerTest, EmptyNibNameGivesAPlainScreenSizedView) {
    ViewController vc;
    ASSERT_NE(vc.view(), nullptr);
    EXPECT_EQ(vc.view()->frame(), Rect(0, 0, 480, 320));
    EXPECT_STREQ(vc.view()->className(), "View");
    EXPECT_TRUE(vc.view()->subviews().empty());
    EXPECT_EQ(vc.view()->viewController(), &vc);
}

TEST_F(ControllerTest, BadLayoutThrowsAndLeavesTheViewUnloaded) {
    res.layout("Broken", R"({"root": {"class": "View", "frame": [0,0,1,1], "action": "pressBtNothing:"}})");
    PauseController vc("Broken");
    EXPECT_THROW(vc.view(), LayoutError);
    EXPECT_FALSE(vc.isViewLoaded());
    EXPECT_EQ(vc.loads, 0);
}

TEST_F(ControllerTest, MemoryWarningDropsOnlyAnOffScreenView) {
    PauseController vc("PauseScreen");
    auto window = std::make_shared<Window>();
    window->addSubview(vc.viewShared());
    vc.didReceiveMemoryWarning();   // on screen: kept
    EXPECT_TRUE(vc.isViewLoaded());
    EXPECT_EQ(vc.unloads, 0);

    std::weak_ptr<View> old = vc.viewShared();
    vc.view()->removeFromSuperview();
    vc.didReceiveMemoryWarning();
    EXPECT_FALSE(vc.isViewLoaded());
    EXPECT_EQ(vc.unloads, 1);
    EXPECT_TRUE(old.expired());
    ASSERT_NE(vc.view(), nullptr);   // built again, fresh
    EXPECT_EQ(vc.loads, 2);
    EXPECT_NE(vc.ivGamePause, nullptr);
}

TEST_F(ControllerTest, AViewOutlivingItsControllerForgetsIt) {
    std::shared_ptr<View> kept;
    {
        PauseController vc("PauseScreen");
        kept = vc.viewShared();
        EXPECT_EQ(kept->viewController(), &vc);
    }
    EXPECT_EQ(kept->viewController(), nullptr);
    kept->touchesBegan();   // goes nowhere, safely
    ViewController a, b;
    a.setView(kept);
    b.setView(kept);
    EXPECT_EQ(kept->viewController(), &b);
    a.setView(nullptr);
    EXPECT_EQ(kept->viewController(), &b);
}

// ---- launching from the main layout ----

struct Launch {
    std::vector<std::string> steps;
};
Launch* g_launch = nullptr;

class TestDelegate : public ApplicationDelegate {
public:
    void applicationDidFinishLaunching() override {
        g_launch->steps.push_back("didFinishLaunching");
        window_->addSubview(controller_->viewShared());
        window_->makeKeyAndVisible();
    }
    void setWindow(std::shared_ptr<Window> w) override {
        g_launch->steps.push_back("window " + std::to_string(int(w->frame().size.width)));
        window_ = std::move(w);
    }
    void setViewController(std::shared_ptr<ViewController> c) override {
        g_launch->steps.push_back("viewController " + c->nibName());
        controller_ = std::move(c);
    }
    Window* window() const override { return window_.get(); }
    std::shared_ptr<ViewController> controller_;
private:
    std::shared_ptr<Window> window_;
};

class ApplicationTest : public ::testing::Test {
protected:
    Environment env;
    testsupport::TempResources res;
    Launch launch;
    void SetUp() override {
        g_launch = &launch;
        registerDelegateClass("TestDelegate", [] { return std::make_shared<TestDelegate>(); });
        registerControllerClass("PauseController", [](const std::string& layout) {
            g_launch->steps.push_back("make controller");
            return std::make_shared<PauseController>(layout);
        });
        res.layout("PauseScreen", kPauseScreen);
    }
    void TearDown() override { g_launch = nullptr; }
};

TEST_F(ApplicationTest, LaunchMakesDelegateWindowAndControllerFromTheMainLayout) {
    res.layout("MainWindow", R"({"delegate": "TestDelegate", "window": {"frame": [0, 0, 480, 320]},
        "viewController": {"class": "PauseController", "layout": "PauseScreen"}})");
    Application& app = Application::sharedApplication();
    app.launch();
    EXPECT_EQ(launch.steps, (std::vector<std::string>{"make controller", "window 480", "viewController PauseScreen",
                                                      "didFinishLaunching"}));
    ASSERT_NE(app.delegate(), nullptr);
    Window* window = app.delegate()->window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Window::keyWindow(), window);
    EXPECT_TRUE(window->isKeyWindow());
    ASSERT_EQ(window->subviews().size(), 1u);
    auto* vc = dynamic_cast<PauseController*>(window->subviews()[0]->viewController());
    ASSERT_NE(vc, nullptr);
    EXPECT_EQ(vc->loads, 1);
    touchAt(*window, {10, 10});
    EXPECT_EQ(vc->pauses, 1);
    app.reset();
    EXPECT_EQ(app.delegate(), nullptr);
}

TEST_F(ApplicationTest, BadMainLayoutsFailNamingTheFileAndTheName) {
    struct Case {
        const char* json;
        const char* mentions;
    } cases[] = {
        {R"({"delegate": "NoSuchDelegate", "viewController": {"class": "PauseController", "layout": "PauseScreen"}})",
         "NoSuchDelegate"},
        {R"({"delegate": "TestDelegate", "viewController": {"class": "NoSuchController", "layout": "x"}})",
         "NoSuchController"},
        {R"({"delegate": "TestDelegate")", "malformed JSON"},
        {R"({"delegate": "TestDelegate"})", "viewController"},
        {R"({"delegate": "TestDelegate", "window": {"frame": [0, 0]},
             "viewController": {"class": "PauseController"}})", "frame"},
    };
    for (const Case& c : cases) {
        const std::string file = res.layout("MainWindow", c.json);
        try {
            Application::sharedApplication().launch();
            ADD_FAILURE() << "launched: " << c.json;
        } catch (const LayoutError& e) {
            EXPECT_NE(std::string(e.what()).find(file), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.mentions), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(Application::sharedApplication().delegate(), nullptr);
    EXPECT_THROW(Application::sharedApplication().launch("NoMainLayout"), LayoutError);
}

}  // namespace
