#pragma once
// The cook game's screen controller: its buttons and keys become the round's commands (PanflipRound), the
// round's effects become segments, sounds and timers on its face, and a paused face is dimmed. A paused round
// survives the application's end in "Tinmarsh.<game id>.state".

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "games/cook/PanflipRound.h"
#include "platform/RunLoop.h"
#include "platform/Segment.h"
#include "platform/Sound.h"
#include "platform/View.h"
#include "platform/ViewController.h"
#include "services/GameFace.h"
#include "services/VCGamesResult.h"
#include "services/VCNumeral.h"
#include "services/VCRootControllerProtocol.h"

namespace plumbrick {

class PanflipViewController : public platform::ViewController {
public:
    static constexpr int kIdle = PanflipRound::kIdle, kPlaying = PanflipRound::kPlaying,
                         kPaused = PanflipRound::kPaused;

    // initWithGameName::: : the game id ("Panflip.v1"), the layout name and the root controller.
    PanflipViewController(std::string gameId, std::string layoutName, VCRootControllerProtocol* root);
    ~PanflipViewController() override;

    void viewDidLoad() override;
    void viewDidUnload() override {}
    bool shouldAutorotateToInterfaceOrientation(int orientation) override;

    // ---- The round ----
    const PanflipRound& round() const { return round_; }
    void playGame() { round_.playGame(); }
    void pauseGame() { round_.pauseGame(); }
    void endGame() { round_.endGame(); }
    void setScores(int n) { round_.setScores(n); }
    void set_autoPilot_(bool on) { round_.setAutoPilot(on); }
    // Read accessors of the round, for the shell, tools and benchmarks.
    int getState() const { return round_.state().state; }
    int getTypeGame() const { return round_.state().typeGame; }
    int getScores() const { return round_.state().scores; }
    int getPenalty() const { return round_.state().penalty; }
    double getTimeGame() const { return round_.state().timeGame; }
    double getTimeStartGame() const { return round_.state().timeStartGame; }
    double getTimerStepLifeFood() const { return round_.state().timerStepLifeFood; }
    int getOldScoresChangeSpeed() const { return round_.state().oldScoresChangeSpeed; }
    // The timer of a sequence while it runs, else null.
    const platform::Timer* timer(panflip::Sequence q) const { return timers[std::size_t(q)].get(); }

    // ---- The shell: game id, root controller, results store, pause sign, menu button, state file ----
    void startGame();   // a new round, recorded in the results store's new round
    static constexpr const char* kClassName = "PanflipViewController";
    const std::string& getNameGame() const { return nameGame; }
    VCGamesResult* getGameResult() const { return gameResult.get(); }
    platform::ImageView* getIvGamePause() const { return ivGamePause; }
    platform::Button* getBtMenu() const { return btMenu; }
    // "<save folder>/Tinmarsh.<game id>.state".
    std::string pathStateFile() const { return game_face::pathStateFile(nameGame); }
    // Writes the paused round (nothing to write otherwise); false when the write failed.
    bool saveStateGame() const;
    // Restores a paused round from the state file, if there is one (game_face::loadStateFile).
    bool loadStateGame();
    void applicationWillTerminate(const std::string& notification);
    // The checkpoint notification: a playing round is written now and then (game_face::checkpointRound).
    void applicationCheckpoint(const std::string& notification);

protected:
    void bindLayout(platform::LayoutBindings& bindings) override;

private:
    void apply(const panflip::Effect& effect);
    void setDisplayAlfa(bool flag);

    PanflipRound round_;
    std::array<std::shared_ptr<platform::Timer>, panflip::kSequences> timers;
    std::unordered_map<int, platform::Segment> segments;   // by tag, found on first use
    std::unique_ptr<VCNumeral> dgScores;
    std::optional<std::vector<int>> arDisplayAlfa;
    std::array<platform::SystemSoundID, panflip::kSounds> sounds{};

    // The shell.
    void bindShell(platform::LayoutBindings& bindings);
    void setUpShell();
    void pressBtStartGame(int type);
    void pressBtPause(platform::View* sender);
    void pressBtMenu(platform::View* sender);
    void pressBtInfo(platform::View* sender);
    std::string nameGame;
    VCRootControllerProtocol* idParentController = nullptr;
    std::unique_ptr<VCGamesResult> gameResult;
    platform::ImageView* ivGamePause = nullptr;   // outlet; the view tree owns it
    platform::Button* btMenu = nullptr;           // outlet; the view tree owns it
    game_face::Checkpoints checkpoints;
};

}   // namespace plumbrick
