#include "services/VCGamesResult.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

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

}   // namespace

void VCGamesResult::Save() {
    if (!arGamesResult) return;
    auto& fm = platform::FileManager::defaultManager();
    auto& reports = platform::SaveReports::shared();
    auto fail = [&](const std::string& what) {
        savePending = true;
        reports.failed(kSaveKind, "ERROR VCGamesResult:Save: " + what, kNotSavedNotice);
    };

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
    (*dict)[nameGame] = platform::PlistValue(*arGamesResult);
    std::string error;
    if (!platform::writeDictionaryToFile(*dict, placeOfStorage, &error)) {
        fail(error);
        return;
    }
    savePending = false;
    reports.succeeded(kSaveKind);
}

void VCGamesResult::NewGame() {
    if (arGamesResult)
        while (arGamesResult->size() >= std::size_t(kMaxRounds)) arGamesResult->pop_back();
    const platform::Date now = platform::Date::date();
    gameround = std::make_shared<VCGameRound>(now, now, 0, 0, 0, "");
    if (arGamesResult) arGamesResult->push_back(gameround->getPack());
}

void VCGamesResult::EndGame(int time, int scores, int penalty) {
    if (!gameround) return;
    try {
        gameround->setDateEnd(platform::Date::date());
        gameround->setTime(time);
        gameround->setPenalty(penalty);
        if (!(gameround->getScores() > scores)) gameround->setScores(scores);
        const int index = findResultWithDateStart(gameround->getDateStart());
        if (index == -1) return;
        (*arGamesResult)[std::size_t(index)] = gameround->getPack();
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
