#include "artgen.h"

#include <librsvg/rsvg.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace artgen {

namespace {

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error("cannot read " + path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> words(const std::string& s) {
    std::vector<std::string> out;
    std::istringstream in(s);
    std::string w;
    while (in >> w) out.push_back(w);
    return out;
}

std::string rootTag(const std::string& text) {
    auto start = text.find("<svg");
    if (start == std::string::npos) throw Error("no <svg> element");
    auto end = text.find('>', start);
    if (end == std::string::npos) throw Error("unterminated <svg> element");
    return text.substr(start, end - start);
}

std::string attributeIn(const std::string& tag, const std::string& name) {
    std::regex re("\\s" + name + "\\s*=\\s*\"([^\"]*)\"");
    std::smatch m;
    if (std::regex_search(tag, m, re)) return m[1];
    return {};
}

void check(GError* error, const std::string& what) {
    if (error) {
        std::string msg = what + ": " + error->message;
        g_error_free(error);
        throw Error(msg);
    }
}

struct Cairo {
    explicit Cairo(const Surface& s) : cr(cairo_create(s.get())) {}
    ~Cairo() { cairo_destroy(cr); }
    Cairo(const Cairo&) = delete;
    Cairo& operator=(const Cairo&) = delete;
    cairo_t* cr;
};

void paintGhosts(const Master& m, cairo_t* cr, const std::vector<std::string>& ids) {
    // All parts are drawn into one group at full ink and the group is laid down at ghost strength, so that parts
    // that overlap (poses of one figure) give one even ghost instead of darker overlaps.
    cairo_push_group(cr);
    for (const auto& id : ids) m.renderLayer(cr, id);
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, kGhostAlpha);
}

// Margin, in points, drawn around a part's box to find ink outside it.
constexpr int kMargin = 8;

}   // namespace

// ---- Surface ----

Surface::Surface(int width, int height) : surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)) {
    if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) throw Error("cannot make a surface");
}

Surface::Surface(cairo_surface_t* adopted) : surface_(adopted) {}

Surface::Surface(Surface&& other) noexcept : surface_(other.surface_) { other.surface_ = nullptr; }

Surface& Surface::operator=(Surface&& other) noexcept {
    std::swap(surface_, other.surface_);
    return *this;
}

Surface::~Surface() {
    if (surface_) cairo_surface_destroy(surface_);
}

Surface Surface::readPng(const std::string& path) {
    cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        throw Error("cannot read PNG " + path);
    }
    return Surface(s);
}

void Surface::writePng(const std::string& path) const {
    cairo_surface_flush(surface_);
    std::string tmp = path + ".tmp";
    if (cairo_surface_write_to_png(surface_, tmp.c_str()) != CAIRO_STATUS_SUCCESS) throw Error("cannot write " + path);
    std::filesystem::rename(tmp, path);
}

int Surface::width() const { return cairo_image_surface_get_width(surface_); }
int Surface::height() const { return cairo_image_surface_get_height(surface_); }

uint32_t Surface::pixel(int x, int y) const {
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    int stride = cairo_image_surface_get_stride(surface_);
    return *reinterpret_cast<const uint32_t*>(data + std::ptrdiff_t{y} * stride + std::ptrdiff_t{x} * 4);
}

// ---- Master ----

Master::Master(const std::string& path, const std::string& face, bool keyNames) : path_(path), text_(readText(path)) {
    std::vector<std::string> all = faces();
    face_ = face.empty() ? all.front() : face;
    if (std::find(all.begin(), all.end(), face_) == all.end()) throw Error(path + " does not draw face " + face_);

    std::regex idRe("id\\s*=\\s*\"((seg|sign)-[A-Za-z0-9_]+)\"");
    for (auto it = std::sregex_iterator(text_.begin(), text_.end(), idRe); it != std::sregex_iterator(); ++it) {
        std::string id = (*it)[1];
        if (std::find(parts_.begin(), parts_.end(), id) != parts_.end()) throw Error(path + ": id " + id + " twice");
        parts_.push_back(id);
    }

    GError* error = nullptr;
    handle_ = rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(text_.data()), text_.size(), &error);
    check(error, path);
    rsvg_handle_set_dpi(handle_, 72.0);
    std::string css = keyNames ? "" : ".key-name { display: none; }\n";
    if (all.size() > 1)
        for (const auto& f : all)
            if (f != face_) css += ".t-" + f + " { display: none; }\n";
    if (!css.empty()) {
        rsvg_handle_set_stylesheet(handle_, reinterpret_cast<const guint8*>(css.data()), css.size(), &error);
        check(error, path + " stylesheet");
    }
    gdouble w = 0, h = 0;
    if (!rsvg_handle_get_intrinsic_size_in_pixels(handle_, &w, &h)) throw Error(path + ": give width and height");
    width_ = static_cast<int>(std::lround(w));
    height_ = static_cast<int>(std::lround(h));
}

