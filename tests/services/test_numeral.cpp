// The four-digit score display.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "TestResources.h"
#include "platform/View.h"
#include "platform/headless/Headless.h"
#include "services/VCNumeral.h"

using namespace plumbrick;

namespace {

class Numeral : public ::testing::Test {
protected:
    platform::headless::Environment env;
    testsupport::TestResources resources{env.documents()};
    std::shared_ptr<platform::View> face = std::make_shared<platform::View>(platform::Rect{0, 0, 480, 320});
    platform::ImageView* digit[4] = {};
    std::shared_ptr<platform::Image> layoutPicture;

    void SetUp() override {
        for (int d = 0; d < 10; ++d) {
            char name[32];
            std::snprintf(name, sizeof name, "yolkfall_07_0%d.png", d);
            resources.addPng(name);
        }
        resources.addPng("face_digit.png");
        layoutPicture = platform::Image::imageNamed("face_digit.png");
        auto group = std::make_shared<platform::View>(platform::Rect{300, 10, 120, 40});
        for (int i = 0; i < 4; ++i) {
            auto v = std::make_shared<platform::ImageView>(platform::Rect{90.0 - 30 * i, 0, 30, 40});
            v->setTag(1000 + i);
            v->setImage(layoutPicture);
            digit[i] = v.get();
            group->addSubview(v);
        }
        face->addSubview(group);
    }

    // The digits shown, thousands first, read from the pictures' names.
    std::string shown() const {
        std::string out;
        for (int i = 3; i >= 0; --i) {
            const auto& image = digit[i]->image();
            if (!image) return "missing picture at " + std::to_string(i);
            const std::string& n = image->name();
            if (n.rfind("yolkfall_07_0", 0) != 0) return "layout picture at " + std::to_string(i);
            out += n[13];
        }
        return out;
    }
};

}  // namespace

TEST_F(Numeral, ConstructingChangesNothing) {
    digit[2]->setHidden(true);
    VCNumeral numeral(*face);
    EXPECT_EQ(numeral.getNum(), 0);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(digit[i]->image(), layoutPicture);
        EXPECT_EQ(numeral.shownDigit(i), -1);
    }
    EXPECT_TRUE(digit[2]->isHidden());
    EXPECT_FALSE(digit[0]->isHidden());
}

TEST_F(Numeral, ShowsEveryDigitWithLeadingZeros) {
    VCNumeral numeral(*face);
    numeral.setNum(42);
    EXPECT_EQ(shown(), "0042");
    EXPECT_EQ(numeral.getNum(), 42);
    numeral.setNum(0);
    EXPECT_EQ(shown(), "0000");
    numeral.setNum(9999);
    EXPECT_EQ(shown(), "9999");
    numeral.setNum(1037);
    EXPECT_EQ(shown(), "1037");
    EXPECT_EQ(numeral.shownDigit(0), 7);
    EXPECT_EQ(numeral.shownDigit(3), 1);
    EXPECT_EQ(digit[1]->image(), platform::Image::imageNamed("yolkfall_07_03.png"));
}

TEST_F(Numeral, RefusesValuesOutOfRange) {
    VCNumeral numeral(*face);
    numeral.setNum(815);
    for (int bad : {10000, -1, -9999, 2147483647, int(0x80000000u)}) {
        numeral.setNum(bad);
        EXPECT_EQ(numeral.getNum(), 815) << bad;
        EXPECT_EQ(shown(), "0815") << bad;
    }
}

TEST_F(Numeral, VisibilityIsSeparateFromTheValue) {
    VCNumeral numeral(*face);
    numeral.hiddenAll();
    numeral.setNum(321);
    for (auto* d : digit) EXPECT_TRUE(d->isHidden());
    EXPECT_EQ(shown(), "0321");
    numeral.showAll();
    for (auto* d : digit) EXPECT_FALSE(d->isHidden());
    EXPECT_EQ(shown(), "0321");
}

TEST_F(Numeral, MissingPicturesAndDigitViewsAreHarmless) {
    testsupport::TestResources empty{env.documents() + "/empty"};   // no digit pictures here
    VCNumeral numeral(*face);
    numeral.setNum(58);
    EXPECT_EQ(numeral.getNum(), 58);
    EXPECT_EQ(numeral.shownDigit(0), 8);
    EXPECT_EQ(numeral.shownDigit(1), 5);
    EXPECT_EQ(numeral.shownDigit(2), 0);
    EXPECT_EQ(digit[0]->image(), nullptr);

    platform::View bare;
    VCNumeral headless(bare);
    headless.setNum(7);
    headless.showAll();
    headless.hiddenAll();
    EXPECT_EQ(headless.getNum(), 7);
}
