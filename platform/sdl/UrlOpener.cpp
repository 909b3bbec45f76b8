#include "platform/sdl/UrlOpener.h"

#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>

#include <memory>
#include <vector>

#include "platform/Log.h"

extern char** environ;

namespace platform::sdl {

UrlOpener programOpener(std::string program) {
    auto started = std::make_shared<std::vector<pid_t>>();   // not yet collected
    return [program = std::move(program), started](const std::string& url) {
        std::erase_if(*started, [](pid_t opener) { return waitpid(opener, nullptr, WNOHANG) != 0; });
        pid_t pid = 0;
        std::string name = program;
        char* argv[] = {name.data(), const_cast<char*>(url.c_str()), nullptr};
        if (posix_spawnp(&pid, name.c_str(), nullptr, nullptr, argv, environ) != 0) {
            logLine("openURL: cannot start " + program + " for " + url);
            return false;
        }
        started->push_back(pid);
        return true;
    };
}

}   // namespace platform::sdl
