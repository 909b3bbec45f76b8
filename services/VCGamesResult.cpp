#include "services/VCGamesResult.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "platform/FileLock.h"
#include "platform/FileManager.h"
#include "platform/Log.h"
#include "platform/SaveReports.h"
#include "services/Support.h"

namespace plumbrick {

VCGamesResult::VCGamesResult() {
    placeOfStorage = getPathFolderSaveGame() + "/" + kFileName + ".result";
    gameround = nullptr;
}

VCGamesResult::VCGamesResult(std::string nameGame_) : VCGamesResult() { nameGame = std::move(nameGame_); }

void VCGamesResult::Load() {
    auto list = std::make_shared<platform::PlistArray>();
    const auto dict = platform::dictionaryWithContentsOfFile(placeOfStorage);
    if (dict) {
        const auto it = dict->find(nameGame);
        if (it != dict->end()) {
            if (const auto* stored = it->second.asArray()) {
                for (const auto& pack : *stored) {
                    try {
                        VCGameRound::checkPack(pack);
                        list->push_back(pack);
                    } catch (const MalformedPackError& e) {
                        platform::NSLog("ERROR VCGamesResult:Load: %s", e.what());
                    }
                }
            }
        }
    }
    listOnDisk = *list;
    takenOut.clear();
    arGamesResult = std::move(list);
}

namespace {

constexpr const char* kSaveKind = "results";

// The first free name for a kept-aside copy: "<file>.unreadable", then "<file>.unreadable.2", ".3", ...
std::string asideName(const std::string& file, int n) {
    return file + ".unreadable" + (n == 1 ? std::string() : "." + std::to_string(n));
}

// What the other games' entries keep: a value that cannot be written back as it was read is dropped first,
// like a malformed pack, with one line each (a list loses the packs that hold one; anything else goes whole).
void dropUnwritable(platform::PlistDictionary& dict, const std::string& self) {
    for (auto it = dict.begin(); it != dict.end();) {
        if (it->first == self) {
            ++it;
            continue;
        }
        std::string why;
        if (!platform::isWritableText(it->first)) {
            platform::NSLog("ERROR VCGamesResult:Save: dropped an entry whose name is not text a property list holds");
            it = dict.erase(it);
        } else if (platform::PlistArray* list = it->second.asArray()) {
            std::erase_if(*list, [&](const platform::PlistValue& pack) {
                if (platform::isWritable(pack, &why)) return false;
                platform::NSLog("ERROR VCGamesResult:Save: dropped a pack of %s: it holds %s", it->first.c_str(),
                                why.c_str());
                return true;
            });
            ++it;
        } else if (!platform::isWritable(it->second, &why)) {
            platform::NSLog("ERROR VCGamesResult:Save: dropped the entry %s: it holds %s", it->first.c_str(),
                            why.c_str());
            it = dict.erase(it);
        } else {
            ++it;
        }
    }
}

// The packs of this game's entry that are well formed (the others were never this store's, and go).
platform::PlistArray wellFormedPacks(const platform::PlistValue* entry) {
    platform::PlistArray packs;
    if (const platform::PlistArray* list = entry ? entry->asArray() : nullptr) {
        for (const auto& pack : *list) {
            try {
                VCGameRound::checkPack(pack);
                packs.push_back(pack);
            } catch (const MalformedPackError&) {}
        }
    }
    return packs;
}

bool holds(const platform::PlistArray& list, const platform::PlistValue& pack) {
    return std::any_of(list.begin(), list.end(),
                       [&](const platform::PlistValue& p) { return VCGamesResult::isSameRound(p, pack); });
}

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}   // namespace

bool VCGamesResult::isSameRound(const platform::PlistValue& a, const platform::PlistValue& b) {
    VCGameRound x, y;
    try {
        x.setPack(a);
        y.setPack(b);
    } catch (const MalformedPackError&) {
        return false;
    }
    // The file keeps whole seconds since 2001 (platform/Plist.cpp): a date read back is the second it fell in.
    auto held = [](platform::Date d) { return std::floor(d.timeIntervalSinceReferenceDate()); };
    return held(x.getDateStart()) == held(y.getDateStart()) && held(x.getDateEnd()) == held(y.getDateEnd()) &&
           x.getTime() == y.getTime() && x.getScores() == y.getScores() && x.getPenalty() == y.getPenalty();
}

bool VCGamesResult::isCurrentRound(const platform::PlistValue& pack) const {
    return gameround && isSameRound(pack, gameround->getPack());
}

platform::PlistArray VCGamesResult::mergedWith(const platform::PlistArray& inFile) const {
    const platform::PlistArray& mine = *arGamesResult;
    platform::PlistArray merged;
    bool added = false;
    for (const auto& pack : mine) {
        // A round this store saw in the file that is gone from it now was taken out by another copy: an older
        // record of a round it recorded again, or the lowest that made room. The current round always stays.
        if (holds(listOnDisk, pack) && !holds(inFile, pack) && !isCurrentRound(pack)) continue;
        merged.push_back(pack);
    }
    for (const auto& pack : inFile) {
        if (holds(mine, pack) || holds(listOnDisk, pack) || holds(takenOut, pack)) continue;
        merged.push_back(pack);   // recorded by another copy, or in the file when this store could not read it
        added = true;
    }
    if (!added) return merged;
    try {
        std::stable_sort(
            merged.begin(), merged.end(),
            [](const platform::PlistValue& a, const platform::PlistValue& b) { return scoresSort(a, b, nullptr) < 0; });
    } catch (const MalformedPackError&) {
        // A malformed pack of this store's own (set by hand): the list is written as it stands.
    }
    const std::size_t room = std::max(std::size_t(kMaxRounds), mine.size());
    for (std::size_t i = merged.size(); merged.size() > room && i-- > 0;)
        if (!isCurrentRound(merged[i])) merged.erase(merged.begin() + std::ptrdiff_t(i));
    return merged;
}

void VCGamesResult::Save() {
    if (!arGamesResult) return;
    auto& fm = platform::FileManager::defaultManager();
    auto& reports = platform::SaveReports::shared();
    auto fail = [&](const std::string& what) {
        savePending = true;
        reports.failed(kSaveKind, "ERROR VCGamesResult:Save: " + what, kNotSavedNotice);
    };

    // Another copy of the program may write the file between this read and this write: the save folder's lock
    // makes each read, merge and write one step. Without a lock (a folder that cannot be opened) it goes on.
    const platform::FileLock lock = platform::FileLock::waitForFolder(folderOf(placeOfStorage));
    int readError = 0;
    const auto bytes = fm.dataWithContentsOfFile(placeOfStorage, platform::kMaxDictionaryFileBytes, &readError);
    std::optional<platform::PlistDictionary> dict;
    if (bytes) dict = platform::dictionaryWithData(*bytes);
    if (!bytes && readError != ENOENT && readError != EISDIR && readError != EFBIG) {
        // The file is there but could not be read now: writing would lose the other games' lists. The list stays
        // in memory and is written at the next occasion.
        fail("Could not read " + placeOfStorage + ": " + std::strerror(readError) + "; nothing written");
        return;
    }
    std::optional<platform::PlistArray> inFile;
    if (dict) {
        const auto it = dict->find(nameGame);
        if (it != dict->end() && it->second.asArray()) inFile = wellFormedPacks(&it->second);
    }
    if (!dict) {
        if (fm.itemKindAtPath(placeOfStorage) != platform::FileManager::ItemKind::None) {
            // Overwriting would destroy the other games' lists: keep the unreadable file aside, under a name of its
            // own, never over a copy kept earlier.
            std::string aside, error;
            for (int n = 1; n <= kMaxAsideCopies && aside.empty(); ++n) {
                const std::string name = asideName(placeOfStorage, n);
                if (fm.itemKindAtPath(name) != platform::FileManager::ItemKind::None) continue;
                if (fm.moveItemAtPath(placeOfStorage, name, &error))
                    aside = name;
                else if (fm.itemKindAtPath(name) == platform::FileManager::ItemKind::None)
                    break;   // not a name clash
            }
            if (aside.empty()) {
                fail("cannot move the unreadable results file aside: " +
                     (error.empty() ? "every name for a kept-aside copy is taken" : error));
                return;
            }
            platform::NSLog("ERROR VCGamesResult:Save: unreadable results file moved to %s", aside.c_str());
        }
        dict.emplace();
    }
    dropUnwritable(*dict, nameGame);
    // Without a list of this game in the file there is nothing to merge: the list is written as it stands.
    platform::PlistArray list = inFile ? mergedWith(*inFile) : *arGamesResult;
    (*dict)[nameGame] = platform::PlistValue(list);
    std::string error;
    if (!platform::writeDictionaryToFile(*dict, placeOfStorage, &error)) {
        fail(error);   // the list in memory stays as it was, and so does what this store knows of the file
        return;
    }
    listOnDisk = list;
    takenOut.clear();
    *arGamesResult = std::move(list);
    savePending = false;
    reports.succeeded(kSaveKind);
}

void VCGamesResult::NewGame() {
    if (arGamesResult)
        while (arGamesResult->size() >= std::size_t(kMaxRounds)) {
            takenOut.push_back(arGamesResult->back());
            arGamesResult->pop_back();
        }
    const platform::Date now = platform::Date::date();
    gameround = std::make_shared<VCGameRound>(now, now, 0, 0, 0, "");
    if (arGamesResult) arGamesResult->push_back(gameround->getPack());
}

void VCGamesResult::EndGame(int time, int scores, int penalty) {
    if (!gameround) return;
    try {
        const platform::PlistValue before = gameround->getPack();
        gameround->setDateEnd(platform::Date::date());
        gameround->setTime(time);
        gameround->setPenalty(penalty);
        if (!(gameround->getScores() > scores)) gameround->setScores(scores);
        // The round's entry is the pack it was last recorded as; rounds of other copies merged into the list may
        // have begun within the lookup's tolerance of it. A list set by hand is searched by the start date.
        int index = -1;
        for (std::size_t i = 0; arGamesResult && i < arGamesResult->size() && index == -1; ++i)
            if (isSameRound((*arGamesResult)[i], before)) index = int(i);
        if (index == -1) index = findResultWithDateStart(gameround->getDateStart());
        if (index == -1) return;
        platform::PlistValue& entry = (*arGamesResult)[std::size_t(index)];
        const platform::PlistValue now = gameround->getPack();
        if (!isSameRound(entry, now)) takenOut.push_back(entry);
        entry = now;
        std::stable_sort(
            arGamesResult->begin(), arGamesResult->end(),
            [](const platform::PlistValue& a, const platform::PlistValue& b) { return scoresSort(a, b, nullptr) < 0; });
        Save();
    } catch (const std::exception& e) {
        platform::NSLog("ERROR VCGamesResult:EndGame: %s", e.what());
    }
}

int VCGamesResult::findResultWithDateStart(platform::Date date) const {
    if (!arGamesResult) return -1;
    for (std::size_t i = 0; i < arGamesResult->size(); ++i) {
        const platform::Date start = VCGameRound::dateStartOfPack((*arGamesResult)[i]);
        if (std::fabs(date.timeIntervalSinceDate(start)) <= kDateTolerance) return int(i);
    }
    return -1;
}

bool VCGamesResult::setGameRoundWithDateStart(platform::Date date) {
    const int index = findResultWithDateStart(date);
    if (index == -1) {
        NewGame();
        return false;
    }
    auto round = gameround ? gameround : std::make_shared<VCGameRound>();
    round->setPack((*arGamesResult)[std::size_t(index)]);
    gameround = round;
    return true;
}

int VCGamesResult::scoresSort(const platform::PlistValue& a, const platform::PlistValue& b, void*) {
    const int sa = VCGameRound::scoresOfPack(a);
    const int sb = VCGameRound::scoresOfPack(b);
    if (sa > sb) return -1;
    if (sa < sb) return 1;
    return 0;
}

}   // namespace plumbrick
