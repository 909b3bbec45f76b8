#include "platform/Backends.h"

namespace platform {

Backends::Backends(Clock& clock, SoundBackend& sound, ApplicationBackend& application) {
    RunLoop::main().setClock(&clock);
    setSoundBackend(&sound);
    Application::sharedApplication().setBackend(&application);
}

Backends::~Backends() {
    Application::sharedApplication().setBackend(nullptr);
    setSoundBackend(nullptr);
    RunLoop::main().setClock(nullptr);
}

}   // namespace platform
