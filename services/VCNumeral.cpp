#include "services/VCNumeral.h"

#include <cstdint>
#include <cstdio>

namespace plumbrick {

VCNumeral::VCNumeral(platform::View& view) {
    num = 0;
    for (int i = 0; i < 4; ++i) viewImage[i] = view.viewWithTagAs<platform::ImageView>(kBaseTag + i);
    for (int d = 0; d < 10; ++d) {
        char name[32];
        std::snprintf(name, sizeof name, "yolkfall_07_0%d.png", d);
        image[d] = platform::Image::imageNamed(name);
    }
}

void VCNumeral::setNum(int value) {
    if (std::uint32_t(value) > 9999u) return;
    num = value;
    for (int i = 0; i < 4; ++i) {
        const int d = value % 10;
        digits[i] = d;
        if (viewImage[i]) viewImage[i]->setImage(image[d]);
        value /= 10;
    }
}

void VCNumeral::showAll() {
    for (auto* v : viewImage)
        if (v) v->setHidden(false);
}

void VCNumeral::hiddenAll() {
    for (auto* v : viewImage)
        if (v) v->setHidden(true);
}

}   // namespace plumbrick
