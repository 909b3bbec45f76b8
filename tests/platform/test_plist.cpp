// Property-list dictionary files: the results-file shape written and read back, signed integers, dates,
// bad files, and the checks that guard libplist's binary reader.

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <fstream>
#include <unistd.h>

#include <plist/plist.h>

#include "platform/Plist.h"

using namespace platform;

namespace {

Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }
std::string textOf(const Bytes& b) { return std::string(b.begin(), b.end()); }

class PlistFiles : public ::testing::Test {
protected:
    void SetUp() override {
        char templ[] = "/tmp/plumbrick-plist-XXXXXX";
        ASSERT_NE(::mkdtemp(templ), nullptr);
        dir = templ;
        file = dir + "/Tinmarsh.result";
        FileFaults::shared().clear();
    }
    void TearDown() override {
        FileFaults::shared().clear();
        FileManager::defaultManager().removeItemAtPath(dir);
    }
    void put(const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

    std::string dir, file;
};

PlistArray pack(double start, double end, int time, int scores, int penalty, std::string name = "") {
    return PlistArray{Date::dateWithTimeIntervalSince1970(start), Date::dateWithTimeIntervalSince1970(end), time,
                      scores, penalty, std::move(name)};
}

TEST_F(PlistFiles, ResultsShapeRoundTrips) {
    PlistDictionary dict;
    dict["Yolkfall.v1"] = PlistArray{pack(1296741900, 1296742000, 100, 120, 3), pack(1296750000, 1296750045, 45, 80, 0)};
    dict["Panflip.v1"] = PlistArray{pack(1300000000, 1300000999, 999, 999, 5, "name & <more>")};
    dict["Empty.v1"] = PlistArray{};
    std::string error;
    ASSERT_TRUE(writeDictionaryToFile(dict, file, &error)) << error;
    auto back = dictionaryWithContentsOfFile(file);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, dict);

    // The file is an XML property list that libplist itself reads as dictionary -> array -> typed pack.
    auto bytes = FileManager::defaultManager().dataWithContentsOfFile(file);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(textOf(*bytes).rfind("<?xml", 0), 0u);
    plist_t root = nullptr;
    plist_from_xml(reinterpret_cast<const char*>(bytes->data()), bytes->size(), &root);
    ASSERT_NE(root, nullptr);
    plist_t list = plist_dict_get_item(root, "Yolkfall.v1");
    ASSERT_EQ(plist_get_node_type(list), PLIST_ARRAY);
    plist_t first = plist_array_get_item(list, 0);
    ASSERT_EQ(plist_array_get_size(first), 6u);
    const plist_type expected[] = {PLIST_DATE, PLIST_DATE, PLIST_UINT, PLIST_UINT, PLIST_UINT, PLIST_STRING};
    for (std::uint32_t i = 0; i < 6; ++i) EXPECT_EQ(plist_get_node_type(plist_array_get_item(first, i)), expected[i]) << i;
    std::int32_t sec = 0, usec = 0;
    plist_get_date_val(plist_array_get_item(first, 0), &sec, &usec);
    EXPECT_EQ(sec, 1296741900 - 978307200);   // seconds since 2001
    plist_free(root);
}

