// Fuzz target: property-list dictionaries from bytes (the results file's reader).
// Checks beyond "no crash": a dictionary read back is written as XML (unless it holds something that cannot be
// written unchanged) and read again with the same keys;
// bytes that look binary are only read when the binary checks pass.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/Plist.h"

namespace {

void check(bool ok) {
    if (!ok) __builtin_trap();
}

bool hasNull(const platform::PlistValue& v) {
    if (v.isNull()) return true;
    if (auto a = v.asArray())
        for (const auto& item : *a)
            if (hasNull(item)) return true;
    if (auto d = v.asDictionary())
        for (const auto& [key, item] : *d)
            if (hasNull(item)) return true;
    return false;
}

bool datesFit(const platform::PlistValue& v) {
    if (auto d = v.asDate()) {
        // Whole seconds since 2001 must fit 32 bits signed (a fraction that rounds up adds one).
        const double s = d->timeIntervalSince1970 - 978307200.0;
        const double whole = std::floor(s);
        if (!(whole >= -2147483648.0 && whole <= 2147483647.0)) return false;
        return whole < 2147483647.0 || std::lround((s - whole) * 1e6) < 1000000;
    }
    if (auto a = v.asArray())
        for (const auto& item : *a)
            if (!datesFit(item)) return false;
    if (auto d = v.asDictionary())
        for (const auto& [key, item] : *d)
            if (!datesFit(item)) return false;
    return true;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const platform::Bytes bytes(data, data + size);
    auto dict = platform::dictionaryWithData(bytes);
    const bool binary = size >= 8 && std::memcmp(data, "bplist00", 8) == 0;
    if (binary && dict) check(platform::checkBinaryPlist(bytes));
    if (!dict) return 0;

    const platform::PlistValue whole(*dict);
    platform::Bytes xml = platform::xmlDataFromDictionary(*dict);
    // Nothing is written when anything cannot be: a null, a date out of range, or a value read as unheld.
    check(xml.empty() == !platform::isWritable(whole));
    if (hasNull(whole) || !datesFit(whole)) check(xml.empty());
    if (xml.empty()) return 0;
    auto again = platform::dictionaryWithData(xml);
    check(again.has_value());
    check(again->size() == dict->size());
    for (const auto& [key, value] : *dict) {
        auto it = again->find(key);
        check(it != again->end());
        check(it->second.v.index() == value.v.index());
    }
    return 0;
}
