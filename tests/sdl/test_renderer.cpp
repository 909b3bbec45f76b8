// The renderer on trees built here: alpha down the tree, hidden subtrees, animations as they run, @2x pictures,
// transforms about the centre, scroll-view and table clipping, the shadow of LCD ink; the system notice over the
// desktop window.

#include <SDL_image.h>

#include "input_fixture.h"
#include "platform/ImageView.h"
#include "platform/Notice.h"
#include "platform/TableView.h"
#include "platform/Window.h"
#include "platform/sdl/Renderer.h"
#include "platform/sdl/SurfaceCanvas.h"

using namespace platform;
using namespace platform::sdl;

namespace {
constexpr Rgba kBlack{0, 0, 0, 255}, kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255};

struct Rows : TableViewDataSource {
    int numberOfRowsInSection(TableView&, int) override { return 3; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView&, IndexPath path) override {
        auto cell = std::make_shared<TableViewCell>(Rect(0, 0, 100, 44), "row");
        cell->setBackgroundColor(path.row == 1 ? Color{0, 0, 1, 1} : Color{0, 1, 0, 1});
        return cell;
    }
};
}   // namespace

class RendererTest : public InputFixture {
protected:
    // In `in` or `screen`: a picture of `color` (a @2x file of `color2x` when given), or else a plain view.
    std::shared_ptr<View> add(Rect frame, const Rgba* color = nullptr, View* in = nullptr,
                              const Rgba* color2x = nullptr) {
        std::shared_ptr<View> v = std::make_shared<View>();
        if (color) {
            std::string path = driver.env().documents() + "/p" + std::to_string(++made);
            for (auto [c, suffix, size] : {std::tuple{color, ".png", 8}, {color2x, "@2x.png", 16}}) {
                SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, size, size, 32, SDL_PIXELFORMAT_ARGB8888);
                SDL_FillRect(s, nullptr, c ? SDL_MapRGBA(s->format, c->r, c->g, c->b, c->a) : 0);
                IMG_SavePNG(s, (path + suffix).c_str());
                SDL_FreeSurface(s);
            }
            v = std::make_shared<ImageView>(
                std::make_shared<Image>(path, path + ".png", color2x ? path + "@2x.png" : "", Size{8, 8}));
        }
        v->setFrame(frame);
        (in ? in : screen.get())->addSubview(v);
        return v;
    }
    // A square of LCD ink on a panel: the picture as the faces' segments are (opaque ink, transparent around it).
    std::shared_ptr<View> ink(Rect frame, bool lcdInk = true) {
        auto panel = add(Rect(0, 0, 480, 320));
        panel->setBackgroundColor({kPanel.r / 255.0, kPanel.g / 255.0, kPanel.b / 255.0, 1});
        auto v = add(frame, &kInk, nullptr, &kInk);
        auto* iv = static_cast<ImageView*>(v.get());
        const Image& i = *iv->image();
        iv->setImage(std::make_shared<Image>(i.name(), i.path(), i.path2x(), i.size(), lcdInk));
        return v;
    }
    // How much darker than the panel a pixel is, as a share of the ink's darkness.
    double darkening(int x, int y) {
        canvas.render(*screen);
        return (kPanel.g - canvas.pixel(x, y).g) / double(kPanel.g - kInk.g);
    }
    static constexpr Rgba kPanel{0xcd, 0xd2, 0xb6, 255}, kInk{0x1c, 0x21, 0x19, 255};
    Rgba at(double x, double y) {
        canvas.render(*screen);
        return canvas.pixelAtPoint(x, y);
    }
    // The darkness of the desktop window's pixels over a rectangle of points: 765 less the sum of the channels.
    long darkness(int x, int y, int w, int h) {
        std::vector<Uint32> pixels(std::size_t(4 * w * h));
        SDL_Rect r{2 * x, 2 * y, 2 * w, 2 * h};
        SDL_RenderReadPixels(SDL_GetRenderer(desktop.window()), &r, SDL_PIXELFORMAT_ARGB8888, pixels.data(), 8 * w);
        long sum = 0;
        for (Uint32 p : pixels) sum += 765 - int((p >> 16 & 255) + (p >> 8 & 255) + (p & 255));
        return sum;
    }
    std::shared_ptr<Window> screen = std::make_shared<Window>();
    SurfaceCanvas canvas{2};
    int made = 0;
};

