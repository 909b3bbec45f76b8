#include "platform/ViewController.h"

namespace platform {

ViewController::ViewController(std::string nibName) : nibName_(std::move(nibName)) {}

ViewController::~ViewController() {
    if (view_ && view_->viewController() == this) view_->setViewController(nullptr);
}

View* ViewController::view() { return viewShared().get(); }

std::shared_ptr<View> ViewController::viewShared() {
    if (!view_) {
        loadView();
        if (view_) viewDidLoad();
    }
    return view_;
}

void ViewController::setView(std::shared_ptr<View> view) {
    if (view_ == view) return;
    if (view_ && view_->viewController() == this) view_->setViewController(nullptr);
    view_ = std::move(view);
    if (view_) view_->setViewController(this);
}

void ViewController::loadView() {
    if (nibName_.empty()) {
        setView(std::make_shared<View>(Rect(0, 0, 480, 320)));
        return;
    }
    LayoutBindings bindings;
    bindLayout(bindings);
    setView(loadLayout(nibName_, bindings));
}

void ViewController::didReceiveMemoryWarning() {
    if (!view_ || view_->superview()) return;
    setView(nullptr);
    viewDidUnload();
}

}   // namespace platform
