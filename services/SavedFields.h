#pragma once
// The saved fields of a game's paused round, as one table: each row names a key of the keyed archive, the
// member of the game's saved-state struct that it holds, and the checks of its value. Writing, reading and
// checking a state file all follow from the table, so a new field is one row (and one member).
//
// Checks run in two passes so that a refusal names the key at fault: first every row's own check (the value
// alone against fixed bounds), then the checks of the round as a whole, then every row's relation (the value
// against others, which by then have passed their own checks). Rows are written and read in table order.

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "platform/Date.h"
#include "platform/FileManager.h"
#include "platform/KeyedArchive.h"
#include "services/GameFace.h"

namespace plumbrick::saved_fields {

using OptionalDate = std::optional<platform::Date>;

// One element of an array member (a key per element).
template <class S> struct Element {
    std::array<std::int32_t, 4> S::*array;
    int index;
};

template <class S>
using Member = std::variant<std::int32_t S::*, bool S::*, double S::*, OptionalDate S::*, Element<S>>;

// A value as a check sees it.
using Value = std::variant<std::int64_t, bool, double, OptionalDate>;
using OwnCheck = std::function<void(const char* key, const Value& value)>;
template <class S> using Relation = std::function<void(const S& state, const char* key)>;

template <class S> struct Field {
    const char* key;
    Member<S> member;
    OwnCheck own;
    Relation<S> relation{};
};

// ---- Own checks, each refusing with badArchive naming the key ----
inline OwnCheck range(std::int64_t lo, std::int64_t hi) {
    return [lo, hi](const char* key, const Value& v) { game_face::checkRange(key, std::get<std::int64_t>(v), lo, hi); };
}
// Exactly one of the listed values (game_face::checkOneOf).
inline OwnCheck oneOf(std::initializer_list<std::int64_t> allowed) {
    return [list = std::vector<std::int64_t>(allowed)](const char* key, const Value& v) {
        game_face::checkOneOf(key, std::get<std::int64_t>(v), list);
    };
}
// Exactly one of the listed reals (stored intervals are written back bit for bit).
inline OwnCheck oneOfReal(std::initializer_list<double> allowed) {
    return [list = std::vector<double>(allowed)](const char* key, const Value& v) {
        game_face::checkOneOfReal(key, std::get<double>(v), list);
    };
}
// A finite number from lo (inclusive) to hi (exclusive).
inline OwnCheck finite(double lo, double hi) {
    return [lo, hi](const char* key, const Value& v) { game_face::checkFinite(key, std::get<double>(v), lo, hi); };
}
// A flag that a paused round always holds as `expected`.
inline OwnCheck is(bool expected, const char* why) {
    return [expected, why](const char* key, const Value& v) {
        game_face::checkBool(key, std::get<bool>(v), expected, why);
    };
}
inline OwnCheck date() {
    return [](const char* key, const Value& v) { game_face::checkDate(key, std::get<OptionalDate>(v)); };
}
// No check of the value alone (a relation, or none at all).
inline OwnCheck any() {
    return [](const char*, const Value&) {};
}

// ---- The operations that follow from a table ----

template <class S> Value valueOf(const S& s, const Member<S>& member) {
    return std::visit(
        [&s](const auto& m) -> Value {
            using M = std::decay_t<decltype(m)>;
            if constexpr (std::is_same_v<M, Element<S>>)
                return std::int64_t{(s.*m.array)[std::size_t(m.index)]};
            else if constexpr (std::is_same_v<M, std::int32_t S::*>)
                return std::int64_t{s.*m};
            else
                return s.*m;
        },
        member);
}

template <class S> void encode(const std::vector<Field<S>>& fields, const S& s, platform::KeyedArchiver& a) {
    for (const Field<S>& f : fields)
        std::visit(
            [&](const auto& m) {
                using M = std::decay_t<decltype(m)>;
                if constexpr (std::is_same_v<M, Element<S>>)
                    a.encodeInt((s.*m.array)[std::size_t(m.index)], f.key);
                else if constexpr (std::is_same_v<M, std::int32_t S::*>)
                    a.encodeInt(s.*m, f.key);
                else if constexpr (std::is_same_v<M, bool S::*>)
                    a.encodeBool(s.*m, f.key);
                else if constexpr (std::is_same_v<M, double S::*>)
                    a.encodeDouble(s.*m, f.key);
                else
                    a.encodeObject(s.*m, f.key);
            },
            f.member);
}

// Reads every row, refusing a key that is missing or of another type; checks nothing else.
template <class S> void read(const std::vector<Field<S>>& fields, const game_face::CheckedArchiveReader& r, S& s) {
    for (const Field<S>& f : fields)
        std::visit(
            [&](const auto& m) {
                using M = std::decay_t<decltype(m)>;
                if constexpr (std::is_same_v<M, Element<S>>)
                    (s.*m.array)[std::size_t(m.index)] = r.readInt(f.key);
                else if constexpr (std::is_same_v<M, std::int32_t S::*>)
                    s.*m = r.readInt(f.key);
                else if constexpr (std::is_same_v<M, bool S::*>)
                    s.*m = r.readBool(f.key);
                else if constexpr (std::is_same_v<M, double S::*>)
                    s.*m = r.readDouble(f.key);
                else
                    s.*m = r.readDate(f.key);
            },
            f.member);
}

// The two passes described above, with `whole` (may be empty) between them.
template <class S>
void check(const std::vector<Field<S>>& fields, const S& s, const std::function<void(const S&)>& whole = nullptr) {
    for (const Field<S>& f : fields) f.own(f.key, valueOf(s, f.member));
    if (whole) whole(s);
    for (const Field<S>& f : fields)
        if (f.relation) f.relation(s, f.key);
}

// A game's table: its rows, the key and value of its layout version, and the checks of the round as a whole.
template <class S> class Table {
public:
    Table(std::vector<Field<S>> fields, const char* versionKey, std::int32_t version,
          std::function<void(const S&)> whole = nullptr)
        : fields_(std::move(fields)), versionKey_(versionKey), version_(version), whole_(std::move(whole)) {}

    // Writes every row in order into the archiver (which the caller finishes).
    void encode(const S& s, platform::KeyedArchiver& a) const { saved_fields::encode(fields_, s, a); }

    // Nothing (and no exception) when the version key is not the version: another layout, not ours to read.
    // Otherwise every row is read and checked; StoredDataException("UnarchiverException", "bad archive: <key>
    // ...") when a key is missing, of another type, or holds a value that the game cannot have written.
    std::optional<S> decode(const platform::KeyedUnarchiver& u) const {
        const game_face::CheckedArchiveReader r(u);
        if (!r.hasVersion(versionKey_, version_)) return std::nullopt;
        S s{};
        read(fields_, r, s);
        check(s);
        return s;
    }

    // The bytes of a state file: not a keyed archive -> "UnarchiverException" with "bad archive"; else as decode.
    std::optional<S> decodeBytes(const platform::Bytes& bytes) const { return decode(*game_face::unarchive(bytes)); }

    // Checks the values alone (decode calls it); throws as decode does.
    void check(const S& s) const { saved_fields::check(fields_, s, whole_); }

    const std::vector<Field<S>>& fields() const { return fields_; }

private:
    std::vector<Field<S>> fields_;
    const char* versionKey_;
    std::int32_t version_;
    std::function<void(const S&)> whole_;
};

}   // namespace plumbrick::saved_fields
