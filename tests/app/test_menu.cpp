// The main menu: its pages, its information controls, information pages and the more-games control.

#include "AppFixture.h"

#include "platform/Image.h"
#include "platform/Notification.h"

namespace plumbrick::test {
namespace {

using platform::Control;
using platform::ImageView;
using platform::View;

// The information control of the layout with that tag (tags 1 to 6).
Control* infoControl(MainMenuViewController& menu, int tag) {
    for (const auto& v : menu.view()->subviews())
        if (auto* c = dynamic_cast<Control*>(v.get()); c && c->tag() == tag) return c;
    return nullptr;
}

TEST_F(AppTest, MenuPagesCarryTheirSlotAndPicture) {
    dismissIntro();
    platform::ScrollView* strip = menu().getMenuScrolView();
    EXPECT_TRUE(strip->isScrollEnabled());
    EXPECT_TRUE(strip->isPagingEnabled());
    ASSERT_EQ(strip->subviews().size(), 6u);
    for (int i = 1; i <= 6; ++i) {
        View& page = *strip->subviews()[i - 1];
        EXPECT_EQ(page.tag(), i);
        EXPECT_EQ(page.frame().size, (platform::Size{379, 267}));
        ASSERT_EQ(page.subviews().size(), 1u);
        auto* control = dynamic_cast<Control*>(page.subviews()[0].get());
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->tag(), i);
        EXPECT_EQ(control->frame(), platform::Rect(0, 0, 354, 242));
        ASSERT_EQ(control->subviews().size(), 1u);
        auto* picture = dynamic_cast<ImageView*>(control->subviews()[0].get());
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->tag(), i);
        EXPECT_EQ(picture->frame(), platform::Rect(0, 0, 354, 242));
        ASSERT_NE(picture->image(), nullptr) << i;
        EXPECT_EQ(picture->image()->name(), "menu_0" + std::to_string(i) + ".png");
    }
}

TEST_F(AppTest, TouchingAPageAsksForItsSlotAndOtherSendersAreIgnored) {
    dismissIntro();
    RecordingRoot parent;
    menu().setIdParentController(&parent);
    platform::ScrollView* strip = menu().getMenuScrolView();

    // Page 3 scrolled into view, then a finger on its picture.
    strip->setContentOffset({960, 0});
    Control* hit = touch({240, 150});
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->tag(), 3);
    // A touch-down alone selects nothing.
    touch({240, 150}, false);
    EXPECT_EQ(parent.gameFromMenu, std::vector<int>{3});

    View plain;
    plain.setTag(4);
    menu().eventSelectGame(&plain);
    menu().eventSelectGameInfo(&plain);
    menu().eventSelectGame(nullptr);
    EXPECT_EQ(parent.gameFromMenu, std::vector<int>{3});
    EXPECT_TRUE(parent.infoFromMenu.empty());
}

TEST_F(AppTest, PositivelyTaggedSubviewsOfTheStripAreLaidOutAsPages) {
    dismissIntro();
    platform::ScrollView* strip = menu().getMenuScrolView();
    auto extra = std::make_shared<View>(platform::Rect(5, 7, 100, 100));
    extra->setTag(9);
    auto untagged = std::make_shared<View>(platform::Rect(5, 7, 100, 100));
    strip->addSubview(extra);
    strip->addSubview(untagged);

    menu().initMenuWithImages();   // six more pages after the two views
    EXPECT_EQ(extra->frame().origin, (platform::Point{63 + 6 * 480, 0}));
    EXPECT_EQ(untagged->frame().origin, (platform::Point{5, 7}));
    EXPECT_EQ(strip->subviews().back()->frame().origin.x, 63 + 12 * 480);
    EXPECT_DOUBLE_EQ(strip->contentSize().width, 13 * 480);
}

TEST_F(AppTest, InformationControlsLogAndOpenTheirPage) {
    dismissIntro();
    RecordingRoot parent;
    menu().setIdParentController(&parent);
    for (int tag = 1; tag <= 6; ++tag) {
        Control* control = infoControl(menu(), tag);
        ASSERT_NE(control, nullptr) << tag;
        platform::Rect f = control->frame();
        EXPECT_EQ(touch({f.midX(), f.midY()}), control);
    }
    EXPECT_EQ(parent.infoFromMenu, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(env.logContains("info 2"));
}

TEST_F(AppTest, InformationPagesStackAndEachGoesWithItsOwnTouch) {
    dismissIntro();
    Control* info3 = infoControl(menu(), 3);
    ASSERT_NE(info3, nullptr);
    touch({info3->frame().midX(), info3->frame().midY()});

    ASSERT_EQ(rootView().subviews().size(), 2u);
    View* page3 = stack()[1];
    auto* picture3 = page3->viewWithTagAs<ImageView>(3);
    ASSERT_NE(dynamic_cast<Control*>(page3), nullptr);
    ASSERT_NE(picture3, nullptr);
    ASSERT_NE(picture3->image(), nullptr);
    EXPECT_EQ(picture3->image()->name(), "info_03.png");
    EXPECT_EQ(picture3->frame(), platform::Rect(0, 0, picture3->image()->size().width, picture3->image()->size().height));
    EXPECT_EQ(page3->frame(), picture3->frame());

    // A second page over the first; the info controls are covered now, so it is asked of the root.
    root->switchInfoFromMenu(12);
    ASSERT_EQ(rootView().subviews().size(), 3u);
    View* page12 = stack()[2];
    auto* picture12 = page12->viewWithTagAs<ImageView>(12);
    ASSERT_NE(picture12, nullptr);
    // There is no twelfth page: no picture and a zero frame, not reported.
    EXPECT_EQ(picture12->image(), nullptr);
    EXPECT_EQ(page12->frame(), platform::Rect(0, 0, 0, 0));

    // Touch-down is enough; each page goes with its own touch, the top one first.
    static_cast<Control*>(page12)->sendActionsForControlEvents(platform::ControlEventTouchDown);
    EXPECT_EQ(stack(), (std::vector<View*>{menu().view(), page3}));
    EXPECT_EQ(touch({10, 10}, false), page3);
    EXPECT_EQ(stack(), std::vector<View*>{menu().view()});
}

TEST_F(AppTest, MoreGamesTakesTheMenuOffAndEndsTheApplicationThroughTheStoreLink) {
    dismissIntro();
    std::vector<std::string> events;
    platform::NotificationCenter::defaultCenter().addObserver(
        this, platform::ApplicationWillTerminateNotification, [&](const std::string& name) {
            events.push_back(name + (menu().view()->superview() ? " menu on screen" : " menu off screen"));
        });

    Control* more = nullptr;
    for (const auto& v : menu().view()->subviews())
        if (auto* c = dynamic_cast<Control*>(v.get()); c && c->tag() == 0) more = c;
    ASSERT_NE(more, nullptr);
    EXPECT_EQ(touch({more->frame().midX(), more->frame().midY()}), more);

    EXPECT_EQ(menu().view()->superview(), nullptr);
    EXPECT_TRUE(rootView().subviews().empty());
    EXPECT_EQ(env.openedURLs(), std::vector<std::string>{kMoreGamesURL});
    EXPECT_EQ(std::string(kMoreGamesURL).rfind("https://example.com/", 0), 0u);
    EXPECT_EQ(events, std::vector<std::string>{std::string(platform::ApplicationWillTerminateNotification) +
                                               " menu off screen"});
    EXPECT_TRUE(app().isTerminating());
    EXPECT_TRUE(env.stopped());
    platform::NotificationCenter::defaultCenter().removeObserver(this);
}

}  // namespace
}  // namespace plumbrick::test
