#include "app/PlumbrickAppDelegate.h"

namespace plumbrick {

void PlumbrickAppDelegate::applicationDidFinishLaunching() {
    if (!window_) return;
    // Asking for the root's view loads it: the root's viewDidLoad runs before the window is shown.
    if (viewController_) {
        if (auto rootView = viewController_->viewShared()) window_->addSubview(rootView);
    }
    window_->makeKeyAndVisible();
}

}  // namespace plumbrick
