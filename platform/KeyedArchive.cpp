#include "platform/KeyedArchive.h"

#include <cmath>
#include <cstring>
#include <variant>
#include <vector>

#include "platform/PlistNode.h"

namespace platform {

namespace {

constexpr const char* kArchiverName = "NSKeyedArchiver";
constexpr std::uint64_t kArchiveVersion = 100000;
constexpr double kSince2001 = 978307200.0;
constexpr int kMaxUidDepth = 32;   // a date needs 2: $top -> date -> class

plist_t dictItem(plist_t dict, const char* key) {
    return dict && plist_get_node_type(dict) == PLIST_DICT ? plist_dict_get_item(dict, key) : nullptr;
}

bool isString(plist_t node, const char* value) {
    if (!node || plist_get_node_type(node) != PLIST_STRING) return false;
    std::uint64_t len = 0;
    const char* s = plist_get_string_ptr(node, &len);
    return s && len == std::strlen(value) && std::memcmp(s, value, len) == 0;
}

std::uint64_t uidOf(plist_t node) {
    std::uint64_t v = 0;
    plist_get_uid_val(node, &v);
    return v;
}

// Every UID found in a node and below it.
void collectUids(plist_t node, std::vector<std::uint64_t>& out) {
    switch (plist_get_node_type(node)) {
    case PLIST_UID: out.push_back(uidOf(node)); break;
    case PLIST_ARRAY: {
        const std::uint32_t n = plist_array_get_size(node);
        for (std::uint32_t i = 0; i < n; ++i) collectUids(plist_array_get_item(node, i), out);
        break;
    }
    case PLIST_DICT: {
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(node, &it);
        for (;;) {
            char* key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(node, it, &key, &value);
            std::free(key);
            if (!value) break;
            collectUids(value, out);
        }
        std::free(it);
        break;
    }
    default: break;
    }
}

// The archive's object graph: UIDs in range, no cycles, chains no longer than kMaxUidDepth.
class GraphCheck {
public:
    explicit GraphCheck(plist_t objects) : objects_(objects), count_(plist_array_get_size(objects)) {
        state_.assign(count_, 0);
    }

    bool fromTop(plist_t top) {
        std::vector<std::uint64_t> uids;
        collectUids(top, uids);
        for (auto uid : uids)
            if (!visit(uid, 1)) return false;
        return true;
    }

private:
    bool visit(std::uint64_t uid, int depth) {
        if (uid >= count_ || depth > kMaxUidDepth) return false;
        if (state_[uid] == 2) return true;
        if (state_[uid] == 1) return false;   // a cycle
        state_[uid] = 1;
        std::vector<std::uint64_t> uids;
        collectUids(plist_array_get_item(objects_, static_cast<std::uint32_t>(uid)), uids);
        for (auto next : uids)
            if (!visit(next, depth + 1)) return false;
        state_[uid] = 2;
        return true;
    }

    plist_t objects_;
    std::uint64_t count_;
    std::vector<std::uint8_t> state_;
};

// A $top value as this unarchiver sees it.
PlistValue resolve(plist_t value, plist_t objects) {
    switch (plist_get_node_type(value)) {
    case PLIST_BOOLEAN: {
        std::uint8_t b = 0;
        plist_get_bool_val(value, &b);
        return PlistValue(b != 0);
    }
    case PLIST_UINT: {
        std::uint64_t u = 0;
        plist_get_uint_val(value, &u);
        return PlistValue(static_cast<std::int64_t>(u));   // signed values are stored as two's complement
    }
    case PLIST_REAL: {
        double r = 0;
        plist_get_real_val(value, &r);
        return PlistValue(r);
    }
    case PLIST_UID: {
        const std::uint64_t uid = uidOf(value);
        if (uid == 0) return PlistValue();   // nil
        plist_t object = plist_array_get_item(objects, static_cast<std::uint32_t>(uid));
        plist_t classRef = dictItem(object, "$class");
        plist_t time = dictItem(object, "NS.time");
        if (classRef && plist_get_node_type(classRef) == PLIST_UID && time && plist_get_node_type(time) == PLIST_REAL) {
            plist_t cls = plist_array_get_item(objects, static_cast<std::uint32_t>(uidOf(classRef)));
            if (isString(dictItem(cls, "$classname"), "NSDate")) {
                double since2001 = 0;
                plist_get_real_val(time, &since2001);
                if (std::isfinite(since2001))
                    return PlistValue(Date::dateWithTimeIntervalSince1970(since2001 + kSince2001));
            }
        }
        break;
    }
    default: break;
    }
    PlistValue other;
    other.v = Bytes{};   // stands for "another kind"; see kindOf
    return other;
}

ArchiveValueKind kindOf(const PlistValue& v) {
    if (v.isNull()) return ArchiveValueKind::Null;
    if (v.asInteger()) return ArchiveValueKind::Integer;
    if (v.asBool()) return ArchiveValueKind::Bool;
    if (v.asReal()) return ArchiveValueKind::Real;
    if (v.asDate()) return ArchiveValueKind::Date;
    return ArchiveValueKind::Other;
}

}   // namespace

// ---------------------------------------------------------------------------------------------------------
// Writing

struct KeyedArchiver::Impl {
    using Value = std::variant<std::int32_t, bool, double, std::optional<Date>>;
    std::vector<std::pair<std::string, Value>> entries;   // in the order of encoding; a key encoded again is replaced
    bool finished = false;

