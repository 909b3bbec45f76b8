#pragma once
// The notification centre. Observers are called in registration order, on the main thread.

#include <functional>
#include <string>
#include <vector>

#include "platform/Lifetime.h"

namespace platform {

inline constexpr const char* ApplicationWillTerminateNotification = "UIApplicationWillTerminateNotification";
// Posted often by a backend whose program can end without notice (the browser page): a playing round is
// written to its state file now and then (game_face::checkpointRound).
inline constexpr const char* ApplicationCheckpointNotification = "PlumbrickCheckpointNotification";

class NotificationCenter {
public:
    using Observer = std::function<void(const std::string& name)>;
    static NotificationCenter& defaultCenter();
    // `owner` identifies the observer for removeObserver. One with a `lifetime` (a Lifetime or a Watch of one)
    // is never called once that Lifetime ends, and is dropped then; Unowned{} for one without. A target that
    // holds a Lifetime (OwnsLifetime) gives its own.
    void addObserver(const void* owner, const std::string& name, Observer observer, Lifetime::Watch lifetime);
    template <OwnsLifetime T> void addObserver(T* target, void (T::*op)(const std::string&), const std::string& name) {
        addObserver(
            target, name, [target, op](const std::string& n) { (target->*op)(n); }, watchOf(target));
    }
    void removeObserver(const void* owner);
    void postNotificationName(const std::string& name);
    void reset();   // tests
private:
    struct Entry {
        const void* owner;
        std::string name;
        Observer observer;
        Lifetime::Watch lifetime;
    };
    std::vector<Entry> observers_;
};

}   // namespace platform
