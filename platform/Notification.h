#pragma once
// The notification centre. Observers are called in registration order, on the main thread.

#include <functional>
#include <string>
#include <vector>

namespace platform {

inline constexpr const char* ApplicationWillTerminateNotification = "UIApplicationWillTerminateNotification";

class NotificationCenter {
public:
    using Observer = std::function<void(const std::string& name)>;
    static NotificationCenter& defaultCenter();
    // Observers are never removed by their owners; `owner` only identifies them for removeObserver.
    void addObserver(const void* owner, const std::string& name, Observer observer);
    template <class T> void addObserver(T* target, void (T::*op)(const std::string&), const std::string& name) {
        addObserver(target, name, [target, op](const std::string& n) { (target->*op)(n); });
    }
    void removeObserver(const void* owner);
    void postNotificationName(const std::string& name);
    void reset();   // tests
private:
    struct Entry { const void* owner; std::string name; Observer observer; };
    std::vector<Entry> observers_;
};

}  // namespace platform