    void set(const std::string& key, Value value) {
        if (finished) return;
        for (auto& entry : entries) {
            if (entry.first == key) {
                entry.second = value;
                return;
            }
        }
        entries.emplace_back(key, value);
    }
};

KeyedArchiver::KeyedArchiver() : impl_(std::make_shared<Impl>()) {}

void KeyedArchiver::encodeInt(std::int32_t value, const std::string& key) { impl_->set(key, value); }
void KeyedArchiver::encodeBool(bool value, const std::string& key) { impl_->set(key, value); }
void KeyedArchiver::encodeDouble(double value, const std::string& key) { impl_->set(key, value); }
void KeyedArchiver::encodeObject(const std::optional<Date>& date, const std::string& key) { impl_->set(key, date); }

void KeyedArchiver::finishEncoding() {
    if (impl_->finished) return;
    impl_->finished = true;

    plist_t objects = plist_new_array();
    plist_array_append_item(objects, plist_new_string("$null"));
    plist_t top = plist_new_dict();
    std::uint64_t dateClass = 0;   // UID of the NSDate class entry, made with the first date
    for (const auto& [key, value] : impl_->entries) {
        plist_t node = nullptr;
        if (auto i = std::get_if<std::int32_t>(&value)) {
            node = plist_new_uint(static_cast<std::uint64_t>(static_cast<std::int64_t>(*i)));
        } else if (auto b = std::get_if<bool>(&value)) {
            node = plist_new_bool(*b ? 1 : 0);
        } else if (auto d = std::get_if<double>(&value)) {
            node = plist_new_real(*d);
        } else if (auto date = std::get_if<std::optional<Date>>(&value)) {
            if (!*date) {
                node = plist_new_uid(0);
            } else {
                const std::uint64_t uid = plist_array_get_size(objects);
                plist_t object = plist_new_dict();
                if (dateClass == 0) dateClass = uid + 1;
                plist_dict_set_item(object, "$class", plist_new_uid(dateClass));
                plist_dict_set_item(object, "NS.time", plist_new_real((*date)->timeIntervalSince1970 - kSince2001));
                plist_array_append_item(objects, object);
                if (dateClass == uid + 1) {
                    plist_t cls = plist_new_dict();
                    plist_t classes = plist_new_array();
                    plist_array_append_item(classes, plist_new_string("NSDate"));
                    plist_array_append_item(classes, plist_new_string("NSObject"));
                    plist_dict_set_item(cls, "$classes", classes);
                    plist_dict_set_item(cls, "$classname", plist_new_string("NSDate"));
                    plist_array_append_item(objects, cls);
                }
                node = plist_new_uid(uid);
            }
        }
        plist_dict_set_item(top, key.c_str(), node);
    }

    detail::PlistNode root(plist_new_dict());
    plist_dict_set_item(root.get(), "$version", plist_new_uint(kArchiveVersion));
    plist_dict_set_item(root.get(), "$archiver", plist_new_string(kArchiverName));
    plist_dict_set_item(root.get(), "$top", top);
    plist_dict_set_item(root.get(), "$objects", objects);

    char* bin = nullptr;
    std::uint32_t length = 0;
    plist_to_bin(root.get(), &bin, &length);
    if (bin)
        data_.assign(reinterpret_cast<const std::uint8_t*>(bin), reinterpret_cast<const std::uint8_t*>(bin) + length);
    plist_to_bin_free(bin);
}

bool KeyedArchiver::writeToFile(const std::string& path, std::string* error) const {
    if (!impl_->finished || data_.empty()) {
        if (error) *error = "Could not write " + path + ": the archive is not finished";
        return false;
    }
    return FileManager::defaultManager().writeToFileAtomically(path, data_, error);
}

// ---------------------------------------------------------------------------------------------------------
// Reading

std::unique_ptr<KeyedUnarchiver> KeyedUnarchiver::initForReadingWithData(const Bytes& bytes) {
    // Binary only: an XML property list cannot hold UIDs.
    detail::PlistNode root = detail::readBinaryPlist(bytes);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT) return nullptr;

