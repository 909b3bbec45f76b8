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
    // Why the save folder could not be made, empty when it could: added to every failure's line, for a save
    // into a folder that is missing fails with "No such file or directory" while the reason lies in its making.
    void setFolderProblem(std::string why) { folderProblem_ = std::move(why); }
    const std::string& folderProblem() const { return folderProblem_; }
    void reset() {
        failing_.clear();
        folderProblem_.clear();
    }

private:
    std::set<std::string> failing_;
    std::string folderProblem_;
};

}   // namespace platform