bool Master::printsKeyNames() const { return text_.find("\"key-name\"") != std::string::npos; }

Master::~Master() {
    if (handle_) g_object_unref(handle_);
}

std::vector<std::string> Master::faces() const {
    auto list = words(rootAttribute("data-faces"));
    if (list.empty()) list.push_back(std::filesystem::path(path_).stem().string());
    return list;
}

std::string Master::rootAttribute(const std::string& name) const { return attributeIn(rootTag(text_), name); }

bool Master::has(const std::string& id) const {
    if (std::find(parts_.begin(), parts_.end(), id) != parts_.end()) return true;
    return rsvg_handle_has_sub(handle_, ("#" + id).c_str());
}

Box Master::extent(const std::string& id) const {
    RsvgRectangle viewport{0, 0, static_cast<double>(width_), static_cast<double>(height_)};
    RsvgRectangle ink, logical;
    GError* error = nullptr;
    if (!rsvg_handle_get_geometry_for_layer(handle_, ("#" + id).c_str(), &viewport, &ink, &logical, &error)) {
        check(error, path_ + " #" + id);
        throw Error(path_ + ": no #" + id);
    }
    const double eps = 1e-6;
    int x0 = static_cast<int>(std::floor(ink.x + eps));
    int y0 = static_cast<int>(std::floor(ink.y + eps));
    int x1 = static_cast<int>(std::ceil(ink.x + ink.width - eps));
    int y1 = static_cast<int>(std::ceil(ink.y + ink.height - eps));
    return Box{x0, y0, x1 - x0, y1 - y0};
}

Box Master::box(const std::string& id) const {
    auto cached = boxes_.find(id);
    if (cached != boxes_.end()) return cached->second;
    Box b;
    std::string fixed = "box-" + partName(id);
    if (rsvg_handle_has_sub(handle_, ("#" + fixed).c_str())) {
        b = extent(fixed);
    } else {
        // The geometry extent may miss a little ink (miter joins, antialiasing): grow it to cover what is drawn.
        b = extent(id);
        Box ink = inkBounds(*this, id, b, 2.0);
        int x1 = std::max(b.x + b.w, ink.x + ink.w), y1 = std::max(b.y + b.h, ink.y + ink.h);
        b.x = std::min(b.x, ink.x);
        b.y = std::min(b.y, ink.y);
        b.w = x1 - b.x;
        b.h = y1 - b.y;
    }
    boxes_[id] = b;
    return b;
}

std::vector<std::string> Master::thumbParts() const {
    std::string list = rootAttribute("data-thumb-" + face_);
    if (list.empty()) list = rootAttribute("data-thumb");
    std::vector<std::string> out;
    for (const auto& w : words(list)) {
        std::string id = (w.find('-') == std::string::npos) ? "seg-" + w : w;
        if (!has(id)) throw Error(path_ + ": thumbnail names missing " + id);
        out.push_back(id);
    }
    return out;
}

void Master::renderLayer(cairo_t* cr, const std::string& id) const {
    RsvgRectangle viewport{0, 0, static_cast<double>(width_), static_cast<double>(height_)};
    GError* error = nullptr;
    if (!rsvg_handle_render_layer(handle_, cr, ("#" + id).c_str(), &viewport, &error)) {
        check(error, path_ + " #" + id);
        throw Error(path_ + ": cannot draw #" + id);
    }
}

void Master::renderAll(cairo_t* cr) const {
    RsvgRectangle viewport{0, 0, static_cast<double>(width_), static_cast<double>(height_)};
    GError* error = nullptr;
    if (!rsvg_handle_render_document(handle_, cr, &viewport, &error)) {
        check(error, path_);
        throw Error(path_ + ": cannot draw");
    }
}

