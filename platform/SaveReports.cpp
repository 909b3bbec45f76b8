#include "platform/SaveReports.h"

#include "platform/Log.h"
#include "platform/Notice.h"

namespace platform {

SaveReports& SaveReports::shared() {
    static SaveReports reports;
    return reports;
}

void SaveReports::failed(const std::string& kind, const std::string& line, const std::string& notice) {
    if (folderProblem_.empty() || line.find(folderProblem_) != std::string::npos)
        logLine(line);
    else
        logLine(line + " (the save folder: " + folderProblem_ + ")");
    if (failing_.insert(kind).second) postNotice(notice);
}

void SaveReports::succeeded(const std::string& kind) { failing_.erase(kind); }

}   // namespace platform
