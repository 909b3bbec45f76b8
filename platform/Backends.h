#pragma once
// What the application runs on, put in place in one step and taken back in one step: the run loop's clock,
// the sound backend and the application's backend. Every program and test environment installs its backends
// through this (the desktop and the web page through sdl::Bootstrap, tests through headless::Environment).

#include "platform/Application.h"
#include "platform/RunLoop.h"
#include "platform/Sound.h"

namespace platform {

class Backends {
public:
    Backends(Clock& clock, SoundBackend& sound, ApplicationBackend& application);
    // The application's backend, the sound's and the clock go, in that order.
    ~Backends();
    Backends(const Backends&) = delete;
    Backends& operator=(const Backends&) = delete;
};

}   // namespace platform
