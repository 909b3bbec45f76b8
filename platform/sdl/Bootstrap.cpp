#include "platform/sdl/Bootstrap.h"

#include <exception>

#include "platform/Application.h"
#include "platform/Log.h"

namespace platform::sdl {

Bootstrap::Bootstrap(Clock& clock, bool startMuted, bool openSound) : clock_(clock) {
    if (openSound) sound_.open();   // silent, with one log line, when there is no audio device
    settings_.load();
    soundControl_.restore(startMuted);
}

Bootstrap::~Bootstrap() {
    backends_.reset();
    desktop_.reset();
}

bool Bootstrap::openWindow(DesktopOptions options) {
    options.shadows = settings_.getBool("display", "shadow", true);
    settings_.set("display", "shadow", options.shadows);
    desktop_ = std::make_unique<Desktop>(std::move(options));
    desktop_->setKeyHandler([this](const std::string& key) { return soundControl_.key(key); });
    backends_.emplace(clock_, sound_, *desktop_);
    if (desktop_->open()) return true;
    backends_.reset();
    desktop_.reset();
    return false;
}

bool Bootstrap::launch(const std::string& mainLayout) {
    try {
        Application::sharedApplication().launch(mainLayout);
        return true;
    } catch (const std::exception& e) {
        logLine(std::string("plumbrick: ") + e.what());
        return false;
    }
}

}   // namespace platform::sdl
