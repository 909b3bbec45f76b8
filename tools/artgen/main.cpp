// artgen: renders the SVG art masters into the application's PNG pictures (1x and 2x). Beside them, in
// OUTDIR/art, a copy of each master and the recipes of its pictures (see artgen::Recipe), from which the
// program draws them at other scales.
//
//   artgen face MASTER OUTDIR [--menu FACE=SLOT]... [--digits DIGITS.svg] [--stamp FILE]
//       every face of MASTER: <face>_face.png, <face>_<part>.png, and menu_0<slot>.png for faces given by --menu;
//       <face>_face_touch.png without the key names, where the master prints them (class "key-name")
//   artgen whole SVG OUTDIR [--stamp FILE]         SVG whole to <name>.png (and <name>_touch.png without key names)
//   artgen digits SVG OUTDIR FORMAT [--stamp FILE]  ten digit pictures named by FORMAT ("yolkfall_07_%02d")
//   artgen icon SVG OUTDIR NAME [--stamp FILE]      the desktop icon: OUTDIR/<N>x<N>/apps/NAME.png for N = 16 ... 512,
//                                                  and the SVG itself as OUTDIR/scalable/apps/NAME.svg
//   artgen webicons SVG OUTDIR COLOUR [--stamp FILE]
//       the web page's icons: icon-192.png and icon-512.png (the icon alone), icon-maskable-512.png (smaller, on
//       COLOUR, "#rrggbb", so that any mask the home screen applies keeps it whole) and apple-touch-icon.png (180
//       pixels on COLOUR: such home screens show no transparency)
//   artgen boxes MASTER [FACE]                     the box of every part, one JSON object per line
//   artgen sync MASTER LAYOUT.json                 rewrites the layout's part frames to the master's boxes
//   artgen compose MASTER FACE OUT.png [--scale S] [--lit all|none|TAG,TAG,...] [--digits SVG] [--number N]
//                  [--alpha A]
//       a face as in play, for looking at it (--alpha 0.7: a paused face)
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "artgen.h"

namespace fs = std::filesystem;
using namespace artgen;

