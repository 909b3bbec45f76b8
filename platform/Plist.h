#pragma once
// Property-list values and dictionary files (XML property lists through libplist).

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/Date.h"
#include "platform/FileManager.h"

namespace platform {

struct PlistValue;
using PlistArray = std::vector<PlistValue>;
using PlistDictionary = std::map<std::string, PlistValue>;

// A value read from a file that this model cannot hold unchanged, so that it could not be written back as it
// was read: an integer of 2^63 or more, a date beyond 68 years from 2001, text that is not valid UTF-8 or
// holds characters that XML cannot carry (control characters but tab and line feed; a carriage return, which
// XML readers turn into a line feed). It has no property-list form: a writer must drop it first.
struct UnheldValue {
    std::string why;
    friend bool operator==(const UnheldValue&, const UnheldValue&) = default;
};

struct PlistValue {
    // Integer holds signed 64-bit values; negatives survive a round trip.
    using Storage = std::variant<std::monostate, bool, std::int64_t, double, std::string, Date, Bytes,
                                 std::shared_ptr<PlistArray>, std::shared_ptr<PlistDictionary>, UnheldValue>;
    Storage v;

    PlistValue() = default;
    PlistValue(bool b) : v(b) {}
    PlistValue(int i) : v(std::int64_t(i)) {}
    PlistValue(std::int64_t i) : v(i) {}
    PlistValue(double d) : v(d) {}
    PlistValue(const char* s) : v(std::string(s)) {}
    PlistValue(std::string s) : v(std::move(s)) {}
    PlistValue(Date d) : v(d) {}
    PlistValue(PlistArray a) : v(std::make_shared<PlistArray>(std::move(a))) {}
    PlistValue(PlistDictionary d) : v(std::make_shared<PlistDictionary>(std::move(d))) {}

    bool isNull() const { return std::holds_alternative<std::monostate>(v); }
    const bool* asBool() const { return std::get_if<bool>(&v); }
    const std::int64_t* asInteger() const { return std::get_if<std::int64_t>(&v); }
    const double* asReal() const { return std::get_if<double>(&v); }
    const std::string* asString() const { return std::get_if<std::string>(&v); }
    const Date* asDate() const { return std::get_if<Date>(&v); }
    const PlistArray* asArray() const {
        auto p = std::get_if<std::shared_ptr<PlistArray>>(&v);
        return p ? p->get() : nullptr;
    }
    PlistArray* asArray() {
        auto p = std::get_if<std::shared_ptr<PlistArray>>(&v);
        return p ? p->get() : nullptr;
    }
    const PlistDictionary* asDictionary() const {
        auto p = std::get_if<std::shared_ptr<PlistDictionary>>(&v);
        return p ? p->get() : nullptr;
    }
    PlistDictionary* asDictionary() {
        auto p = std::get_if<std::shared_ptr<PlistDictionary>>(&v);
        return p ? p->get() : nullptr;
    }
    const UnheldValue* asUnheld() const { return std::get_if<UnheldValue>(&v); }
    friend bool operator==(const PlistValue& a, const PlistValue& b);
};

// dictionaryWithContentsOfFile: the dictionary, or nothing when the file is missing, unreadable, not a
// property list or not a dictionary at its top.
std::optional<PlistDictionary> dictionaryWithContentsOfFile(const std::string& path);
// The largest dictionary file read.
inline constexpr std::size_t kMaxDictionaryFileBytes = 8u << 20;
// The same from bytes (XML or binary property list; a UTF-8 byte-order mark before XML is skipped). Values
// that have no place here (keyed-archive UIDs) read as null; values that cannot be held unchanged read as
// UnheldValue, and so does the value of a dictionary entry whose key is such text.
std::optional<PlistDictionary> dictionaryWithData(const Bytes& bytes);
// writeToFile:atomically: as an XML property list, written atomically. False on failure.
bool writeDictionaryToFile(const PlistDictionary& dict, const std::string& path, std::string* error = nullptr);
// The XML bytes; empty when the dictionary holds a value that a property list cannot hold (see isWritable).
Bytes xmlDataFromDictionary(const PlistDictionary& dict);
// True when the value, and everything in it, is written as well-formed XML that reads back equal: no null, no
// UnheldValue, every text (keys too) valid UTF-8 of characters XML carries, every date within 68 years of 2001.
// Otherwise *why names the first fault.
bool isWritable(const PlistValue& value, std::string* why = nullptr);
bool isWritableText(const std::string& text);

// The checks made before bytes reach libplist's binary reader, which trusts offsets and sizes: a size cap,
// the "bplist00" magic, the trailer's sizes, every offset-table entry inside the object area, every object
// inside it, references in range, no cycles, a nesting limit and a limit on the size once shared objects
// are copied out. True when the bytes may be read; otherwise *why names the first fault.
bool checkBinaryPlist(const Bytes& bytes, std::string* why = nullptr);

}   // namespace platform
