#include "platform/Notification.h"

#include <algorithm>

namespace platform {

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter* center = new NotificationCenter;   // never destroyed, like the run loop
    return *center;
}

void NotificationCenter::addObserver(const void* owner, const std::string& name, Observer observer,
                                     Lifetime::Watch lifetime) {
    if (!observer || lifetime.gone()) return;
    std::erase_if(observers_, [](const Entry& e) { return e.lifetime.gone(); });
    observers_.push_back(Entry{owner, name, std::move(observer), std::move(lifetime)});
}

void NotificationCenter::removeObserver(const void* owner) {
    std::erase_if(observers_, [owner](const Entry& e) { return e.owner == owner; });
}

void NotificationCenter::postNotificationName(const std::string& name) {
    // Observers added or removed while the notification is delivered do not change this delivery.
    // One whose owner is gone, also during this delivery, is not called.
    std::erase_if(observers_, [](const Entry& e) { return e.lifetime.gone(); });
    std::vector<Entry> current = observers_;
    for (const Entry& e : current)
        if (e.name == name && !e.lifetime.gone()) e.observer(name);
}

void NotificationCenter::reset() { observers_.clear(); }

}   // namespace platform
