// Start-up and the intro: what is on screen after launch, the fade-in, the pulsing prompt and its end.

#include "AppFixture.h"

#include "app/IntroView.h"

namespace plumbrick::test {
namespace {

using platform::View;

TEST_F(AppTest, StartUpShowsOnlyTheIntroAndLeavesTheMenuUnloaded) {
    EXPECT_TRUE(window().isKeyWindow());
    ASSERT_EQ(window().subviews().size(), 1u);
    EXPECT_EQ(window().subviews()[0].get(), root->view());

    EXPECT_EQ(stack(), std::vector<View*>{intro().view()});
    EXPECT_NE(dynamic_cast<IntroView*>(intro().view()), nullptr);
    EXPECT_EQ(intro().getIdParentController(), root);

    ASSERT_NE(root->getViewControllerMenu(), nullptr);
    EXPECT_FALSE(menu().isViewLoaded());
    EXPECT_EQ(menu().getIdParentController(), root);
    EXPECT_EQ(root->getViewControllerGamesResult(), nullptr);
    for (int slot = 1; slot <= 6; ++slot) EXPECT_EQ(root->getViewControllerGame(slot), nullptr);
    EXPECT_EQ(root->getNumGameItem(), 0);
}

TEST_F(AppTest, IntroFadesInThenThePromptPulses) {
    View& introView = *intro().view();
    platform::ImageView* prompt = intro().getIvContinue();
    ASSERT_NE(prompt, nullptr);

    // The fade-in: drawn from 0 to 1 over 0.08 s; the prompt waits at 0.
    EXPECT_NEAR(introView.presentationAlpha(), 0.0, 1e-9);
    EXPECT_DOUBLE_EQ(introView.alpha(), 1.0);
    EXPECT_DOUBLE_EQ(prompt->alpha(), 0.0);
    env.advance(0.04);
    EXPECT_GT(introView.presentationAlpha(), 0.0);
    EXPECT_LT(introView.presentationAlpha(), 1.0);
    EXPECT_FALSE(prompt->layer().hasAnimations());

    // From the fade-in's end the prompt rises to 1 over 1.5 s and falls back over the next 1.5 s.
    env.advance(0.04);
    EXPECT_NEAR(introView.presentationAlpha(), 1.0, 1e-9);
    EXPECT_TRUE(prompt->layer().hasAnimations());
    EXPECT_DOUBLE_EQ(prompt->alpha(), 1.0);
    env.advance(0.75);
    EXPECT_GT(prompt->presentationAlpha(), 0.1);
    EXPECT_LT(prompt->presentationAlpha(), 0.9);
    env.advance(0.75);
    EXPECT_NEAR(prompt->presentationAlpha(), 1.0, 1e-6);
    env.advance(1.5);
    EXPECT_NEAR(prompt->presentationAlpha(), 0.0, 1e-6);
    env.advance(1.5);
    EXPECT_NEAR(prompt->presentationAlpha(), 1.0, 1e-6);

    // 127 round trips of 3 s, then the prompt stays at its target.
    env.advance(381.0);
    EXPECT_FALSE(prompt->layer().hasAnimations());
    EXPECT_DOUBLE_EQ(prompt->presentationAlpha(), 1.0);
    EXPECT_EQ(stack(), std::vector<View*>{intro().view()});
}

// A touch during the fade-in or while pulsing: the intro goes, the menu comes up with its six pages,
// and no pulsing starts afterwards.
class IntroDismissal : public AppTest, public ::testing::WithParamInterface<double> {};

TEST_P(IntroDismissal, TouchDismissesOnceAndBringsUpTheMenu) {
    env.advance(GetParam());
    platform::ImageView* prompt = intro().getIvContinue();
    EXPECT_EQ(touch({240, 160}), nullptr);   // the intro has no control: the touch goes to its view

    EXPECT_TRUE(intro().getFlagStopLoopAnimation());
    EXPECT_EQ(intro().view()->superview(), nullptr);
    EXPECT_EQ(stack(), std::vector<View*>{menu().view()});
    EXPECT_DOUBLE_EQ(menu().view()->alpha(), 1.0);
    EXPECT_FALSE(prompt->layer().hasAnimations());

    // The fade-in's end, if still due, finds the flag and starts nothing.
    env.advance(1.0);
    EXPECT_FALSE(prompt->layer().hasAnimations());
    EXPECT_EQ(stack(), std::vector<View*>{menu().view()});

    platform::ScrollView* strip = menu().getMenuScrolView();
    ASSERT_NE(strip, nullptr);
    std::vector<double> xs;
    for (const auto& page : strip->subviews())
        if (page->tag() > 0) xs.push_back(page->frame().origin.x);
    EXPECT_EQ(xs, (std::vector<double>{63, 543, 1023, 1503, 1983, 2463}));
    EXPECT_DOUBLE_EQ(strip->contentSize().width, 2880);
    EXPECT_DOUBLE_EQ(strip->contentSize().height, strip->bounds().size.height);
}

INSTANTIATE_TEST_SUITE_P(DuringFadeInAndWhilePulsing, IntroDismissal, ::testing::Values(0.03, 2.2));

TEST(IntroViewController, EachTouchPathCallsTheRootOnceAndNeverPulsesAfterwards) {
    platform::headless::Environment env;
    registerApplicationClasses();
    for (double touchAt : {0.0, 0.05, 5.0}) {
        RecordingRoot parent;
        auto root = std::make_shared<View>(platform::Rect(0, 0, 480, 320));
        IntroViewController intro;
        intro.setIdParentController(&parent);
        root->addSubview(intro.viewShared());
        env.advance(touchAt);
        intro.touchesBegan();
        EXPECT_EQ(parent.toIntro, 1) << touchAt;
        EXPECT_TRUE(root->subviews().empty()) << touchAt;
        env.advance(10.0);
        EXPECT_FALSE(intro.getIvContinue()->layer().hasAnimations()) << touchAt;
        EXPECT_EQ(parent.toIntro, 1) << touchAt;
    }
}

}  // namespace
}  // namespace plumbrick::test
