#pragma once
// The results store of one game: its list of recorded rounds (as packs, best score first, at most
// five), the round being played now, and the results file "Tinmarsh.result" in the save folder that
// all games share. The file is an XML property list: game id -> array of packs.

#include <memory>
#include <string>

#include "platform/Date.h"
#include "platform/Plist.h"
#include "services/VCGameRound.h"

namespace plumbrick {

class VCGamesResult {
public:
    // The store of no game yet: placeOfStorage is the results file path. Reads nothing.
    VCGamesResult();
    // The store of the game `nameGame` (the constructor the games use). Reads nothing: call Load.
    explicit VCGamesResult(std::string nameGame);

    // Reads this game's list from the results file. A missing or unreadable file, or no array under
    // the game id, gives an empty list. Malformed packs are dropped, one log line each; the others keep
    // their order.
    void Load();
    // Writes this game's list into the results file, keeping the other games' lists (less what a property
    // list cannot hold: dropped with one log line each). The file is read again first, under the save folder's
    // lock so that the copies of the program that share the folder take turns, and this game's list there is
    // merged with the one in memory: rounds in the file that this store has not seen (another copy recorded
    // them, or this store's own read failed) are kept; rounds that this store took out (an older record of a
    // round recorded again, the lowest one that made room for a new round) and rounds that another copy took out
    // of the file since this store saw it stay out. With rounds added, the list is sorted by score and cut to
    // five (or to as many as the store held), never cutting the current round. A round is the same round when
    // its start date, end date, time, score and penalty are equal, dates as the file holds them (whole
    // seconds). A file that exists but is not a property list is first
    // moved aside, under the first free name of "Tinmarsh.result.unreadable", "….unreadable.2", "….3" and so
    // on, never over a copy kept earlier, with a line saying where it went. A file that could not be read now
    // (a failing disk) is left alone and nothing is written. Every failure logs one ERROR line naming the file
    // and the reason, and tells the player (kNotSavedNotice, once until a save succeeds again); the list stays in
    // memory and is written at the next EndGame. Does nothing before Load.
    void Save();
    // Save, when the last one failed: the program's end and every change of screen are occasions too.
    void SaveIfPending() {
        if (savePending) Save();
    }
    bool isSavePending() const { return savePending; }
    // Begins a new current round that starts now: drops the lowest packs so that at most four remain,
    // then appends the new round's pack. Does not save.
    void NewGame();
    // Records the current round: its end date is now, time and penalty as given, its score rises to
    // `scores` but never falls. If the list holds the round, its pack is replaced, the list sorted by
    // score and saved. Failures are logged ("ERROR VCGamesResult:EndGame: ...") and stop the steps.
    void EndGame(int time, int scores, int penalty);
    // Index of the first pack that began within 1.1 s of `date`, or -1. Throws MalformedPackError
    // when it meets a pack without a start date.
    int findResultWithDateStart(platform::Date date) const;
    // Makes the round that began at `date` current and returns true; when the list lacks it, begins a
    // new round (NewGame) and returns false. Throws MalformedPackError on a malformed pack.
    bool setGameRoundWithDateStart(platform::Date date);

    // The ordering of the list: negative when pack a comes first (higher score), positive when b
    // does, 0 for equal scores. The context is ignored. Throws MalformedPackError on a malformed pack.
    static int scoresSort(const platform::PlistValue& a, const platform::PlistValue& b, void* context);
    // True when both packs are well formed and hold the same round: equal start and end dates (to the whole
    // second, as the file keeps them), time, score and penalty. The name is not compared.
    static bool isSameRound(const platform::PlistValue& a, const platform::PlistValue& b);

    // The list of packs; null before Load.
    const platform::PlistArray* getArGamesResult() const { return arGamesResult.get(); }
    void setArGamesResult(std::shared_ptr<platform::PlistArray> list) { arGamesResult = std::move(list); }
    const std::string& getNameGame() const { return nameGame; }
    void setNameGame(std::string n) { nameGame = std::move(n); }
    const std::string& getPlaceOfStorage() const { return placeOfStorage; }
    void setPlaceOfStorage(std::string p) { placeOfStorage = std::move(p); }
    // The current round, or null before NewGame / setGameRoundWithDateStart.
    const std::shared_ptr<VCGameRound>& getGameround() const { return gameround; }
    void setGameround(std::shared_ptr<VCGameRound> r) { gameround = std::move(r); }

    static constexpr const char* kFileName = "Tinmarsh";
    static constexpr const char* kNotSavedNotice = "Saving is not possible: results not recorded";
    static constexpr int kMaxAsideCopies = 1000;
    static constexpr int kMaxRounds = 5;
    static constexpr double kDateTolerance = 1.1;

private:
    std::shared_ptr<platform::PlistArray> arGamesResult;
    std::string nameGame;
    std::string placeOfStorage;
    std::shared_ptr<VCGameRound> gameround;
    bool savePending = false;
    // This game's list as the file held it when this store last read it (Load) or wrote it (Save).
    platform::PlistArray listOnDisk;
    // Packs this store took out of its list since its last write: older records of a round recorded again, and
    // the packs NewGame removed to make room.
    platform::PlistArray takenOut;

    // The list to write: the list in memory merged with `inFile`, this game's list as the file holds it now.
    platform::PlistArray mergedWith(const platform::PlistArray& inFile) const;
    bool isCurrentRound(const platform::PlistValue& pack) const;
};

}   // namespace plumbrick
