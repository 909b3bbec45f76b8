#pragma once
// What every game screen does beyond its own round: its game id and root controller, the results store, the
// pause sign and the menu button, the start, pause, menu and info buttons (services/GameFace.h), the
// program's end and its checkpoints, the paused round's state file, the dimming of a paused face, and the
// face's segments, sounds and score digits as the round's effects reach them. A game derives from it and
// runs its round through the virtual operations below.

#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Button.h"
#include "platform/Date.h"
#include "platform/ImageView.h"
#include "platform/KeyedArchive.h"
#include "platform/Segment.h"
#include "platform/Sound.h"
#include "platform/View.h"
#include "platform/ViewController.h"
#include "services/GameFace.h"
#include "services/VCGamesResult.h"
#include "services/VCNumeral.h"
#include "services/VCRootControllerProtocol.h"

namespace plumbrick {

class GameScreenController : public platform::ViewController {
public:
    // Run states.
    static constexpr int kIdle = 0, kPlaying = 1, kPaused = 2;

    // initWithGameName::: : the game id ("Yolkfall.v1"), the layout name and the root controller; the class
    // name names the game in the state file's log lines.
    GameScreenController(std::string gameId, std::string layoutName, VCRootControllerProtocol* root,
                         const char* className);
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

    // ---- The paused round's state file ----
    // "<save folder>/Tinmarsh.<game id>.state".
    std::string pathStateFile() const { return game_face::pathStateFile(nameGame); }
    // Writes the state file when the round is paused; true when there was nothing to write or the write
    // succeeded. A failed write is logged and told to the player, and leaves any earlier file untouched.
    bool saveStateGame() const;
    // Restores a paused round from the state file, if there is one (game_face::loadStateFile).
    bool loadStateGame();

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
    const VCNumeral* getDgScores() const { return dgScores.get(); }
    platform::ImageView* getIvGamePause() const { return ivGamePause; }
    platform::Button* getBtMenu() const { return btMenu; }

protected:
    // Binds the shared buttons and outlets; a game adds its own controls.
    void bindLayout(platform::LayoutBindings& bindings) override;

    // ---- The round's saved fields (its table, services/SavedFields.h) ----
    // Writes the round as it is now, or (a checkpoint of a playing round) as the pause would write it.
    virtual void encodeRound(platform::KeyedArchiver& archiver, bool asPaused) const = 0;
    // Decodes and checks every saved field (StoredDataException on a value the game cannot have written,
    // with nothing changed), then restores the round (restoreRecord first); false: another layout, not read.
    virtual bool decodeRound(const platform::KeyedUnarchiver& unarchiver) = 0;
    // A round that can no longer go on: never checkpointed, and dropped at the program's end (abandonRound)
    // so that nothing brings it back.
    virtual bool roundLost() const { return false; }
    virtual void abandonRound() {}

    // ---- For the round's effects and its saved fields ----
    // The results store's round that a restored round is recorded in, found by its start (the one step of a
    // restore that can fail, so it goes first), and the pause sign shown.
    void restoreRecord(const std::optional<platform::Date>& start);
    // The start of the results store's current round, if there is one.
    std::optional<platform::Date> recordStart() const;
    // EndGame::: on the results store with the whole seconds played, the score and the penalty.
    void recordResult(double seconds, int scores, int penalty);
    // The round ended or was lost: a restored or checkpointed state file of it goes (game_face::releaseStateFile).
    void releaseStateFile() const { game_face::releaseStateFile(pathStateFile()); }
    // The segment with the tag shown or hidden (found on first use in each loaded view); a tag the face lacks,
    // nothing.
    void showSegment(int tag, bool shown);
    // The sounds "<name>.aif", by index in the order given; then played by that index.
    void loadSounds(std::initializer_list<const char*> names);
    void playSound(std::size_t index) const { platform::AudioServicesPlaySystemSound(sounds[index]); }
    VCNumeral& scoreDigits() { return *dgScores; }
    platform::View& gameView() { return *view(); }
    static double now();

private:
    bool writeCheckpoint() const;

    std::string nameGame;
    const char* className;
    VCRootControllerProtocol* idParentController = nullptr;
    std::unique_ptr<VCGamesResult> gameResult;
    std::unique_ptr<VCNumeral> dgScores;
    std::unordered_map<int, platform::Segment> segments;   // by tag, found on first use in each loaded view
    std::vector<platform::SystemSoundID> sounds;
    std::optional<std::vector<int>> arDisplayAlfa;
    game_face::Checkpoints checkpoints;
    platform::ImageView* ivGamePause = nullptr;   // outlet; the view tree owns it
    platform::Button* btMenu = nullptr;           // outlet; the view tree owns it
};

}   // namespace plumbrick
