#include "platform/Plist.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

#include "platform/PlistNode.h"

namespace platform {

// ---------------------------------------------------------------------------------------------------------
// Values

bool operator==(const PlistValue& a, const PlistValue& b) {
    if (a.v.index() != b.v.index()) return false;
    if (auto x = a.asArray()) {
        const PlistArray* y = b.asArray();
        return x == y || (x && y && *x == *y);
    }
    if (auto x = a.asDictionary()) {
        const PlistDictionary* y = b.asDictionary();
        return x == y || (x && y && *x == *y);
    }
    return a.v == b.v;
}

// ---------------------------------------------------------------------------------------------------------
// The binary checker. Layout of a binary property list: "bplist00", the objects, the offset table (one
// big-endian offset per object), and a 32-byte trailer: 6 unused bytes, the offset size, the reference size,
// the object count, the top object and the offset table's offset (three 64-bit big-endian numbers).

namespace {

constexpr double kSince2001 = 978307200.0;

class BinaryChecker {
public:
    BinaryChecker(const Bytes& bytes) : d_(bytes.data()), n_(bytes.size()) {}

    bool check() {
        if (n_ > detail::kMaxPlistBytes) return fail("too large");
        if (n_ < 8 + 1 + 1 + 32) return fail("too short");
        if (std::memcmp(d_, "bplist00", 8) != 0) return fail("no bplist00 magic");
        const std::uint8_t* trailer = d_ + n_ - 32;
        offsetSize_ = trailer[6];
        refSize_ = trailer[7];
        numObjects_ = be(trailer + 8, 8);
        top_ = be(trailer + 16, 8);
        tableOffset_ = be(trailer + 24, 8);
        if (!validIntSize(offsetSize_)) return fail("bad offset size");
        if (!validIntSize(refSize_)) return fail("bad reference size");
        if (numObjects_ == 0) return fail("no objects");
        if (top_ >= numObjects_) return fail("top object out of range");
        const std::uint64_t tableEnd = n_ - 32;
        if (tableOffset_ < 9 || tableOffset_ > tableEnd) return fail("offset table outside the file");
        if (numObjects_ > (tableEnd - tableOffset_) / offsetSize_) return fail("offset table does not fit");
        offsets_.resize(numObjects_);
        for (std::uint64_t i = 0; i < numObjects_; ++i) {
            offsets_[i] = be(d_ + tableOffset_ + i * offsetSize_, offsetSize_);
            if (offsets_[i] < 8 || offsets_[i] >= tableOffset_) return fail("object offset outside the object area");
        }
        state_.assign(numObjects_, 0);
        expanded_.assign(numObjects_, 0);
        std::uint64_t count = 0;
        return object(top_, 0, count);
    }

    const std::string& why() const { return why_; }

private:
    static bool validIntSize(unsigned s) { return s == 1 || s == 2 || s == 4 || s == 8; }

    static std::uint64_t be(const std::uint8_t* p, unsigned size) {
        std::uint64_t v = 0;
        for (unsigned i = 0; i < size; ++i) v = (v << 8) | p[i];
        return v;
    }

    bool fail(const char* why) {
        if (why_.empty()) why_ = why;
        return false;
    }

    // Room left in the object area from pos on.
    std::uint64_t room(std::uint64_t pos) const { return pos < tableOffset_ ? tableOffset_ - pos : 0; }

    // The element count of a data, string, array or dictionary object; pos moves past the marker and any
    // extended count.
    bool count(std::uint64_t& pos, std::uint64_t& value) {
        const std::uint8_t low = d_[pos] & 0x0F;
        ++pos;
        if (low != 0x0F) {
            value = low;
            return true;
        }
        if (room(pos) < 1) return fail("truncated count");
        const std::uint8_t marker = d_[pos];
        if ((marker & 0xF0) != 0x10 || (marker & 0x0F) > 3) return fail("bad extended count");
        const unsigned size = 1u << (marker & 0x0F);
        ++pos;
        if (room(pos) < size) return fail("truncated count");
        value = be(d_ + pos, size);
        pos += size;
        return true;
    }

