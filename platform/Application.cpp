#include "platform/Application.h"

#include <fstream>
#include <map>
#include <sstream>

#include <nlohmann/json.hpp>

#include "platform/Bundle.h"
#include "platform/Notification.h"

namespace platform {

namespace {
std::map<std::string, DelegateFactory>& delegateClasses() {
    static std::map<std::string, DelegateFactory> classes;
    return classes;
}
std::map<std::string, ControllerFactory>& controllerClasses() {
    static std::map<std::string, ControllerFactory> classes;
    return classes;
}
}   // namespace

namespace {
std::function<std::string()>& instanceFolderFunction() {
    static std::function<std::string()> folder;
    return folder;
}
}   // namespace

void setInstanceFolder(std::function<std::string()> folder) { instanceFolderFunction() = std::move(folder); }

const std::function<std::string()>& instanceFolder() { return instanceFolderFunction(); }

void registerDelegateClass(const std::string& name, DelegateFactory factory) {
    delegateClasses()[name] = std::move(factory);
}

void registerControllerClass(const std::string& name, ControllerFactory factory) {
    controllerClasses()[name] = std::move(factory);
}

Application& Application::sharedApplication() {
    // Never destroyed: the controllers it holds at exit must not outlive the run loop they use.
    static Application* app = new Application;
    return *app;
}

void Application::launch(const std::string& mainLayout) {
    using json = nlohmann::json;
    const std::string path = Bundle::mainBundle().pathForLayout(mainLayout);
    const std::string file = path.empty() ? "layouts/" + mainLayout + ".json" : path;
    auto fail = [&file](const std::string& message) -> void { throw LayoutError(file + ": " + message); };
    if (path.empty()) fail("no such layout in " + Bundle::mainBundle().resourcePath());

    std::ifstream in(path, std::ios::binary);
    if (!in) fail("cannot be read");
    std::ostringstream text;
    text << in.rdbuf();
    json doc;
    try {
        doc = json::parse(text.str());
    } catch (const json::exception& e) {
        fail(std::string("malformed JSON: ") + e.what());
    }
    if (!doc.is_object()) fail("malformed main layout: the top is not an object");
    for (const auto& [key, value] : doc.items())
        if (key != "delegate" && key != "window" && key != "viewController" && key != "comment")
            fail("unknown field \"" + key + "\"");

    // The delegate.
    if (!doc.contains("delegate") || !doc["delegate"].is_string()) fail("no \"delegate\" class name");
    const std::string delegateClass = doc["delegate"].get<std::string>();
    auto d = delegateClasses().find(delegateClass);
    if (d == delegateClasses().end() || !d->second) fail("unknown delegate class \"" + delegateClass + "\"");

    // The window.
    Rect frame(0, 0, 480, 320);
    if (doc.contains("window")) {
        const json& w = doc["window"];
        if (!w.is_object()) fail("\"window\" is not an object");
        if (w.contains("frame")) {
            const json& f = w["frame"];
            if (!f.is_array() || f.size() != 4 || !f[0].is_number() || !f[1].is_number() || !f[2].is_number() ||
                !f[3].is_number())
                fail("window \"frame\" is not [x, y, w, h]");
            frame = Rect(f[0].get<double>(), f[1].get<double>(), f[2].get<double>(), f[3].get<double>());
        }
    }

    // The root controller.
    if (!doc.contains("viewController") || !doc["viewController"].is_object()) fail("no \"viewController\" object");
    const json& vc = doc["viewController"];
    if (!vc.contains("class") || !vc["class"].is_string()) fail("no \"viewController\" class name");
    const std::string controllerClass = vc["class"].get<std::string>();
    std::string layout;
    if (vc.contains("layout")) {
        if (!vc["layout"].is_string()) fail("the controller's \"layout\" is not a string");
        layout = vc["layout"].get<std::string>();
    }
    auto c = controllerClasses().find(controllerClass);
    if (c == controllerClasses().end() || !c->second) fail("unknown controller class \"" + controllerClass + "\"");

    auto delegate = d->second();
    if (!delegate) fail("delegate class \"" + delegateClass + "\" made no delegate");
    auto controller = c->second(layout);
    if (!controller) fail("controller class \"" + controllerClass + "\" made no controller");

    delegate_ = delegate;
    delegate->setWindow(std::make_shared<Window>(frame));
    delegate->setViewController(std::move(controller));
    delegate->applicationDidFinishLaunching();
}

bool Application::openURL(const std::string& url) { return backend_ ? backend_->openURL(url) : false; }

void Application::terminate() {
    if (terminated_) return;
    terminated_ = true;
    NotificationCenter::defaultCenter().postNotificationName(ApplicationWillTerminateNotification);
    if (backend_) backend_->stop();
}

void Application::reset() {
    delegate_.reset();
    terminated_ = false;
}

}   // namespace platform
