// The renderer on view trees built here: pictures, alpha down the tree, transforms about the centre,
// animations drawn from their presentation values, scroll-view clipping and offset, labels, table rows.

#include <gtest/gtest.h>

#include <memory>

#include "platform/TableView.h"
#include "platform/headless/Headless.h"
#include "platform/sdl/SurfaceCanvas.h"
#include "tests/sdl/TestSupport.h"

using namespace platform;
using platform::sdl::Rgba;
using platform::sdl::SurfaceCanvas;

namespace {

constexpr SDL_Color kRed{255, 0, 0, 255};
constexpr SDL_Color kBlue{0, 0, 255, 255};
constexpr SDL_Color kWhite{255, 255, 255, 255};

std::shared_ptr<Window> screen() { return std::make_shared<Window>(Rect(0, 0, 480, 320)); }

std::shared_ptr<ImageView> picture(const std::shared_ptr<Image>& image, Rect frame) {
    auto v = std::make_shared<ImageView>(image);
    v->setFrame(frame);
    return v;
}

}  // namespace

class RendererTest : public ::testing::Test {
protected:
    headless::Environment env;
    sdltest::Pictures pictures;
};

TEST_F(RendererTest, PicturesFillTheirFramesAndHiddenViewsAreNotDrawn) {
    auto root = screen();
    auto red = picture(pictures.solid("red", 10, 10, kRed), Rect(100, 50, 40, 20));   // stretched to the frame
    root->addSubview(red);
    SurfaceCanvas canvas(2);
    canvas.render(*root);
    EXPECT_EQ(canvas.pixelAtPoint(100, 50), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(canvas.pixelAtPoint(139.9, 69.9), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(canvas.pixel(199, 99), (Rgba{0, 0, 0, 255})) << "just left of the frame";
    EXPECT_EQ(canvas.pixel(280, 100), (Rgba{0, 0, 0, 255})) << "just right of the frame";

    red->setHidden(true);
    canvas.render(*root);
    EXPECT_EQ(canvas.pixelAtPoint(120, 60), (Rgba{0, 0, 0, 255}));

    // A hidden parent hides its whole subtree.
    red->setHidden(false);
    auto holder = std::make_shared<View>(Rect(0, 0, 480, 320));
    holder->addSubview(red);
    root->addSubview(holder);
    holder->setHidden(true);
    canvas.render(*root);
    EXPECT_EQ(canvas.pixelAtPoint(120, 60), (Rgba{0, 0, 0, 255}));
}

TEST_F(RendererTest, TwiceSizedPicturesAreUsedAtScaleTwoOnly) {
    auto root = screen();
    root->addSubview(picture(pictures.solid("both", 20, 20, kRed, &kBlue), Rect(0, 0, 20, 20)));
    SurfaceCanvas two(2), one(1);
    two.render(*root);
    one.render(*root);
    EXPECT_EQ(two.pixelAtPoint(10, 10), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(one.pixelAtPoint(10, 10), (Rgba{255, 0, 0, 255}));
    // Decoded once, then kept.
    two.render(*root);
    EXPECT_EQ(two.renderer().cachedPictures(), 1u);
}

TEST_F(RendererTest, AlphaIsMultipliedDownTheTree) {
    auto root = screen();
    auto outer = std::make_shared<View>(Rect(0, 0, 480, 320));
    auto inner = std::make_shared<View>(Rect(0, 0, 480, 320));
    auto white = picture(pictures.solid("white", 8, 8, kWhite), Rect(10, 10, 40, 40));
    inner->addSubview(white);
    outer->addSubview(inner);
    root->addSubview(outer);
    outer->setAlpha(0.5);
    inner->setAlpha(0.5);
    SurfaceCanvas canvas(2);
    canvas.render(*root);
    EXPECT_NEAR(canvas.pixelAtPoint(30, 30).r, 64, 2);   // 255 * 0.25 over black

    inner->setAlpha(0);
    canvas.render(*root);
    EXPECT_EQ(canvas.pixelAtPoint(30, 30).r, 0);
}

TEST_F(RendererTest, TransformsApplyAboutTheCentreOfTheView) {
    auto root = screen();
    auto red = picture(pictures.solid("red", 4, 4, kRed), Rect(100, 100, 100, 100));
    root->addSubview(red);
    SurfaceCanvas canvas(1);

    red->setTransform(AffineTransform::makeScale(0.5, 0.5));   // 125..175 in both directions
    canvas.render(*root);
    EXPECT_EQ(canvas.pixel(150, 150).r, 255);
    EXPECT_EQ(canvas.pixel(126, 126).r, 255);
    EXPECT_EQ(canvas.pixel(123, 150).r, 0);
    EXPECT_EQ(canvas.pixel(176, 150).r, 0);

    red->setTransform(AffineTransform::makeTranslation(0, -30));   // 100..200 x, 70..170 y
    canvas.render(*root);
    EXPECT_EQ(canvas.pixel(150, 71).r, 255);
    EXPECT_EQ(canvas.pixel(150, 171).r, 0);

    // A parent's transform carries its children: a child at the parent's centre stays there when scaled.
    auto parent = std::make_shared<View>(Rect(0, 0, 480, 320));
    auto dot = picture(pictures.solid("dot", 4, 4, kBlue), Rect(230, 150, 20, 20));
    parent->addSubview(dot);
    root->addSubview(parent);
    parent->setTransform(AffineTransform::identity().scaled(0.7, 0.7));
    canvas.render(*root);
    EXPECT_EQ(canvas.pixel(240, 160).b, 255);
    EXPECT_EQ(canvas.pixel(232, 160).b, 0) << "20 points shrink to 14 about the screen's centre";
}

TEST_F(RendererTest, RunningAnimationsAreDrawnFromTheirPresentationValues) {
    auto root = screen();
    auto white = picture(pictures.solid("white", 8, 8, kWhite), Rect(0, 0, 100, 100));
    root->addSubview(white);
    white->setAlpha(0);
    View::beginAnimations();
    View::setAnimationDuration(1.0);
    white->setAlpha(1);
    View::commitAnimations();

    SurfaceCanvas canvas(1);
    canvas.render(*root);
    EXPECT_EQ(canvas.pixel(50, 50).r, 0) << "the model is 1 at once, the picture starts at 0";
    env.advance(0.5);
    canvas.render(*root);
    int middle = canvas.pixel(50, 50).r;
    EXPECT_GT(middle, 40);
    EXPECT_LT(middle, 215);
    env.advance(0.6);
    canvas.render(*root);
    EXPECT_EQ(canvas.pixel(50, 50).r, 255);
}

TEST_F(RendererTest, ScrollViewsShiftAndClipTheirContent) {
    auto root = screen();
    auto strip = std::make_shared<ScrollView>(Rect(100, 100, 100, 50));
    strip->setContentSize({300, 50});
    strip->addSubview(picture(pictures.solid("red", 4, 4, kRed), Rect(0, 0, 100, 50)));
    strip->addSubview(picture(pictures.solid("blue", 4, 4, kBlue), Rect(100, 0, 100, 50)));
    root->addSubview(strip);
    SurfaceCanvas canvas(1);
    canvas.render(*root);
    EXPECT_EQ(canvas.pixel(150, 125), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(canvas.pixel(250, 125), (Rgba{0, 0, 0, 255})) << "the second page lies outside: clipped";

    strip->setContentOffset({100, 0});
    canvas.render(*root);
    EXPECT_EQ(canvas.pixel(150, 125), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(canvas.pixel(50, 125), (Rgba{0, 0, 0, 255})) << "the first page, now left of the strip: clipped";
}

TEST_F(RendererTest, LabelsDrawTheirTextInsideTheirFrameWithAlignment) {
    auto root = screen();
    root->setBackgroundColor(Color::white());
    auto label = std::make_shared<Label>(Rect(20, 20, 200, 30));
    label->setText("8888");
    label->setFont({"Helvetica", 20});
    root->addSubview(label);
    SurfaceCanvas canvas(2);

    auto darkColumns = [&](int fromPoint, int toPoint) {
        int count = 0;
        for (int x = fromPoint * 2; x < toPoint * 2; ++x)
            for (int y = 40; y < 100; ++y)
                if (canvas.pixel(x, y).luminance() < 100) { ++count; break; }
        return count;
    };
    canvas.render(*root);
    EXPECT_GT(darkColumns(20, 80), 20) << "left-aligned text starts at the left edge";
    EXPECT_EQ(darkColumns(160, 220), 0);

    label->setTextAlignment(TextAlignmentRight);
    canvas.render(*root);
    EXPECT_EQ(darkColumns(20, 80), 0);
    EXPECT_GT(darkColumns(160, 220), 20);

    label->setHidden(true);
    canvas.render(*root);
    EXPECT_EQ(darkColumns(0, 240), 0);
}

namespace {
class Rows : public TableViewDataSource, public TableViewDelegate {
public:
    int numberOfRowsInSection(TableView&, int) override { return 3; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& table, IndexPath path) override {
        auto cell = table.dequeueReusableCellWithIdentifier("row");
        if (!cell) cell = std::make_shared<TableViewCell>(Rect(0, 0, 200, 25), "row");
        cell->setBackgroundColor(path.row == 1 ? Color{0, 0, 1, 1} : Color{0, 1, 0, 1});
        return cell;
    }
    double heightForRowAtIndexPath(TableView&, IndexPath) override { return 25; }
};
}  // namespace

TEST_F(RendererTest, TableRowsAreDrawnInOrderInsideTheTable) {
    auto root = screen();
    auto table = std::make_shared<TableView>(Rect(100, 100, 200, 60));   // room for two rows and a bit
    Rows rows;
    table->setDataSource(&rows);
    table->setDelegate(&rows);
    root->addSubview(table);
    table->reloadData();
    SurfaceCanvas canvas(1);
    canvas.render(*root);
    EXPECT_EQ(canvas.pixel(150, 110).g, 255);   // row 0
    EXPECT_EQ(canvas.pixel(150, 135).b, 255);   // row 1
    EXPECT_EQ(canvas.pixel(150, 155).g, 255);   // row 2, its top part
    EXPECT_EQ(canvas.pixel(150, 165), (Rgba{0, 0, 0, 255})) << "the rest of row 2 is clipped";
}
