#pragma once
// What every game screen does beyond its own round: its game id and root controller, the results store, the
// pause sign and the menu button, the start, pause, menu and info buttons (services/GameFace.h), the
// program's end and its checkpoints, and the dimming of a paused face. A game derives from it and runs its
// round through the virtual operations below.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/View.h"
#include "platform/ViewController.h"
#include "services/GameFace.h"
#include "services/VCGamesResult.h"
#include "services/VCRootControllerProtocol.h"

namespace plumbrick {

class GameScreenController : public platform::ViewController {
public:
    // Run states.
    static constexpr int kIdle = 0, kPlaying = 1, kPaused = 2;

    // initWithGameName::: : the game id ("Yolkfall.v1"), the layout name and the root controller.
    GameScreenController(std::string gameId, std::string layoutName, VCRootControllerProtocol* root);
    ~GameScreenController() override;

    // ---- The round, as the game runs it (game_face::GameController) ----
    virtual int getState() const = 0;
    virtual void setTypeGame(int type) = 0;
    virtual void startGame() = 0;
    virtual void playGame() = 0;
    virtual void pauseGame() = 0;
    virtual void endGame() = 0;
    virtual double getTimeGame() const = 0;
    virtual double getTimeStartGame() const = 0;
    virtual int getScores() const = 0;
    virtual int getPenalty() const = 0;
    // Writes the paused round's state file (true: nothing to write, or written).
    virtual bool saveStateGame() const = 0;
    // "<save folder>/Tinmarsh.<game id>.state".
    std::string pathStateFile() const { return game_face::pathStateFile(nameGame); }

    // ---- Screen set-up: the menu button moved down, the notifications, the results store read ----
    void viewDidLoad() override;
    bool shouldAutorotateToInterfaceOrientation(int orientation) override;

    // ---- Buttons (the layout wires them) ----
    void pressBtStartGameA(platform::View* sender);   // game A, then as pressBtStartGame
    void pressBtStartGameB(platform::View* sender);   // game B, then as pressBtStartGame
    void pressBtStartGame(platform::View* sender);
    void pressBtPause(platform::View* sender);
    void pressBtMenu(platform::View* sender);
    void pressBtInfo(platform::View* sender);

    // The will-terminate notification: a playing round is paused, recorded and written.
    void applicationWillTerminate(const std::string& notification);
    // The checkpoint notification: a playing round is written now and then (game_face::checkpointRound).
    void applicationCheckpoint(const std::string& notification);

    // ---- Dimming of a paused face ----
    void setDisplayAlfa(bool flag);
    bool getDisplayAlfa() const { return arDisplayAlfa.has_value(); }
    const std::vector<int>* getArDisplayAlfa() const { return arDisplayAlfa ? &*arDisplayAlfa : nullptr; }

    // ---- Accessors ----
    const std::string& getNameGame() const { return nameGame; }
    VCRootControllerProtocol* getIdParentController() const { return idParentController; }
    void setIdParentController(VCRootControllerProtocol* root) { idParentController = root; }
    VCGamesResult* getGameResult() const { return gameResult.get(); }
    platform::ImageView* getIvGamePause() const { return ivGamePause; }
    platform::Button* getBtMenu() const { return btMenu; }

protected:
    // Binds the shared buttons and outlets; a game adds its own controls.
    void bindLayout(platform::LayoutBindings& bindings) override;
    // Writes the playing round as the pause would write it; false: nothing written.
    virtual bool writeCheckpoint() = 0;
    // At the program's end, after the pause: a round that can no longer go on (lost) is dropped (true), so
    // that nothing brings it back.
    virtual bool dropLostRound() { return false; }
    platform::View& gameView() { return *view(); }
    static double now();

private:
    std::string nameGame;
    VCRootControllerProtocol* idParentController = nullptr;
    std::unique_ptr<VCGamesResult> gameResult;
    std::optional<std::vector<int>> arDisplayAlfa;
    game_face::Checkpoints checkpoints;
    platform::ImageView* ivGamePause = nullptr;   // outlet; the view tree owns it
    platform::Button* btMenu = nullptr;           // outlet; the view tree owns it
};

}   // namespace plumbrick
