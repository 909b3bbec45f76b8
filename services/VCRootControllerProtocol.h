#pragma once
// The only channel through which a screen asks the root controller for a change of screen.
// It lives with the shared services so that the games can call it without knowing the application.

#include <string>

namespace platform {
class ViewController;
}

namespace plumbrick {

class VCRootControllerProtocol {
public:
    virtual ~VCRootControllerProtocol() = default;
    virtual void switchInfoFromGame(const std::string& gameId) = 0;   // statistics screen for that game
    virtual void switchInfoFromMenu(int tag) = 0;                     // information page "info_%2.2d.png"
    virtual void switchGameFromMenu(int slot) = 0;                    // slot 1..6, animated
    virtual void switchMenuFromGame(platform::ViewController* game) = 0;
    virtual void switchToIntro() = 0;                  // the menu goes up after the intro
    virtual void switchToViewWithIdentifierid() = 0;   // does nothing
};

}   // namespace plumbrick
