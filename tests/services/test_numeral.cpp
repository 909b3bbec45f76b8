// The four-digit score display.

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/Bundle.h"
#include "platform/Image.h"
#include "platform/ImageView.h"
#include "platform/View.h"
#include "platform/headless/Headless.h"
#include "services/VCNumeral.h"

using namespace plumbrick;

namespace {

class Numeral : public ::testing::Test {
protected:
    platform::headless::Environment env;
    platform::View face;
    platform::ImageView* digit[4] = {};

    void SetUp() override {
        auto group = std::make_shared<platform::View>();   // the digits sit one level down, units first
        for (int i = 0; i < 4; ++i) {
            auto v = std::make_shared<platform::ImageView>(platform::Rect{90.0 - 30 * i, 0, 30, 40});
            v->setTag(1000 + i);
            group->addSubview(v);
            digit[i] = v.get();
        }
        face.addSubview(group);
    }
    // The digits shown, thousands first, read from the pictures' names ('?' for any other picture).
    std::string shown() const {
        std::string out;
        for (int i = 3; i >= 0; --i) {
            const auto& image = digit[i]->image();
            out += image && image->name().rfind("yolkfall_07_0", 0) == 0 ? image->name()[13] : '?';
        }
        return out;
    }
};

}   // namespace

TEST_F(Numeral, ShowsFourDigitsWithLeadingZerosAndRefusesValuesOutOfRange) {
    VCNumeral numeral(face);
    const std::pair<int, const char*> cases[] = {{42, "0042"},    {9999, "9999"}, {1037, "1037"},
                                                 {10000, "1037"}, {-1, "1037"},   {INT32_MIN, "1037"}};
    for (auto [value, digits] : cases) {
        numeral.setNum(value);
        EXPECT_EQ(shown(), digits) << value;
        EXPECT_EQ(numeral.getNum(), std::stoi(digits)) << value;
    }
}

TEST_F(Numeral, MissingPicturesAndDigitViewsAreHarmless) {
    auto& bundle = platform::Bundle::mainBundle();
    const std::string resources = bundle.resourcePath();
    bundle.setResourcePath(env.documents());   // no digit pictures here
    platform::Image::clearCache();
    VCNumeral numeral(face);
    numeral.setNum(58);
    bundle.setResourcePath(resources);
    platform::Image::clearCache();
    EXPECT_EQ(numeral.getNum(), 58);
    EXPECT_EQ(numeral.shownDigit(1), 5) << "it still records what it set";
    EXPECT_EQ(digit[0]->image(), nullptr);
    platform::View bare;   // and a face without digit views
    VCNumeral headless(bare);
    headless.setNum(7);
    EXPECT_EQ(headless.getNum(), 7);
}
