#pragma once
// The application delegate: the main layout gives it the window and the root controller, and when the
// application has launched it puts the root's view into the window.

#include <memory>

#include "platform/Application.h"

namespace plumbrick {

class PlumbrickAppDelegate : public platform::ApplicationDelegate {
public:
    void applicationDidFinishLaunching() override;

    platform::Window* window() const override { return window_.get(); }
    void setWindow(std::shared_ptr<platform::Window> window) override { window_ = std::move(window); }
    platform::ViewController* viewController() const { return viewController_.get(); }
    void setViewController(std::shared_ptr<platform::ViewController> controller) override {
        viewController_ = std::move(controller);
    }

private:
    std::shared_ptr<platform::Window> window_;
    std::shared_ptr<platform::ViewController> viewController_;
};

}   // namespace plumbrick