// XML keeps whole seconds; the fraction is dropped, never rounded up into the next second.
TEST_F(PlistFiles, DatesKeepWholeSecondsInXmlAndFractionsInBinary) {
    PlistDictionary dict{{"d", PlistArray{Date::dateWithTimeIntervalSince1970(1296741900.75),
                                          Date::dateWithTimeIntervalSince1970(1296741901.25)}}};
    auto back = dictionaryWithData(xmlDataFromDictionary(dict));
    ASSERT_TRUE(back);
    const PlistArray& dates = *back->at("d").asArray();
    EXPECT_EQ(dates[0].asDate()->timeIntervalSince1970, 1296741900.0);
    EXPECT_EQ(dates[1].asDate()->timeIntervalSince1970, 1296741901.0);

    // A binary property list with the same dates keeps the fraction.
    plist_t root = plist_new_dict();
    plist_t arr = plist_new_array();
    plist_array_append_item(arr, plist_new_date(1296741900 - 978307200, 750000));
    plist_dict_set_item(root, "d", arr);
    char* bin = nullptr;
    std::uint32_t len = 0;
    plist_to_bin(root, &bin, &len);
    Bytes binary(bin, bin + len);
    plist_to_bin_free(bin);
    plist_free(root);
    auto fromBinary = dictionaryWithData(binary);
    ASSERT_TRUE(fromBinary);
    EXPECT_DOUBLE_EQ(fromBinary->at("d").asArray()->at(0).asDate()->timeIntervalSince1970, 1296741900.75);

    // Dates before 2001 (negative since then) survive too.
    PlistDictionary old{{"d", Date::dateWithTimeIntervalSince1970(946684800)}};   // 2000-01-01
    EXPECT_EQ(dictionaryWithData(xmlDataFromDictionary(old)), old);
}

TEST_F(PlistFiles, SignedIntegersSurvive) {
    const std::int64_t values[] = {0, 1, -1, 999, INT32_MIN, INT32_MAX, std::int64_t(INT32_MIN) - 1, INT64_MIN,
                                   INT64_MAX, INT64_MIN + 1};
    PlistArray list;
    for (auto v : values) list.push_back(PlistValue(v));
    PlistDictionary dict{{"n", list}};
    ASSERT_TRUE(writeDictionaryToFile(dict, file));
    auto back = dictionaryWithContentsOfFile(file);
    ASSERT_TRUE(back);
    const PlistArray& got = *back->at("n").asArray();
    ASSERT_EQ(got.size(), std::size(values));
    for (std::size_t i = 0; i < got.size(); ++i) {
        ASSERT_TRUE(got[i].asInteger()) << i;
        EXPECT_EQ(*got[i].asInteger(), values[i]) << i;
    }
    // Other readers see signed text, not a two's-complement giant.
    std::string text = textOf(*FileManager::defaultManager().dataWithContentsOfFile(file));
    EXPECT_NE(text.find("<integer>-1</integer>"), std::string::npos);
    EXPECT_NE(text.find("<integer>-2147483648</integer>"), std::string::npos);
}

TEST_F(PlistFiles, OtherValueKindsRoundTrip) {
    PlistDictionary inner{{"yes", true}, {"no", false}, {"pi", 3.141592653589793}, {"tiny", -1e-300}};
    PlistDictionary dict{{"inner", inner},
                         {"text", "a&b<c>\"d' \xc3\xa9 \xe2\x82\xac"},
                         {"", "empty key"},
                         {"empty", ""},
                         {"nested", PlistArray{PlistArray{PlistArray{1}}}}};
    dict["data"].v = Bytes{0, 1, 2, 255};
    ASSERT_TRUE(writeDictionaryToFile(dict, file));
    EXPECT_EQ(dictionaryWithContentsOfFile(file), dict);
}

TEST_F(PlistFiles, ValuesWithoutPlistFormAreNotWritten) {
    ASSERT_TRUE(writeDictionaryToFile({{"a", 1}}, file));
    std::string error;
    PlistDictionary withNull{{"a", PlistArray{PlistValue()}}};
    EXPECT_TRUE(xmlDataFromDictionary(withNull).empty());
    EXPECT_FALSE(writeDictionaryToFile(withNull, file, &error));
    EXPECT_FALSE(error.empty());
    PlistDictionary farDate{{"d", Date::dateWithTimeIntervalSince1970(1e12)}};
    EXPECT_FALSE(writeDictionaryToFile(farDate, file, &error));
    EXPECT_EQ(dictionaryWithContentsOfFile(file), (PlistDictionary{{"a", 1}}));
}

