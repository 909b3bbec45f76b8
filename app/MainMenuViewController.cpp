#include "app/MainMenuViewController.h"

#include <cstdio>
#include <utility>

#include "platform/Application.h"
#include "platform/Control.h"
#include "platform/Image.h"
#include "platform/ImageView.h"

#ifndef PLUMBRICK_HOMEPAGE
#define PLUMBRICK_HOMEPAGE ""
#endif

namespace plumbrick {

namespace {
std::string& homePageValue() {
    static std::string url = PLUMBRICK_HOMEPAGE;
    return url;
}
}   // namespace

const std::string& homePage() { return homePageValue(); }
void setHomePage(std::string url) { homePageValue() = std::move(url); }

using platform::Control;
using platform::ImageView;
using platform::Rect;
using platform::View;

MainMenuViewController::MainMenuViewController(std::string nibName) : platform::ViewController(std::move(nibName)) {}

void MainMenuViewController::bindLayout(platform::LayoutBindings& bindings) {
    bindings.outlet("menuScrolView", menuScrolView);
    bindings.outlet("btMoreGames", btMoreGames);
    bindings.action("eventSelectGame:", this, &MainMenuViewController::eventSelectGame);
    bindings.action("eventSelectGameInfo:", this, &MainMenuViewController::eventSelectGameInfo);
    bindings.action("pressBtMoreGames:", this, &MainMenuViewController::pressBtMoreGames);
}

void MainMenuViewController::viewDidLoad() {
    platform::ViewController::viewDidLoad();
    moreGamesURL = homePage();
    // Without a home page its place on the menu stays empty.
    if (btMoreGames) btMoreGames->setHidden(moreGamesURL.empty());
    initMenuWithImages();
}

void MainMenuViewController::initMenuWithImages() {
    if (!menuScrolView) return;
    menuScrolView->setScrollEnabled(true);
    menuScrolView->setPagingEnabled(true);

    for (int i = 1; i <= kPageCount; ++i) {
        auto page = std::make_shared<View>(Rect(0, 0, 379, 267));
        page->setTag(i);

        char name[32];
        std::snprintf(name, sizeof name, "menu_0%d.png", i);
        auto picture = std::make_shared<ImageView>(platform::Image::imageNamed(name));
        Rect frame = picture->frame();
        frame.size = {354, 242};   // stretched to the control's size
        picture->setFrame(frame);
        picture->setTag(i);

        auto control = std::make_shared<Control>(Rect(0, 0, 354, 242));
        control->setTag(i);
        control->addSubview(picture);
        control->addTarget(this, &MainMenuViewController::eventSelectGame, platform::ControlEventTouchUpInside);

        page->addSubview(control);
        menuScrolView->addSubview(page);
    }

    double x = kFirstPageX;
    for (const auto& subview : menuScrolView->subviews()) {
        if (subview && subview->tag() > 0) {
            Rect frame = subview->frame();
            frame.origin = {x, 0};
            subview->setFrame(frame);
            x += kPageStep;
        }
    }
    menuScrolView->setContentSize({x - kFirstPageX, menuScrolView->bounds().size.height});
}

void MainMenuViewController::eventSelectGame(View* sender) {
    if (!dynamic_cast<Control*>(sender)) return;
    if (idParentController) idParentController->switchGameFromMenu(sender->tag());
}

void MainMenuViewController::eventSelectGameInfo(View* sender) {
    if (!dynamic_cast<Control*>(sender)) return;
    if (idParentController) idParentController->switchInfoFromMenu(sender->tag());
}

void MainMenuViewController::pressBtMoreGames(View* sender) {
    (void)sender;
    // The browser opens the page and the menu stays on screen, as it was, for the player coming back.
    if (!moreGamesURL.empty()) platform::Application::sharedApplication().openURL(moreGamesURL);
}

bool MainMenuViewController::shouldAutorotateToInterfaceOrientation(int orientation) {
    return orientation == platform::InterfaceOrientationLandscapeRight;
}

}   // namespace plumbrick
