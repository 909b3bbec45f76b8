#pragma once
// Inside the platform layer only: libplist nodes with an owner, and the guarded readers that every
// property-list and keyed-archive reader goes through.

#include <memory>
#include <string>

#include <plist/plist.h>

#include "platform/Date.h"
#include "platform/FileManager.h"

namespace platform::detail {

struct PlistFree {
    void operator()(void* node) const {
        if (node) plist_free(static_cast<plist_t>(node));
    }
};
using PlistNode = std::unique_ptr<void, PlistFree>;

// Limits of what the readers accept. Our own files are a few kilobytes.
inline constexpr std::size_t kMaxPlistBytes = 8u << 20;
inline constexpr int kMaxPlistDepth = 64;                 // nesting of arrays and dictionaries
inline constexpr std::uint64_t kMaxPlistNodes = 100000;   // nodes after shared objects are copied out
inline constexpr std::size_t kMaxXmlContainers = 20000;

// A binary property list read by libplist after checkBinaryPlist passed; null otherwise.
PlistNode readBinaryPlist(const Bytes& bytes, std::string* why = nullptr);
// An XML property list read by libplist after the size and container-count checks; null otherwise.
PlistNode readXmlPlist(const Bytes& bytes, std::string* why = nullptr);
// Either of the two, chosen by the magic.
PlistNode readPlist(const Bytes& bytes, std::string* why = nullptr);

// Dates: libplist keeps seconds since 2001 as whole seconds plus microseconds.
Date dateFromNode(plist_t node);
plist_t newDateNode(const Date& date);   // null when the date does not fit

}   // namespace platform::detail