// ---- helpers ----

int tagOf(const std::string& id) {
    if (id.rfind("seg-", 0) != 0 || id.size() == 4) return -1;
    for (size_t i = 4; i < id.size(); ++i)
        if (id[i] < '0' || id[i] > '9') return -1;
    return std::stoi(id.substr(4));
}

std::string partName(const std::string& id) {
    auto dash = id.find('-');
    return dash == std::string::npos ? id : id.substr(dash + 1);
}

bool isDigitPlace(const std::string& id) {
    int tag = tagOf(id);
    return tag >= 1000 && tag <= 1003;
}

// ---- rendering ----

namespace {

// The part drawn at scale s into its box grown by kMargin on every side.
Surface renderWide(const Master& m, const std::string& id, const Box& b, double s) {
    Surface wide(static_cast<int>(std::lround((b.w + 2 * kMargin) * s)),
                 static_cast<int>(std::lround((b.h + 2 * kMargin) * s)));
    Cairo c(wide);
    cairo_scale(c.cr, s, s);
    cairo_translate(c.cr, kMargin - b.x, kMargin - b.y);
    m.renderLayer(c.cr, id);
    return wide;
}

}   // namespace

Box inkBounds(const Master& m, const std::string& id, const Box& around, double s) {
    Surface wide = renderWide(m, id, around, s);
    int x0 = wide.width(), y0 = wide.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < wide.height(); ++y)
        for (int x = 0; x < wide.width(); ++x)
            if ((wide.pixel(x, y) >> 24) > kStrayAlpha) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
    if (x1 < 0) return around;
    double ox = around.x - kMargin, oy = around.y - kMargin;
    int bx0 = static_cast<int>(std::floor(ox + x0 / s)), by0 = static_cast<int>(std::floor(oy + y0 / s));
    int bx1 = static_cast<int>(std::ceil(ox + (x1 + 1) / s)), by1 = static_cast<int>(std::ceil(oy + (y1 + 1) / s));
    return Box{bx0, by0, bx1 - bx0, by1 - by0};
}

Surface renderWhole(const Master& m, double s) {
    Surface out(static_cast<int>(std::lround(m.width() * s)), static_cast<int>(std::lround(m.height() * s)));
    Cairo c(out);
    cairo_scale(c.cr, s, s);
    m.renderAll(c.cr);
    return out;
}

Surface renderIcon(const Master& m, int size, double inset, long rgb) {
    if (m.width() != m.height()) throw Error(m.path() + ": an icon must be square");
    Surface out(size, size);
    Cairo c(out);
    if (rgb >= 0) {
        cairo_set_source_rgb(c.cr, double((rgb >> 16) & 0xff) / 255, double((rgb >> 8) & 0xff) / 255,
                             double(rgb & 0xff) / 255);
        cairo_paint(c.cr);
    }
    const double margin = inset * size;
    cairo_translate(c.cr, margin, margin);
    cairo_scale(c.cr, (size - 2 * margin) / m.width(), (size - 2 * margin) / m.width());
    m.renderAll(c.cr);
    return out;
}

Surface renderFace(const Master& m, double s) {
    Surface out(static_cast<int>(std::lround(m.width() * s)), static_cast<int>(std::lround(m.height() * s)));
    Cairo c(out);
    cairo_scale(c.cr, s, s);
    if (!m.has("printed")) throw Error(m.path() + ": no #printed layer");
    m.renderLayer(c.cr, "printed");
    std::vector<std::string> ghosts;
    for (const auto& id : m.partIds())
        if (!isDigitPlace(id)) ghosts.push_back(id);
    paintGhosts(m, c.cr, ghosts);
    return out;
}