namespace {

struct Args {
    std::vector<std::string> positional;
    std::multimap<std::string, std::string> options;
    std::string get(const std::string& key, const std::string& fallback = "") const {
        auto it = options.find(key);
        return it == options.end() ? fallback : it->second;
    }
};

Args parse(int argc, char** argv) {
    Args a;
    for (int i = 2; i < argc; ++i) {
        std::string s = argv[i];
        if (s.rfind("--", 0) == 0) {
            if (i + 1 >= argc) throw Error("option " + s + " needs a value");
            a.options.emplace(s.substr(2), argv[++i]);
        } else {
            a.positional.push_back(s);
        }
    }
    return a;
}

void need(const Args& a, size_t n, const char* usage) {
    if (a.positional.size() < n) throw Error(std::string("usage: artgen ") + usage);
}

void writeBoth(const fs::path& dir, const std::string& name, const auto& render) {
    render(1.0).writePng((dir / (name + ".png")).string());
    render(2.0).writePng((dir / (name + "@2x.png")).string());
}

// The recipes of one master's pictures, written to OUTDIR/art/<master>.recipes with a copy of the masters used.
class Recipes {
public:
    Recipes(const fs::path& out, const std::string& master) : dir_(out / "art"), master_(master) {
        fs::create_directories(dir_);
        copy(master);
    }
    void add(const std::string& name, const std::string& kind, const std::string& face = "",
             const std::string& part = "", const std::string& digits = "", int number = 0) {
        if (!digits.empty()) copy(digits);
        text_ += recipeLine(Recipe{name, kind, fileName(master_), face, part, digits.empty() ? "" : fileName(digits),
                                   number}) +
                 "\n";
    }
    void write() const {
        std::ofstream((dir_ / (fs::path(master_).stem().string() + ".recipes")).string(), std::ios::binary) << text_;
    }

private:
    static std::string fileName(const std::string& path) { return fs::path(path).filename().string(); }
    void copy(const std::string& path) const {
        fs::copy_file(path, dir_ / fileName(path), fs::copy_options::overwrite_existing);
    }
    fs::path dir_;
    std::string master_, text_;
};

void touch(const Args& a) {
    std::string stamp = a.get("stamp");
    if (!stamp.empty()) std::ofstream(stamp) << "done\n";
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error("cannot read " + path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

int cmdFace(const Args& a) {
    need(a, 2, "face MASTER OUTDIR [--menu FACE=SLOT]... [--digits SVG] [--stamp FILE]");
    fs::path out = a.positional[1];
    fs::create_directories(out);
    std::map<std::string, int> slots;
    for (auto [it, end] = a.options.equal_range("menu"); it != end; ++it) {
        auto eq = it->second.find('=');
        if (eq == std::string::npos) throw Error("--menu wants FACE=SLOT");
        slots[it->second.substr(0, eq)] = std::stoi(it->second.substr(eq + 1));
    }
    std::unique_ptr<Master> digits;
    if (!a.get("digits").empty()) digits = std::make_unique<Master>(a.get("digits"));

    Master first(a.positional[0]);
    Recipes recipes(out, a.positional[0]);
    for (const auto& face : first.faces()) {
        Master m(a.positional[0], face);
        writeBoth(out, face + "_face", [&](double s) { return renderFace(m, s); });
        recipes.add(face + "_face", "face", face);
        if (m.printsKeyNames()) {   // for a device without a keyboard
            Master touch(a.positional[0], face, false);
            writeBoth(out, face + "_face_touch", [&](double s) { return renderFace(touch, s); });
            recipes.add(face + "_face_touch", "face-touch", face);
        }
        for (const auto& id : m.partIds()) {
            if (isDigitPlace(id)) continue;
            writeBoth(out, face + "_" + partName(id), [&](double s) { return renderPart(m, id, s); });
            recipes.add(face + "_" + partName(id), "part", face, id);
        }
        auto slot = slots.find(face);
        if (slot != slots.end()) {
            char name[32];
            std::snprintf(name, sizeof name, "menu_%02d", slot->second);
            std::string score = m.rootAttribute("data-thumb-score");
            int number = score.empty() ? 0 : std::stoi(score);
            auto lit = m.thumbParts();
            writeBoth(out, name, [&](double s) { return thumbnail(m, lit, s, digits.get(), number); });
            recipes.add(name, "thumb", face, "", a.get("digits"), number);
        }
    }
    recipes.write();
    touch(a);
    return 0;
}

int cmdWhole(const Args& a) {
    need(a, 2, "whole SVG OUTDIR [--stamp FILE]");
    fs::path out = a.positional[1];
    fs::create_directories(out);
    Master m(a.positional[0]);
    std::string name = fs::path(a.positional[0]).stem().string();
    writeBoth(out, name, [&](double s) { return renderWhole(m, s); });
    Recipes recipes(out, a.positional[0]);
    recipes.add(name, "whole");
    if (m.printsKeyNames()) {   // for a device without a keyboard
        Master touch(a.positional[0], "", false);
        writeBoth(out, name + "_touch", [&](double s) { return renderWhole(touch, s); });
        recipes.add(name + "_touch", "whole-touch");
    }
    recipes.write();
    touch(a);
    return 0;
}

int cmdDigits(const Args& a) {
    need(a, 3, "digits SVG OUTDIR FORMAT [--stamp FILE]");
    fs::path out = a.positional[1];
    fs::create_directories(out);
    Master m(a.positional[0]);
    Recipes recipes(out, a.positional[0]);
    for (int d = 0; d <= 9; ++d) {
        char name[128];
        std::snprintf(name, sizeof name, a.positional[2].c_str(), d);
        writeBoth(out, name, [&](double s) { return renderDigit(m, d, s); });
        recipes.add(name, "digit", "", "", "", d);
    }
    recipes.write();
    touch(a);
    return 0;
}

int cmdIcon(const Args& a) {
    need(a, 3, "icon SVG OUTDIR NAME [--stamp FILE]");
    const fs::path out = a.positional[1];
    const std::string& name = a.positional[2];
    Master m(a.positional[0]);
    if (m.width() != m.height()) throw Error(a.positional[0] + ": an icon must be square");
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        const fs::path dir = out / (std::to_string(size) + "x" + std::to_string(size)) / "apps";
        fs::create_directories(dir);
        renderWhole(m, double(size) / m.width()).writePng((dir / (name + ".png")).string());
    }
    fs::create_directories(out / "scalable" / "apps");
    fs::copy_file(a.positional[0], out / "scalable" / "apps" / (name + ".svg"), fs::copy_options::overwrite_existing);
    touch(a);
    return 0;
}

int cmdWebIcons(const Args& a) {
    need(a, 3, "webicons SVG OUTDIR COLOUR [--stamp FILE]");
    const fs::path out = a.positional[1];
    const std::string& colour = a.positional[2];
    if (colour.size() != 7 || colour[0] != '#' ||
        colour.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos)
        throw Error("colour " + colour + " is not #rrggbb");
    const long rgb = std::stol(colour.substr(1), nullptr, 16);
    Master m(a.positional[0]);
    fs::create_directories(out);
    renderIcon(m, 192, 0, -1).writePng((out / "icon-192.png").string());
    renderIcon(m, 512, 0, -1).writePng((out / "icon-512.png").string());
    // The safe zone of a maskable icon is the circle of 40 % of its size around the middle.
    renderIcon(m, 512, 0.16, rgb).writePng((out / "icon-maskable-512.png").string());
    renderIcon(m, 180, 0.04, rgb).writePng((out / "apple-touch-icon.png").string());
    touch(a);
    return 0;
}

int cmdBoxes(const Args& a) {
    need(a, 1, "boxes MASTER [FACE]");
    Master m(a.positional[0], a.positional.size() > 1 ? a.positional[1] : "");
    for (const auto& id : m.partIds()) {
        Box b = m.box(id);
        std::cout << "{\"id\": \"" << id << "\", \"frame\": [" << b.x << ", " << b.y << ", " << b.w << ", " << b.h
                  << "]}\n";
    }
    return 0;
}

int cmdSync(const Args& a) {
    need(a, 2, "sync MASTER LAYOUT.json");
    std::string layout = a.positional[1];
    std::string text = slurp(layout);
    // The face is the one whose background the layout shows.
    std::string face;
    Master probe(a.positional[0]);
    for (const auto& f : probe.faces())
        if (text.find("\"" + f + "_face.png\"") != std::string::npos) face = f;
    if (face.empty()) throw Error(layout + " shows no face of " + a.positional[0]);
    Master m(a.positional[0], face);
    int changed = 0;
    std::string updated = syncLayoutText(text, m, &changed);
    if (updated != text) std::ofstream(layout, std::ios::binary) << updated;
    std::cout << layout << ": " << changed << " frame(s) changed\n";
    return 0;
}

int cmdCompose(const Args& a) {
    need(a, 3, "compose MASTER FACE OUT.png [--scale S] [--lit all|none|TAGS] [--digits SVG] [--number N]");
    Master m(a.positional[0], a.positional[1]);
    double s = std::stod(a.get("scale", "1"));
    std::string litArg = a.get("lit", "none");
    std::vector<std::string> lit;
    if (litArg == "all") {
        lit = m.partIds();
    } else if (litArg != "none") {
        std::stringstream ss(litArg);
        std::string w;
        while (std::getline(ss, w, ',')) lit.push_back(w.find('-') == std::string::npos ? "seg-" + w : w);
    }
    std::unique_ptr<Master> digits;
    if (!a.get("digits").empty()) digits = std::make_unique<Master>(a.get("digits"));
    compose(m, lit, s, digits.get(), std::stoi(a.get("number", "0")), std::stod(a.get("alpha", "1")))
        .writePng(a.positional[2]);
    return 0;
}

}   // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: artgen face|whole|digits|icon|webicons|boxes|sync|compose ...\n";
        return 2;
    }
    try {
        std::string cmd = argv[1];
        Args a = parse(argc, argv);
        if (cmd == "face") return cmdFace(a);
        if (cmd == "whole") return cmdWhole(a);
        if (cmd == "digits") return cmdDigits(a);
        if (cmd == "icon") return cmdIcon(a);
        if (cmd == "webicons") return cmdWebIcons(a);
        if (cmd == "boxes") return cmdBoxes(a);
        if (cmd == "sync") return cmdSync(a);
        if (cmd == "compose") return cmdCompose(a);
        std::cerr << "artgen: unknown command " << cmd << "\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "artgen: " << e.what() << "\n";
        return 1;
    }
}
