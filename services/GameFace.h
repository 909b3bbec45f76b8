#pragma once
// What the game screens share beyond the results store: the dimming of a paused face, the state file of a
// paused round (its path, its write, and its guarded read with the log lines and the deletion that follow
// every attempt), the playing time in whole seconds, and a reader of keyed archives that checks every value
// it hands out, so that a game can decode a whole state file before it applies any of it.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Date.h"
#include "platform/KeyedArchive.h"
#include "platform/View.h"

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

// Dimming of a paused face. Flag true: unless a list exists, every visible direct subview of `face` whose tag
// is 1..9999 goes to alpha 0.7 and its tag is listed. Flag false: every listed tag goes back to alpha 1.0 and
// the list is dropped. `dimmed` is the game's arDisplayAlfa.
void setDisplayAlfa(platform::View& face, std::optional<std::vector<int>>& dimmed, bool flag);

// Moves a view down by its own height (the menu button, which the root controller slides up again).
void moveDownByOwnHeight(platform::View* view);

// "<save folder>/Tinmarsh.<game id>.state".
std::string pathStateFile(const std::string& gameId);

// Encodes into a fresh keyed archive and writes it to `path` atomically; the success of the write.
bool saveStateFile(const std::string& path, const std::function<void(platform::KeyedArchiver&)>& encode);

// The read of a state file, for the class `className`:
//  - no file: true, nothing else;
//  - first block: the bytes (none: "LoadFileException" with the path), the archive (not one:
//    "UnarchiverException" with "bad archive"), then `restore`. A failure there is logged as
//    "ERROR <className>:loadStateGame: <name>: <reason>";
//  - second block: the file is deleted; a failed deletion logs "ERROR: <description>".
// Returns false only when the second block itself fails.
bool loadStateFile(const std::string& path, const std::string& className,
                   const std::function<void(const platform::KeyedUnarchiver&)>& restore);

// [[noreturn]] StoredDataException("UnarchiverException", "bad archive: <what>").
[[noreturn]] void badArchive(const std::string& what);

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
    const platform::KeyedUnarchiver& archive() const { return u_; }
private:
    const platform::KeyedUnarchiver& u_;
};

// Value checks; each refuses with badArchive naming the key.
void checkRange(const char* key, std::int64_t value, std::int64_t lo, std::int64_t hi);
void checkOneOf(const char* key, std::int64_t value, std::initializer_list<std::int64_t> allowed);
// A finite number from lo (inclusive) to hi (exclusive).
void checkFinite(const char* key, double value, double lo, double hi);
// Exactly one of the given values (stored intervals are written back bit for bit).
void checkOneOfReal(const char* key, double value, std::initializer_list<double> allowed);

}  // namespace game_face
}  // namespace plumbrick
