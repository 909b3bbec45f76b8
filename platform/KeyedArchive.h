#pragma once
// Keyed archives: typed values under string keys in a binary property list laid out as the platform's
// keyed archive ($archiver, $version, $top, $objects; dates as objects with their time since 2001).

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/Date.h"
#include "platform/FileManager.h"
#include "platform/Plist.h"

namespace platform {

class KeyedArchiver {
public:
    KeyedArchiver();   // initForWritingWithMutableData: on an empty buffer
    void encodeInt(std::int32_t value, const std::string& key);
    void encodeBool(bool value, const std::string& key);
    void encodeDouble(double value, const std::string& key);
    void encodeObject(const std::optional<Date>& date, const std::string& key);   // nothing: encodes nil
    void finishEncoding();
    const Bytes& data() const { return data_; }
    // writeToFile:atomically: with the finished data.
    bool writeToFile(const std::string& path, std::string* error = nullptr) const;

private:
    struct Impl;
    std::shared_ptr<Impl> impl_;
    Bytes data_;
};

// The kind of value stored under a key.
enum class ArchiveValueKind { Missing, Integer, Bool, Real, Date, Null, Other };

class KeyedUnarchiver {
public:
    // initForReadingWithData: null when the bytes are not a keyed archive (checked before and after libplist
    // reads them: size cap, magic, trailer, offsets, structure, UIDs in range, no cycles, depth limit).
    static std::unique_ptr<KeyedUnarchiver> initForReadingWithData(const Bytes& bytes);

    // A missing key reads as 0, false, 0.0 or nothing. A value of another kind than asked reads the same way;
    // kindForKey tells them apart for callers that check their input.
    std::int32_t decodeIntForKey(const std::string& key) const;
    bool decodeBoolForKey(const std::string& key) const;
    double decodeDoubleForKey(const std::string& key) const;
    std::optional<Date> decodeObjectForKey(const std::string& key) const;   // dates only
    bool containsValueForKey(const std::string& key) const;
    ArchiveValueKind kindForKey(const std::string& key) const;
    // Integer values wider than 32 bits are reported as they are here (decodeIntForKey would truncate).
    std::optional<std::int64_t> decodeInt64ForKey(const std::string& key) const;

    KeyedUnarchiver(std::map<std::string, PlistValue> top) : top_(std::move(top)) {}

private:
    std::map<std::string, PlistValue> top_;   // resolved values: integers, bools, reals, dates, null
};

}   // namespace platform
