// Stored files: atomic writes under injected faults, stale temporaries and reads, the resources folder found beside
// the executable, and property lists and keyed archives under failed writes and hostile bytes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include <plist/plist.h>

#include "platform/Bundle.h"
#include "platform/FileManager.h"
#include "platform/KeyedArchive.h"
#include "platform/Plist.h"
#include "platform/headless/Headless.h"
#include "platform_support.h"

using namespace platform;
using plumbrick::testing::bytesOf;
namespace fs = std::filesystem;

namespace {

class Files : public ::testing::Test {
protected:
    headless::Environment env;
    FileManager& fm = FileManager::defaultManager();
    std::string path(const std::string& name) const { return env.documents() + "/" + name; }
    std::set<std::string> listing() const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(env.documents())) names.insert(e.path().filename());
        return names;
    }
    const fs::path top = fs::path(env.documents());
    fs::path make(const fs::path& relative) const {
        fs::create_directories(top / relative);
        return top / relative;
    }
    std::string found(const fs::path& exeDir, const std::string& override = "") const {
        return findResourceRoot(resourceCandidates(exeDir, override));
    }
    const std::string file = path("Tinmarsh.result");
    void put(const std::string& bytes) const { std::ofstream(file, std::ios::binary) << bytes; }
};

// How each failing call of a write leaves the old file whole, names the system's reason and leaves no temporary
// is ResultsSaves.EveryFailingCall... (test_services), through the results file's save; the order of the calls is
// PowerCut's.
TEST_F(Files, AnAtomicWriteMakesAFileOthersMayRead) {
    const std::string target = path("state");
    ASSERT_TRUE(fm.writeToFileAtomically(target, bytesOf("old, and longer")));
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

// A process killed between writing and renaming leaves its temporary file (PowerCut sees the writer's own go from
// every folder a crash can leave); only files named the way the writer names them are removed.
TEST_F(Files, StaleTemporariesAreRemoved) {
    for (const char* name :
         {".Tinmarsh.result.tmp.Ab12Cd", ".other.tmp.abc123", "visible.tmp.abc123", ".short.tmp.abc12"})
        std::ofstream(path(name)) << "partial";
    ASSERT_EQ(::mkdir(path(".folder.tmp.abcdef").c_str(), 0755), 0);   // a folder is never removed
    fm.removeStaleTemporaries(env.documents());
    EXPECT_EQ(listing(), (std::set<std::string>{"visible.tmp.abc123", ".short.tmp.abc12", ".folder.tmp.abcdef"}));
}

// The web page keeps the folders in the browser's storage from what the hook tells: each file once it is in
// place, never a write's temporary or a write that failed, and what a removal, a move or the tidying of a
// killed process's temporaries took away.
TEST_F(Files, TheChangeHookHearsOfFilesInPlaceAndItemsTakenAwayOnly) {
    std::vector<std::string> told;
    setFileChangeHook([&](FileChange change, const std::string& p) {
        told.push_back((change == FileChange::Saved ? "saved " : "removed ") + p.substr(env.documents().size()));
    });
    ASSERT_TRUE(fm.writeToFileAtomically(path("a"), bytesOf("1")));
    EXPECT_EQ(told, std::vector<std::string>{"saved /a"});
    FileFaults::shared().failNth(FileOp::Rename, 1, EIO);
    EXPECT_FALSE(fm.writeToFileAtomically(path("a"), bytesOf("2")));
    EXPECT_EQ(told.size(), 1u) << "a failed write told of";
    FileFaults::shared().failNth(FileOp::Sync, 2, EIO);
    EXPECT_FALSE(fm.writeToFileAtomically(path("a"), bytesOf("3")));
    EXPECT_EQ(told.back(), "saved /a") << "new contents in place, though the folder's sync failed";
    ASSERT_TRUE(fm.canWriteInFolder(env.documents()));
    EXPECT_EQ(told.size(), 2u) << "a temporary told of";
    std::ofstream(path(".a.tmp.abc123")) << "left by a killed process";
    fm.removeStaleTemporaries(env.documents());
    EXPECT_EQ(told.back(), "removed /.a.tmp.abc123");
    ASSERT_TRUE(fm.moveItemAtPath(path("a"), path("b")));
    ASSERT_TRUE(fm.removeFileAtPath(path("b")));
    EXPECT_EQ(told, (std::vector<std::string>{"saved /a", "saved /a", "removed /.a.tmp.abc123", "removed /a",
                                              "saved /b", "removed /b"}));
    setFileChangeHook(nullptr);
}

TEST_F(Files, ReadsGiveTheWholeFileOrNothing) {
    EXPECT_FALSE(fm.dataWithContentsOfFile(path("missing")));
    EXPECT_FALSE(fm.dataWithContentsOfFile(env.documents()));   // a folder is not a file
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0644), 0);
    EXPECT_FALSE(fm.dataWithContentsOfFile(path("fifo")));   // nor a pipe, and reading it does not block
    std::string big(100000, 'z');
    big.back() = 'b';
    std::ofstream(path("big")) << big;
    EXPECT_EQ(fm.dataWithContentsOfFile(path("big")), bytesOf(big));
    EXPECT_FALSE(fm.dataWithContentsOfFile(path("big"), 99999));
    FileFaults::shared().failNth(FileOp::Read, 2, EIO);   // a failure part-way gives nothing, not a part
    EXPECT_FALSE(fm.dataWithContentsOfFile(path("big")));
}

