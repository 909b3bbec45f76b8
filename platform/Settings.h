#pragma once
// Settings: what a player chooses on the desktop (sound, volume, the window's size and place, whether LCD
// segments cast a shadow), kept apart
// from the save folder in one small, human-editable JSON file, $XDG_CONFIG_HOME/plumbrick/settings.json
// (default ~/.config/plumbrick/settings.json):
//
//   {
//     "sound":  { "muted": false, "volume": 8 },
//     "window": { "x": 120, "y": 80, "width": 960, "height": 640, "fullscreen": false },
//     "display": { "shadow": true }
//   }
//
// Sections and keys this program does not know are kept as they are, in the order they were written. A
// missing file or key gives the default; a damaged file (not JSON, not an object) is ignored with one log line
// and rewritten whole on the next save. A value of the wrong type or out of range reads as the default.
// Saving is atomic (FileManager).

#include <cstddef>
#include <memory>
#include <string>

namespace platform {

class Settings {
public:
    // The file in the folder given, or in the user's configuration folder.
    explicit Settings(std::string path = defaultPath());
    ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // $XDG_CONFIG_HOME/plumbrick (a relative XDG_CONFIG_HOME is ignored), default ~/.config/plumbrick.
    static std::string configDirectory();
    static std::string defaultPath();
    const std::string& path() const { return path_; }

    // Reads the file; false when it was missing or damaged (defaults from then on).
    bool load();
    // Writes the whole file atomically, making the folder first. False (with one log line) on failure.
    bool save();

    bool getBool(const std::string& section, const std::string& key, bool fallback) const;
    // A whole number in [min, max], else the fallback.
    int getInt(const std::string& section, const std::string& key, int fallback, int min, int max) const;
    // Whether the section has the key (of any type).
    bool has(const std::string& section, const std::string& key) const;
    void set(const std::string& section, const std::string& key, bool value);
    void set(const std::string& section, const std::string& key, int value);
    // Removes the key, if the section has it.
    void remove(const std::string& section, const std::string& key);

    // Largest file read; a bigger one is damaged.
    static constexpr std::size_t kMaxBytes = std::size_t{64} * 1024;

private:
    struct Document;   // the JSON document, private to the platform library

    std::string path_;
    std::unique_ptr<Document> doc_;
};

}   // namespace platform
