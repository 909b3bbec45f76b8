#pragma once
// The cook game's screen controller. A cook moves between three (game A) or four (game B) places and tosses
// the food items that rise and fall above them; an item that comes down where the cook is not is lost to a
// mouse and costs a mark, and the third mark ends the round; a cat's fork now and then holds the item of the
// first column in mid-air. Five timers drive it, each with its own step and interval field; a pause leaves
// the invalidated timers in their fields as markers and a resume re-arms exactly those. A paused round
// survives the application's end in "Tinmarsh.<game id>.state".

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "games/cook/PanflipStateFile.h"
#include "games/cook/VCCook.h"
#include "games/cook/VCFood.h"
#include "games/cook/VCMouse.h"
#include "platform/Button.h"
#include "platform/ImageView.h"
#include "platform/KeyedArchive.h"
#include "platform/RunLoop.h"
#include "platform/Sound.h"
#include "platform/View.h"
#include "platform/ViewController.h"
#include "services/VCGamesResult.h"
#include "services/VCNumeral.h"
#include "services/VCRootControllerProtocol.h"

namespace plumbrick {

class PanflipViewController;
// The state file of the controller's paused round; the round's saved fields are the controller's own
// members (PanflipRoundState), written and restored whole.
using PanflipStateFile = saved_fields::PausedRoundFile<PanflipViewController, PanflipSavedState, panflip_state::table>;

class PanflipViewController : public platform::ViewController, public PanflipStateFile, private PanflipRoundState {
    friend PanflipStateFile;

public:
    // Run states.
    static constexpr int kIdle = 0, kPlaying = 1, kPaused = 2;

    // initWithGameName::: : the game id ("Panflip.v1"), the layout name and the root controller.
    // Seeds the C library's random generator; the view is not loaded yet.
    PanflipViewController(std::string gameId, std::string layoutName, VCRootControllerProtocol* root);
    ~PanflipViewController() override;

    // ---- Screen set-up ----
    void viewDidLoad() override;
    void viewDidUnload() override {}
    bool shouldAutorotateToInterfaceOrientation(int orientation) override;

    // ---- The round ----
    void startGame();
    void playGame();
    void pauseGame();
    void endGame();
    // 0 moves the cook towards place 0, any other value towards the last place in use.
    void stepDirectionCook(int direction);
    // The five step operations (argument: the firing timer, or null when called directly).
    void cycleNewRound(platform::Timer* timer);
    void cycleCookTossFood(platform::Timer* timer);
    void cycleLifeTimeFood(platform::Timer* timer);
    void cycleLifeTimeSteal(platform::Timer* timer);
    void cycleCatHog(platform::Timer* timer);   // null restarts the fork withdrawn

    void setScores(int n);
    int getScores() const { return scores; }
    void setPenalty(int n);
    int getPenalty() const { return penalty; }

    // ---- Buttons (the layout wires them) ----
    void pressBtLeftDown(platform::View* sender);
    void pressBtRightDown(platform::View* sender);
    void pressBtStartGameA(platform::View* sender);
    void pressBtStartGameB(platform::View* sender);
    void pressBtStartGame(platform::View* sender);
    void pressBtPause(platform::View* sender);
    void pressBtMenu(platform::View* sender);
    void pressBtInfo(platform::View* sender);

    // The will-terminate notification.
    void applicationWillTerminate(const std::string& notification);
    // The checkpoint notification: a playing round is written now and then (game_face::checkpointRound).
    void applicationCheckpoint(const std::string& notification);

    // ---- Dimming of a paused face ----
    void setDisplayAlfa(bool flag);
    bool getDisplayAlfa() const { return arDisplayAlfa.has_value(); }

    // ---- Saved state ----
    // saveStateGame, loadStateGame, encodeWithCoder, initWithCoder and pathStateFile: PausedRoundFile.
    static constexpr const char* kClassName = "PanflipViewController";
    // The round as it would be written now.
    PanflipSavedState savedState() const;

    // ---- Accessors ----
    int getState() const { return state; }
    void setState(int s) { state = s; }
    double getTimeGame() const { return timeGame; }
    void setTimeGame(double t) { timeGame = t; }
    bool get_autoPilot_() const { return _autoPilot_; }
    void set_autoPilot_(bool on) { _autoPilot_ = on; }
    const std::string& getNameGame() const { return nameGame; }
    VCRootControllerProtocol* getIdParentController() const { return idParentController; }
    void setIdParentController(VCRootControllerProtocol* root) { idParentController = root; }
    VCGamesResult* getGameResult() const { return gameResult.get(); }
    platform::ImageView* getIvGamePause() const { return ivGamePause; }
    platform::Button* getBtMenu() const { return btMenu; }