TEST_F(Files, AnOverrideIsTheOnlyPlaceLookedInElseTheInstalledFolderWinsOverAResourcesFolderBesideTheProgram) {
    const fs::path bin = make("prefix/bin");
    make("prefix/bin/resources");
    make("prefix/share/plumbrick");
    make("elsewhere");
    EXPECT_EQ(found(bin, (top / "elsewhere").string()), (top / "elsewhere").string());
    EXPECT_EQ(found(bin, (top / "missing").string()), "") << "a missing override is not passed over";
    EXPECT_EQ(found(bin), (top / "prefix/share/plumbrick").string());
    fs::remove(top / "prefix/share/plumbrick");
    EXPECT_EQ(found(bin), (bin / "resources").string());
    fs::remove(bin / "resources");
    EXPECT_EQ(found(bin), "") << "nothing found";
}

TEST_F(Files, AResourceIsFoundInTheRootOrTheFirstFolderDownThatHoldsItAndOneAddedLaterIsFound) {
    plumbrick::testing::TempResources res((top / "res").string());
    res.write("face.png", "1");
    res.write("b/beep.aif", "2");
    res.write("a/beep.aif", "3");
    res.write("a/face.png", "4");
    Bundle& bundle = Bundle::mainBundle();
    EXPECT_EQ(bundle.pathForResource("face", "png"), (top / "res/face.png").string()) << "the root first";
    EXPECT_EQ(bundle.pathForResource("beep", "aif"), (top / "res/a/beep.aif").string()) << "first folder by name";
    EXPECT_EQ(bundle.pathForResource("gone", "png"), "");
    res.write("later.png", "5");
    fs::last_write_time(top / "res", fs::last_write_time(top / "res") + std::chrono::seconds(1));
    EXPECT_EQ(bundle.pathForResource("later", "png"), (top / "res/later.png").string()) << "the root listed again";
}

TEST_F(Files, SignedIntegersAndDatesRoundTripAsOtherReadersExpect) {
    const PlistDictionary dict{{"Panflip.v1", PlistArray{Date{946684800}, -1, "a&b <c> \xc3\xa9"}},   // before 2001
                               {"n", PlistArray{INT64_MIN, INT64_MAX}},
                               {"other", PlistDictionary{{"yes", true}, {"pi", 3.141592653589793}}}};
    ASSERT_TRUE(writeDictionaryToFile(dict, file));
    EXPECT_EQ(dictionaryWithContentsOfFile(file), dict);
    // Other readers see signed integers, not two's-complement giants.
    const std::string text = plumbrick::testing::textOf(*FileManager::defaultManager().dataWithContentsOfFile(file));
    EXPECT_NE(text.find("<integer>-1</integer>"), std::string::npos) << text;
    // XML keeps whole seconds: the fraction is dropped, never rounded up into the next second.
    EXPECT_EQ(dictionaryWithData(xmlDataFromDictionary({{"d", Date{1296741900.75}}})),
              (PlistDictionary{{"d", Date{1296741900}}}));
}

TEST_F(Files, ValuesAListCannotHoldLeaveTheOldFile) {
    const PlistDictionary before{{"Yolkfall.v1", PlistArray{1, 2}}};
    ASSERT_TRUE(writeDictionaryToFile(before, file));
    EXPECT_FALSE(writeDictionaryToFile({{"a", PlistArray{PlistValue()}}}, file));
    EXPECT_FALSE(writeDictionaryToFile({{"d", Date{1e12}}}, file));
    EXPECT_EQ(dictionaryWithContentsOfFile(file), before);
}

TEST_F(Files, MissingAndGarbageFilesReadAsNull) {
    // libplist's XML reader recurses once per level: deep nesting is refused before it gets there.
    auto nested = [](int depth) {
        std::string s = "<plist version=\"1.0\"><dict><key>k</key>";
        for (int i = 0; i < depth; ++i) s += "<array>";
        for (int i = 0; i < depth; ++i) s += "</array>";
        return s + "</dict></plist>";
    };
    const std::string xml = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
    const std::string bad[] = {xml + "<array><integer>1</integer></array></plist>",
                               xml + "<dict><key>a</key><array><integer>1</int", nested(200), nested(300000)};
    for (const std::string& bytes : bad) {
        put(bytes);
        EXPECT_FALSE(dictionaryWithContentsOfFile(file)) << bytes.substr(0, 80);
    }
    EXPECT_TRUE(dictionaryWithData(bytesOf(nested(30))));
}

