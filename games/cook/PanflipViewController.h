#pragma once
// The cook game's screen controller: its buttons and keys become the round's commands (PanflipRound), the
// round's effects become segments, sounds and timers on its face, and a paused face is dimmed. A paused round
// survives the application's end in "Tinmarsh.<game id>.state".

#include <array>
#include <memory>
#include <string>

#include "games/cook/PanflipRound.h"
#include "platform/RunLoop.h"
#include "services/GameScreenController.h"

namespace plumbrick {

class PanflipViewController : public GameScreenController {
public:
    static constexpr const char* kClassName = "PanflipViewController";

    // initWithGameName::: : the game id ("Panflip.v1"), the layout name and the root controller.
    PanflipViewController(std::string gameId, std::string layoutName, VCRootControllerProtocol* root);
    ~PanflipViewController() override;

    void viewDidLoad() override;

    // ---- The round ----
    const PanflipRound& round() const { return round_; }
    void setTypeGame(int type) override { round_.setTypeGame(type); }
    void startGame() override;   // a new round, recorded in the results store's new round
    void playGame() override { round_.playGame(); }
    void pauseGame() override { round_.pauseGame(); }
    void endGame() override { round_.endGame(); }
    void setScores(int n) { round_.setScores(n); }
    void set_autoPilot_(bool on) { round_.setAutoPilot(on); }
    // Read accessors of the round, for the shell, tools and benchmarks.
    int getState() const override { return round_.state().state; }
    int getTypeGame() const { return round_.state().typeGame; }
    int getScores() const override { return round_.state().scores; }
    int getPenalty() const override { return round_.state().penalty; }
    double getTimeGame() const override { return round_.state().timeGame; }
    double getTimeStartGame() const override { return round_.state().timeStartGame; }
    double getTimerStepLifeFood() const { return round_.state().timerStepLifeFood; }
    int getOldScoresChangeSpeed() const { return round_.state().oldScoresChangeSpeed; }
    // The timer of a sequence while it runs, else null.
    const platform::Timer* timer(panflip::Sequence q) const { return timers[std::size_t(q)].get(); }

protected:
    void bindLayout(platform::LayoutBindings& bindings) override;
    void encodeRound(platform::KeyedArchiver& archiver, bool asPaused) const override;
    bool decodeRound(const platform::KeyedUnarchiver& unarchiver) override;

private:
    void apply(const panflip::Effect& effect);

    PanflipRound round_;
    std::array<std::shared_ptr<platform::Timer>, panflip::kSequences> timers;
};

}   // namespace plumbrick