    // Read-only views of the round, for tools and tests.
    int getTypeGame() const { return typeGame; }
    void setTypeGame(int t) { typeGame = t; }
    int getCountWorkCooks() const { return countWorkCooks; }
    bool getFlagCookToss() const { return flagCookToss; }
    bool getFlagCookMove() const { return flagCookMove; }
    double getTimeStartGame() const { return timeStartGame; }
    int getItemFood() const { return itemFood; }
    int getPosStealFood() const { return posStealFood; }
    int getPosHeightFood(int c) const { return posHeightFood[static_cast<std::size_t>(c & 3)]; }
    int getMaxHeightFood(int c) const { return maxHeightFood[static_cast<std::size_t>(c & 3)]; }
    int getOldScoresChangeSpeed() const { return oldScoresChangeSpeed; }
    int getStepNewRound() const { return stepNewRound; }
    int getStepCookFoodToss() const { return stepCookFoodToss; }
    int getStepSteal() const { return stepSteal; }
    int getStepCatHog() const { return stepCatHog; }
    double getIntervalNewRoundPause() const { return intervalNewRoundPause; }
    double getIntervalCookFoodTossPause() const { return intervalCookFoodTossPause; }
    double getTimerStepLifeFood() const { return timerStepLifeFood; }
    double getIntervalSrealPause() const { return intervalSrealPause; }
    double getIntervalCatHogPause() const { return intervalCatHogPause; }
    const platform::Timer* getTimerNewRound() const { return timerNewRound.get(); }
    const platform::Timer* getTimerCookFoodToss() const { return timerCookFoodToss.get(); }
    const platform::Timer* getTimerTossFood() const { return timerTossFood.get(); }
    const platform::Timer* getTimerSteal() const { return timerSteal.get(); }
    const platform::Timer* getTimerCatHog() const { return timerCatHog.get(); }
    const VCCook* getCook() const { return cook.get(); }
    const VCFood* getFood() const { return food.get(); }
    const VCMousePenalty* getMousePenalty() const { return mousePenalty.get(); }
    const VCFork* getFork() const { return fork.get(); }
    const VCNumeral* getDgScores() const { return dgScores.get(); }
    const std::vector<int>* getArDisplayAlfa() const { return arDisplayAlfa ? &*arDisplayAlfa : nullptr; }

protected:
    void bindLayout(platform::LayoutBindings& bindings) override;

private:
    using TimerField = std::shared_ptr<platform::Timer>;
    using StepOperation = void (PanflipViewController::*)(platform::Timer*);

    // Invalidates the timer in `field`, if any, and clears the field.
    static void stopTimer(TimerField& field);
    // A fresh timer in `field` calling `op` after `interval`.
    void armTimer(TimerField& field, double interval, StepOperation op, bool repeats = false);
    // An invalidated timer that only marks a field as armed (a restored round).
    static TimerField marker();
    void recordRound();   // EndGame::: with the whole seconds played, the score and the penalty
    void startToss();     // a catch: the toss sequence from its step 1
    void applyState(const PanflipSavedState& s);   // a decoded and checked round
    platform::View& gameView() { return *view(); }

    std::recursive_mutex lock;

    std::string nameGame;
    VCRootControllerProtocol* idParentController = nullptr;
    std::int32_t countWorkCooks = 4;
    bool signal = false;

    std::unique_ptr<VCCook> cook;
    std::unique_ptr<VCFood> food;
    std::unique_ptr<VCMouse> mouse;
    std::unique_ptr<VCMousePenalty> mousePenalty;
    std::unique_ptr<VCFork> fork;
    std::unique_ptr<VCNumeral> dgScores;
    std::optional<std::vector<int>> arDisplayAlfa;
    game_face::Checkpoints checkpoints;

    TimerField timerNewRound;
    TimerField timerCookFoodToss;
    TimerField timerTossFood;
    TimerField timerSteal;
    TimerField timerCatHog;

    std::unique_ptr<VCGamesResult> gameResult;
    platform::ImageView* ivGamePause = nullptr;   // outlet; the view tree owns it
    platform::Button* btMenu = nullptr;           // outlet; the view tree owns it
    platform::SystemSoundID sndStepFood = 0;
    platform::SystemSoundID sndTossFood = 0;
    platform::SystemSoundID sndStealing = 0;
    platform::SystemSoundID sndEndGame = 0;
    platform::SystemSoundID sndEntrap = 0;
};

}   // namespace plumbrick
