#pragma once
// The desktop's way of opening links: a program of the system (xdg-open) started with the link as its one
// argument, no shell between. The web page opens links its own way (platform/sdl/web/PageBridge.h).

#include <string>

#include "platform/sdl/Desktop.h"

namespace platform::sdl {

// Starts `program` with the link for every link; false, with a log line, when it cannot be started. Openers
// that have ended are collected at the next link, so that none waits as a zombie for longer than that.
UrlOpener programOpener(std::string program = "xdg-open");

}   // namespace platform::sdl
