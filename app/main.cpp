// Program entry: hands control to the platform's application loop, which reads the main layout, makes
// the delegate, the window and the root controller, and runs until the application ends.

#include "app/Registration.h"
#include "platform/Application.h"
#include "services/Support.h"

int main(int argc, char** argv) {
    plumbrick::registerApplicationClasses();
    platform::setInstanceFolder(&plumbrick::makeSaveFolder);
    return platform::UIApplicationMain(argc, argv);
}
