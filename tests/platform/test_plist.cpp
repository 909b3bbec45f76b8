// Property-list dictionary files: the results-file shape written and read back, failed writes, bad files,
// and the checks that guard libplist's binary reader.
#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <fstream>

#include "platform/Plist.h"
#include "platform/headless/Headless.h"
#include "test_support.h"

using namespace platform;
using testsupport::bytesOf;

namespace {

class PlistFiles : public ::testing::Test {
protected:
    headless::Environment env;
    const std::string file = env.documents() + "/Tinmarsh.result";
    void put(const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }
};

PlistArray pack(double start, double end, int time, int scores, int penalty, std::string name = "") {
    return PlistArray{Date{start}, Date{end}, time, scores, penalty, std::move(name)};
}

TEST_F(PlistFiles, TheResultsShapeRoundTripsWithSignedIntegersAndDates) {
    const std::int64_t ints[] = {0, -1, INT32_MIN, INT32_MAX, std::int64_t(INT32_MIN) - 1, INT64_MIN, INT64_MAX};
    const PlistDictionary dict{
        {"Yolkfall.v1", PlistArray{pack(1296741900, 1296742000, 100, 120, 3), pack(1296750000, 1296750045, 45, 80, 0)}},
        {"Panflip.v1", PlistArray{pack(946684800, 1300000999, -5, 999, 5, "a&b <c> \xc3\xa9")}},   // from before 2001
        {"Empty.v1", PlistArray{}},
        {"n", PlistArray(std::begin(ints), std::end(ints))},
        {"other", PlistDictionary{{"yes", true}, {"pi", 3.141592653589793}, {"", ""}}}};
    std::string error;
    ASSERT_TRUE(writeDictionaryToFile(dict, file, &error)) << error;
    EXPECT_EQ(dictionaryWithContentsOfFile(file), dict);
    // Other readers see an XML property list with dates and signed integers, not two's-complement giants.
    const std::string text = testsupport::textOf(*FileManager::defaultManager().dataWithContentsOfFile(file));
    for (const char* part :
         {"<?xml", "<date>2011-02-03T14:05:00Z</date>", "<integer>-1</integer>", "<integer>-2147483648</integer>"})
        EXPECT_NE(text.find(part), std::string::npos) << part;
    // XML keeps whole seconds: the fraction is dropped, never rounded up into the next second.
    EXPECT_EQ(dictionaryWithData(xmlDataFromDictionary({{"d", Date{1296741900.75}}})),
              (PlistDictionary{{"d", Date{1296741900}}}));
}

TEST_F(PlistFiles, AFailedWriteLeavesTheOldFile) {
    const PlistDictionary before{{"Yolkfall.v1", PlistArray{pack(1296741900, 1296742000, 1, 2, 3)}}};
    ASSERT_TRUE(writeDictionaryToFile(before, file));
    for (FileOp op : {FileOp::Open, FileOp::Write, FileOp::Sync, FileOp::Rename}) {
        FileFaults::shared().failNth(op, 1, ENOSPC);
        std::string error;
        EXPECT_FALSE(writeDictionaryToFile({{"other", 1}}, file, &error));
        EXPECT_FALSE(error.empty());
        FileFaults::shared().clear();
    }
    // Values that a property list cannot hold are refused before anything is written.
    const PlistDictionary withNull{{"a", PlistArray{PlistValue()}}};
    EXPECT_TRUE(xmlDataFromDictionary(withNull).empty());
    EXPECT_FALSE(writeDictionaryToFile(withNull, file));
    EXPECT_FALSE(writeDictionaryToFile({{"d", Date{1e12}}}, file));
    EXPECT_EQ(dictionaryWithContentsOfFile(file), before);
}

TEST_F(PlistFiles, MissingAndGarbageFilesReadAsNull) {
    EXPECT_FALSE(dictionaryWithContentsOfFile(env.documents() + "/missing"));
    EXPECT_FALSE(dictionaryWithContentsOfFile(env.documents()));
    // libplist's XML reader recurses once per level: deep nesting is refused before it gets there.
    auto nested = [](int depth) {
        std::string s = "<plist version=\"1.0\"><dict><key>k</key>";
        for (int i = 0; i < depth; ++i) s += "<array>";
        for (int i = 0; i < depth; ++i) s += "</array>";
        return s + "</dict></plist>";
    };
    const std::string xml = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
    const std::string bad[] = {"",
                               "garbage \x01\x02\x03",
                               xml + "<array><integer>1</integer></array></plist>",
                               xml + "<string>x</string></plist>",
                               xml + "<dict><key>a</key><array><integer>1</int",
                               "bplist00",
                               std::string("bplist00\xd0\x08\0\0\0\0\0\0", 16),
                               nested(200),
                               nested(300000)};
    for (const std::string& bytes : bad) {
        put(bytes);
        EXPECT_FALSE(dictionaryWithContentsOfFile(file)) << bytes.substr(0, 80);
    }
    EXPECT_TRUE(dictionaryWithData(bytesOf(nested(30))));
    put(xml + "<dict/></plist>");
    EXPECT_EQ(dictionaryWithContentsOfFile(file), PlistDictionary{});
}

// What the library cannot hold unchanged reads as an unheld value (the reason kept), never as a changed one; what
// it can hold reads as itself; and a byte-order mark before the XML is skipped.
TEST_F(PlistFiles, ValuesThatCannotBeHeldReadAsUnheldAndTheRestAsThemselves) {
    const std::string xml = "\xEF\xBB\xBF<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>";
    const std::pair<const char*, PlistValue> kept[] = {
        {"<integer>9223372036854775807</integer>", PlistValue(INT64_MAX)},
        {"<integer>-9223372036854775808</integer>", PlistValue(INT64_MIN)},
        {"<date>1932-12-13T20:45:52Z</date>", PlistValue(Date{978307200.0 + INT32_MIN})},
        {"<date>2069-01-19T03:14:07Z</date>", PlistValue(Date{978307200.0 + INT32_MAX})},
        {"<string>tab\tline\n\xf0\x9f\x8d\xb3 &lt;&amp;</string>", PlistValue("tab\tline\n\xf0\x9f\x8d\xb3 <&")},
    };
    for (const auto& [text, value] : kept) {
        put(xml + "<key>k</key>" + text + "</dict></plist>");
        EXPECT_EQ(dictionaryWithContentsOfFile(file), (PlistDictionary{{"k", value}})) << text;
    }
    const char* unheld[] = {"<integer>9223372036854775808</integer>",
                            "<date>2069-01-19T03:14:08Z</date>",
                            "<date>1932-12-13T20:45:51Z</date>",
                            "<string>\xff</string>",
                            "<string>\xc0\xaf</string>",
                            "<string>a&#x1f;b</string>",
                            "<string>a&#13;b</string>",
                            "<string>&#xFFFE;</string>",
                            "<array><string>\x7f\x01</string></array>"};
    for (const char* text : unheld) {
        put(xml + "<key>k</key>" + text + "</dict></plist>");
        const auto dict = dictionaryWithContentsOfFile(file);
        ASSERT_TRUE(dict) << text;
        std::string why;
        EXPECT_FALSE(isWritable(dict->at("k"), &why)) << text;
        EXPECT_FALSE(why.empty()) << text;
        EXPECT_TRUE(xmlDataFromDictionary(*dict).empty()) << text;
    }
    put(xml + "<key>\xff</key><true/></dict></plist>");   // a key that XML cannot carry takes its value with it
    EXPECT_TRUE(dictionaryWithContentsOfFile(file)->begin()->second.asUnheld());
}

// A binary property list of these objects with one-byte offsets and references (under 256 bytes in all).
Bytes binaryPlist(const std::vector<Bytes>& objects, std::size_t top) {
    Bytes out = bytesOf("bplist00"), table;
    for (const Bytes& o : objects) {
        table.push_back(std::uint8_t(out.size()));
        out.insert(out.end(), o.begin(), o.end());
    }
    Bytes trailer(32, 0);
    trailer[6] = trailer[7] = 1;
    trailer[15] = std::uint8_t(objects.size());
    trailer[23] = std::uint8_t(top);
    trailer[31] = std::uint8_t(out.size());
    out.insert(out.end(), table.begin(), table.end());
    out.insert(out.end(), trailer.begin(), trailer.end());
    return out;
}

std::string why(const Bytes& b) {
    std::string w;
    EXPECT_FALSE(checkBinaryPlist(b, &w));
    return w;
}

TEST(BinaryChecks, EveryFaultIsFoundBeforeLibplistReads) {
    // {"kk": [1, "xy"]}
    const std::vector<Bytes> small = {{0x52, 'k', 'k'}, {0x10, 1}, {0x52, 'x', 'y'}, {0xA2, 1, 2}, {0xD1, 0, 3}};
    const Bytes good = binaryPlist(small, 4);
    EXPECT_EQ(dictionaryWithData(good), (PlistDictionary{{"kk", PlistArray{1, "xy"}}}));
    // A binary date keeps its fraction, also before 2001: {"d": -1.5 s since 2001}.
    const Bytes date = binaryPlist({{0x51, 'd'}, {0x33, 0xBF, 0xF8, 0, 0, 0, 0, 0, 0}, {0xD1, 0, 1}}, 2);
    EXPECT_EQ(dictionaryWithData(date), (PlistDictionary{{"d", Date{978307198.5}}}));

    const struct {
        std::size_t index;
        Bytes object;
        const char* why;
    } objectCases[] = {
        {3, {0xA2, 1, 9}, "reference out of range"},
        {3, {0xA2, 1, 3}, "cyclic reference"},   // the array holds itself
        {4, {0xD1, 1, 3}, "dictionary key is not a string"},
        {2, {0x5F, 0x10, 200}, "truncated data or string"},
        {2, {0x5F, 0x14, 0, 0}, "bad extended count"},
        {1, {0x15, 1}, "bad integer size"},
        {1, {0x00}, "unsupported simple object"},
        {1, {0xC1, 2}, "unsupported object type"},
        {2, {0x61, 0xDC, 0x00}, "lone surrogate"},
        {0, {0x52, 'k', 0}, "NUL in string"},   // libplist aborts on such a key
    };
    for (const auto& c : objectCases) {
        auto objects = small;
        objects[c.index] = c.object;
        EXPECT_EQ(why(binaryPlist(objects, 4)), c.why);
    }

    Bytes b = good;
    b[good.size() - 17] = 0xFF;   // more objects than the offset table holds
    EXPECT_EQ(why(b), "offset table does not fit");
    b = good;
    b[good.size() - 36] = 3;   // the second object's offset points into the header
    EXPECT_EQ(why(b), "object offset outside the object area");
    EXPECT_EQ(why(bytesOf("bplist00")), "too short");
    EXPECT_EQ(why(Bytes((8u << 20) + 1, 0)), "too large");

    std::vector<Bytes> deep = {{0x10, 1}}, bomb = deep, shared = deep;
    for (std::uint8_t i = 0; i < 70; ++i) deep.push_back({0xA1, i});
    EXPECT_EQ(why(binaryPlist(deep, 70)), "nested too deep");
    // Each level refers twice to the one below: tiny on disk, 2^40 nodes once copied out.
    for (std::uint8_t i = 0; i < 40; ++i) bomb.push_back({0xA2, i, i});
    EXPECT_EQ(why(binaryPlist(bomb, 40)), "too many objects once expanded");
    for (std::uint8_t i = 0; i < 5; ++i) shared.push_back({0xA2, i, i});   // shared objects within the limit
    shared.push_back({0x51, 'k'});
    shared.push_back({0xD1, 6, 5});
    auto d = dictionaryWithData(binaryPlist(shared, 7));
    ASSERT_TRUE(d);
    EXPECT_EQ(d->at("k").asArray()->size(), 2u);
}

}   // namespace
