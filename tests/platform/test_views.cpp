// Named images, and change tracking in the cases where a frame drawn in parts would still match a
// whole one: changes that undo themselves or change nothing report nothing, a segment hidden with its parent or
// taken out mid-animation is drawn away where it was last drawn, and many changes are kept as a few areas.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/Image.h"
#include "platform/View.h"
#include "platform/headless/Headless.h"
#include "test_support.h"

using namespace platform;
using platform::headless::Environment;

namespace {

TEST(ImageTest, SizesComeFromPngHeadersAndAMissingOrBrokenImageIsNull) {
    Environment env;
    testsupport::TempResources res(env.documents());
    res.png("menu_01.png", 354, 242);
    res.png("big@2x.png", 100, 60);   // only the 2x file: half its pixels
    res.write("broken.png", "not a picture at all, just words");
    res.write("short.png", std::string("\x89PNG\r\n\x1a\n", 8));
    auto image = Image::imageNamed("menu_01.png");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->size(), (Size{354, 242}));
    EXPECT_EQ(Image::imageNamed("big.png")->size(), (Size{50, 30}));
    for (const char* bad : {"missing.png", "broken.png", "short.png", ""})
        EXPECT_EQ(Image::imageNamed(bad), nullptr) << bad;
    EXPECT_EQ(ImageView(image).frame(), Rect(0, 0, 354, 242));
}

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