TEST_F(PlistFiles, FailedWriteKeepsOldFile) {
    PlistDictionary before{{"Yolkfall.v1", PlistArray{pack(1296741900, 1296742000, 1, 2, 3)}}};
    ASSERT_TRUE(writeDictionaryToFile(before, file));
    for (FileOp op : {FileOp::Write, FileOp::Sync, FileOp::Rename}) {
        FileFaults::shared().failNth(op, 1, ENOSPC);
        std::string error;
        EXPECT_FALSE(writeDictionaryToFile({{"other", 1}}, file, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(dictionaryWithContentsOfFile(file), before);
        FileFaults::shared().clear();
    }
}

TEST_F(PlistFiles, BadFilesReadAsNothing) {
    EXPECT_FALSE(dictionaryWithContentsOfFile(dir + "/missing"));
    EXPECT_FALSE(dictionaryWithContentsOfFile(dir));
    const char* bad[] = {
        "",
        "garbage \x01\x02\x03",
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><integer>1</integer></array></plist>",
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><string>x</string></plist>",
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key><array><integer>1</int",
        "bplist00",
        "bplist00\xd0\x08\x00\x00\x00\x00\x00\x00",
    };
    for (const char* text : bad) {
        put(text);
        EXPECT_FALSE(dictionaryWithContentsOfFile(file)) << text;
    }
    put("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict/></plist>");
    EXPECT_EQ(dictionaryWithContentsOfFile(file), PlistDictionary{});
}

// libplist's XML reader recurses once per level: deep nesting is refused before it gets there.
TEST_F(PlistFiles, DeepXmlIsRefused) {
    auto nested = [](int depth) {
        std::string s = "<plist version=\"1.0\"><dict><key>k</key>";
        for (int i = 0; i < depth; ++i) s += "<array>";
        for (int i = 0; i < depth; ++i) s += "</array>";
        return s + "</dict></plist>";
    };
    EXPECT_TRUE(dictionaryWithData(bytesOf(nested(30))));
    EXPECT_FALSE(dictionaryWithData(bytesOf(nested(200))));
    EXPECT_FALSE(dictionaryWithData(bytesOf(nested(300000))));
}

// --- Binary property lists made by hand, to reach every check. ---------------------------------------

struct RawPlist {
    std::vector<Bytes> objects;
    std::uint64_t top = 0;
    unsigned refSize = 1;

    std::size_t add(Bytes object) {
        objects.push_back(std::move(object));
        return objects.size() - 1;
    }
    std::size_t integer(std::uint8_t v) { return add({0x10, v}); }
    std::size_t ascii(const std::string& s) {
        Bytes b{std::uint8_t(0x50 | s.size())};
        b.insert(b.end(), s.begin(), s.end());
        return add(b);
    }
    Bytes refs(const std::vector<std::size_t>& r) const {
        Bytes b;
        for (auto x : r)
            for (unsigned i = refSize; i-- > 0;) b.push_back(std::uint8_t(x >> (8 * i)));
        return b;
    }
    std::size_t array(const std::vector<std::size_t>& items) {
        Bytes b{std::uint8_t(0xA0 | items.size())};
        auto r = refs(items);
        b.insert(b.end(), r.begin(), r.end());
        return add(b);
    }
    std::size_t dict(const std::vector<std::size_t>& keys, const std::vector<std::size_t>& values) {
        Bytes b{std::uint8_t(0xD0 | keys.size())};
        auto k = refs(keys), v = refs(values);
        b.insert(b.end(), k.begin(), k.end());
        b.insert(b.end(), v.begin(), v.end());
        return add(b);
    }
    // Offsets are one byte when everything fits, else two.
    Bytes build() const {
        Bytes out = bytesOf("bplist00");
        std::vector<std::size_t> offsets;
        for (const auto& o : objects) {
            offsets.push_back(out.size());
            out.insert(out.end(), o.begin(), o.end());
        }
        const std::size_t table = out.size();
        const unsigned offsetSize = table < 256 ? 1 : 2;
        for (auto off : offsets)
            for (unsigned i = offsetSize; i-- > 0;) out.push_back(std::uint8_t(off >> (8 * i)));
        Bytes trailer(32, 0);
        trailer[6] = std::uint8_t(offsetSize);
        trailer[7] = std::uint8_t(refSize);
        for (int i = 0; i < 8; ++i) {
            trailer[15 - i] = std::uint8_t(std::uint64_t(objects.size()) >> (8 * i));
            trailer[23 - i] = std::uint8_t(top >> (8 * i));
            trailer[31 - i] = std::uint8_t(std::uint64_t(table) >> (8 * i));
        }
        out.insert(out.end(), trailer.begin(), trailer.end());
        return out;
    }
};

// {"k": [1, "x"]}
RawPlist smallDict() {
    RawPlist p;
    auto key = p.ascii("k");
    auto one = p.integer(1);
    auto x = p.ascii("x");
    auto arr = p.array({one, x});
    p.top = p.dict({key}, {arr});
    return p;
}

std::string why(const Bytes& b) {
    std::string w;
    EXPECT_FALSE(checkBinaryPlist(b, &w));
    return w;
}

TEST(BinaryChecks, HandMadeListIsReadLikeLibplistsOwn) {
    Bytes good = smallDict().build();
    std::string w;
    ASSERT_TRUE(checkBinaryPlist(good, &w)) << w;
    auto dict = dictionaryWithData(good);
    ASSERT_TRUE(dict);
    EXPECT_EQ(*dict, (PlistDictionary{{"k", PlistArray{1, "x"}}}));

    // And what libplist writes passes the checks.
    plist_t root = nullptr;
    Bytes xml = xmlDataFromDictionary({{"a", PlistArray{1, -2, 3.5, "s", true, Date{1e9}}}, {"b", PlistDictionary{}}});
    plist_from_xml(reinterpret_cast<const char*>(xml.data()), xml.size(), &root);
    char* bin = nullptr;
    std::uint32_t len = 0;
    plist_to_bin(root, &bin, &len);
    Bytes fromLibplist(bin, bin + len);
    plist_to_bin_free(bin);
    plist_free(root);
    EXPECT_TRUE(checkBinaryPlist(fromLibplist, &w)) << w;
}

TEST(BinaryChecks, HeaderAndTrailer) {
    const Bytes good = smallDict().build();
    EXPECT_EQ(why(bytesOf("bplist00")), "too short");
    Bytes b = good;
    b[7] = '1';
    EXPECT_EQ(why(b), "no bplist00 magic");
    const std::size_t t = good.size() - 32;
    b = good;
    b[t + 6] = 3;
    EXPECT_EQ(why(b), "bad offset size");
    b = good;
    b[t + 7] = 0;
    EXPECT_EQ(why(b), "bad reference size");
    b = good;
    b[t + 15] = 0;
    EXPECT_EQ(why(b), "no objects");
    b = good;
    b[t + 15] = 0xFF;   // more objects than the table holds
    EXPECT_EQ(why(b), "offset table does not fit");
    b = good;
    b[t + 8] = 0x80;   // a count that overflows when multiplied
    EXPECT_EQ(why(b), "offset table does not fit");
    b = good;
    b[t + 23] = 5;
    EXPECT_EQ(why(b), "top object out of range");
    b = good;
    b[t + 24] = 0x7F;
    EXPECT_EQ(why(b), "offset table outside the file");
    b = good;
    b[t + 31] = 4;
    EXPECT_EQ(why(b), "offset table outside the file");
    EXPECT_EQ(why(Bytes((8u << 20) + 1, 0)), "too large");
}

TEST(BinaryChecks, OffsetsAndObjects) {
    const Bytes good = smallDict().build();
    const std::size_t table = good.size() - 32 - 5;   // five one-byte offsets
    Bytes b = good;
    b[table + 1] = 3;   // into the header
    EXPECT_EQ(why(b), "object offset outside the object area");
    b = good;
    b[table + 1] = std::uint8_t(table);   // onto the offset table itself
    EXPECT_EQ(why(b), "object offset outside the object area");
    b = good;
    b[table + 2] = 0xF0;   // past the end of the file
    EXPECT_EQ(why(b), "object offset outside the object area");

    RawPlist p = smallDict();
    p.objects[3][1] = 9;   // the array refers to object 9 of 5
    EXPECT_EQ(why(p.build()), "reference out of range");
    p = smallDict();
    p.objects[4][1] = 1;   // a dictionary key that is an integer
    EXPECT_EQ(why(p.build()), "dictionary key is not a string");
    p = smallDict();
    p.objects[2][0] = 0x5F;   // string with an extended count of 200 bytes
    p.objects[2][1] = 0x10;
    p.objects[2].push_back(200);
    EXPECT_EQ(why(p.build()), "truncated data or string");
    p = smallDict();
    p.objects[2] = {0x5F, 0x14, 0, 0};   // extended count with a 16-byte integer
    EXPECT_EQ(why(p.build()), "bad extended count");
    p = smallDict();
    p.objects[1] = {0x15, 1};
    EXPECT_EQ(why(p.build()), "bad integer size");
    p = smallDict();
    p.objects[1] = {0x00};   // null
    EXPECT_EQ(why(p.build()), "unsupported simple object");
    p = smallDict();
    p.objects[1] = {0xC1, 0x02};   // a set
    EXPECT_EQ(why(p.build()), "unsupported object type");
    p = smallDict();
    p.objects[2] = {0x61, 0xDC, 0x00};   // UTF-16 low surrogate alone
    EXPECT_EQ(why(p.build()), "lone surrogate");
    p = smallDict();
    p.objects[0] = {0x53, 'a', 0, 'b'};   // libplist aborts on a key with a NUL inside
    EXPECT_EQ(why(p.build()), "NUL in string");
    p = smallDict();
    p.objects[2] = {0x61, 0x00, 0x00};
    EXPECT_EQ(why(p.build()), "NUL in string");
    p = smallDict();
    p.objects[2] = {0x62, 0xD8, 0x3D, 0xDE, 0x00};   // a proper pair is fine
    EXPECT_TRUE(checkBinaryPlist(p.build()));
    p = smallDict();
    p.objects[4].resize(2);   // the dictionary's value reference is cut off by the offset table
    EXPECT_FALSE(checkBinaryPlist(p.build()));
}

TEST(BinaryChecks, CyclesDepthAndExpansion) {
    RawPlist cyclic;
    cyclic.array({0});   // an array that holds itself
    EXPECT_EQ(why(cyclic.build()), "cyclic reference");

    RawPlist deep;
    deep.integer(1);
    for (int i = 0; i < 70; ++i) deep.array({deep.objects.size() - 1});
    deep.top = deep.objects.size() - 1;
    EXPECT_EQ(why(deep.build()), "nested too deep");

    // Each level refers twice to the one below: tiny on disk, 2^40 nodes once copied out.
    RawPlist bomb;
    bomb.integer(1);
    for (int i = 0; i < 40; ++i) bomb.array({bomb.objects.size() - 1, bomb.objects.size() - 1});
    bomb.top = bomb.objects.size() - 1;
    EXPECT_EQ(why(bomb.build()), "too many objects once expanded");

    // Shared objects are fine within the limit.
    RawPlist shared;
    shared.integer(7);
    for (int i = 0; i < 5; ++i) shared.array({shared.objects.size() - 1, shared.objects.size() - 1});
    auto key = shared.ascii("k");
    shared.top = shared.dict({key}, {key - 1});
    auto d = dictionaryWithData(shared.build());
    ASSERT_TRUE(d);
    EXPECT_EQ(d->at("k").asArray()->size(), 2u);
}

}  // namespace
