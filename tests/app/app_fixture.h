#pragma once
// Starts the whole application on the headless backend, from the real main layout, as the desktop
// loop would, and gives the tests its screens.

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "app/IntroViewController.h"
#include "app/MainMenuViewController.h"
#include "app/PlumbrickAppDelegate.h"
#include "app/PlumbrickViewController.h"
#include "app/Registration.h"
#include "platform/Application.h"
#include "platform/Input.h"
#include "platform/headless/Headless.h"

namespace plumbrick::testing {

using platform::Control;
using platform::View;
using Views = std::vector<View*>;

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "Europe/Berlin", 1);   // dates are shown in local time
        tzset();
        registerApplicationClasses();
        app().setBackend(&env);
        app().launch("MainWindow");
        delegate = dynamic_cast<PlumbrickAppDelegate*>(app().delegate());
        root = delegate ? dynamic_cast<PlumbrickViewController*>(delegate->viewController()) : nullptr;
        ASSERT_NE(root, nullptr);
    }
    static platform::Application& app() { return platform::Application::sharedApplication(); }
    IntroViewController& intro() { return *root->getViewControllerIntro(); }
    MainMenuViewController& menu() { return *root->getViewControllerMenu(); }

    // A finger on the screen at p (window coordinates): down, and up unless `up` is false.
    Control* touch(platform::Point p, bool up = true) { return platform::touchAt(*delegate->window(), p, up); }

    // The root view's subviews, back to front.
    Views stack() {
        Views views;
        for (const auto& v : root->view()->subviews()) views.push_back(v.get());
        return views;
    }

    // Past the intro: the menu is on screen with its pages built.
    void dismissIntro() {
        env.advance(0.5);
        touch({240, 160});
        ASSERT_EQ(stack(), Views{menu().view()});
    }

    platform::headless::Environment env;
    PlumbrickAppDelegate* delegate = nullptr;
    PlumbrickViewController* root = nullptr;
};

}   // namespace plumbrick::testing
