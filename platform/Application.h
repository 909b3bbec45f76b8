#pragma once
// The application: its delegate, its window and root controller made from the main layout, the
// will-terminate notification, and handing a URL to the system.

#include <functional>
#include <memory>
#include <string>

#include "platform/ViewController.h"
#include "platform/Window.h"

namespace platform {

class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;
    virtual void applicationDidFinishLaunching() = 0;
    virtual void setWindow(std::shared_ptr<Window> window) = 0;
    virtual void setViewController(std::shared_ptr<ViewController> controller) = 0;
    virtual Window* window() const = 0;
};

// Classes that the main layout may name.
using DelegateFactory = std::function<std::shared_ptr<ApplicationDelegate>()>;
using ControllerFactory = std::function<std::shared_ptr<ViewController>(const std::string& layoutName)>;
void registerDelegateClass(const std::string& name, DelegateFactory factory);
void registerControllerClass(const std::string& name, ControllerFactory factory);

// What a backend does for the application.
class ApplicationBackend {
public:
    virtual ~ApplicationBackend() = default;
    virtual bool openURL(const std::string& url) = 0;   // hand to the system
    virtual void stop() = 0;                            // end the loop after the current event
};

class Application {
public:
    static Application& sharedApplication();
    void setBackend(ApplicationBackend* backend) { backend_ = backend; }

    // Reads the main layout ("MainWindow"), makes the delegate, the window and the root controller,
    // connects them and calls applicationDidFinishLaunching. Throws LayoutError on a bad main layout.
    void launch(const std::string& mainLayout = "MainWindow");
    ApplicationDelegate* delegate() const { return delegate_.get(); }

    // Hands the URL to the system (the browser opens it); the application goes on. False when nothing took it.
    bool openURL(const std::string& url);
    // Posts the will-terminate notification (once, however often it is called) and stops the backend.
    void terminate();
    bool isTerminating() const { return terminated_; }

    void reset();   // tests: forget delegate and termination
private:
    ApplicationBackend* backend_ = nullptr;
    std::shared_ptr<ApplicationDelegate> delegate_;
    bool terminated_ = false;
};

// The application loop of the desktop backend (defined there): launches, runs until the end, returns 0.
int UIApplicationMain(int argc, char** argv);

// The folder that one copy of the program uses at a time (the save folder), asked for once the command line has
// been read: the desktop's loop locks it before anything else touches it, and a second start there ends. Unset
// (tests, tools), nothing is locked; the browser ignores it.
void setInstanceFolder(std::function<std::string()> folder);
const std::function<std::string()>& instanceFolder();

}   // namespace platform