Surface renderPart(const Master& m, const std::string& id, double s) {
    // Drawn with a margin around the box, so that ink that strays outside the box is found instead of cut off.
    Box b = m.box(id);
    Surface wide = renderWide(m, id, b, s);
    int m0 = static_cast<int>(std::lround(kMargin * s));
    int w = static_cast<int>(std::lround(b.w * s));
    int h = static_cast<int>(std::lround(b.h * s));
    int stray = 0;
    for (int y = 0; y < wide.height(); ++y)
        for (int x = 0; x < wide.width(); ++x) {
            bool inside = x >= m0 && x < m0 + w && y >= m0 && y < m0 + h;
            if (!inside && (wide.pixel(x, y) >> 24) > kStrayAlpha) ++stray;
        }
    if (stray > 0)
        throw Error(m.path() + " (" + m.face() + "): #" + id + " has " + std::to_string(stray) +
                    " pixel(s) of ink outside its box rect");
    Surface out(w, h);
    Cairo c(out);
    cairo_set_source_surface(c.cr, wide.get(), -m0, -m0);
    cairo_set_operator(c.cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(c.cr);
    return out;
}

Surface renderDigit(const Master& digits, int d, double s) {
    static const char* const kLit[10] = {"abcdef", "bc",     "abdeg", "abcdg",   "bcfg",
                                         "acdfg",  "acdefg", "abc",   "abcdefg", "abcdfg"};
    if (d < 0 || d > 9) throw Error("digit out of range");
    Surface out(static_cast<int>(std::lround(digits.width() * s)), static_cast<int>(std::lround(digits.height() * s)));
    Cairo c(out);
    cairo_scale(c.cr, s, s);
    std::vector<std::string> all;
    for (char seg = 'a'; seg <= 'g'; ++seg) all.push_back(std::string("seg-") + seg);
    paintGhosts(digits, c.cr, all);
    for (const char* p = kLit[d]; *p; ++p) digits.renderLayer(c.cr, std::string("seg-") + *p);
    return out;
}

Surface compose(const Master& m, const std::vector<std::string>& lit, double s, const Master* digits, int number,
                double segmentAlpha) {
    Surface out = renderFace(m, s);
    Cairo c(out);
    cairo_scale(c.cr, s, s);
    for (const auto& id : lit) {
        if (isDigitPlace(id)) continue;
        // Segments (tags 1-9999) take the given alpha, as a paused face dims them; signs keep full strength.
        double alpha = tagOf(id) >= 1 && tagOf(id) <= 9999 ? segmentAlpha : 1.0;
        cairo_push_group(c.cr);
        m.renderLayer(c.cr, id);
        cairo_pop_group_to_source(c.cr);
        cairo_paint_with_alpha(c.cr, alpha);
    }
    if (digits) {
        int value = number;
        for (int place = 1000; place <= 1003; ++place, value /= 10) {
            std::string id = "seg-" + std::to_string(place);
            if (!m.has(id)) continue;
            Box b = m.box(id);
            cairo_save(c.cr);
            cairo_translate(c.cr, b.x, b.y);
            Surface digit = renderDigit(*digits, value % 10, s);
            cairo_scale(c.cr, 1.0 / s, 1.0 / s);
            cairo_set_source_surface(c.cr, digit.get(), 0, 0);
            cairo_paint_with_alpha(c.cr, segmentAlpha);
            cairo_restore(c.cr);
        }
    }
    return out;
}

Surface thumbnail(const Master& m, const std::vector<std::string>& lit, double s, const Master* digits, int number,
                  double supersample) {
    // Rendered at the thumbnail's own pixel scale, so that it is as sharp as the face itself.
    double k = static_cast<double>(kThumbHeight) / m.height();
    Surface full = compose(m, lit, s * k * supersample, digits, number);
    Surface out(static_cast<int>(std::lround(kThumbWidth * s)), static_cast<int>(std::lround(kThumbHeight * s)));
    Cairo c(out);
    double offset = (kThumbWidth - m.width() * k) / 2.0 * s;
    cairo_translate(c.cr, offset, 0);
    cairo_scale(c.cr, 1.0 / supersample, 1.0 / supersample);
    cairo_set_source_surface(c.cr, full.get(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(c.cr), CAIRO_FILTER_GOOD);
    cairo_paint(c.cr);
    return out;
}

std::string recipeLine(const Recipe& r) {
    auto field = [](const std::string& s) { return s.empty() ? std::string("-") : s; };
    return r.name + "\t" + r.kind + "\t" + field(r.master) + "\t" + field(r.face) + "\t" + field(r.part) + "\t" +
           field(r.digits) + "\t" + std::to_string(r.number);
}

bool parseRecipe(const std::string& line, Recipe& r) {
    std::vector<std::string> f;
    std::stringstream in(line);
    for (std::string w; std::getline(in, w, '\t');) f.push_back(w == "-" ? "" : w);
    if (f.size() != 7 || f[0].empty() || f[1].empty() || f[2].empty()) return false;
    char* end = nullptr;
    long number = std::strtol(f[6].c_str(), &end, 10);
    if (f[6].empty() || *end != '\0' || number < 0 || number > 9999) return false;
    r = Recipe{f[0], f[1], f[2], f[3], f[4], f[5], static_cast<int>(number)};
    return true;
}

const Master& Masters::get(const std::string& file, const std::string& face, bool keyNames) {
    if (file.find('/') != std::string::npos) throw Error("a master is named without a folder: " + file);
    std::string key = file + "\x1f" + face + (keyNames ? "" : "\x1f-");
    auto it = open_.find(key);
    if (it == open_.end())
        it = open_.emplace(key, std::make_unique<Master>(folder_ + "/" + file, face, keyNames)).first;
    return *it->second;
}

Surface render(const Recipe& r, double s, Masters& masters) {
    const bool touch = r.kind == "whole-touch" || r.kind == "face-touch";
    const Master& m = masters.get(r.master, r.face, !touch);
    if (r.kind == "whole" || r.kind == "whole-touch") return renderWhole(m, s);
    if (r.kind == "face" || r.kind == "face-touch") return renderFace(m, s);
    if (r.kind == "part") {
        if (!m.has(r.part)) throw Error(m.path() + " draws no #" + r.part);
        return renderPart(m, r.part, s);
    }
    if (r.kind == "digit") return renderDigit(m, r.number % 10, s);
    if (r.kind == "thumb") {
        const Master* digits = r.digits.empty() ? nullptr : &masters.get(r.digits);
        // From scale 3 the thumbnail has pixels enough: drawn once, at its size (a quarter of the work).
        return thumbnail(m, m.thumbParts(), s, digits, r.number, s >= 3 ? 1.0 : 2.0);
    }
    throw Error("unknown kind of picture: " + r.kind);
}

std::string findMaster(const std::string& dir, const std::string& face) {
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.path().extension() == ".svg") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const auto& f : files) {
        if (f.stem() == face) return f.string();
        auto list = words(attributeIn(rootTag(readText(f.string())), "data-faces"));
        if (std::find(list.begin(), list.end(), face) != list.end()) return f.string();
    }
    return {};
}

