// Fonts in the browser: there is no fontconfig, so the label font travels in the page's data package,
// in the resources' fonts/ folder (Liberation Sans, the metric twin of the platform's Helvetica).

#include "platform/Bundle.h"
#include "platform/sdl/Fonts.h"

namespace platform::sdl {

FontFile findFontFile(const std::string& name) {
    bool bold = name.find("Bold") != std::string::npos;
    bool slanted = name.find("Oblique") != std::string::npos || name.find("Italic") != std::string::npos;
    std::string face = bold && slanted ? "BoldItalic" : bold ? "Bold" : slanted ? "Italic" : "Regular";
    std::string path = Bundle::mainBundle().pathForResource("LiberationSans-" + face, "ttf");
    if (path.empty()) path = Bundle::mainBundle().pathForResource("LiberationSans-Regular", "ttf");
    return {path, 0};
}

}   // namespace platform::sdl
