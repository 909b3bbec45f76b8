#pragma once
// What the game screens share beyond the results store: the dimming of a paused face, the state file of a
// paused round (its path, its write, and its guarded read with the log lines and the deletion that follow
// every attempt), the playing time in whole seconds, the buttons that start, pause and hold a round, and a
// reader of keyed archives that checks every value it hands out, so that a game can decode a whole state
// file before it applies any of it.

#include <concepts>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Date.h"
#include "platform/ImageView.h"
#include "platform/KeyedArchive.h"
#include "platform/View.h"
#include "services/VCGamesResult.h"

namespace plumbrick {

// A named failure while reading stored data ("LoadFileException", "UnarchiverException"), logged by the
// operation that loads as "<name>: <reason>".
class StoredDataException : public std::runtime_error {
public:
    StoredDataException(std::string name, std::string reason)
        : std::runtime_error(name + ": " + reason), name_(std::move(name)), reason_(std::move(reason)) {}
    const std::string& name() const { return name_; }
    const std::string& reason() const { return reason_; }

private:
    std::string name_;
    std::string reason_;
};

namespace game_face {

inline constexpr const char* kUnarchiverException = "UnarchiverException";
inline constexpr const char* kLoadFileException = "LoadFileException";
inline constexpr const char* kBadArchive = "bad archive";
inline constexpr double kDimmedAlpha = 0.7;
inline constexpr int kStateVersion = 100;

// Seconds played as the results store wants them: truncated toward zero, NaN as 0, clamped to 32 bits.
int wholeSeconds(double seconds);

// The restored round whose file is `path` goes on (it is resumed, or a new round replaces it, or it ends): the
// file is deleted, so that the round cannot come back a second time; a failed deletion logs "ERROR:
// <description>". Nothing happens for a path whose round was not restored in this run nor held by a
// checkpoint (holdStateFile), or was saved since.
void releaseStateFile(const std::string& path);

// ---- The round's buttons, alike on every game face ----
// What a game controller provides to them: the run states kPlaying and kPaused, the round's operations, its
// time, score and penalty, its results store, its pause sign and the path of its state file.
template <class Game>
concept GameController = requires(Game& g, const Game& c) {
    { Game::kPlaying } -> std::convertible_to<int>;
    { Game::kPaused } -> std::convertible_to<int>;
    { c.getState() } -> std::convertible_to<int>;
    g.startGame();
    g.playGame();
    g.pauseGame();
    g.endGame();
    { c.getTimeGame() } -> std::convertible_to<double>;
    { c.getScores() } -> std::convertible_to<int>;
    { c.getPenalty() } -> std::convertible_to<int>;
    { c.getGameResult() } -> std::convertible_to<VCGamesResult*>;
    { c.getIvGamePause() } -> std::convertible_to<platform::ImageView*>;
    { c.pathStateFile() } -> std::convertible_to<std::string>;
};

// EndGame::: on the results store with the whole seconds played, the score and the penalty.
template <GameController Game> void recordRound(const Game& g) {
    if (VCGamesResult* results = g.getGameResult())
        results->EndGame(wholeSeconds(g.getTimeGame()), g.getScores(), g.getPenalty());
}

// A playing round is paused and recorded; true when there was one. Otherwise a results save that failed
// earlier is tried again: leaving the screen and the program's end are occasions to save too.
template <GameController Game> bool pauseRound(Game& g) {
    if (g.getState() != Game::kPlaying) {
        if (VCGamesResult* results = g.getGameResult()) results->SaveIfPending();
        return false;
    }
    g.pauseGame();
    recordRound(g);
    return true;
}

// The pause, menu and info buttons on a playing round: paused, recorded, and the pause sign shown.
template <GameController Game> void holdRound(Game& g) {
    if (!pauseRound(g)) return;
    if (platform::ImageView* sign = g.getIvGamePause()) sign->setHidden(false);
}

// ---- Checkpoints of a round in play ----
// Where the program can be ended without notice (a browser page: a reload, a closed tab, a phone that
// discards a tab in the background), a playing round is written as the pause would write it, so that the
// next start brings it back paused, at most kCheckpointInterval seconds older.
inline constexpr double kCheckpointInterval = 4.0;

// What a game keeps of its checkpoints: the start of the stretch of play last written, and when.
struct Checkpoints {
    std::optional<double> stretch;
    double written = 0;
};

// The state file at `path` holds a round that may still go on (a checkpoint, or the pause that followed
// one): releaseStateFile removes it when that round goes on or ends.
void holdStateFile(const std::string& path);

// One checkpoint occasion at wall-clock time `now`. A playing round is recorded with the seconds played so
// far and written by `writeAsPaused` (false: nothing written) at the start of each stretch of play and then
// every kCheckpointInterval seconds; a round paused since its last checkpoint is written once as it is.
template <GameController Game, class Write>
void checkpointRound(Game& g, Checkpoints& c, double now, Write writeAsPaused) {
    if (g.getState() == Game::kPlaying) {
        const double stretch = g.getTimeStartGame();
        if (c.stretch == stretch && now >= c.written && now - c.written < kCheckpointInterval) return;
        c.stretch = stretch;
        c.written = now;
        if (VCGamesResult* results = g.getGameResult())
            results->EndGame(wholeSeconds(g.getTimeGame() + now - stretch), g.getScores(), g.getPenalty());
        if (writeAsPaused()) holdStateFile(g.pathStateFile());
    } else if (c.stretch) {
        c.stretch.reset();
        if (g.getState() == Game::kPaused && g.saveStateGame()) holdStateFile(g.pathStateFile());
    }
}

// pressBtStartGame: a playing round ends and is recorded, a paused one (recorded when it was paused) ends
// with its pause sign hidden; then, in every state, a new round.
template <GameController Game> void pressStartGame(Game& g) {
    releaseStateFile(g.pathStateFile());
    if (g.getState() == Game::kPlaying) {
        g.endGame();
        recordRound(g);
    } else if (g.getState() == Game::kPaused) {
        if (platform::ImageView* sign = g.getIvGamePause()) sign->setHidden(true);
        g.endGame();
    }
    g.getGameResult()->NewGame();
    g.startGame();
}

// pressBtPause: holds a playing round, resumes a paused one (hiding the pause sign); idle, nothing.
template <GameController Game> void pressPause(Game& g) {
    if (g.getState() == Game::kPaused) {
        releaseStateFile(g.pathStateFile());
        g.playGame();
        if (platform::ImageView* sign = g.getIvGamePause()) sign->setHidden(true);
    } else {
        holdRound(g);
    }
}

// Dimming of a paused face. Flag true: unless a list exists, every visible direct subview of `face` whose tag
// is 1..9999 goes to alpha 0.7 and its tag is listed. Flag false: every listed tag goes back to alpha 1.0 and
// the list is dropped. `dimmed` is the game's arDisplayAlfa.
void setDisplayAlfa(platform::View& face, std::optional<std::vector<int>>& dimmed, bool flag);

// Moves a view down by its own height (the menu button, which the root controller slides up again).
void moveDownByOwnHeight(platform::View* view);

// "<save folder>/Tinmarsh.<game id>.state".
std::string pathStateFile(const std::string& gameId);

// The notice that tells the player a paused round could not be saved (once, until a round is saved again).
inline constexpr const char* kRoundNotSavedNotice = "Saving is not possible: paused round not kept";

// Encodes into a fresh keyed archive and writes it to `path` atomically; the success of the write. A failed
// write leaves any earlier file untouched, logs "ERROR <className>:saveStateGame: <what failed, the file and the
// system's reason>" and tells the player (kRoundNotSavedNotice).
bool saveStateFile(const std::string& path, const std::string& className,
                   const std::function<void(platform::KeyedArchiver&)>& encode);

// The read of a state file, for the class `className`. `restore` answers whether it restored a round:
//  - nothing at the path: true, nothing else;
//  - something other than a regular file (a folder, a link): true, one line
//    "ERROR <className>:loadStateGame: <path> is not a regular file; left alone", and nothing read or removed;
//  - first block: the bytes (none: "LoadFileException" with the path), the archive (not one:
//    "UnarchiverException" with "bad archive"), then `restore`. A failure there is logged as
//    "ERROR <className>:loadStateGame: <name>: <reason>";
//  - second block: the file is deleted (a regular file only); a failed deletion logs "ERROR: <description>".
//    A file whose round was restored stays instead until that round goes on (releaseStateFile): until then
//    the file on disk still holds the paused round, so that an end of the program whose save fails (a full
//    disk) does not lose it.
// Returns false only when the second block itself fails.
bool loadStateFile(const std::string& path, const std::string& className,
                   const std::function<bool(const platform::KeyedUnarchiver&)>& restore);

// [[noreturn]] StoredDataException("UnarchiverException", "bad archive: <what>").
[[noreturn]] void badArchive(const std::string& what);

// The keyed archive in the bytes of a state file; not one: StoredDataException("UnarchiverException",
// "bad archive"). Never null.
std::unique_ptr<platform::KeyedUnarchiver> unarchive(const platform::Bytes& bytes);

// Reads keys of a keyed archive and refuses, with badArchive naming the key, a key that is missing or of
// another type, and (through the checks) a value outside what the game can have written.
class CheckedArchiveReader {
public:
    explicit CheckedArchiveReader(const platform::KeyedUnarchiver& archive) : u_(archive) {}
    // The version key: nothing when it is missing, not an integer or not `version` (another layout).
    bool hasVersion(const char* key, std::int32_t version) const;
    std::int32_t readInt(const char* key) const;
    bool readBool(const char* key) const;
    double readDouble(const char* key) const;
    platform::Date readDate(const char* key) const;

private:
    const platform::KeyedUnarchiver& u_;
};

// Value checks; each refuses with badArchive naming the key.
void checkRange(const char* key, std::int64_t value, std::int64_t lo, std::int64_t hi);
void checkOneOf(const char* key, std::int64_t value, const std::vector<std::int64_t>& allowed);
// A finite number from lo (inclusive) to hi (exclusive).
void checkFinite(const char* key, double value, double lo, double hi);
// Exactly one of the given values (stored intervals are written back bit for bit).
void checkOneOfReal(const char* key, double value, const std::vector<double>& allowed);
// A flag that a paused round always holds as `expected`; refused as "\"<key>\" is <value> <why>".
void checkBool(const char* key, bool value, bool expected, const char* why);
// A date that is there and finite; refused as "\"<key>\" is not a date".
void checkDate(const char* key, const std::optional<platform::Date>& date);

}   // namespace game_face
}   // namespace plumbrick