// What the library cannot hold unchanged reads as an unheld value (the reason kept), never as a changed one; what
// it can hold reads as itself; and a byte-order mark before the XML is skipped.
TEST_F(Files, ValuesThatCannotBeHeldReadAsUnheldAndTheRestAsThemselves) {
    const std::string xml = "\xEF\xBB\xBF<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>";
    const std::pair<const char*, PlistValue> kept[] = {
        {"<date>1932-12-13T20:45:52Z</date>", PlistValue(Date{978307200.0 + INT32_MIN})},
        {"<date>2069-01-19T03:14:07Z</date>", PlistValue(Date{978307200.0 + INT32_MAX})},
        {"<string>tab\tline\n\xf0\x9f\x8d\xb3 &lt;&amp;</string>", PlistValue("tab\tline\n\xf0\x9f\x8d\xb3 <&")},
    };
    for (const auto& [text, value] : kept) {
        put(xml + "<key>k</key>" + text + "</dict></plist>");
        EXPECT_EQ(dictionaryWithContentsOfFile(file), (PlistDictionary{{"k", value}})) << text;
    }
    const char* unheld[] = {"<date>2069-01-19T03:14:08Z</date>", "<string>\xc0\xaf</string>",
                            "<string>&#xFFFE;</string>"};
    for (const char* text : unheld) {
        put(xml + "<key>k</key>" + text + "</dict></plist>");
        const auto dict = dictionaryWithContentsOfFile(file);
        ASSERT_TRUE(dict) << text;
        std::string why;
        EXPECT_FALSE(isWritable(dict->at("k"), &why)) << text;
        EXPECT_FALSE(why.empty()) << text;
        EXPECT_TRUE(xmlDataFromDictionary(*dict).empty()) << text;
    }
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

const Date kStart{1296741900.123456};

Bytes sampleArchive() {
    KeyedArchiver a;
    a.encodeInt(INT32_MIN, "min");
    a.encodeBool(true, "flagWolf");
    a.encodeObject(kStart, "gameround.dateStart");
    a.encodeObject(std::nullopt, "nothing");
    a.finishEncoding();
    return a.data();
}

// That a missing key or a value of another kind reads as zero, and what kind each key holds, the keyed archive's
// fuzz target checks for every key of both games' state files on each of its seeds.
TEST(KeyedArchive, TheLowestIntegerADateToTheMicrosecondAndNilReadBackAsWritten) {
    auto u = KeyedUnarchiver::initForReadingWithData(sampleArchive());
    ASSERT_TRUE(u);
    EXPECT_EQ(u->decodeIntForKey("min"), INT32_MIN);
    auto date = u->decodeObjectForKey("gameround.dateStart");
    ASSERT_TRUE(date);
    EXPECT_NEAR(date->timeIntervalSince1970, kStart.timeIntervalSince1970, 1e-6);   // the fraction is kept
    EXPECT_EQ(u->kindForKey("nothing"), ArchiveValueKind::Null);                    // nil is there, as nothing
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
        [](plist_t r, plist_t, plist_t) { plist_dict_set_item(r, "$archiver", plist_new_string("Other")); },
        [](plist_t r, plist_t, plist_t) { plist_dict_set_item(r, "$version", plist_new_uint(99999)); },
        [](plist_t r, plist_t, plist_t) { plist_dict_set_item(r, "$top", plist_new_array()); },
        [](plist_t r, plist_t, plist_t) { plist_dict_set_item(r, "$objects", plist_new_array()); },
        [](plist_t, plist_t, plist_t o) { plist_array_set_item(o, plist_new_string("null"), 0); },   // not $null first
        [](plist_t, plist_t t, plist_t) { plist_dict_set_item(t, "d", plist_new_uid(7)); },          // UID out of range
        [](plist_t, plist_t t, plist_t o) { addDate(t, o, 40); },   // class out of range, in an unused object
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
    for (const char* text :
         {"VersionSAVES = 100\nstate = 2\n", "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict/></plist>"})
        EXPECT_FALSE(KeyedUnarchiver::initForReadingWithData(bytesOf(text))) << text;
    for (std::size_t n = 0; n < good.size(); ++n)   // every truncation
        EXPECT_FALSE(KeyedUnarchiver::initForReadingWithData(Bytes(good.begin(), good.begin() + n))) << n;
}

}   // namespace
