#include "app/PlumbrickAppDelegate.h"

#include "services/Support.h"

namespace plumbrick {

void PlumbrickAppDelegate::applicationDidFinishLaunching() {
    // What a save cut short by a crash or a power cut left behind goes before anything reads the folder.
    removeStaleSaveTemporaries();
    checkSaveFolder();   // a folder that cannot be written is told on the first screen, not at the first save
    if (!window_) return;
    // Asking for the root's view loads it: the root's viewDidLoad runs before the window is shown.
    if (viewController_) {
        if (auto rootView = viewController_->viewShared()) window_->addSubview(rootView);
    }
    window_->makeKeyAndVisible();
}

}   // namespace plumbrick
