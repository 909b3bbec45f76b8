#pragma once
// The main menu: a horizontally paged strip of the six game pictures, information controls for each
// game and MORE GAMES, which opens the project's home page in the browser while the menu stays. Every
// change of screen is asked of the root controller.

#include <memory>
#include <string>

#include "platform/Button.h"
#include "platform/ScrollView.h"
#include "platform/ViewController.h"
#include "services/VCRootControllerProtocol.h"

namespace plumbrick {

// The project's home page, named when the build is configured (-DPLUMBRICK_HOMEPAGE=URL); empty when none
// was. MORE GAMES opens it, and is hidden without one. A menu takes the value when its view loads; tests
// set another before that.
const std::string& homePage();
void setHomePage(std::string url);

class MainMenuViewController : public platform::ViewController {
public:
    static constexpr int kPageCount = 6;
    static constexpr double kFirstPageX = 63.0;
    static constexpr double kPageStep = 480.0;   // one page is the width of the landscape screen

    explicit MainMenuViewController(std::string nibName = "MainMenuViewController");

    void viewDidLoad() override;
    void viewDidUnload() override {}
    // Builds the six pages inside menuScrolView and lays out every positively tagged subview.
    void initMenuWithImages();

    void eventSelectGame(platform::View* sender);       // a page's picture, touch-up inside
    void eventSelectGameInfo(platform::View* sender);   // an information control
    void pressBtMoreGames(platform::View* sender);      // MORE GAMES: the home page opens, the menu stays
    bool shouldAutorotateToInterfaceOrientation(int orientation) override;

    platform::ScrollView* getMenuScrolView() const { return menuScrolView.get(); }
    VCRootControllerProtocol* getIdParentController() const { return idParentController; }
    void setIdParentController(VCRootControllerProtocol* parent) { idParentController = parent; }

protected:
    void bindLayout(platform::LayoutBindings& bindings) override;

private:
    std::shared_ptr<platform::ScrollView> menuScrolView;
    platform::Button* btMoreGames = nullptr;                  // outlet; the view tree owns it
    std::string moreGamesURL;                                 // the home page when the view loaded
    VCRootControllerProtocol* idParentController = nullptr;   // the root; it outlives this screen
};

}   // namespace plumbrick
