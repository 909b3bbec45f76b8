#include "platform/Layout.h"

#include <cmath>
#include <fstream>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/Bundle.h"
#include "platform/Button.h"
#include "platform/Image.h"
#include "platform/ImageView.h"
#include "platform/Label.h"
#include "platform/TableView.h"

namespace platform {

namespace {

using json = nlohmann::json;

std::map<std::string, ViewFactory>& viewClasses() {
    static std::map<std::string, ViewFactory> classes;
    return classes;
}

std::shared_ptr<View> makeBuiltin(const std::string& cls, Rect frame) {
    if (cls == "View") return std::make_shared<View>(frame);
    if (cls == "ImageView") return std::make_shared<ImageView>(frame);
    if (cls == "Control") return std::make_shared<Control>(frame);
    if (cls == "Button") return std::make_shared<Button>(frame);
    if (cls == "Label") return std::make_shared<Label>(frame);
    if (cls == "ScrollView") return std::make_shared<ScrollView>(frame);
    if (cls == "TableView") return std::make_shared<TableView>(frame);
    return nullptr;
}

const std::set<std::string>& knownFields() {
    static const std::set<std::string> fields = {
        "class",           "frame",       "tag",      "image",  "hidden", "alpha",         "outlet",
        "action",          "events",      "key",      "text",   "font",   "textAlignment", "textColor",
        "backgroundColor", "contentSize", "subviews", "comment"};
    return fields;
}

// Values set while a layout loads are the views' starting values, never animated.
struct NoAnimations {
    bool was = Animation::areEnabled();
    NoAnimations() { Animation::setEnabled(false); }
    ~NoAnimations() { Animation::setEnabled(was); }
};

class Loader {
public:
    Loader(const std::string& file, const LayoutBindings& bindings) : file_(file), bindings_(bindings) {}

    std::shared_ptr<View> load(const std::string& text) {
        json doc;
        try {
            doc = json::parse(text);
        } catch (const json::exception& e) {
            fail(std::string("malformed JSON: ") + e.what());
        }
        if (!doc.is_object()) fail("malformed layout: the top is not an object");
        for (const auto& [key, value] : doc.items())
            if (key != "root" && key != "comment") fail("unknown field \"" + key + "\" at the top");
        if (!doc.contains("root") || !doc["root"].is_object()) fail("malformed layout: no \"root\" object");

        std::shared_ptr<View> root;
        {
            NoAnimations quiet;
            root = build(doc["root"], "root");
        }
        for (auto& [name, view] : outlets_) {
            try {
                bindings_.outlets.at(name)(view);
            } catch (const LayoutError& e) {
                fail(e.what());
            }
        }
        return root;
    }

private:
    [[noreturn]] void fail(const std::string& message) const { throw LayoutError(file_ + ": " + message); }
    [[noreturn]] void bad(const std::string& field, const std::string& where, const std::string& what) const {
        fail("field \"" + field + "\" at " + where + " " + what);
    }

    double number(const json& v, const std::string& field, const std::string& where) const {
        if (!v.is_number()) bad(field, where, "is not a number");
        const double d = v.get<double>();
        if (!std::isfinite(d)) bad(field, where, "is not a finite number");
        return d;
    }
    int integer(const json& v, const std::string& field, const std::string& where) const {
        if (!v.is_number_integer()) bad(field, where, "is not an integer");
        const auto i = v.get<std::int64_t>();
        if (i < INT32_MIN || i > INT32_MAX) bad(field, where, "is out of range");
        return static_cast<int>(i);
    }
    std::string string(const json& v, const std::string& field, const std::string& where) const {
        if (!v.is_string()) bad(field, where, "is not a string");
        return v.get<std::string>();
    }
    bool boolean(const json& v, const std::string& field, const std::string& where) const {
        if (!v.is_boolean()) bad(field, where, "is not true or false");
        return v.get<bool>();
    }
    Color color(const json& v, const std::string& field, const std::string& where) const {
        const std::string s = string(v, field, where);
        if ((s.size() != 7 && s.size() != 9) || s[0] != '#' ||
            s.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos)
            bad(field, where, "is not a colour \"#rrggbbaa\"");
        auto channel = [&](std::size_t i) { return std::stoi(s.substr(i, 2), nullptr, 16) / 255.0; };
        return Color{channel(1), channel(3), channel(5), s.size() == 9 ? channel(7) : 1.0};
    }

    template <class T>
    T* as(const std::shared_ptr<View>& view, const std::string& field, const std::string& where) const {
        auto* typed = dynamic_cast<T*>(view.get());
        if (!typed) bad(field, where, std::string("does not apply to a ") + view->className());
        return typed;
    }

