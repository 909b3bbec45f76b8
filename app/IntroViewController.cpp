#include "app/IntroViewController.h"

namespace plumbrick {

using platform::View;

IntroViewController::IntroViewController(std::string nibName) : platform::ViewController(std::move(nibName)) {}

void IntroViewController::bindLayout(platform::LayoutBindings& bindings) { bindings.outlet("ivContinue", ivContinue); }

void IntroViewController::viewDidLoad() {
    platform::ViewController::viewDidLoad();
    flagStopLoopAnimation = false;
    if (ivContinue) ivContinue->setAlpha(0.0);
    view()->setAlpha(0.0);

    View::beginAnimations({}, this);
    View::setAnimationDuration(kFadeInDuration);
    View::setAnimationDelegate(lifetime(), [this](const std::string& animationId, bool finished, void* context) {
        ShowLogo_aniKey(animationId, finished, context);
    });
    View::setAnimationBeginsFromCurrentState(true);
    view()->setAlpha(1.0);
    View::commitAnimations();
}

void IntroViewController::ShowLogo_aniKey(const std::string& animationId, bool finished, void* context) {
    (void)animationId;
    (void)finished;
    if (flagStopLoopAnimation) return;
    View::beginAnimations({}, context);
    View::setAnimationDuration(kPulseDuration);
    View::setAnimationBeginsFromCurrentState(true);
    View::setAnimationRepeatAutoreverses(true);
    View::setAnimationRepeatCount(kPulseRepeatCount);
    if (ivContinue) ivContinue->setAlpha(1.0);
    View::commitAnimations();
}

void IntroViewController::touchesBegan() {
    if (View::areAnimationsEnabled()) {
        if (ivContinue) ivContinue->layer().removeAllAnimations();
        flagStopLoopAnimation = true;
    }
    // The controller keeps its view, so taking it out of the tree does not destroy it under us.
    if (isViewLoaded()) view()->removeFromSuperview();
    if (idParentController) idParentController->switchToIntro();
}

bool IntroViewController::shouldAutorotateToInterfaceOrientation(int orientation) {
    if (View* v = view()) v->setNeedsDisplay();
    return orientation == platform::InterfaceOrientationLandscapeRight;
}

}   // namespace plumbrick
