// Fuzz target: keyed archives from bytes (the state files' reader). Every key of both games' state files
// is decoded as every kind; the kinds must agree with what the decoders answer, and the values that were
// read must survive being archived again.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "games/cook/PanflipStateFile.h"
#include "games/egg/YolkfallStateFile.h"
#include "platform/KeyedArchive.h"

namespace {

void check(bool ok) {
    if (!ok) __builtin_trap();
}

// Every key of both games' state files, as their tables of saved fields name them, and a few that no game
// writes.
const std::vector<std::string>& keys() {
    static const std::vector<std::string> all = [] {
        std::vector<std::string> k;
        auto add = [&k](const auto& table) {
            for (const auto& field : table.fields())
                if (std::find(k.begin(), k.end(), field.key) == k.end()) k.emplace_back(field.key);
        };
        add(plumbrick::yolkfall_state::table());
        add(plumbrick::panflip_state::table());
        for (const char* other : {"", "$null", "k"}) k.emplace_back(other);
        return k;
    }();
    return all;
}

bool same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto u = platform::KeyedUnarchiver::initForReadingWithData(platform::Bytes(data, data + size));
    if (!u) return 0;

    platform::KeyedArchiver again;
    for (const std::string& key : keys()) {
        using K = platform::ArchiveValueKind;
        const K kind = u->kindForKey(key);
        const std::int32_t i = u->decodeIntForKey(key);
        const bool b = u->decodeBoolForKey(key);
        const double d = u->decodeDoubleForKey(key);
        const auto date = u->decodeObjectForKey(key);
        const auto wide = u->decodeInt64ForKey(key);
        check(u->containsValueForKey(key) == (kind != K::Missing));
        check(wide.has_value() == (kind == K::Integer));
        check(kind == K::Integer ? i == static_cast<std::int32_t>(static_cast<std::uint32_t>(*wide)) : i == 0);
        check(kind == K::Bool || !b);
        check(kind == K::Real || d == 0.0);
        check(date.has_value() == (kind == K::Date));
        switch (kind) {
        case K::Integer: again.encodeInt(i, key); break;
        case K::Bool: again.encodeBool(b, key); break;
        case K::Real: again.encodeDouble(d, key); break;
        case K::Date: again.encodeObject(date, key); break;
        case K::Null: again.encodeObject(std::nullopt, key); break;
        default: break;
        }
    }
    again.finishEncoding();
    auto back = platform::KeyedUnarchiver::initForReadingWithData(again.data());
    check(back != nullptr);
    for (const std::string& key : keys()) {
        using K = platform::ArchiveValueKind;
        const K kind = u->kindForKey(key);
        if (kind == K::Other || kind == K::Missing) {
            check(back->kindForKey(key) == K::Missing);
            continue;
        }
        check(back->kindForKey(key) == kind);
        check(back->decodeIntForKey(key) == u->decodeIntForKey(key));
        check(back->decodeBoolForKey(key) == u->decodeBoolForKey(key));
        check(same(back->decodeDoubleForKey(key), u->decodeDoubleForKey(key)));
        if (kind == K::Date) {
            // The time since 2001 is stored as it was read; converting to 1970 and back may move the last bit.
            const double a = u->decodeObjectForKey(key)->timeIntervalSince1970;
            const double c = back->decodeObjectForKey(key)->timeIntervalSince1970;
            check(same(a, c) || std::fabs(a - c) <= 1e-6 * std::fmax(1.0, std::fabs(a)));
        }
    }
    return 0;
}
