#pragma once
// The egg-catching game's screen controller: the 0.025 s round loop (egg steps, laying, catching,
// missing, the chick phase), speed, scoring and penalties, the face's buttons and dimming, and the
// paused round that survives the application's end in "Tinmarsh.<game id>.state".
// One class serves menu slot 1 and slots 3 to 6, each with its own game id and layout.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "games/egg/VCChick.h"
#include "games/egg/VCEgg.h"
#include "games/egg/VCGril.h"
#include "games/egg/VCHare.h"
#include "games/egg/VCHen.h"
#include "games/egg/VCWolf.h"
#include "games/egg/YolkfallStateFile.h"
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

class YolkfallViewController;
// The state file of the controller's paused round; the round's saved fields are the controller's own
// members (YolkfallRoundState), written and restored whole.
using YolkfallStateFile =
    saved_fields::PausedRoundFile<YolkfallViewController, YolkfallSavedState, yolkfall_state::table>;

class YolkfallViewController : public platform::ViewController, public YolkfallStateFile, private YolkfallRoundState {
    friend YolkfallStateFile;

public:
    // Run states.
    static constexpr int kIdle = 0, kPlaying = 1, kPaused = 2;
    static constexpr double kTickInterval = 0.025;

    // initWithGameName::: : the game id ("Yolkfall.v1"), the layout name and the root controller.
    // Seeds the C library's random generator; the view is not loaded yet.
    YolkfallViewController(std::string gameId, std::string layoutName, VCRootControllerProtocol* root);
    ~YolkfallViewController() override;

    // ---- Screen set-up ----
    void viewDidLoad() override;
    bool shouldAutorotateToInterfaceOrientation(int orientation) override;

    // ---- The round ----
    void startGame();
    void playGame();
    void pauseGame();
    void endGame();
    // One tick; called only by the game timer.
    void cycleLifeTime(platform::Timer* timer);
    // The catch-and-miss check of one tick.
    void testLife();
    // Moves the basket while flagWolf is set; p outside 1..4 becomes 0, then the wolf clamps it to 0..3.
    void setWolfPositionBaske(int p);

    // ---- Speed, scoring and penalties ----
    void nextChangeSpeedEgg();
    void setScores(int v);
    int getScores() const { return scores; }
    void setPenalty(int v);
    int getPenalty() const { return penalty; }

    // ---- Buttons (the layout wires them) ----
    void pressBtWolfLU(platform::View* sender);
    void pressBtWolfLD(platform::View* sender);
    void pressBtWolfRD(platform::View* sender);
    void pressBtWolfRU(platform::View* sender);
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
    static constexpr const char* kClassName = "YolkfallViewController";
    // The round as it would be written now.
    YolkfallSavedState savedState() const;

    // ---- Accessors ----
    int getState() const { return state; }
    void setState(int s) { state = s; }
    double getTimeGame() const { return timeGame; }
    void setTimeGame(double t) { timeGame = t; }
    bool get_auto_() const { return _auto_; }
    void set_auto_(bool on) { _auto_ = on; }
    const std::string& getNameGame() const { return nameGame; }
    VCRootControllerProtocol* getIdParentController() const { return idParentController; }
    void setIdParentController(VCRootControllerProtocol* root) { idParentController = root; }
    VCGamesResult* getGameResult() const { return gameResult.get(); }
    platform::ImageView* getIvGamePause() const { return ivGamePause; }
    platform::Button* getBtMenu() const { return btMenu; }

    // Read-only views of the round, for the screen's tools and tests.
    int getTypeGame() const { return typeGame; }
    void setTypeGame(int t) { typeGame = t; }
    int getNumFreezDeck() const { return numFreezDeck; }
    bool getFlagWolf() const { return flagWolf; }
    int getCountEggToDeckMAX() const { return countEggToDeckMAX; }
    int getSpeedEgg() const { return SpeedEgg; }
    int getTimePauseChangePositionEgg() const { return timePauseChangePositionEgg; }
    int getItemDeck() const { return itemDeck; }
    int getTimeNextUpSpeedPause() const { return timeNextUpSpeedPause; }
    int getOldScoresChangeSpeed() const { return oldScoresChangeSpeed; }
    double getTimeStartGame() const { return timeStartGame; }
    const VCChick* getChick() const { return chick.get(); }
    // The eggs on the face, oldest first; null while no round has a list.
    const std::vector<std::shared_ptr<VCEgg>>* getLife() const { return life ? &*life : nullptr; }
    const VCWolf* getWolf() const { return wolf.get(); }
    const VCHare* getHare() const { return hare.get(); }
    const VCGril* getGril() const { return gril.get(); }
    const VCNumeral* getDgScores() const { return dgScores.get(); }
    const platform::Timer* getCycleSuperVisor() const { return cycleSuperVisor.get(); }
    const std::vector<int>* getArDisplayAlfa() const { return arDisplayAlfa ? &*arDisplayAlfa : nullptr; }

protected:
    void bindLayout(platform::LayoutBindings& bindings) override;

private:
    void makeGameTimer();
    void stopGameTimer();
    void recordRound();       // EndGame::: with the whole seconds played, the score and the penalty
    void layEgg();            // step 6 of a tick
    int chooseDeck() const;   // rand() % 4, never the frozen deck in game A
    void applyState(const YolkfallSavedState& s);   // a decoded and checked round
    platform::View& gameView() { return *view(); }

    std::string nameGame;
    VCRootControllerProtocol* idParentController = nullptr;
    bool _auto_ = false;
    std::int32_t numFreezDeck = 0;
    bool signal = false;
    std::unique_ptr<VCChick> chick;
    std::unique_ptr<VCWolf> wolf;
    std::unique_ptr<VCHare> hare;
    std::unique_ptr<VCHen> hen;
    std::unique_ptr<VCGril> gril;
    std::unique_ptr<VCNumeral> dgScores;
    std::optional<std::vector<std::shared_ptr<VCEgg>>> life;
    std::optional<std::vector<int>> arDisplayAlfa;
    game_face::Checkpoints checkpoints;
    platform::ImageView* ivGamePause = nullptr;   // outlet; the view tree owns it
    std::shared_ptr<platform::Timer> cycleSuperVisor;
    std::unique_ptr<VCGamesResult> gameResult;
    platform::SystemSoundID sndRoll[4] = {};
    platform::SystemSoundID sndBreak = 0;
    platform::SystemSoundID sndMoveChick = 0;
    platform::SystemSoundID sndEntrap = 0;
    platform::SystemSoundID sndEndGame = 0;
    platform::Button* btMenu = nullptr;   // outlet; the view tree owns it
};

}   // namespace plumbrick