TEST_F(RendererTest, AlphaMultipliesDownTheTreeHiddenSubtreesAreSkippedAndAnimationsAreDrawnAsTheyRun) {
    auto outer = add(Rect(0, 0, 480, 320)), inner = add(Rect(0, 0, 480, 320), nullptr, outer.get());
    add(Rect(100, 50, 40, 20), &kBlue, inner.get(), &kRed);
    SurfaceCanvas one(1);
    one.render(*screen);
    EXPECT_EQ(one.pixelAtPoint(139.9, 69.9), kBlue) << "the 1x picture at scale 1";
    EXPECT_EQ(at(139.9, 69.9), kRed) << "the @2x picture at scale 2";
    outer->setHidden(true);
    EXPECT_EQ(at(120, 60), kBlack) << "a hidden subtree is not drawn";
    outer->setHidden(false);
    outer->setAlpha(0.5);
    inner->setAlpha(0.5);
    EXPECT_NEAR(at(120, 60).r, 64, 2) << "alpha multiplies down the tree: 255 * 0.25 over black";

    inner->setAlpha(0);
    outer->setAlpha(1);
    Animation::start({.duration = 1.0}, [&] { inner->setAlpha(1); });
    EXPECT_EQ(at(120, 60).r, 0) << "an alpha animation at its start";
    driver.env().advance(0.5);
    EXPECT_NEAR(at(120, 60).r, 128, 88) << "an alpha animation in its middle";
    driver.env().advance(0.6);
    EXPECT_EQ(at(120, 60), kRed) << "an alpha animation at its end";
}

TEST_F(RendererTest, TransformsTurnAboutTheCentreAndScrollViewsAndTablesShiftAndClipTheirContent) {
    add(Rect(100, 100, 100, 100), &kRed)->setTransform({0.5, 0, 0, 0.5, 0, -30});   // 125..175 x, 95..145 y
    auto parent = add(Rect(0, 0, 480, 320));   // 20 points at the screen's centre shrink to 14 about it
    add(Rect(230, 150, 20, 20), &kBlue, parent.get());
    parent->setTransform(AffineTransform::makeScale(0.7, 0.7));
    auto strip = std::make_shared<ScrollView>(Rect(300, 20, 100, 50));
    strip->setContentSize({300, 50});
    screen->addSubview(strip);
    add(Rect(0, 0, 100, 50), &kRed, strip.get());
    add(Rect(100, 0, 100, 50), &kGreen, strip.get());
    auto table = std::make_shared<TableView>(Rect(300, 200, 100, 60));   // room for a row and a bit
    Rows rows;   // three rows of the default height (44 points): green, blue, green
    table->setDataSource(&rows);
    screen->addSubview(table);
    table->reloadData();
    const std::tuple<Point, Rgba, const char*> expected[] = {
        {{126, 96}, kRed, "scaled about its centre"},  {{124, 120}, kBlack, "scaled: not left"},
        {{176, 120}, kBlack, "scaled: not right"},     {{150, 146}, kBlack, "scaled: not below"},
        {{240, 160}, kBlue, "parent scaled, centred"}, {{232.5, 160}, kBlack, "parent's scale shrinks"},
        {{350, 45}, kRed, "scroll view's first page"}, {{410, 45}, kBlack, "scroll view clipped"},
        {{350, 220}, kGreen, "table's first row"},     {{350, 250}, kBlue, "table's second row"},
        {{350, 265}, kBlack, "table rows clipped"}};
    for (const auto& [p, want, fact] : expected) EXPECT_EQ(at(p.x, p.y), want) << fact << " at " << p.x << "," << p.y;
    strip->setContentOffset({100, 0});
    EXPECT_EQ(at(350, 45), kGreen) << "a scroll view shifts its content by its offset";
    EXPECT_EQ(at(290, 45), kBlack) << "the first page, now left of the strip: clipped";
}