    if (!isString(dictItem(root.get(), "$archiver"), kArchiverName)) return nullptr;
    plist_t version = dictItem(root.get(), "$version");
    std::uint64_t v = 0;
    if (!version || plist_get_node_type(version) != PLIST_UINT) return nullptr;
    plist_get_uint_val(version, &v);
    if (v != kArchiveVersion) return nullptr;
    plist_t top = dictItem(root.get(), "$top");
    plist_t objects = dictItem(root.get(), "$objects");
    if (!top || plist_get_node_type(top) != PLIST_DICT) return nullptr;
    if (!objects || plist_get_node_type(objects) != PLIST_ARRAY || plist_array_get_size(objects) == 0) return nullptr;
    if (!isString(plist_array_get_item(objects, 0), "$null")) return nullptr;

    // Every UID reachable from $top, in range, acyclic and not too deep; and no UID anywhere in $objects
    // that points outside it.
    GraphCheck graph(objects);
    if (!graph.fromTop(top)) return nullptr;
    std::vector<std::uint64_t> all;
    collectUids(objects, all);
    const std::uint64_t count = plist_array_get_size(objects);
    for (auto uid : all)
        if (uid >= count) return nullptr;

    std::map<std::string, PlistValue> values;
    plist_dict_iter it = nullptr;
    plist_dict_new_iter(top, &it);
    for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(top, it, &key, &value);
        if (!value) {
            std::free(key);
            break;
        }
        values[key ? key : ""] = resolve(value, objects);
        std::free(key);
    }
    std::free(it);
    return std::make_unique<KeyedUnarchiver>(std::move(values));
}

ArchiveValueKind KeyedUnarchiver::kindForKey(const std::string& key) const {
    auto it = top_.find(key);
    return it == top_.end() ? ArchiveValueKind::Missing : kindOf(it->second);
}

bool KeyedUnarchiver::containsValueForKey(const std::string& key) const { return top_.count(key) != 0; }

std::optional<std::int64_t> KeyedUnarchiver::decodeInt64ForKey(const std::string& key) const {
    auto it = top_.find(key);
    if (it == top_.end()) return std::nullopt;
    if (auto i = it->second.asInteger()) return *i;
    return std::nullopt;
}

std::int32_t KeyedUnarchiver::decodeIntForKey(const std::string& key) const {
    auto v = decodeInt64ForKey(key);
    return v ? static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(*v))) : 0;
}

bool KeyedUnarchiver::decodeBoolForKey(const std::string& key) const {
    auto it = top_.find(key);
    if (it == top_.end()) return false;
    auto b = it->second.asBool();
    return b ? *b : false;
}

double KeyedUnarchiver::decodeDoubleForKey(const std::string& key) const {
    auto it = top_.find(key);
    if (it == top_.end()) return 0.0;
    auto r = it->second.asReal();
    return r ? *r : 0.0;
}

std::optional<Date> KeyedUnarchiver::decodeObjectForKey(const std::string& key) const {
    auto it = top_.find(key);
    if (it == top_.end()) return std::nullopt;
    auto d = it->second.asDate();
    return d ? std::optional<Date>(*d) : std::nullopt;
}

}   // namespace platform
