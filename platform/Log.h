#pragma once
// The log: one line per call to stderr, and a hook through which tests read the lines.

#include <functional>
#include <string>

namespace platform {

void NSLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
void logLine(const std::string& line);
// Replaces the hook (null restores stderr only). The hook sees every line; stderr still gets it unless quiet.
void setLogHook(std::function<void(const std::string&)> hook, bool quiet = false);

}   // namespace platform
