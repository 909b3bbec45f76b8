#include "app/Registration.h"

#include "app/IntroView.h"
#include "app/PlumbrickAppDelegate.h"
#include "app/PlumbrickViewController.h"
#include "platform/Application.h"
#include "platform/Layout.h"

namespace plumbrick {

void registerApplicationClasses() {
    platform::registerDelegateClass("PlumbrickAppDelegate", [] { return std::make_shared<PlumbrickAppDelegate>(); });
    platform::registerControllerClass("PlumbrickViewController", [](const std::string& layoutName) {
        return std::make_shared<PlumbrickViewController>(layoutName);
    });
    platform::registerViewClass("IntroView", [](platform::Rect frame) { return std::make_shared<IntroView>(frame); });
}

}   // namespace plumbrick
