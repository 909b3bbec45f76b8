#pragma once
// Screen layouts: one JSON file per screen (see docs/layouts.md). The loader builds the view tree and
// connects outlets and actions by their selector strings through the owner's table; an unknown class,
// outlet or action name, or malformed JSON, throws LayoutError naming the file and the name.

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/Lifetime.h"
#include "platform/View.h"

namespace platform {

class LayoutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The owner's table: selector strings to members.
struct LayoutBindings {
    std::map<std::string, std::function<void(View* sender)>> actions;                   // "pressBtPause:"
    std::map<std::string, std::function<void(const std::shared_ptr<View>&)>> outlets;   // "ivGamePause"

    // Bound to the target's Lifetime: not called once the target is gone.
    template <OwnsLifetime T> void action(const std::string& selector, T* target, void (T::*op)(View*)) {
        actions[selector] = boundTo(target, [target, op](View* sender) { (target->*op)(sender); });
    }
    // Binds an outlet to a field holding a shared pointer of the view's class (checked with dynamic cast;
    // a view of the wrong class is a layout error).
    template <class V> void outlet(const std::string& name, std::shared_ptr<V>& field);
    // Binds an outlet to a plain pointer field (the tree owns the view).
    template <class V> void outlet(const std::string& name, V*& field);
};

// Loads "layouts/<name>.json" from the main bundle.
std::shared_ptr<View> loadLayout(const std::string& name, const LayoutBindings& bindings);
std::shared_ptr<View> loadLayoutFromFile(const std::string& path, const LayoutBindings& bindings);
std::shared_ptr<View> loadLayoutFromString(const std::string& json, const std::string& fileNameForErrors,
                                           const LayoutBindings& bindings);

// View classes that layouts may name beyond the platform's own.
using ViewFactory = std::function<std::shared_ptr<View>(Rect frame)>;
void registerViewClass(const std::string& name, ViewFactory factory);

// ---- template definitions ----
template <class V> void LayoutBindings::outlet(const std::string& name, std::shared_ptr<V>& field) {
    outlets[name] = [&field, name](const std::shared_ptr<View>& v) {
        auto typed = std::dynamic_pointer_cast<V>(v);
        if (!typed) throw LayoutError("outlet \"" + name + "\" is connected to a " + v->className());
        field = typed;
    };
}
template <class V> void LayoutBindings::outlet(const std::string& name, V*& field) {
    outlets[name] = [&field, name](const std::shared_ptr<View>& v) {
        auto* typed = dynamic_cast<V*>(v.get());
        if (!typed) throw LayoutError("outlet \"" + name + "\" is connected to a " + v->className());
        field = typed;
    };
}

}   // namespace platform
