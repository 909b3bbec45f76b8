// Rendering of SVG art masters into the PNG pictures the application loads.
//
// A face master draws a printed layer (id "printed") and one group per LCD segment (id "seg-<tag>") or other
// LCD sign (id "sign-<name>"). The renderer produces each part alone, cropped to its box, and the face background:
// the printed layer with every part as a faint ghost. All coordinates are SVG user units, which are points.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

typedef struct _RsvgHandle RsvgHandle;   // NOLINT(bugprone-reserved-identifier): as librsvg declares it

namespace artgen {

// Ink strength of an unlit segment on the face.
inline constexpr double kGhostAlpha = 0.07;
// Antialiasing may bleed this much alpha (of 255) past a part's box; more is ink outside the box.
inline constexpr uint32_t kStrayAlpha = 24;

struct Box {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const Box&) const = default;
};

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A cairo image surface with RAII.
class Surface {
public:
    Surface(int width, int height);
    explicit Surface(cairo_surface_t* adopted);
    Surface(Surface&& other) noexcept;
    Surface& operator=(Surface&& other) noexcept;
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    ~Surface();

    static Surface readPng(const std::string& path);
    void writePng(const std::string& path) const;
    cairo_surface_t* get() const { return surface_; }
    int width() const;
    int height() const;
    // Premultiplied ARGB of one pixel.
    uint32_t pixel(int x, int y) const;

private:
    cairo_surface_t* surface_ = nullptr;
};

// One face of a master file. A master may draw several faces ("data-faces" on the root element); elements with
// class "t-<face>" belong to that face only and are hidden while another face is drawn.
class Master {
public:
    // face empty: the master's first face. keyNames false: the key names printed under the buttons (elements of
    // class "key-name") are left out, for a device that has no keyboard.
    Master(const std::string& path, const std::string& face = "", bool keyNames = true);
    // Whether the master prints key names at all.
    bool printsKeyNames() const;
    ~Master();
    Master(const Master&) = delete;
    Master& operator=(const Master&) = delete;

    const std::string& path() const { return path_; }
    const std::string& face() const { return face_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // Faces drawn by the master: the words of "data-faces", else the file name without extension.
    std::vector<std::string> faces() const;
    // Value of an attribute of the root <svg> element, empty when absent.
    std::string rootAttribute(const std::string& name) const;
    // Ids of all "seg-*" and "sign-*" groups in document order.
    const std::vector<std::string>& partIds() const { return parts_; }
    bool has(const std::string& id) const;
    // The box of a part, in whole points: the extent of its rect "box-<name>" if it has one; else the extent of the
    // group, grown to cover every pixel of ink it draws.
    Box box(const std::string& id) const;
    // Lit parts of the menu thumbnail: "data-thumb-<face>", else "data-thumb".
    std::vector<std::string> thumbParts() const;

    void renderLayer(cairo_t* cr, const std::string& id) const;
    void renderAll(cairo_t* cr) const;

private:
    std::string path_;
    std::string face_;
    std::string text_;
    std::vector<std::string> parts_;
    Box extent(const std::string& id) const;

    RsvgHandle* handle_ = nullptr;
    mutable std::map<std::string, Box> boxes_;
    int width_ = 0, height_ = 0;
};

// Tag of a "seg-<tag>" id, or -1.
int tagOf(const std::string& id);
// Picture name suffix of a part: "seg-502" -> "502", "sign-pause" -> "pause".
std::string partName(const std::string& id);
// Score digit places carry only a box: the digit pictures are separate.
bool isDigitPlace(const std::string& id);

// The whole picture at scale s.
Surface renderWhole(const Master& m, double s);
// A square icon of size pixels: the whole (square) picture scaled into the middle, with a margin of inset times
// the size on each side, over a background of the colour rgb (0xRRGGBB), or over nothing when rgb is negative.
Surface renderIcon(const Master& m, int size, double inset, long rgb);
// The printed layer with every part as a ghost.
Surface renderFace(const Master& m, double s);
// Bounds, in whole points, of the ink (alpha above kStrayAlpha) that a part draws at scale s within `around`
// grown by a margin of 8 points.
Box inkBounds(const Master& m, const std::string& id, const Box& around, double s);
// One part alone, cropped to its box. Throws if the part has ink outside its box.
Surface renderPart(const Master& m, const std::string& id, double s);
// Digit d (0-9) of a seven-segment master with groups seg-a ... seg-g: lit segments on ghosts of the others.
Surface renderDigit(const Master& digits, int d, double s);

// A face as it looks in play: background, the given parts lit, and, when digits is given, the score places
// showing number (four digits, leading zeros). segmentAlpha below 1 draws a paused face's dimmed segments.
Surface compose(const Master& m, const std::vector<std::string>& lit, double s, const Master* digits = nullptr,
                int number = 0, double segmentAlpha = 1.0);
// Menu thumbnail (354 x 242 points at scale s) of a composed face: scaled to the thumbnail's height, centred. The
// face is drawn at `supersample` times the thumbnail's pixels and shrunk, for smooth edges at small scales.
Surface thumbnail(const Master& m, const std::vector<std::string>& lit, double s, const Master* digits, int number,
                  double supersample = 2.0);

inline constexpr int kThumbWidth = 354;
inline constexpr int kThumbHeight = 242;

// How a built picture is drawn from its master, so that a program can draw it again at any scale. artgen writes
// one line per picture into "<outdir>/art/<master>.recipes" beside a copy of the master:
//   NAME KIND MASTER FACE PART DIGITS NUMBER        (separated by tabs; "-" for an empty field)
// KIND: whole (renderWhole), face (renderFace), part (renderPart of PART), digit (renderDigit of NUMBER),
// thumb (thumbnail with DIGITS showing NUMBER); whole-touch and face-touch: the same without the key names.
// MASTER and DIGITS are file names in the same folder.
struct Recipe {
    std::string name, kind, master, face, part, digits;
    int number = 0;
    bool operator==(const Recipe&) const = default;
};
std::string recipeLine(const Recipe& r);
// False when the line is not a recipe.
bool parseRecipe(const std::string& line, Recipe& r);
// Masters opened once each, from one folder.
class Masters {
public:
    explicit Masters(std::string folder) : folder_(std::move(folder)) {}
    const Master& get(const std::string& file, const std::string& face = "", bool keyNames = true);

private:
    std::string folder_;
    std::map<std::string, std::unique_ptr<Master>> open_;
};
// The picture of a recipe at scale s. Throws Error when a master is missing or broken.
Surface render(const Recipe& r, double s, Masters& masters);

// The master file in dir that draws face, or empty.
std::string findMaster(const std::string& dir, const std::string& face);

// Rewrites, in the text of a layout whose views sit one per line, the frame of every view whose picture is one of
// the face's parts ("<face>_<name>.png") and of every score digit place (tags 1000-1003). Returns the new text
// and counts the frames that changed.
std::string syncLayoutText(const std::string& text, const Master& m, int* changed);

}   // namespace artgen