    bool references(std::uint64_t pos, std::uint64_t n, std::vector<std::uint64_t>& out) {
        if (n > room(pos) / refSize_) return fail("references outside the object area");
        out.resize(n);
        for (std::uint64_t i = 0; i < n; ++i) {
            out[i] = be(d_ + pos + i * refSize_, refSize_);
            if (out[i] >= numObjects_) return fail("reference out of range");
        }
        return true;
    }

    bool isStringObject(std::uint64_t index) const {
        const std::uint8_t type = d_[offsets_[index]] >> 4;
        return type == 0x5 || type == 0x6;
    }

    bool utf16(std::uint64_t pos, std::uint64_t units) {
        for (std::uint64_t i = 0; i < units; ++i) {
            const unsigned u = (d_[pos + 2 * i] << 8) | d_[pos + 2 * i + 1];
            if (u == 0) return fail("NUL in string");
            if (u >= 0xD800 && u <= 0xDBFF) {
                if (i + 1 >= units) return fail("lone surrogate");
                const unsigned next = (d_[pos + 2 * i + 2] << 8) | d_[pos + 2 * i + 3];
                if (next < 0xDC00 || next > 0xDFFF) return fail("lone surrogate");
                ++i;
            } else if (u >= 0xDC00 && u <= 0xDFFF) {
                return fail("lone surrogate");
            }
        }
        return true;
    }

    // Checks one object and everything below it; nodes gets its size once shared objects are copied out.
    bool object(std::uint64_t index, int depth, std::uint64_t& nodes) {
        if (depth > detail::kMaxPlistDepth) return fail("nested too deep");
        if (state_[index] == 1) return fail("cyclic reference");
        if (state_[index] == 2) {
            nodes = expanded_[index];
            return true;
        }
        state_[index] = 1;
        std::uint64_t pos = offsets_[index];
        const std::uint8_t marker = d_[pos];
        const std::uint8_t low = marker & 0x0F;
        std::uint64_t total = 1;
        switch (marker >> 4) {
        case 0x0:   // booleans only; null and fill are not read
            if (marker != 0x08 && marker != 0x09) return fail("unsupported simple object");
            break;
        case 0x1:   // integer of 1, 2, 4, 8 or 16 bytes
            if (low > 4) return fail("bad integer size");
            if (room(pos + 1) < (1u << low)) return fail("truncated integer");
            break;
        case 0x2:   // real of 4 or 8 bytes
            if (low != 2 && low != 3) return fail("bad real size");
            if (room(pos + 1) < (1u << low)) return fail("truncated real");
            break;
        case 0x3:   // date: an 8-byte real
            if (marker != 0x33) return fail("bad date");
            if (room(pos + 1) < 8) return fail("truncated date");
            break;
        case 0x4:     // data
        case 0x5: {   // ASCII string
            std::uint64_t n = 0;
            if (!count(pos, n)) return false;
            if (n > room(pos)) return fail("truncated data or string");
            // libplist asserts that a string has no NUL inside (and aborts the process when it has).
            if ((marker >> 4) == 0x5 && std::memchr(d_ + pos, 0, n)) return fail("NUL in string");
            break;
        }
        case 0x6: {   // UTF-16 string, n code units
            std::uint64_t n = 0;
            if (!count(pos, n)) return false;
            if (n > room(pos) / 2) return fail("truncated string");
            if (!utf16(pos, n)) return false;
            break;
        }
        case 0x8: {   // UID of 1, 2, 4 or 8 bytes
            if (!validIntSize(low + 1u)) return fail("bad UID size");
            if (room(pos + 1) < low + 1u) return fail("truncated UID");
            break;
        }
        case 0xA:     // array
        case 0xD: {   // dictionary: n key references, then n value references
            std::uint64_t n = 0;
            if (!count(pos, n)) return false;
            const bool dict = (marker >> 4) == 0xD;
            if (dict && n > std::numeric_limits<std::uint64_t>::max() / 2) return fail("bad dictionary size");
            std::vector<std::uint64_t> refs;
            if (!references(pos, dict ? 2 * n : n, refs)) return false;
            for (std::uint64_t i = 0; i < refs.size(); ++i) {
                if (dict && i < n && !isStringObject(refs[i])) return fail("dictionary key is not a string");
                std::uint64_t below = 0;
                if (!object(refs[i], depth + 1, below)) return false;
                total += below;
                if (total > detail::kMaxPlistNodes) return fail("too many objects once expanded");
            }
            break;
        }
        default: return fail("unsupported object type");
        }
        state_[index] = 2;
        expanded_[index] = total;
        nodes = total;
        return true;
    }

