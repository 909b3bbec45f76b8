#pragma once
// The root screen controller. It owns every screen (intro, menu, statistics, the six game slots), stacks
// their views inside its own and animates between them. Screens reach it only through
// VCRootControllerProtocol.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Animation.h"
#include "platform/ViewController.h"
#include "services/VCRootControllerProtocol.h"

namespace plumbrick {

class IntroViewController;
class MainMenuViewController;
class GamesResultViewController;

// One row of the fixed slot table: the game id, the game's screen layout and how its controller is made.
struct GameSlot {
    using Factory = std::shared_ptr<platform::ViewController> (*)(const std::string& gameId,
                                                                  const std::string& layoutName,
                                                                  VCRootControllerProtocol* root);
    const char* gameId;
    const char* layoutName;
    Factory make;   // null while the slot's game has no controller: choosing it changes nothing
};

class PlumbrickViewController : public platform::ViewController, public VCRootControllerProtocol {
public:
    static constexpr int kSlotCount = 6;
    static constexpr int kMenuButtonTag = 10000;   // the menu-button view of every game screen
    static constexpr double kGameFadeDuration = 0.75;
    static constexpr double kMenuButtonSlideDuration = 0.4;
    static constexpr double kGameStartScale = 0.7;

    // Row n - 1 describes menu slot n (1 to 6).
    static const std::array<GameSlot, kSlotCount>& gameSlots();

    explicit PlumbrickViewController(std::string nibName = "PlumbrickViewController");
    ~PlumbrickViewController() override;

    void viewDidLoad() override;
    bool shouldAutorotateToInterfaceOrientation(int orientation) override;

    // VCRootControllerProtocol
    void switchInfoFromGame(const std::string& gameId) override;
    void switchInfoFromMenu(int tag) override;
    void switchGameFromMenu(int slot) override;
    void switchMenuFromGame(platform::ViewController* game) override;
    void switchToIntro() override;
    void switchToViewWithIdentifierid() override {}

    // Callbacks that only the root installs.
    void eventBackMenuFromInfo(platform::View* sender);
    void eventStopAnimationGameFromMenu(platform::View* gameView);
    void eventStopAnimationBtMenuDown(platform::ViewController* game);
    bool eventStopAnimationMenuFromGame();

    IntroViewController* getViewControllerIntro() const { return viewControllerIntro.get(); }
    MainMenuViewController* getViewControllerMenu() const { return viewControllerMenu.get(); }
    GamesResultViewController* getViewControllerGamesResult() const { return viewControllerGamesResult.get(); }
    // The controller of menu slot n (1 to 6), or null while the slot is empty.
    platform::ViewController* getViewControllerGame(int slot) const;
    std::int32_t getNumGameItem() const { return numGameItem; }

private:
    [[maybe_unused]] bool flag_block = false;   // kept for its place among the fields; nothing uses it
    std::shared_ptr<IntroViewController> viewControllerIntro;
    std::shared_ptr<MainMenuViewController> viewControllerMenu;
    std::array<std::shared_ptr<platform::ViewController>, kSlotCount> viewControllerGames;
    std::shared_ptr<GamesResultViewController> viewControllerGamesResult;
    std::int32_t numGameItem = 0;
    // The latest entrance into a game or menu-button drop. The next one cancels its completion: the end of a
    // transition overtaken by a later one (the menu key pressed while the game grows in) would take away the
    // screen that the later one puts up.
    platform::Animation transition;
};

}   // namespace plumbrick
