// Keyed archives: round trips of every kind of value, the stored layout as libplist sees it, missing keys,
// and bytes that are not an archive.
#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include <plist/plist.h>

#include "platform/KeyedArchive.h"
#include "test_support.h"

using namespace platform;
using testsupport::bytesOf;

namespace {

const Date kStart{1296741900.123456};

const std::pair<std::int32_t, const char*> kInts[] = {
    {100, "VersionSAVES"}, {-1, "minusOne"}, {INT32_MIN, "min"}, {INT32_MAX, "max"}};

Bytes sampleArchive() {
    KeyedArchiver a;
    for (auto [value, key] : kInts) a.encodeInt(value, key);
    a.encodeBool(true, "flagWolf");
    a.encodeBool(false, "off");
    a.encodeDouble(12.625, "timeGame");
    a.encodeDouble(-0.1, "negative");
    a.encodeObject(kStart, "gameround.dateStart");
    a.encodeObject(std::nullopt, "nothing");
    a.finishEncoding();
    return a.data();
}

TEST(KeyedArchive, EveryKindRoundTripsAndMissingKeysReadAsZero) {
    auto u = KeyedUnarchiver::initForReadingWithData(sampleArchive());
    ASSERT_TRUE(u);
    for (auto [value, key] : kInts) EXPECT_EQ(u->decodeIntForKey(key), value) << key;
    EXPECT_TRUE(u->decodeBoolForKey("flagWolf"));
    EXPECT_FALSE(u->decodeBoolForKey("off"));
    EXPECT_EQ(u->decodeDoubleForKey("timeGame"), 12.625);
    EXPECT_EQ(u->decodeDoubleForKey("negative"), -0.1);
    auto date = u->decodeObjectForKey("gameround.dateStart");
    ASSERT_TRUE(date);
    EXPECT_NEAR(date->timeIntervalSince1970, kStart.timeIntervalSince1970, 1e-6);   // the fraction is kept
    EXPECT_EQ(u->kindForKey("nothing"), ArchiveValueKind::Null);                    // nil is there, as nothing
    EXPECT_FALSE(u->decodeObjectForKey("nothing"));

    EXPECT_EQ(u->decodeIntForKey("absent"), 0);
    EXPECT_FALSE(u->decodeBoolForKey("absent"));
    EXPECT_EQ(u->decodeDoubleForKey("absent"), 0.0);
    EXPECT_FALSE(u->decodeObjectForKey("absent"));
    EXPECT_EQ(u->kindForKey("absent"), ArchiveValueKind::Missing);
    // A value of another kind reads as if missing; kindForKey tells the difference.
    EXPECT_EQ(u->decodeIntForKey("flagWolf"), 0);
    EXPECT_EQ(u->decodeDoubleForKey("VersionSAVES"), 0.0);
    EXPECT_FALSE(u->decodeObjectForKey("timeGame"));
    EXPECT_EQ(u->kindForKey("timeGame"), ArchiveValueKind::Real);
}

std::uint64_t uidAt(plist_t dict, const char* key) {
    std::uint64_t uid = 999;
    plist_t node = plist_dict_get_item(dict, key);
    if (plist_get_node_type(node) == PLIST_UID) plist_get_uid_val(node, &uid);
    return uid;
}

// The stored layout, read back as a plain property list (where UIDs read as null) and with libplist.
TEST(KeyedArchive, TheLayoutIsTheKeyedArchiveLayout) {
    KeyedArchiver a;
    a.encodeInt(-1, "i");
    a.encodeObject(Date{1e9 + 0.25}, "d");
    a.encodeObject(std::nullopt, "n");
    a.encodeObject(Date{2e9}, "e");
    a.finishEncoding();
    auto dict = dictionaryWithData(a.data());
    ASSERT_TRUE(dict);
    EXPECT_EQ(dict->at("$archiver"), PlistValue("NSKeyedArchiver"));
    EXPECT_EQ(dict->at("$version"), PlistValue(100000));
    auto date = [](double since2001) {
        return PlistValue(PlistDictionary{{"$class", PlistValue()}, {"NS.time", since2001}});
    };
    const PlistValue cls = PlistDictionary{{"$classname", "NSDate"}, {"$classes", PlistArray{"NSDate", "NSObject"}}};
    EXPECT_EQ(dict->at("$objects"), PlistValue(PlistArray{"$null", date(21692800.25), cls, date(1021692800.0)}));

    plist_t root = nullptr;
    plist_from_bin(reinterpret_cast<const char*>(a.data().data()), a.data().size(), &root);
    plist_t top = plist_dict_get_item(root, "$top"), objects = plist_dict_get_item(root, "$objects");
    EXPECT_EQ(uidAt(top, "d"), 1u);
    EXPECT_EQ(uidAt(top, "n"), 0u);   // nil is $null
    EXPECT_EQ(uidAt(top, "e"), 3u);
    EXPECT_EQ(uidAt(plist_array_get_item(objects, 3), "$class"), 2u);   // one class entry for both dates
    plist_free(root);
}

// An archive-shaped binary list built through libplist; `edit` changes it before it is written.
using Edit = std::function<void(plist_t root, plist_t top, plist_t objects)>;
Bytes craft(const Edit& edit) {
    plist_t root = plist_new_dict(), top = plist_new_dict(), objects = plist_new_array();
    plist_array_append_item(objects, plist_new_string("$null"));
    plist_dict_set_item(root, "$archiver", plist_new_string("NSKeyedArchiver"));
    plist_dict_set_item(root, "$version", plist_new_uint(100000));
    plist_dict_set_item(root, "$top", top);
    plist_dict_set_item(root, "$objects", objects);
    plist_dict_set_item(top, "VersionSAVES", plist_new_uint(100));
    edit(root, top, objects);
    char* bin = nullptr;
    std::uint32_t len = 0;
    plist_to_bin(root, &bin, &len);
    Bytes out(bin, bin + len);
    plist_to_bin_free(bin);
    plist_free(root);
    return out;
}

// Appends a date object whose class entry is object `classUid`, and points "d" at object `at` when not 0.
void addDate(plist_t top, plist_t objects, std::uint64_t classUid, std::uint64_t at = 0) {
    plist_t d = plist_new_dict();
    plist_dict_set_item(d, "$class", plist_new_uid(classUid));
    plist_dict_set_item(d, "NS.time", plist_new_real(1.0));
    plist_array_append_item(objects, d);
    if (at) plist_dict_set_item(top, "d", plist_new_uid(at));
}

TEST(KeyedArchive, BytesThatAreNotAnArchiveGiveNull) {
    ASSERT_TRUE(KeyedUnarchiver::initForReadingWithData(craft([](plist_t, plist_t, plist_t) {})));
    const Edit edits[] = {
        [](plist_t r, plist_t, plist_t) { plist_dict_remove_item(r, "$archiver"); },
        [](plist_t r, plist_t, plist_t) { plist_dict_set_item(r, "$archiver", plist_new_string("Other")); },
        [](plist_t r, plist_t, plist_t) { plist_dict_set_item(r, "$version", plist_new_uint(99999)); },
        [](plist_t r, plist_t, plist_t) { plist_dict_set_item(r, "$version", plist_new_string("100000")); },
        [](plist_t r, plist_t, plist_t) { plist_dict_set_item(r, "$top", plist_new_array()); },
        [](plist_t r, plist_t, plist_t) { plist_dict_remove_item(r, "$objects"); },
        [](plist_t r, plist_t, plist_t) { plist_dict_set_item(r, "$objects", plist_new_array()); },
        [](plist_t, plist_t, plist_t o) { plist_array_set_item(o, plist_new_string("null"), 0); },   // not $null first
        [](plist_t, plist_t t, plist_t) { plist_dict_set_item(t, "d", plist_new_uid(7)); },          // UID out of range
        [](plist_t, plist_t t, plist_t o) { addDate(t, o, 40, 1); },   // class out of range
        [](plist_t, plist_t t, plist_t o) { addDate(t, o, 40); },      // ... in an unused object
        [](plist_t, plist_t t, plist_t o) { addDate(t, o, 1, 1); },    // its own class
        [](plist_t, plist_t t, plist_t o) {
            addDate(t, o, 2);
            addDate(t, o, 1, 2);
        },                                    // cycle of two
        [](plist_t, plist_t t, plist_t o) {   // chain too deep
            for (int i = 1; i <= 40; ++i) {
                plist_t link = plist_new_dict();
                plist_dict_set_item(link, "next", plist_new_uid(i < 40 ? i + 1 : 0));
                plist_array_append_item(o, link);
            }
            plist_dict_set_item(t, "d", plist_new_uid(1));
        },
    };
    for (std::size_t i = 0; i < std::size(edits); ++i)
        EXPECT_FALSE(KeyedUnarchiver::initForReadingWithData(craft(edits[i]))) << "edit " << i;

    const Bytes good = sampleArchive();
    for (const char* text : {"", "VersionSAVES = 100\nstate = 2\n", "bplist00",
                             "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict/></plist>"})
        EXPECT_FALSE(KeyedUnarchiver::initForReadingWithData(bytesOf(text))) << text;
    for (std::size_t n = 0; n < good.size(); ++n)   // every truncation
        EXPECT_FALSE(KeyedUnarchiver::initForReadingWithData(Bytes(good.begin(), good.begin() + n))) << n;
}

}   // namespace