    std::shared_ptr<View> build(const json& j, const std::string& where) {
        if (!j.is_object()) fail("malformed layout: " + where + " is not an object");
        for (const auto& [key, value] : j.items())
            if (!knownFields().count(key)) fail("unknown field \"" + key + "\" at " + where);
        if (!j.contains("class")) fail("no \"class\" at " + where);
        const std::string cls = string(j["class"], "class", where);
        if (!j.contains("frame")) fail("no \"frame\" at " + where);
        const json& fr = j["frame"];
        if (!fr.is_array() || fr.size() != 4) bad("frame", where, "is not [x, y, w, h]");
        const Rect frame(number(fr[0], "frame", where), number(fr[1], "frame", where), number(fr[2], "frame", where),
                         number(fr[3], "frame", where));
        if (frame.size.width < 0 || frame.size.height < 0) bad("frame", where, "has a negative size");

        std::shared_ptr<View> view;
        if (auto it = viewClasses().find(cls); it != viewClasses().end()) {
            view = it->second(frame);
            if (!view) fail("view class \"" + cls + "\" made no view at " + where);
            view->setFrame(frame);
        } else {
            view = makeBuiltin(cls, frame);
            if (!view) fail("unknown class \"" + cls + "\" at " + where);
        }

        if (j.contains("tag")) view->setTag(integer(j["tag"], "tag", where));
        if (j.contains("hidden")) view->setHidden(boolean(j["hidden"], "hidden", where));
        if (j.contains("alpha")) view->setAlpha(number(j["alpha"], "alpha", where));
        if (j.contains("backgroundColor"))
            view->setBackgroundColor(color(j["backgroundColor"], "backgroundColor", where));
        if (j.contains("image")) {
            const std::string name = string(j["image"], "image", where);
            if (auto* iv = dynamic_cast<ImageView*>(view.get()))
                iv->setImage(Image::imageNamed(name));
            else if (auto* bt = dynamic_cast<Button*>(view.get()))
                bt->setImage(Image::imageNamed(name));
            else
                bad("image", where, std::string("does not apply to a ") + view->className());
        }
        if (j.contains("action")) {
            auto* control = as<Control>(view, "action", where);
            const std::string selector = string(j["action"], "action", where);
            auto it = bindings_.actions.find(selector);
            if (it == bindings_.actions.end() || !it->second) fail("unknown action \"" + selector + "\" at " + where);
            const int events = j.contains("events") ? integer(j["events"], "events", where) : ControlEventTouchUpInside;
            if (events == 0) bad("events", where, "is an empty mask");
            control->addTarget(it->second, events, Unowned{});   // bound to its target by the owner's table
        } else if (j.contains("events")) {
            bad("events", where, "is given without an action");
        }
        if (j.contains("key")) as<Control>(view, "key", where)->setKeyEquivalent(string(j["key"], "key", where));
        if (j.contains("text")) as<Label>(view, "text", where)->setText(string(j["text"], "text", where));
        if (j.contains("font")) {
            auto* label = as<Label>(view, "font", where);
            const json& f = j["font"];
            if (!f.is_array() || f.size() != 2) bad("font", where, "is not [name, size]");
            label->setFont(Font{string(f[0], "font", where), number(f[1], "font", where)});
        }
        if (j.contains("textAlignment")) {
            const int a = integer(j["textAlignment"], "textAlignment", where);
            if (a < TextAlignmentLeft || a > TextAlignmentRight) bad("textAlignment", where, "is not 0, 1 or 2");
            as<Label>(view, "textAlignment", where)->setTextAlignment(a);
        }
        if (j.contains("textColor"))
            as<Label>(view, "textColor", where)->setTextColor(color(j["textColor"], "textColor", where));
        if (j.contains("contentSize")) {
            auto* scroll = as<ScrollView>(view, "contentSize", where);
            const json& s = j["contentSize"];
            if (!s.is_array() || s.size() != 2) bad("contentSize", where, "is not [w, h]");
            scroll->setContentSize({number(s[0], "contentSize", where), number(s[1], "contentSize", where)});
        }
        if (j.contains("outlet")) {
            const std::string name = string(j["outlet"], "outlet", where);
            auto it = bindings_.outlets.find(name);
            if (it == bindings_.outlets.end() || !it->second) fail("unknown outlet \"" + name + "\" at " + where);
            outlets_.emplace_back(name, view);
        }
        if (j.contains("subviews")) {
            const json& subs = j["subviews"];
            if (!subs.is_array()) bad("subviews", where, "is not an array");
            for (std::size_t i = 0; i < subs.size(); ++i)
                view->addSubview(build(subs[i], where + ".subviews[" + std::to_string(i) + "]"));
        }
        return view;
    }

    std::string file_;
    const LayoutBindings& bindings_;
    std::vector<std::pair<std::string, std::shared_ptr<View>>> outlets_;
};

}   // namespace

std::shared_ptr<View> loadLayoutFromString(const std::string& text, const std::string& fileNameForErrors,
                                           const LayoutBindings& bindings) {
    return Loader(fileNameForErrors, bindings).load(text);
}

std::shared_ptr<View> loadLayoutFromFile(const std::string& path, const LayoutBindings& bindings) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw LayoutError(path + ": cannot be read");
    std::ostringstream text;
    text << in.rdbuf();
    return loadLayoutFromString(text.str(), path, bindings);
}

std::shared_ptr<View> loadLayout(const std::string& name, const LayoutBindings& bindings) {
    const std::string path = Bundle::mainBundle().pathForLayout(name);
    if (path.empty())
        throw LayoutError("layouts/" + name + ".json: no such layout in " + Bundle::mainBundle().resourcePath());
    return loadLayoutFromFile(path, bindings);
}

void registerViewClass(const std::string& name, ViewFactory factory) {
    if (factory)
        viewClasses()[name] = std::move(factory);
    else
        viewClasses().erase(name);
}

}   // namespace platform
