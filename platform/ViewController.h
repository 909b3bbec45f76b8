#pragma once
// The screen controller: its view is loaded once, on first request, from the layout it was made with.

#include <memory>
#include <string>

#include "platform/Layout.h"
#include "platform/Lifetime.h"
#include "platform/View.h"

namespace platform {

enum InterfaceOrientation : int {
    InterfaceOrientationPortrait = 1,
    InterfaceOrientationPortraitUpsideDown = 2,
    InterfaceOrientationLandscapeRight = 3,
    InterfaceOrientationLandscapeLeft = 4,
};

class ViewController {
public:
    // initWithNibName:bundle: with the main bundle. An empty name gives a plain 480 x 320 view.
    explicit ViewController(std::string nibName = {});
    virtual ~ViewController();
    ViewController(const ViewController&) = delete;
    ViewController& operator=(const ViewController&) = delete;

    // The view, loaded on the first request (then viewDidLoad runs). Null only if loading gave none.
    View* view();
    std::shared_ptr<View> viewShared();
    bool isViewLoaded() const { return view_ != nullptr; }
    void setView(std::shared_ptr<View> view);
    const std::string& nibName() const { return nibName_; }

    virtual void viewDidLoad() {}
    virtual void viewDidUnload() {}
    // Drops the view when it is not on screen (no superview); viewDidUnload then runs.
    virtual void didReceiveMemoryWarning();
    // The platform's default answers portrait only.
    virtual bool shouldAutorotateToInterfaceOrientation(int orientation) {
        return orientation == InterfaceOrientationPortrait;
    }
    // A touch on the controller's view that no control took.
    virtual void touchesBegan() {}

    // Ends with the controller: timers, calls, animation delegates, observers and actions bound to it are
    // never called once it is gone.
    const Lifetime& lifetime() const { return lifetime_; }

protected:
    // Subclasses add their outlets and actions; the loader calls this before building the view.
    virtual void bindLayout(LayoutBindings& bindings) { (void)bindings; }
    virtual void loadView();

private:
    std::string nibName_;
    std::shared_ptr<View> view_;
    Lifetime lifetime_;   // last: the first to end
};

}   // namespace platform
