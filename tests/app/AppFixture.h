#pragma once
// Starts the whole application on the headless backend, from the real main layout, as the desktop
// loop would, and gives the tests its screens.

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <memory>

#include "app/IntroViewController.h"
#include "app/MainMenuViewController.h"
#include "app/PlumbrickAppDelegate.h"
#include "app/PlumbrickViewController.h"
#include "app/Registration.h"
#include "platform/Application.h"
#include "platform/Input.h"
#include "platform/headless/Headless.h"

namespace plumbrick::test {

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Dates are shown in local time; the tests expect this zone whether ctest set it or not.
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
        registerApplicationClasses();
        app().setBackend(&env);
        app().launch("MainWindow");
        delegate = dynamic_cast<PlumbrickAppDelegate*>(app().delegate());
        ASSERT_NE(delegate, nullptr);
        root = dynamic_cast<PlumbrickViewController*>(delegate->viewController());
        ASSERT_NE(root, nullptr);
    }

    static platform::Application& app() { return platform::Application::sharedApplication(); }
    platform::Window& window() { return *delegate->window(); }
    platform::View& rootView() { return *root->view(); }
    IntroViewController& intro() { return *root->getViewControllerIntro(); }
    MainMenuViewController& menu() { return *root->getViewControllerMenu(); }

    // A finger on the screen at p (window coordinates): down, and up unless `release` is false.
    platform::Control* touch(platform::Point p, bool release = true) { return platform::touchAt(window(), p, release); }

    // The root view's subviews, back to front.
    std::vector<platform::View*> stack() {
        std::vector<platform::View*> views;
        for (const auto& v : rootView().subviews()) views.push_back(v.get());
        return views;
    }

    // Past the intro: the menu is on screen with its pages built.
    void dismissIntro() {
        env.advance(0.5);
        touch({240, 160});
        ASSERT_EQ(stack(), std::vector<platform::View*>{menu().view()});
    }

    platform::headless::Environment env;
    PlumbrickAppDelegate* delegate = nullptr;
    PlumbrickViewController* root = nullptr;
};

// Records every request a screen makes of its root.
class RecordingRoot : public VCRootControllerProtocol {
public:
    void switchInfoFromGame(const std::string& gameId) override { infoFromGame.push_back(gameId); }
    void switchInfoFromMenu(int tag) override { infoFromMenu.push_back(tag); }
    void switchGameFromMenu(int slot) override { gameFromMenu.push_back(slot); }
    void switchMenuFromGame(platform::ViewController* game) override { menuFromGame.push_back(game); }
    void switchToIntro() override { ++toIntro; }
    void switchToViewWithIdentifierid() override {}

    std::vector<std::string> infoFromGame;
    std::vector<int> infoFromMenu;
    std::vector<int> gameFromMenu;
    std::vector<platform::ViewController*> menuFromGame;
    int toIntro = 0;
};

inline bool near(double a, double b, double eps = 1e-9) { return a - b <= eps && b - a <= eps; }

}  // namespace plumbrick::test
