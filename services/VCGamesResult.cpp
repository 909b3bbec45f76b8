#include "services/VCGamesResult.h"

#include <algorithm>
#include <cmath>

#include "platform/FileManager.h"
#include "platform/Log.h"
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

void VCGamesResult::Save() {
    if (!arGamesResult) return;
    auto& fm = platform::FileManager::defaultManager();
    auto dict = platform::dictionaryWithContentsOfFile(placeOfStorage);
    if (!dict) {
        if (fm.fileExistsAtPath(placeOfStorage)) {
            // Overwriting would destroy the other games' lists: keep the unreadable file aside.
            const std::string aside = placeOfStorage + ".unreadable";
            std::string error;
            if (fm.fileExistsAtPath(aside)) fm.removeItemAtPath(aside);
            if (!fm.moveItemAtPath(placeOfStorage, aside, &error)) {
                platform::NSLog("ERROR VCGamesResult:Save: cannot move the unreadable results file aside: %s",
                                error.c_str());
                return;
            }
            platform::NSLog("ERROR VCGamesResult:Save: unreadable results file moved to %s", aside.c_str());
        }
        dict.emplace();
    }
    (*dict)[nameGame] = platform::PlistValue(*arGamesResult);
    platform::writeDictionaryToFile(*dict, placeOfStorage);
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
        std::stable_sort(arGamesResult->begin(), arGamesResult->end(),
                         [](const platform::PlistValue& a, const platform::PlistValue& b) {
                             return scoresSort(a, b, nullptr) < 0;
                         });
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

}  // namespace plumbrick