    const std::uint8_t* d_;
    std::size_t n_;
    unsigned offsetSize_ = 0, refSize_ = 0;
    std::uint64_t numObjects_ = 0, top_ = 0, tableOffset_ = 0;
    std::vector<std::uint64_t> offsets_;
    std::vector<std::uint8_t> state_;   // 0 unseen, 1 being checked, 2 checked
    std::vector<std::uint64_t> expanded_;
    std::string why_;
};

void setWhy(std::string* why, const std::string& text) {
    if (why) *why = text;
}

// XML: libplist's XML reader recurses once per nesting level; every container adds a level at most.
std::size_t countContainerTags(const Bytes& bytes) {
    static const char* const tags[] = {"<array", "<dict", "<plist"};
    std::size_t count = 0;
    const char* begin = reinterpret_cast<const char*>(bytes.data());
    const char* end = begin + bytes.size();
    for (const char* p = begin; p < end; ++p) {
        if (*p != '<') continue;
        for (const char* tag : tags) {
            std::size_t len = std::strlen(tag);
            if (static_cast<std::size_t>(end - p) >= len && std::memcmp(p, tag, len) == 0) ++count;
        }
    }
    return count;
}

// The exact seconds since 2001 of a date node. libplist hands a date out as whole seconds in 32 bits only, which
// cannot tell a date far away from one near it; its binary form holds the real number itself: "bplist00", then
// the lone object (0x33 and eight big-endian bytes).
std::optional<double> exactSince2001(plist_t node) {
    char* bin = nullptr;
    std::uint32_t length = 0;
    plist_to_bin(node, &bin, &length);
    std::optional<double> since;
    if (bin && length >= 17 && static_cast<std::uint8_t>(bin[8]) == 0x33) {
        std::uint64_t bits = 0;
        for (int i = 0; i < 8; ++i) bits = (bits << 8) | static_cast<std::uint8_t>(bin[9 + i]);
        double d = 0;
        std::memcpy(&d, &bits, sizeof d);
        since = d;
    }
    std::free(bin);
    return since;
}

bool dateFits(double since2001) {
    return std::isfinite(since2001) && since2001 >= std::numeric_limits<std::int32_t>::min() &&
           since2001 < static_cast<double>(std::numeric_limits<std::int32_t>::max()) + 1.0;
}

PlistValue unheld(std::string why) {
    PlistValue value;
    value.v = UnheldValue{std::move(why)};
    return value;
}

// Converts a libplist node; false when it nests too deep.
bool toValue(plist_t node, int depth, PlistValue& out) {
    if (depth > detail::kMaxPlistDepth) return false;
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        std::uint8_t b = 0;
        plist_get_bool_val(node, &b);
        out = PlistValue(b != 0);
        return true;
    }
    case PLIST_UINT: {
        // libplist has unsigned integers only; signed values are stored as their two's complement.
        std::uint64_t u = 0;
        plist_get_uint_val(node, &u);
        // A node that libplist itself keeps apart from the 64-bit signed value of the same bits is an integer of
        // 2^63 or more, which would come back negative.
        detail::PlistNode same(plist_new_uint(u));
        if (!plist_compare_node_value(node, same.get())) {
            out = unheld("an integer of 2^63 or more");
            return true;
        }
        out = PlistValue(static_cast<std::int64_t>(u));
        return true;
    }
    case PLIST_REAL: {
        double r = 0;
        plist_get_real_val(node, &r);
        out = PlistValue(r);
        return true;
    }
    case PLIST_STRING:
    case PLIST_KEY: {
        std::uint64_t len = 0;
        const char* s = plist_get_string_ptr(node, &len);
        std::string text(s ? s : "", s ? len : 0);
        out = isWritableText(text) ? PlistValue(std::move(text)) : unheld("text that XML cannot carry unchanged");
        return true;
    }
    case PLIST_DATE: {
        const auto since = exactSince2001(node);
        out = since && dateFits(*since) ? PlistValue(detail::dateFromNode(node))
                                        : unheld("a date beyond 68 years from 2001");
        return true;
    }
    case PLIST_DATA: {
        std::uint64_t len = 0;
        const char* p = plist_get_data_ptr(node, &len);
        Bytes b;
        if (p && len)
            b.assign(reinterpret_cast<const std::uint8_t*>(p), reinterpret_cast<const std::uint8_t*>(p) + len);
        out.v = std::move(b);
        return true;
    }
    case PLIST_ARRAY: {
        PlistArray array;
        const std::uint32_t n = plist_array_get_size(node);
        array.reserve(n);
        for (std::uint32_t i = 0; i < n; ++i) {
            PlistValue item;
            if (!toValue(plist_array_get_item(node, i), depth + 1, item)) return false;
            array.push_back(std::move(item));
        }
        out = PlistValue(std::move(array));
        return true;
    }
    case PLIST_DICT: {
        PlistDictionary dict;
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(node, &it);
        bool ok = true;
        for (;;) {
            char* key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(node, it, &key, &value);
            if (!value) {
                std::free(key);
                break;
            }
            PlistValue item;
            ok = toValue(value, depth + 1, item);
            const std::string name = key ? key : "";
            if (ok && !isWritableText(name)) item = unheld("a key that XML cannot carry unchanged");
            if (ok) dict[name] = std::move(item);
            std::free(key);
            if (!ok) break;
        }
        std::free(it);
        if (!ok) return false;
        out = PlistValue(std::move(dict));
        return true;
    }
    default:   // UIDs and anything else libplist may add
        out = PlistValue();
        return true;
    }
}

