// Fuzz target: the results file reader. Arbitrary bytes stand in for "Tinmarsh.result"; the store
// loads them, records a round (which rereads and rewrites the file) and loads again.
// Checks: no crash, only well-formed packs ever reach a list, the other games' keys survive a save (but one
// whose value a property list cannot hold unchanged),
// and an unreadable file is kept aside rather than overwritten.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "fuzz/fuzz_environment.h"
#include "platform/FileManager.h"
#include "platform/Plist.h"
#include "platform/headless/Headless.h"
#include "services/Support.h"
#include "services/VCGameRound.h"
#include "services/VCGamesResult.h"

using namespace plumbrick;

namespace {

using fuzz::check;
using fuzz::environment;

void checkList(const VCGamesResult& store, std::size_t maxSize) {
    const auto* list = store.getArGamesResult();
    check(list != nullptr);
    check(list->size() <= maxSize);
    for (const auto& pack : *list) {
        try {
            VCGameRound::checkPack(pack);
        } catch (const MalformedPackError&) {
            check(false);
        }
    }
}

std::set<std::string> keysOf(const std::optional<platform::PlistDictionary>& dict) {
    std::set<std::string> keys;
    if (dict)
        for (const auto& [key, value] : *dict) keys.insert(key);
    return keys;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto& env = environment();
    const std::string folder = getPathFolderSaveGame();
    const std::string file = folder + "/Tinmarsh.result";
    const std::string aside = file + ".unreadable";
    for (const auto& entry : std::filesystem::directory_iterator(folder))   // every copy kept aside before
        if (entry.path().filename().string().starts_with("Tinmarsh.result.unreadable"))
            platform::FileManager::defaultManager().removeItemAtPath(entry.path().string());
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    const auto before = platform::dictionaryWithContentsOfFile(file);

    VCGamesResult store("Yolkfall.v1");
    store.Load();
    // Lists from a foreign file may be longer than five; NewGame cuts them back.
    checkList(store, size);

    store.NewGame();
    checkList(store, VCGamesResult::kMaxRounds);
    env.advance(1.5);
    store.EndGame(1, 2, 3);
    try {
        (void)store.findResultWithDateStart(store.getGameround()->getDateStart());
        (void)store.setGameRoundWithDateStart(platform::Date{0});
    } catch (const MalformedPackError&) {
        check(false);   // Load let a malformed pack through
    }

    const auto after = platform::dictionaryWithContentsOfFile(file);
    if (before) {
        check(after.has_value());
        // Every entry survives but one that a property list cannot hold unchanged, which is dropped whole.
        const auto keysAfter = keysOf(after);
        for (const auto& [key, value] : *before)
            if (platform::isWritableText(key) && (value.asArray() || platform::isWritable(value)))
                check(keysAfter.count(key) == 1);
    } else {
        check(platform::FileManager::defaultManager().fileExistsAtPath(aside));
    }

    VCGamesResult reread("Yolkfall.v1");
    reread.Load();
    checkList(reread, size + VCGamesResult::kMaxRounds);
    env.clearLog();
    return 0;
}
