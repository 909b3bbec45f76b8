#include "platform/SaveReports.h"

#include "platform/Log.h"
#include "platform/Notice.h"

namespace platform {

SaveReports& SaveReports::shared() {
    static SaveReports reports;
    return reports;
}

void SaveReports::failed(const std::string& kind, const std::string& line, const std::string& notice) {
    logLine(line);
    if (failing_.insert(kind).second) postNotice(notice);
}

void SaveReports::succeeded(const std::string& kind) { failing_.erase(kind); }

}   // namespace platform
