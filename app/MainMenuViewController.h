#pragma once
// The main menu: a horizontally paged strip of the six game pictures, information controls for each
// game and a control that hands the store link to the platform. Every change of screen is asked of the
// root controller.

#include <memory>
#include <string>

#include "platform/ViewController.h"
#include "services/VCRootControllerProtocol.h"

namespace plumbrick {

// The store page that lists the maker's other applications: a neutral placeholder for now.
inline constexpr const char* kMoreGamesURL = "https://example.com/";

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
    void pressBtMoreGames(platform::View* sender);      // the more-games control
    bool shouldAutorotateToInterfaceOrientation(int orientation) override;

    platform::ScrollView* getMenuScrolView() const { return menuScrolView.get(); }
    VCRootControllerProtocol* getIdParentController() const { return idParentController; }
    void setIdParentController(VCRootControllerProtocol* parent) { idParentController = parent; }

protected:
    void bindLayout(platform::LayoutBindings& bindings) override;

private:
    std::shared_ptr<platform::ScrollView> menuScrolView;
    VCRootControllerProtocol* idParentController = nullptr;   // the root; it outlives this screen
};

}   // namespace plumbrick
