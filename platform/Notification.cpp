#include "platform/Notification.h"

#include <algorithm>

namespace platform {

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter* center = new NotificationCenter;   // never destroyed, like the run loop
    return *center;
}

void NotificationCenter::addObserver(const void* owner, const std::string& name, Observer observer) {
    if (!observer) return;
    observers_.push_back(Entry{owner, name, std::move(observer)});
}

void NotificationCenter::removeObserver(const void* owner) {
    std::erase_if(observers_, [owner](const Entry& e) { return e.owner == owner; });
}

void NotificationCenter::postNotificationName(const std::string& name) {
    // Observers added or removed while the notification is delivered do not change this delivery.
    std::vector<Entry> current = observers_;
    for (const Entry& e : current)
        if (e.name == name) e.observer(name);
}

void NotificationCenter::reset() { observers_.clear(); }

}  // namespace platform