std::string syncLayoutText(const std::string& text, const Master& m, int* changed) {
    std::istringstream in(text);
    std::ostringstream out;
    std::string line;
    std::regex imageRe("\"image\"\\s*:\\s*\"" + m.face() + "_([A-Za-z0-9_]+)\\.png\"");
    std::regex tagRe("\"tag\"\\s*:\\s*(\\d+)");
    std::regex frameRe("\"frame\"\\s*:\\s*\\[[^\\]]*\\]");
    int count = 0;
    bool first = true;
    while (std::getline(in, line)) {
        std::smatch match;
        std::string id;
        if (std::regex_search(line, match, imageRe)) {
            std::string name = match[1];
            if (m.has("seg-" + name))
                id = "seg-" + name;
            else if (m.has("sign-" + name))
                id = "sign-" + name;
        }
        if (id.empty() && std::regex_search(line, match, tagRe)) {
            std::string candidate = "seg-" + std::string(match[1]);
            if (isDigitPlace(candidate) && m.has(candidate)) id = candidate;
        }
        if (!id.empty()) {
            Box b = m.box(id);
            std::string frame = "\"frame\": [" + std::to_string(b.x) + ", " + std::to_string(b.y) + ", " +
                                std::to_string(b.w) + ", " + std::to_string(b.h) + "]";
            std::string updated = std::regex_replace(line, frameRe, frame, std::regex_constants::format_first_only);
            if (updated != line) ++count;
            line = updated;
        }
        if (!first) out << '\n';
        out << line;
        first = false;
    }
    if (!text.empty() && text.back() == '\n') out << '\n';
    if (changed) *changed = count;
    return out.str();
}

}   // namespace artgen
