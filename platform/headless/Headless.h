#pragma once
// The headless backend: a virtual clock, a sound recorder and an application backend that records
// what would have been handed to the system. Tests make one Environment each; it resets the run loop,
// the notification centre, the application, the image cache and file faults, points the documents
// directory at a fresh temporary folder, and captures the log.

#include <optional>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Backends.h"
#include "platform/RunLoop.h"
#include "platform/Sound.h"

namespace platform::headless {

struct SoundPlay {
    SystemSoundID id;
    std::string path;   // the file the id was made from ("" for an unknown id)
    double time;        // run-loop time of the play
};

class VirtualClock : public Clock {
public:
    double now() const override { return now_; }
    double wallClock() const override { return wallBase_ + now_; }
    void set(double t) { now_ = t; }
    void setWallBase(double secondsSince1970) { wallBase_ = secondsSince1970; }

private:
    double now_ = 0;
    double wallBase_ = 1296741900.0;   // a fixed, ordinary date
};

class Environment : public SoundBackend, public ApplicationBackend {
public:
    // documentsDir empty: a fresh folder under the system's temporary directory, removed at the end.
    explicit Environment(std::string documentsDir = {});
    ~Environment() override;
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

    // Moves the virtual clock on, firing every timer and animation end that falls due, in order.
    void advance(double seconds);
    double now() const { return clock_.now(); }
    VirtualClock& clock() { return clock_; }

    // Sounds
    SystemSoundID create(const std::string& path) override;
    void play(SystemSoundID id) override;
    const std::vector<SoundPlay>& sounds() const { return sounds_; }
    // Plays of the sound whose file name (without folder and extension) is `name`, e.g. "yolkfall_02".
    int countPlays(const std::string& name) const;
    void clearSounds() { sounds_.clear(); }

    // Application
    bool openURL(const std::string& url) override {
        urls_.push_back(url);
        return true;
    }
    void stop() override { stopped_ = true; }
    const std::vector<std::string>& openedURLs() const { return urls_; }
    bool stopped() const { return stopped_; }

    // Log
    const std::vector<std::string>& logLines() const { return log_; }
    bool logContains(const std::string& fragment) const;
    void clearLog() { log_.clear(); }

    const std::string& documents() const { return documents_; }

private:
    VirtualClock clock_;
    std::vector<std::string> soundPaths_;   // id - 1 -> path
    std::vector<SoundPlay> sounds_;
    std::vector<std::string> urls_;
    std::vector<std::string> log_;
    std::string documents_;
    bool ownsDocuments_ = false;
    bool stopped_ = false;
    std::optional<Backends> backends_;   // the clock, the sound recorder and this as the application's backend
};

}   // namespace platform::headless