// Builds a libplist node; null when a value has no property-list form.
plist_t fromValue(const PlistValue& value, int depth) {
    if (depth > detail::kMaxPlistDepth) return nullptr;
    if (auto b = value.asBool()) return plist_new_bool(*b ? 1 : 0);
    if (auto i = value.asInteger()) return plist_new_uint(static_cast<std::uint64_t>(*i));
    if (auto r = value.asReal()) return plist_new_real(*r);
    if (auto s = value.asString()) return isWritableText(*s) ? plist_new_string(s->c_str()) : nullptr;
    // XML keeps whole seconds, and libplist cuts a date's fraction off towards zero, which rounds a date before
    // 2001 up: the date handed over is the whole second it falls in, before 2001 as after.
    if (auto d = value.asDate())
        return detail::newDateNode(
            Date::dateWithTimeIntervalSince1970(kSince2001 + std::floor(d->timeIntervalSince1970 - kSince2001)));
    if (auto data = std::get_if<Bytes>(&value.v))
        return plist_new_data(reinterpret_cast<const char*>(data->data()), data->size());
    if (auto a = value.asArray()) {
        plist_t node = plist_new_array();
        for (const auto& item : *a) {
            plist_t child = fromValue(item, depth + 1);
            if (!child) {
                plist_free(node);
                return nullptr;
            }
            plist_array_append_item(node, child);
        }
        return node;
    }
    if (auto dict = value.asDictionary()) {
        plist_t node = plist_new_dict();
        for (const auto& [key, item] : *dict) {
            plist_t child = isWritableText(key) ? fromValue(item, depth + 1) : nullptr;
            if (!child) {
                plist_free(node);
                return nullptr;
            }
            plist_dict_set_item(node, key.c_str(), child);
        }
        return node;
    }
    return nullptr;   // null and an unheld value have no property-list form
}

