#pragma once
// The first screen: the intro fades in, its prompt pulses, and any touch brings up the main menu.

#include <memory>
#include <string>

#include "platform/Animation.h"
#include "platform/ImageView.h"
#include "platform/ViewController.h"
#include "services/VCRootControllerProtocol.h"

namespace plumbrick {

class IntroViewController : public platform::ViewController {
public:
    // Durations of the fade-in and of one half of a pulse, and how often the pulse repeats.
    static constexpr double kFadeInDuration = 0.08;
    static constexpr double kPulseDuration = 1.5;
    static constexpr double kPulseRepeatCount = 127.0;

    explicit IntroViewController(std::string nibName = "IntroViewController");

    void viewDidLoad() override;
    void viewDidUnload() override {}
    // The fade-in's end: starts the pulsing unless the intro was dismissed meanwhile.
    void ShowLogo_aniKey(bool finished);
    // Any touch dismisses the intro and asks the root for the menu.
    void touchesBegan() override;
    bool shouldAutorotateToInterfaceOrientation(int orientation) override;

    VCRootControllerProtocol* getIdParentController() const { return idParentController; }
    void setIdParentController(VCRootControllerProtocol* parent) { idParentController = parent; }
    platform::ImageView* getIvContinue() const { return ivContinue.get(); }
    bool getFlagStopLoopAnimation() const { return flagStopLoopAnimation; }

protected:
    void bindLayout(platform::LayoutBindings& bindings) override;

private:
    bool flagStopLoopAnimation = false;
    platform::Animation pulsing;   // the prompt's, stopped by the touch that dismisses the intro
    VCRootControllerProtocol* idParentController = nullptr;   // the root; it outlives this screen
    std::shared_ptr<platform::ImageView> ivContinue;
};

}   // namespace plumbrick
