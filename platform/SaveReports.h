#pragma once
// Failed saves as the log and the player see them. Every failure logs its one ERROR line; the player is told
// with a notice the first time a kind of save (the results, a paused round) fails, and again only after a save
// of that kind has succeeded in between, so that a disk that stays full does not cover the screen with notices.

#include <set>
#include <string>

namespace platform {

class SaveReports {
public:
    static SaveReports& shared();

    // Logs `line`; posts `notice` unless this kind already failed with no success since.
    void failed(const std::string& kind, const std::string& line, const std::string& notice);
    void succeeded(const std::string& kind);
    // True from a failure of this kind to its next success.
    bool failing(const std::string& kind) const { return failing_.count(kind) != 0; }
    void reset() { failing_.clear(); }

private:
    std::set<std::string> failing_;
};

}   // namespace platform