// The first fault that keeps a value from being written, or "".
std::string writeFault(const PlistValue& value, int depth) {
    if (depth > detail::kMaxPlistDepth) return "nested too deep";
    if (value.isNull()) return "a null";
    if (auto u = value.asUnheld()) return u->why;
    if (auto s = value.asString(); s && !isWritableText(*s)) return "text that XML cannot carry unchanged";
    if (auto d = value.asDate(); d && !dateFits(d->timeIntervalSince1970 - kSince2001))
        return "a date beyond 68 years from 2001";
    if (auto a = value.asArray()) {
        for (const auto& item : *a)
            if (auto why = writeFault(item, depth + 1); !why.empty()) return why;
    }
    if (auto dict = value.asDictionary()) {
        for (const auto& [key, item] : *dict) {
            if (!isWritableText(key)) return "a key that XML cannot carry unchanged";
            if (auto why = writeFault(item, depth + 1); !why.empty()) return why;
        }
    }
    return {};
}

}   // namespace

bool isWritableText(const std::string& text) {
    // UTF-8 of XML's characters: tab, line feed, U+0020 to U+D7FF, U+E000 to U+FFFD, U+10000 to U+10FFFF. A
    // carriage return is left out too: XML readers turn it into a line feed.
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        const unsigned char c = *p;
        std::uint32_t cp = 0;
        int more = 0;
        if (c < 0x80)
            cp = c;
        else if (c >= 0xC2 && c <= 0xDF)
            cp = c & 0x1F, more = 1;
        else if (c >= 0xE0 && c <= 0xEF)
            cp = c & 0x0F, more = 2;
        else if (c >= 0xF0 && c <= 0xF4)
            cp = c & 0x07, more = 3;
        else
            return false;
        if (end - p <= more) return false;   // cut short
        for (int i = 1; i <= more; ++i) {
            if ((p[i] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if ((more == 2 && cp < 0x800) || (more == 3 && (cp < 0x10000 || cp > 0x10FFFF))) return false;   // overlong
        const bool xmlChar =
            cp == 0x9 || cp == 0xA || (cp >= 0x20 && cp <= 0xD7FF) || (cp >= 0xE000 && cp <= 0xFFFD) || cp >= 0x10000;
        if (!xmlChar) return false;
        p += 1 + more;
    }
    return true;
}

bool isWritable(const PlistValue& value, std::string* why) {
    std::string fault = writeFault(value, 0);
    if (fault.empty()) return true;
    setWhy(why, fault);
    return false;
}

bool checkBinaryPlist(const Bytes& bytes, std::string* why) {
    BinaryChecker checker(bytes);
    if (checker.check()) return true;
    setWhy(why, checker.why());
    return false;
}

// ---------------------------------------------------------------------------------------------------------
// Guarded readers

namespace detail {

PlistNode readBinaryPlist(const Bytes& bytes, std::string* why) {
    if (!checkBinaryPlist(bytes, why)) return nullptr;
    plist_t root = nullptr;   // libplist leaves a non-null start value alone
    plist_from_bin(reinterpret_cast<const char*>(bytes.data()), static_cast<std::uint32_t>(bytes.size()), &root);
    if (!root) setWhy(why, "not read by libplist");
    return PlistNode(root);
}

PlistNode readXmlPlist(const Bytes& bytes, std::string* why) {
    if (bytes.empty()) {
        setWhy(why, "empty");
        return nullptr;
    }
    if (bytes.size() > kMaxPlistBytes) {
        setWhy(why, "too large");
        return nullptr;
    }
    if (countContainerTags(bytes) > kMaxXmlContainers) {
        setWhy(why, "too many containers");
        return nullptr;
    }
    // A terminated copy, so that nothing in the reader can run past the end. A UTF-8 byte-order mark, which
    // some editors put at the start of a text file, is left out: the reader would refuse the whole file.
    static constexpr std::uint8_t kBom[3] = {0xEF, 0xBB, 0xBF};
    const std::size_t skip = bytes.size() >= 3 && std::memcmp(bytes.data(), kBom, 3) == 0 ? 3 : 0;
    std::string text(bytes.begin() + static_cast<std::ptrdiff_t>(skip), bytes.end());
    plist_t root = nullptr;
    plist_from_xml(text.c_str(), static_cast<std::uint32_t>(text.size()), &root);
    if (!root) setWhy(why, "not an XML property list");
    return PlistNode(root);
}

PlistNode readPlist(const Bytes& bytes, std::string* why) {
    if (bytes.size() >= 8 && std::memcmp(bytes.data(), "bplist00", 8) == 0) return readBinaryPlist(bytes, why);
    return readXmlPlist(bytes, why);
}

Date dateFromNode(plist_t node) {
    // libplist hands out the seconds truncated towards zero and the fraction's magnitude in microseconds.
    std::int32_t sec = 0, usec = 0;
    plist_get_date_val(node, &sec, &usec);
    double since2001 = sec < 0 ? sec - usec / 1e6 : sec + usec / 1e6;
    return Date::dateWithTimeIntervalSince1970(since2001 + kSince2001);
}

plist_t newDateNode(const Date& date) {
    const double since2001 = date.timeIntervalSince1970 - kSince2001;
    if (!std::isfinite(since2001)) return nullptr;
    double whole = std::floor(since2001);
    if (whole < std::numeric_limits<std::int32_t>::min() || whole > std::numeric_limits<std::int32_t>::max())
        return nullptr;
    auto sec = static_cast<std::int32_t>(whole);
    auto usec = static_cast<std::int32_t>(std::lround((since2001 - whole) * 1e6));
    if (usec >= 1000000) {
        if (sec == std::numeric_limits<std::int32_t>::max()) return nullptr;
        ++sec;
        usec = 0;
    }
    return plist_new_date(sec, usec);
}

}   // namespace detail

// ---------------------------------------------------------------------------------------------------------
// Dictionary files

std::optional<PlistDictionary> dictionaryWithData(const Bytes& bytes) {
    detail::PlistNode root = detail::readPlist(bytes);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT) return std::nullopt;
    PlistValue value;
    if (!toValue(root.get(), 0, value) || !value.asDictionary()) return std::nullopt;
    return std::move(*value.asDictionary());
}

std::optional<PlistDictionary> dictionaryWithContentsOfFile(const std::string& path) {
    auto bytes = FileManager::defaultManager().dataWithContentsOfFile(path, detail::kMaxPlistBytes);
    if (!bytes) return std::nullopt;
    return dictionaryWithData(*bytes);
}

Bytes xmlDataFromDictionary(const PlistDictionary& dict) {
    detail::PlistNode root(fromValue(PlistValue(dict), 0));
    if (!root) return {};
    char* xml = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    Bytes bytes;
    if (xml)
        bytes.assign(reinterpret_cast<const std::uint8_t*>(xml), reinterpret_cast<const std::uint8_t*>(xml) + length);
    std::free(xml);
    return bytes;
}

bool writeDictionaryToFile(const PlistDictionary& dict, const std::string& path, std::string* error) {
    Bytes bytes = xmlDataFromDictionary(dict);
    if (bytes.empty()) {
        if (error) *error = "Could not write " + path + ": a value has no property-list form";
        return false;
    }
    return FileManager::defaultManager().writeToFileAtomically(path, bytes, error);
}

}   // namespace platform
