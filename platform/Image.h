#pragma once
// Named pictures from the resources. Only the size is read here (from the PNG header); the desktop
// backend decodes pixels itself through SDL2_image.

#include <memory>
#include <string>

#include "platform/Geometry.h"

namespace platform {

class Image {
public:
    // The picture resource of that name ("menu_01.png"), or null when it is missing or not a PNG.
    // Pictures are cached: the same name gives the same object.
    static std::shared_ptr<Image> imageNamed(const std::string& name);
    static void clearCache();

    const std::string& name() const { return name_; }
    const std::string& path() const { return path_; }       // the 1x file
    const std::string& path2x() const { return path2x_; }   // the @2x file, or empty
    Size size() const { return size_; }                     // in points
    // A picture of LCD ink: a segment or sign of a game face ("<face>_<part>.png" beside "<face>_face.png"),
    // or a score digit drawn on one. The desktop draws it with its shadow on the panel behind the glass.
    bool isLcdInk() const { return lcdInk_; }
    // The same picture without the key names printed under its buttons ("x_touch.png" beside "x.png"), for a
    // device that has shown no keyboard; empty names when there is none.
    const std::string& touchName() const { return touchName_; }
    const std::string& touchPath() const { return touchPath_; }
    const std::string& touchPath2x() const { return touchPath2x_; }
    void setTouchVariant(std::string name, std::string path, std::string path2x) {
        touchName_ = std::move(name);
        touchPath_ = std::move(path);
        touchPath2x_ = std::move(path2x);
    }

    Image(std::string name, std::string path, std::string path2x, Size size, bool lcdInk = false)
        : name_(std::move(name)), path_(std::move(path)), path2x_(std::move(path2x)), size_(size), lcdInk_(lcdInk) {}

private:
    std::string name_, path_, path2x_;
    Size size_;
    bool lcdInk_ = false;
    std::string touchName_, touchPath_, touchPath2x_;
};

// Reads width and height from a PNG file's header; false when the file is not a PNG.
bool readPngSize(const std::string& path, int& width, int& height);

}   // namespace platform
