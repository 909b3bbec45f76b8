// Change tracking: views report to their window the areas, in the window's points, that they covered before
// a change and cover after it, as they are drawn (transforms about the centre, scroll views clipping);
// nothing is reported for what changes nothing on screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/View.h"
#include "platform/headless/Headless.h"

using namespace platform;
using platform::headless::Environment;

namespace {

class ChangesTest : public ::testing::Test {
protected:
    void SetUp() override {
        window->addSubview(panel);
        panel->addSubview(segment);
        segment->setHidden(true);
        window->takeChanges();
    }
    Environment env;
    std::shared_ptr<Window> window = std::make_shared<Window>();
    std::shared_ptr<View> panel = std::make_shared<View>(Rect(10, 20, 200, 100));
    std::shared_ptr<ImageView> segment = std::make_shared<ImageView>(Rect(5, 5, 10, 10));
};

using Areas = std::vector<Rect>;

TEST_F(ChangesTest, ShowingASegmentReportsItsAreaInWindowPoints) {
    segment->setHidden(false);
    EXPECT_EQ(window->takeChanges(), (Areas{{15, 25, 10, 10}}));
    EXPECT_EQ(window->takeChanges(), Areas{}) << "reported once";
}

TEST_F(ChangesTest, ASegmentShownAndHiddenAgainBeforeTheFrameChangesNothing) {
    segment->setHidden(false);
    segment->setHidden(true);
    EXPECT_EQ(window->takeChanges(), Areas{});
}

TEST_F(ChangesTest, ASegmentHiddenBeforeTheFrameIsDrawnAwayEvenWhenItsParentIsHiddenOrTakenOutToo) {
    auto moving = std::make_shared<View>(Rect(300, 200, 50, 50));
    auto lit = std::make_shared<ImageView>(Rect(-100, 0, 10, 10));   // outside its parent's frame
    window->addSubview(moving);
    moving->addSubview(lit);
    window->takeChanges();
    lit->setHidden(true);
    moving->setHidden(true);
    EXPECT_EQ(window->takeChanges(), (Areas{{200, 200, 10, 10}, {300, 200, 50, 50}}));
    moving->setHidden(false);
    window->takeChanges();
    lit->setHidden(false);
    window->takeChanges();
    lit->setHidden(true);
    moving->removeFromSuperview();
    EXPECT_EQ(window->takeChanges(), (Areas{{200, 200, 150, 50}}));
}

TEST_F(ChangesTest, SettingTheValuesAViewAlreadyHasReportsNothing) {
    segment->setHidden(true);
    panel->setAlpha(1);
    panel->setFrame(panel->frame());
    panel->setTransform(AffineTransform::identity());
    panel->setBackgroundColor(Color::clear());
    segment->setImage(nullptr);
    EXPECT_FALSE(window->hasChanges());
    EXPECT_EQ(window->takeChanges(), Areas{});
}

TEST_F(ChangesTest, MovingAViewReportsWhereItWasAndWhereItIs) {
    segment->setHidden(false);
    window->takeChanges();
    segment->setFrame({100, 50, 10, 10});
    EXPECT_EQ(window->takeChanges(), (Areas{{15, 25, 10, 10}, {110, 70, 10, 10}}));
}

TEST_F(ChangesTest, AParentsChangeCoversItsShownSubviewsAsTransformedAboutItsCentre) {
    segment->setHidden(false);
    auto outside = std::make_shared<View>(Rect(-10, 0, 5, 5));   // subviews are not clipped to their parent
    panel->addSubview(outside);
    window->takeChanges();
    // About (110, 70): 200 x 100 becomes 100 x 50, then 200 points to the right.
    panel->setTransform({0.5, 0, 0, 0.5, 200, 0});
    EXPECT_EQ(window->takeChanges(), (Areas{{0, 20, 210, 100}, {255, 45, 105, 50}}));
}

TEST_F(ChangesTest, AScrollViewsOffsetReportsOnlyItsOwnFrame) {
    auto strip = std::make_shared<ScrollView>(Rect(0, 200, 100, 50));
    strip->setContentSize({600, 50});
    for (int page = 0; page < 6; ++page) strip->addSubview(std::make_shared<View>(Rect(page * 100, 0, 100, 50)));
    window->addSubview(strip);
    window->takeChanges();
    strip->setContentOffset({100, 0});
    EXPECT_EQ(window->takeChanges(), (Areas{{0, 200, 100, 50}}));
}

TEST_F(ChangesTest, AnAnimationReportsItsAreaWithEveryFrameUntilItEnds) {
    segment->setHidden(false);
    window->takeChanges();
    View::beginAnimations();
    View::setAnimationDuration(1.0);
    segment->setTransform(AffineTransform::makeTranslation(100, 0));
    View::commitAnimations();
    EXPECT_TRUE(View::hasAnimationChanges());
    window->takeChanges();
    env.advance(0.5);   // half way, eased: 50 points on
    EXPECT_EQ(window->takeChanges(), (Areas{{15, 25, 10, 10}, {65, 25, 10, 10}}));
    env.advance(0.6);   // ended: where it was last drawn, and where it rests
    EXPECT_EQ(window->takeChanges(), (Areas{{65, 25, 10, 10}, {115, 25, 10, 10}}));
    EXPECT_FALSE(View::hasAnimationChanges());
    env.advance(0.5);
    EXPECT_EQ(window->takeChanges(), Areas{});
}

TEST_F(ChangesTest, AViewTakenOutMidAnimationReportsWhereItsAnimationWasLastDrawn) {
    segment->setHidden(false);
    View::beginAnimations();
    View::setAnimationDuration(0.5);
    View::setAnimationRepeatAutoreverses(true);
    segment->setTransform(AffineTransform::makeTranslation(250, 0));
    View::commitAnimations();
    env.advance(0.5);
    window->takeChanges();   // drawn at the far end, right of the panel
    env.advance(0.4);        // on its way back, inside the panel
    panel->removeFromSuperview();
    Areas areas = window->takeChanges();
    EXPECT_NE(std::find(areas.begin(), areas.end(), Rect(265, 25, 10, 10)), areas.end());
    EXPECT_EQ(window->takeChanges(), Areas{});
}

TEST_F(ChangesTest, ManyChangesAreKeptAsAFewAreasThatCoverThemAll) {
    for (int i = 0; i < 100; ++i) window->invalidateRect({double(i * 4), double(i % 7) * 40, 3, 3});
    Areas areas = window->takeChanges();
    EXPECT_LE(areas.size(), 32u);
    for (int i = 0; i < 100; ++i) {
        Point p{i * 4 + 1.5, (i % 7) * 40 + 1.5};
        EXPECT_TRUE(std::any_of(areas.begin(), areas.end(), [&](const Rect& r) { return r.contains(p); })) << i;
    }
}

}   // namespace
