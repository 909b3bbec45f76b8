#pragma once
// The four-digit LCD score: digit views with tags 1000 (units) to 1003 (thousands) in the game view,
// each showing one of the pictures "yolkfall_07_00.png" ... "yolkfall_07_09.png". Leading zeros show.

#include <memory>

#include "platform/Image.h"
#include "platform/ImageView.h"
#include "platform/View.h"

namespace plumbrick {

class VCNumeral {
public:
    // Takes the digit views from `view` and loads the ten digit pictures. Changes no picture and no visibility.
    explicit VCNumeral(platform::View& view);

    // Shows value on the four digits. A value above 9999 or below 0 is refused: nothing changes.
    void setNum(int value);
    // The value shown (0 after construction).
    int getNum() const { return num; }

    // Makes the four digit views visible, units first.
    void showAll();
    // Hides the four digit views, units first.
    void hiddenAll();

    // The digit that setNum last put at index (0 units .. 3 thousands), or -1 before any setNum.
    // Kept beside the picture so that the value stays known when a picture is missing.
    int shownDigit(int index) const { return index >= 0 && index < 4 ? digits[index] : -1; }

    static constexpr int kBaseTag = 1000;

private:
    int num = 0;
    platform::ImageView* viewImage[4] = {};       // not owned: the game view's digit views
    std::shared_ptr<platform::Image> image[10];   // digit d's picture, or null when missing
    int digits[4] = {-1, -1, -1, -1};
};

}   // namespace plumbrick