// The ink covers pixels 200 to 215 across and 100 to 115 down at scale 2 (100, 50, 8 x 8 points).
TEST_F(RendererTest, LcdInkCastsASoftShadowDownAndToTheRightDimmedWithItAndNoneWhenHidden) {
    auto segment = ink(Rect(100, 50, 8, 8));
    const double beside = darkening(216, 108);
    EXPECT_GE(beside, 0.13) << "a pixel right of the ink: in its shadow, at about a fifth of the ink";
    EXPECT_LE(beside, 0.20) << "a pixel right of the ink: in its shadow, at about a fifth of the ink";
    EXPECT_NEAR(darkening(208, 116), beside, 0.01) << "below the ink as right of it";
    EXPECT_EQ(darkening(199, 108), 0) << "left of the ink: no shadow";
    EXPECT_EQ(darkening(208, 99), 0) << "above the ink: no shadow";
    const double fading = darkening(218, 108);
    EXPECT_GT(fading, 0.01) << "blurred: the shadow fades past its offset";
    EXPECT_LT(fading, beside / 2) << "blurred: the shadow fades past its offset";
    EXPECT_EQ(darkening(222, 108), 0) << "three points right of the ink: nothing";

    segment->setAlpha(0.7);
    EXPECT_NEAR(darkening(216, 108), 0.7 * beside, 0.015) << "a dimmed segment casts a dimmed shadow";
    segment->setAlpha(1);
    segment->setHidden(true);
    EXPECT_EQ(darkening(216, 108), 0) << "a hidden segment casts none";
    segment->setHidden(false);
    canvas.renderer().setShadows(false);
    EXPECT_EQ(darkening(216, 108), 0) << "shadows turned off";
}

TEST_F(RendererTest, WithoutAKeyboardTheFacesLeaveOutTheKeyNamesUntilTheFirstKeyPress) {
    openGame(1);
    desktop.drawFrame();   // "Q" is printed under its button at 34, 146
    const long named = darkness(34, 146, 12, 11), elsewhere = darkness(200, 150, 40, 40);
    desktop.renderer()->setKeyNames(false);
    desktop.invalidateAll();
    desktop.drawFrame();
    EXPECT_LT(darkness(34, 146, 12, 11), named - 2000) << "the key name is not printed";
    EXPECT_EQ(darkness(200, 150, 40, 40), elsewhere) << "the rest of the face is as it was";
    send(keyDown("q"));
    EXPECT_TRUE(desktop.renderer()->keyNames()) << "a key press shows a keyboard";
    desktop.drawFrame();
    EXPECT_EQ(darkness(34, 146, 12, 11), named) << "the key name is printed again";
}

TEST_F(RendererTest, ANoticeIsDrawnOverTheScreenUntilItExpiresAndAsksForTheFramesItNeeds) {
    openGame(1);
    auto strip = [this] { return darkness(240, 303, 1, 1); };   // the middle of the notice's strip
    desktop.drawFrame();
    const long plain = strip();
    ASSERT_FALSE(desktop.needsFrame()) << "nothing to draw before the notice";
    postNotice("Saving is not possible");
    EXPECT_TRUE(desktop.needsFrame()) << "a new notice asks for a frame";
    desktop.drawFrame();
    EXPECT_GT(strip(), plain + 400) << "the notice's dark strip is drawn over the screen";
    ASSERT_FALSE(desktop.needsFrame()) << "nothing more to draw while the notice shows";
    driver.env().advance(Notices::kDefaultSeconds);
    EXPECT_TRUE(desktop.needsFrame()) << "an expired notice asks for a frame";
    desktop.drawFrame();
    EXPECT_EQ(strip(), plain) << "after the notice the strip is drawn as before";
}
