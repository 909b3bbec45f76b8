// Keyed archives: round trips of every kind of value, the stored layout as libplist sees it, missing keys,
// and bytes that are not an archive.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <fstream>
#include <functional>
#include <unistd.h>

#include <plist/plist.h>

#include "platform/KeyedArchive.h"

using namespace platform;

namespace {

Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

const Date kStart = Date::dateWithTimeIntervalSince1970(1296741900.123456);

Bytes sampleArchive() {
    KeyedArchiver a;
    a.encodeInt(100, "VersionSAVES");
    a.encodeInt(2, "state");
    a.encodeInt(-1, "minusOne");
    a.encodeInt(INT32_MIN, "min");
    a.encodeInt(INT32_MAX, "max");
    a.encodeInt(0, "zero");
    a.encodeBool(true, "flagWolf");
    a.encodeBool(false, "off");
    a.encodeDouble(12.625, "timeGame");
    a.encodeDouble(-0.1, "negative");
    a.encodeDouble(1296741900.987654, "timeStartGame");
    a.encodeObject(kStart, "gameround.dateStart");
    a.encodeObject(std::nullopt, "nothing");
    a.finishEncoding();
    return a.data();
}

TEST(KeyedArchive, RoundTripOfEveryKind) {
    auto u = KeyedUnarchiver::initForReadingWithData(sampleArchive());
    ASSERT_TRUE(u);
    EXPECT_EQ(u->decodeIntForKey("VersionSAVES"), 100);
    EXPECT_EQ(u->decodeIntForKey("state"), 2);
    EXPECT_EQ(u->decodeIntForKey("minusOne"), -1);
    EXPECT_EQ(u->decodeIntForKey("min"), INT32_MIN);
    EXPECT_EQ(u->decodeIntForKey("max"), INT32_MAX);
    EXPECT_EQ(u->decodeIntForKey("zero"), 0);
    EXPECT_TRUE(u->containsValueForKey("zero"));
    EXPECT_TRUE(u->decodeBoolForKey("flagWolf"));
    EXPECT_FALSE(u->decodeBoolForKey("off"));
    EXPECT_EQ(u->kindForKey("off"), ArchiveValueKind::Bool);
    EXPECT_EQ(u->decodeDoubleForKey("timeGame"), 12.625);
    EXPECT_EQ(u->decodeDoubleForKey("negative"), -0.1);
    EXPECT_EQ(u->decodeDoubleForKey("timeStartGame"), 1296741900.987654);
    auto date = u->decodeObjectForKey("gameround.dateStart");
    ASSERT_TRUE(date);
    EXPECT_NEAR(date->timeIntervalSince1970, kStart.timeIntervalSince1970, 1e-6);   // the fraction is kept
    EXPECT_NE(date->timeIntervalSince1970, std::floor(kStart.timeIntervalSince1970));
    EXPECT_EQ(u->kindForKey("gameround.dateStart"), ArchiveValueKind::Date);
    // A nil object is there, and reads as nothing.
    EXPECT_TRUE(u->containsValueForKey("nothing"));
    EXPECT_EQ(u->kindForKey("nothing"), ArchiveValueKind::Null);
    EXPECT_FALSE(u->decodeObjectForKey("nothing"));
}

TEST(KeyedArchive, MissingAndMismatchedKeys) {
    auto u = KeyedUnarchiver::initForReadingWithData(sampleArchive());
    ASSERT_TRUE(u);
    EXPECT_EQ(u->decodeIntForKey("absent"), 0);
    EXPECT_FALSE(u->decodeBoolForKey("absent"));
    EXPECT_EQ(u->decodeDoubleForKey("absent"), 0.0);
    EXPECT_FALSE(u->decodeObjectForKey("absent"));
    EXPECT_FALSE(u->decodeInt64ForKey("absent"));
    EXPECT_FALSE(u->containsValueForKey("absent"));
    EXPECT_EQ(u->kindForKey("absent"), ArchiveValueKind::Missing);
    // A value of another kind reads as if missing; kindForKey tells the difference.
    EXPECT_EQ(u->decodeIntForKey("flagWolf"), 0);
    EXPECT_EQ(u->decodeDoubleForKey("state"), 0.0);
    EXPECT_FALSE(u->decodeBoolForKey("state"));
    EXPECT_FALSE(u->decodeObjectForKey("timeGame"));
    EXPECT_EQ(u->kindForKey("state"), ArchiveValueKind::Integer);
    EXPECT_EQ(u->kindForKey("timeGame"), ArchiveValueKind::Real);
}

std::uint64_t uidAt(plist_t dict, const char* key) {
    std::uint64_t uid = 999;
    plist_t node = plist_dict_get_item(dict, key);
    if (plist_get_node_type(node) == PLIST_UID) plist_get_uid_val(node, &uid);
    return uid;
}

// The stored layout, read back as a plain property list (where UIDs read as null) and with libplist.
TEST(KeyedArchive, LayoutIsTheKeyedArchiveLayout) {
    KeyedArchiver a;
    a.encodeInt(-1, "i");
    a.encodeBool(true, "b");
    a.encodeDouble(0.5, "r");
    a.encodeObject(Date{1e9 + 0.25}, "d");
    a.encodeObject(std::nullopt, "n");
    a.encodeObject(Date{2e9}, "e");
    a.finishEncoding();
    ASSERT_EQ(std::string(a.data().begin(), a.data().begin() + 8), "bplist00");
    auto dict = dictionaryWithData(a.data());
    ASSERT_TRUE(dict);
    EXPECT_EQ(dict->at("$archiver"), PlistValue("NSKeyedArchiver"));
    EXPECT_EQ(dict->at("$version"), PlistValue(100000));
    EXPECT_EQ(dict->at("$top"), PlistValue(PlistDictionary{{"i", -1}, {"b", true}, {"r", 0.5}, {"d", PlistValue()},
                                                           {"n", PlistValue()}, {"e", PlistValue()}}));
    auto date = [](double since2001) { return PlistValue(PlistDictionary{{"$class", PlistValue()}, {"NS.time", since2001}}); };
    const PlistValue cls = PlistDictionary{{"$classname", "NSDate"}, {"$classes", PlistArray{"NSDate", "NSObject"}}};
    EXPECT_EQ(dict->at("$objects"), PlistValue(PlistArray{"$null", date(21692800.25), cls, date(1021692800.0)}));

    plist_t root = nullptr;
    plist_from_bin(reinterpret_cast<const char*>(a.data().data()), a.data().size(), &root);
    plist_t top = plist_dict_get_item(root, "$top"), objects = plist_dict_get_item(root, "$objects");
    EXPECT_EQ(uidAt(top, "d"), 1u);
    EXPECT_EQ(uidAt(top, "n"), 0u);   // nil is $null
    EXPECT_EQ(uidAt(top, "e"), 3u);
    EXPECT_EQ(uidAt(plist_array_get_item(objects, 1), "$class"), 2u);   // one class entry for both dates
    EXPECT_EQ(uidAt(plist_array_get_item(objects, 3), "$class"), 2u);
    plist_free(root);
}

TEST(KeyedArchive, FileRoundTripAndFailures) {
    char templ[] = "/tmp/plumbrick-archive-XXXXXX";
    ASSERT_NE(::mkdtemp(templ), nullptr);
    const std::string dir = templ, path = dir + "/Tinmarsh.Yolkfall.v1.state";
    FileFaults::shared().clear();

    KeyedArchiver unfinished;
    unfinished.encodeInt(1, "k");
    std::string error;
    EXPECT_FALSE(unfinished.writeToFile(path, &error));
    EXPECT_FALSE(FileManager::defaultManager().fileExistsAtPath(path));

    KeyedArchiver a;
    a.encodeInt(100, "VersionSAVES");
    a.finishEncoding();
    ASSERT_TRUE(a.writeToFile(path, &error)) << error;

    KeyedArchiver b;
    b.encodeInt(99, "VersionSAVES");
    b.finishEncoding();
    FileFaults::shared().failNth(FileOp::Sync, 1, EIO);
    EXPECT_FALSE(b.writeToFile(path, &error));
    FileFaults::shared().clear();

    auto bytes = FileManager::defaultManager().dataWithContentsOfFile(path);
    ASSERT_TRUE(bytes);
    auto u = KeyedUnarchiver::initForReadingWithData(*bytes);
    ASSERT_TRUE(u);
    EXPECT_EQ(u->decodeIntForKey("VersionSAVES"), 100);
    FileManager::defaultManager().removeItemAtPath(dir);
}

// --- Bytes that are not an archive. -------------------------------------------------------------------

// Builds an archive-shaped binary list by hand through libplist; `edit` changes it before it is written.
Bytes craft(const std::function<void(plist_t root, plist_t top, plist_t objects)>& edit) {
    plist_t root = plist_new_dict();
    plist_t top = plist_new_dict();
    plist_t objects = plist_new_array();
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

plist_t dateObject(std::uint64_t classUid, double since2001) {
    plist_t d = plist_new_dict();
    plist_dict_set_item(d, "$class", plist_new_uid(classUid));
    plist_dict_set_item(d, "NS.time", plist_new_real(since2001));
    return d;
}

plist_t dateClass() {
    plist_t c = plist_new_dict();
    plist_dict_set_item(c, "$classname", plist_new_string("NSDate"));
    plist_t classes = plist_new_array();
    plist_array_append_item(classes, plist_new_string("NSDate"));
    plist_array_append_item(classes, plist_new_string("NSObject"));
    plist_dict_set_item(c, "$classes", classes);
    return c;
}

TEST(KeyedArchive, HandMadeArchiveIsRead) {
    Bytes b = craft([](plist_t, plist_t top, plist_t objects) {
        plist_array_append_item(objects, dateObject(2, 10.5));
        plist_array_append_item(objects, dateClass());
        plist_dict_set_item(top, "d", plist_new_uid(1));
    });
    auto u = KeyedUnarchiver::initForReadingWithData(b);
    ASSERT_TRUE(u);
    EXPECT_EQ(u->decodeIntForKey("VersionSAVES"), 100);
    EXPECT_EQ(u->decodeObjectForKey("d")->timeIntervalSince1970, 978307210.5);
}

TEST(KeyedArchive, NotAnArchiveGivesNull) {
    const Bytes good = sampleArchive();
    EXPECT_FALSE(KeyedUnarchiver::initForReadingWithData({}));
    EXPECT_FALSE(KeyedUnarchiver::initForReadingWithData(bytesOf("VersionSAVES = 100\nstate = 2\n")));
    EXPECT_FALSE(KeyedUnarchiver::initForReadingWithData(bytesOf("bplist00")));

    // The same archive as an XML property list: not an archive (XML loses the UIDs).
    plist_t root = nullptr;
    plist_from_bin(reinterpret_cast<const char*>(good.data()), good.size(), &root);
    char* xml = nullptr;
    std::uint32_t len = 0;
    plist_to_xml(root, &xml, &len);
    EXPECT_FALSE(KeyedUnarchiver::initForReadingWithData(Bytes(xml, xml + len)));
    plist_to_xml_free(xml);
    plist_free(root);

    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(KeyedUnarchiver::initForReadingWithData(Bytes(good.begin(), good.begin() + n))) << n;
}

TEST(KeyedArchive, WrongStructureGivesNull) {
    using Edit = std::function<void(plist_t, plist_t, plist_t)>;
    const std::pair<const char*, Edit> cases[] = {
        {"plain dictionary", [](plist_t root, plist_t, plist_t) { plist_dict_remove_item(root, "$archiver"); }},
        {"other archiver", [](plist_t root, plist_t, plist_t) { plist_dict_set_item(root, "$archiver", plist_new_string("Other")); }},
        {"other version", [](plist_t root, plist_t, plist_t) { plist_dict_set_item(root, "$version", plist_new_uint(99999)); }},
        {"version as text", [](plist_t root, plist_t, plist_t) { plist_dict_set_item(root, "$version", plist_new_string("100000")); }},
        {"top not a dictionary", [](plist_t root, plist_t, plist_t) { plist_dict_set_item(root, "$top", plist_new_array()); }},
        {"no objects", [](plist_t root, plist_t, plist_t) { plist_dict_remove_item(root, "$objects"); }},
        {"objects empty", [](plist_t root, plist_t, plist_t) { plist_dict_set_item(root, "$objects", plist_new_array()); }},
        {"first object not $null", [](plist_t root, plist_t, plist_t) {
             plist_t o = plist_new_array();
             plist_array_append_item(o, plist_new_string("null"));
             plist_dict_set_item(root, "$objects", o);
         }},
        {"UID out of range", [](plist_t, plist_t top, plist_t) { plist_dict_set_item(top, "d", plist_new_uid(7)); }},
        {"class UID out of range", [](plist_t, plist_t top, plist_t objects) {
             plist_array_append_item(objects, dateObject(40, 1.0));
             plist_dict_set_item(top, "d", plist_new_uid(1));
         }},
        {"UID out of range in an unused object", [](plist_t, plist_t, plist_t objects) {
             plist_array_append_item(objects, dateObject(40, 1.0));
         }},
        {"date that is its own class", [](plist_t, plist_t top, plist_t objects) {
             plist_array_append_item(objects, dateObject(1, 1.0));
             plist_dict_set_item(top, "d", plist_new_uid(1));
         }},
        {"cycle of two", [](plist_t, plist_t top, plist_t objects) {
             plist_array_append_item(objects, dateObject(2, 1.0));
             plist_array_append_item(objects, dateObject(1, 1.0));
             plist_dict_set_item(top, "d", plist_new_uid(2));
         }},
        {"chain too deep", [](plist_t, plist_t top, plist_t objects) {
             for (int i = 1; i <= 40; ++i) {
                 plist_t o = plist_new_dict();
                 plist_dict_set_item(o, "next", plist_new_uid(i + 1 <= 40 ? i + 1 : 0));
                 plist_array_append_item(objects, o);
             }
             plist_dict_set_item(top, "d", plist_new_uid(1));
         }},
    };
    for (const auto& [name, edit] : cases)
        EXPECT_FALSE(KeyedUnarchiver::initForReadingWithData(craft(edit))) << name;

    // A top-level array is no archive either.
    plist_t arr = plist_new_array();
    char* bin = nullptr;
    std::uint32_t len = 0;
    plist_to_bin(arr, &bin, &len);
    EXPECT_FALSE(KeyedUnarchiver::initForReadingWithData(Bytes(bin, bin + len)));
    plist_to_bin_free(bin);
    plist_free(arr);
}

// Values the unarchiver does not decode are there, of another kind.
TEST(KeyedArchive, ForeignValuesAreOtherKind) {
    Bytes b = craft([](plist_t, plist_t top, plist_t objects) {
        plist_array_append_item(objects, plist_new_string("text"));
        plist_dict_set_item(top, "text", plist_new_uid(1));
        plist_dict_set_item(top, "inline", plist_new_string("inline"));
        plist_dict_set_item(top, "wide", plist_new_uint(std::uint64_t(1) << 40));
        plist_t notDate = plist_new_dict();
        plist_dict_set_item(notDate, "$class", plist_new_uid(1));
        plist_dict_set_item(notDate, "NS.time", plist_new_real(3));
        plist_array_append_item(objects, notDate);   // its class entry is a string, not NSDate
        plist_dict_set_item(top, "notDate", plist_new_uid(2));
    });
    auto u = KeyedUnarchiver::initForReadingWithData(b);
    ASSERT_TRUE(u);
    EXPECT_EQ(u->kindForKey("text"), ArchiveValueKind::Other);
    EXPECT_EQ(u->kindForKey("inline"), ArchiveValueKind::Other);
    EXPECT_EQ(u->kindForKey("notDate"), ArchiveValueKind::Other);
    EXPECT_FALSE(u->decodeObjectForKey("notDate"));
    EXPECT_EQ(u->decodeInt64ForKey("wide"), std::int64_t(1) << 40);
    EXPECT_EQ(u->decodeIntForKey("wide"), 0);   // truncated to 32 bits
}

}  // namespace
