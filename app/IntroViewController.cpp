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

    platform::Animation::start(
        {.duration = kFadeInDuration, .fromCurrentState = true}, [this] { view()->setAlpha(1.0); }, lifetime(),
        [this](bool finished) { ShowLogo_aniKey(finished); });
}

void IntroViewController::ShowLogo_aniKey(bool finished) {
    (void)finished;
    if (flagStopLoopAnimation) return;
    const platform::AnimationOptions pulse{
        .duration = kPulseDuration, .repeatCount = kPulseRepeatCount, .autoreverses = true, .fromCurrentState = true};
    pulsing = platform::Animation::start(pulse, [this] {
        if (ivContinue) ivContinue->setAlpha(1.0);
    });
}

void IntroViewController::touchesBegan() {
    if (platform::Animation::areEnabled()) {
        pulsing.cancel();
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
