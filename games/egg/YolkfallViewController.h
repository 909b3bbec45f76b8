#pragma once
// The egg-catching game's screen: its controls and keys become the round's commands (YolkfallRound), one
// 25 ms game timer drives the round's ticks while it plays, and the round's effects become segments, sounds,
// the score display, results and dimming. The paused round survives the application's end in
// "Tinmarsh.<game id>.state". One class serves menu slot 1 and slots 3 to 6, each with its own game id and
// layout.

#include <memory>
#include <string>
#include <vector>

#include "games/egg/VCWolf.h"
#include "games/egg/YolkfallRound.h"
#include "platform/RunLoop.h"
#include "services/GameScreenController.h"

namespace plumbrick {

class YolkfallViewController : public GameScreenController {
public:
    static constexpr double kTickInterval = 0.025;
    static constexpr const char* kClassName = "YolkfallViewController";

    // The game id ("Yolkfall.v1"), the layout name and the root controller; the round draws from the C
    // library's generator, seeded now from the clock. The view is not loaded yet.
    YolkfallViewController(std::string gameId, std::string layoutName, VCRootControllerProtocol* root);
    ~YolkfallViewController() override;

    void viewDidLoad() override;

    // ---- The round's commands ----
    void setTypeGame(int type) override {
        run([&] { round.setTypeGame(type); });
    }
    void startGame() override {
        run([&] { round.startGame(); }, true);
    }
    void playGame() override {
        run([&] { round.playGame(); }, true);
    }
    void pauseGame() override {
        run([&] { round.pauseGame(); });
    }
    void endGame() override {
        run([&] { round.endGame(); });
    }
    void setScores(int v) {
        run([&] { round.setScores(v); });
    }
    void set_auto_(bool on) { round.set_auto_(on); }
    // One tick; the game timer's target.
    void cycleLifeTime(platform::Timer* timer);
    // The basket buttons (the layout wires them).
    void pressBtWolfLU(platform::View* sender);
    void pressBtWolfLD(platform::View* sender);
    void pressBtWolfRD(platform::View* sender);
    void pressBtWolfRU(platform::View* sender);

    // ---- Read accessors, for the screen's tools ----
    const YolkfallRound& getRound() const { return round; }
    int getState() const override { return round.getState(); }
    double getTimeGame() const override { return round.getTimeGame(); }
    double getTimeStartGame() const override { return round.getTimeStartGame(); }
    int getScores() const override { return round.getScores(); }
    int getPenalty() const override { return round.getPenalty(); }
    int getTypeGame() const { return round.saved().typeGame; }
    bool get_auto_() const { return round.get_auto_(); }
    int getCountEggToDeckMAX() const { return round.saved().countEggToDeckMAX; }
    int getSpeedEgg() const { return round.saved().SpeedEgg; }
    const std::vector<YolkfallRound::Egg>* getLife() const { return round.getLife() ? &*round.getLife() : nullptr; }
    const VCWolf* getWolf() const { return &wolf; }
    const platform::Timer* getCycleSuperVisor() const { return cycleSuperVisor.get(); }

protected:
    void bindLayout(platform::LayoutBindings& bindings) override;
    void encodeRound(platform::KeyedArchiver& archiver, bool asPaused) const override;
    bool decodeRound(const platform::KeyedUnarchiver& unarchiver) override;
    bool roundLost() const override { return round.isLost(); }
    void abandonRound() override { round.abandon(); }

private:
    // Runs a command, then keeps the game timer running exactly while the round plays (a fresh timer when
    // asked) and applies the round's effects to the face.
    template <class Command> void run(Command command, bool freshTimer = false) {
        command();
        update(freshTimer);
    }
    void update(bool freshTimer);

    YolkfallRound round;
    VCWolf wolf{round};
    std::shared_ptr<platform::Timer> cycleSuperVisor;
};

}   // namespace plumbrick
