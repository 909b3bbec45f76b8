// Views: change tracking where a frame drawn in parts would still match a whole one, layouts that fail loudly
// naming the file and the name, and controllers that load their view once.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Button.h"
#include "platform/ImageView.h"
#include "platform/Layout.h"
#include "platform/View.h"
#include "platform/ViewController.h"
#include "platform/headless/Headless.h"
#include "platform_support.h"

using namespace platform;
using platform::headless::Environment;

namespace {

class ChangesTest : public ::testing::Test {
protected:
    void SetUp() override {
        window->addSubview(panel);
        panel->addSubview(segment);
        segment->setHidden(true);
        window->takeChanges();
    }
    Environment env;
    std::shared_ptr<Window> window = std::make_shared<Window>();
    std::shared_ptr<View> panel = std::make_shared<View>(Rect(10, 20, 200, 100));
    std::shared_ptr<ImageView> segment = std::make_shared<ImageView>(Rect(5, 5, 10, 10));
};

using Areas = std::vector<Rect>;

TEST_F(ChangesTest, ASegmentHiddenBeforeTheFrameIsDrawnAwayEvenWhenItsParentIsHiddenOrTakenOutToo) {
    auto moving = std::make_shared<View>(Rect(300, 200, 50, 50));
    auto lit = std::make_shared<ImageView>(Rect(-100, 0, 10, 10));   // outside its parent's frame
    window->addSubview(moving);
    moving->addSubview(lit);
    window->takeChanges();
    lit->setHidden(true);
    moving->setHidden(true);
    EXPECT_EQ(window->takeChanges(), (Areas{{200, 200, 10, 10}, {300, 200, 50, 50}}));
    moving->setHidden(false);
    window->takeChanges();
    lit->setHidden(false);
    window->takeChanges();
    lit->setHidden(true);
    moving->removeFromSuperview();
    EXPECT_EQ(window->takeChanges(), (Areas{{200, 200, 150, 50}}));
}

TEST_F(ChangesTest, ChangesUndoneBeforeTheFrameAndValuesAViewAlreadyHasReportNothing) {
    segment->setHidden(true);
    panel->setAlpha(1);
    panel->setFrame(panel->frame());
    panel->setTransform(AffineTransform::identity());
    panel->setBackgroundColor(Color::clear());
    segment->setImage(nullptr);
    EXPECT_FALSE(window->hasChanges());
    segment->setHidden(false);   // shown and hidden again before the frame
    segment->setHidden(true);
    EXPECT_EQ(window->takeChanges(), Areas{});
}

TEST_F(ChangesTest, AViewTakenOutMidAnimationReportsWhereItsAnimationWasLastDrawn) {
    segment->setHidden(false);
    AnimationOptions there{.duration = 0.5, .autoreverses = true};
    Animation::start(there, [&] { segment->setTransform(AffineTransform::makeTranslation(250, 0)); });
    env.advance(0.5);
    window->takeChanges();   // drawn at the far end, right of the panel
    env.advance(0.4);        // on its way back, inside the panel
    panel->removeFromSuperview();
    Areas areas = window->takeChanges();
    EXPECT_NE(std::find(areas.begin(), areas.end(), Rect(265, 25, 10, 10)), areas.end());
    EXPECT_EQ(window->takeChanges(), Areas{});
}

class LayoutTest : public ::testing::Test {
protected:
    Environment env;
    plumbrick::testing::TempResources res{env.documents()};
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

TEST_F(LayoutTest, AControllerLoadsItsViewOnceAndAViewThatOutlivesItForgetsIt) {
    res.write("layouts/PauseScreen.json", R"({"root": {"class": "View", "frame": [0, 0, 480, 320]}})");
    res.write("layouts/Broken.json", R"({"root": {"class": "Gadget", "frame": [0, 0, 1, 1]}})");
    std::shared_ptr<View> kept;
    {
        ViewController vc("PauseScreen"), broken("Broken");
        EXPECT_FALSE(vc.isViewLoaded());
        kept = vc.viewShared();
        EXPECT_EQ(vc.view(), kept.get());
        EXPECT_EQ(kept->viewController(), &vc);
        EXPECT_THROW(broken.view(), LayoutError);
        EXPECT_FALSE(broken.isViewLoaded());
    }
    EXPECT_EQ(kept->viewController(), nullptr);
}

// A successful launch is the application's own (its tests start from the real main layout); here, a failure.
TEST_F(LayoutTest, ABadMainLayoutFailsNamingTheFileAndTheName) {
    const std::string file = res.write("layouts/MainWindow.json", R"({"delegate": "NoSuchDelegate"})");
    const std::string message = errorOf([] { Application::sharedApplication().launch(); });
    EXPECT_NE(message.find(file), std::string::npos) << message;
    EXPECT_NE(message.find("NoSuchDelegate"), std::string::npos) << message;
    EXPECT_EQ(Application::sharedApplication().delegate(), nullptr);
}

TEST_F(LayoutTest, ImageSizesComeFromPngHeadersAndAMissingOrBrokenImageIsNull) {
    const std::string ihdr("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);            // then width and height, 4 bytes each
    res.write("plain.png", ihdr + std::string("\0\0\0\x78\0\0\0\x50", 8));    // 120 x 80
    res.write("big@2x.png", ihdr + std::string("\0\0\0\x64\0\0\0\x3c", 8));   // 100 x 60, no 1x file
    res.write(".png", ihdr + std::string("\0\0\0\x08\0\0\0\x08", 8));         // found were an empty name looked up
    res.write("broken.png", "not a picture at all, just words");
    res.write("short.png", std::string("\x89PNG\r\n\x1a\n", 8));
    auto plain = Image::imageNamed("plain.png");
    ASSERT_NE(plain, nullptr) << "a PNG file is an image";
    EXPECT_EQ(plain->size(), (Size{120, 80})) << "the size from the PNG header";
    auto big = Image::imageNamed("big.png");
    ASSERT_NE(big, nullptr) << "a @2x file alone is an image";
    EXPECT_EQ(big->size(), (Size{50, 30})) << "a @2x-only file is half its pixels";
    for (const char* bad : {"missing.png", "broken.png", "short.png", ""})
        EXPECT_EQ(Image::imageNamed(bad), nullptr) << "no image from '" << bad << "'";
}

}   // namespace
