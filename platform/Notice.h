#pragma once
// Notices: short messages from the system to the player ("Saving is not possible", "Sound off"), shown over
// the screen for a few seconds by the backend. They are not part of the view tree: no game logic sees them,
// no touch reaches them, and they never change what a test of the screens asserts on.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct Notice {
    std::string text;
    double shownAt = 0;   // run-loop time it was posted
    double until = 0;     // run-loop time it goes away
};

class Notices {
public:
    static Notices& shared();

    // Shows `text` from now for `seconds` (run-loop time), replacing the notice shown now, if any.
    void post(const std::string& text, double seconds = kDefaultSeconds);
    // The notice to show at run-loop time `now`; null when there is none.
    const Notice* current(double now) const;
    // When what current() answers next changes on its own (the shown notice expires); infinity when never.
    double nextChange(double now) const;
    // Grows by one whenever a notice is posted: a backend that drew generation g redraws when it differs.
    std::uint64_t generation() const { return generation_; }
    // Every text posted since the last reset, oldest first (tests).
    const std::vector<std::string>& posted() const { return posted_; }
    void reset();

    static constexpr double kDefaultSeconds = 3.0;

private:
    Notice notice_;
    bool has_ = false;
    std::uint64_t generation_ = 0;
    std::vector<std::string> posted_;
};

// Posts on the shared notices at the main run loop's time.
void postNotice(const std::string& text, double seconds = Notices::kDefaultSeconds);

}   // namespace platform
