// Fuzz target: the results store's read-then-write cycle. Arbitrary bytes stand in for "Tinmarsh.result"; the
// store loads them and records a round, which reads the file again and rewrites it. Checks: the file written
// is well-formed XML (as expat, a standard XML reader, sees it) and reads back equal to what the store kept:
// every other game's entry as it was read, less only what a property list cannot hold unchanged, and this
// game's list as the store holds it. Dates are compared in whole seconds, which is what XML keeps.

#include <expat.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/fuzz_environment.h"
#include "platform/FileManager.h"
#include "platform/Plist.h"
#include "platform/headless/Headless.h"
#include "services/Support.h"
#include "services/VCGamesResult.h"

using namespace plumbrick;
namespace fs = std::filesystem;

namespace {

using fuzz::check;
using fuzz::environment;

bool wellFormed(const platform::Bytes& xml) {
    XML_Parser parser = XML_ParserCreate(nullptr);
    const bool ok = XML_Parse(parser, reinterpret_cast<const char*>(xml.data()), static_cast<int>(xml.size()),
                              XML_TRUE) == XML_STATUS_OK;
    XML_ParserFree(parser);
    return ok;
}

// Equal as the file keeps values: dates to the whole second, every NaN alike.
bool same(const platform::PlistValue& a, const platform::PlistValue& b) {
    if (a.v.index() != b.v.index()) return false;
    if (auto x = a.asReal()) return (std::isnan(*x) && std::isnan(*b.asReal())) || *x == *b.asReal();
    if (auto x = a.asDate()) {
        constexpr double k2001 = 978307200.0;
        return std::floor(x->timeIntervalSince1970 - k2001) == std::floor(b.asDate()->timeIntervalSince1970 - k2001);
    }
    if (auto x = a.asArray()) {
        const auto* y = b.asArray();
        if (x->size() != y->size()) return false;
        for (std::size_t i = 0; i < x->size(); ++i)
            if (!same((*x)[i], (*y)[i])) return false;
        return true;
    }
    if (auto x = a.asDictionary()) {
        const auto* y = b.asDictionary();
        if (x->size() != y->size()) return false;
        for (auto i = x->begin(), j = y->begin(); i != x->end(); ++i, ++j)
            if (i->first != j->first || !same(i->second, j->second)) return false;
        return true;
    }
    return a == b;
}

// What the store keeps of a file's dictionary for the other games: entries whose name is text a property list
// holds, lists less the packs it cannot hold, anything else only whole.
platform::PlistDictionary keptOf(const platform::PlistDictionary& read, const std::string& self) {
    platform::PlistDictionary kept;
    for (const auto& [key, value] : read) {
        if (key == self || !platform::isWritableText(key)) continue;
        if (const auto* list = value.asArray()) {
            platform::PlistArray writable;
            for (const auto& pack : *list)
                if (platform::isWritable(pack)) writable.push_back(pack);
            kept[key] = platform::PlistValue(std::move(writable));
        } else if (platform::isWritable(value)) {
            kept[key] = value;
        }
    }
    return kept;
}

void removeKeptAside(const std::string& folder) {
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().starts_with("Tinmarsh.result.unreadable")) fs::remove_all(entry.path());
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto& env = environment();
    const std::string folder = getPathFolderSaveGame();
    const std::string file = folder + "/Tinmarsh.result";
    removeKeptAside(folder);
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    const auto read = platform::dictionaryWithContentsOfFile(file);

    VCGamesResult store("Yolkfall.v1");
    store.Load();
    store.NewGame();
    env.advance(1.5);
    store.EndGame(1, 2, 3);

    platform::PlistDictionary kept = read ? keptOf(*read, store.getNameGame()) : platform::PlistDictionary{};
    kept[store.getNameGame()] = platform::PlistValue(*store.getArGamesResult());

    const auto written = platform::FileManager::defaultManager().dataWithContentsOfFile(file);
    check(written.has_value());
    check(wellFormed(*written));
    const auto back = platform::dictionaryWithData(*written);
    check(back.has_value());
    check(same(platform::PlistValue(*back), platform::PlistValue(kept)));
    check(platform::xmlDataFromDictionary(*back) == *written);   // written again, it is the same file
    env.clearLog();
    return 0;
}
