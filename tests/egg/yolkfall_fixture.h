#pragma once
// Shared fixture of the egg controller's tests: a headless environment with its virtual clock, a root
// controller that records what it is asked, and the controller made from its real layout.

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "games/egg/YolkfallViewController.h"
#include "platform/FileManager.h"
#include "platform/Input.h"
#include "platform/Plist.h"
#include "platform/headless/Headless.h"
#include "services/Support.h"
#include "tests/support/recording_root.h"

namespace plumbrick::testing {

inline platform::FileManager& files() { return platform::FileManager::defaultManager(); }

constexpr int kIdle = YolkfallViewController::kIdle, kPlaying = YolkfallViewController::kPlaying,
              kPaused = YolkfallViewController::kPaused;

// Deck d (0 left up, 1 left down, 2 right down, 3 right up): its basket key and its rolling sound.
inline const char* basketKey(int deck) { return std::array{"q", "a", "l", "p"}[deck]; }
inline std::string rollSound(int deck) { return std::string("yolkfall_0") + "1134"[deck]; }
// The deck of an egg segment (five a deck), or -1.
inline int deckOfEggTag(int tag) {
    for (int d = 0; d < 4; ++d)
        if (tag >= YolkfallRound::eggTag(d, 0) && tag <= YolkfallRound::eggTag(d, 4)) return d;
    return -1;
}

class YolkfallFixture : public ::testing::Test {
protected:
    platform::headless::Environment env;
    RecordingRoot root;
    std::unique_ptr<YolkfallViewController> game;
    platform::View* face = nullptr;

    void open(const std::string& id = "Yolkfall.v1", const std::string& layout = "YolkfallViewController") {
        game.reset();   // the old controller goes first, as at the application's end
        game = std::make_unique<YolkfallViewController>(id, layout, &root);
        ASSERT_NE(face = game->view(), nullptr) << layout;
    }
    // A round of game B, played automatically when asked.
    void openAndStart(bool automatic = false) {
        open();
        press("2");
        game->set_auto_(automatic);
    }
    bool lit(int tag) const { return face->viewWithTag(tag) && !face->viewWithTag(tag)->isHidden(); }
    void press(const std::string& key) { ASSERT_TRUE(platform::pressKey(*face, key)) << "no control for " << key; }

    // One tick of the game timer (or 25 ms when no round runs).
    void tick() {
        const platform::Timer* t = game->getCycleSuperVisor();
        const double step = t ? t->fireDate() - env.now() : YolkfallViewController::kTickInterval;
        env.advance(step > 0 ? step : 0);
    }
    void ticks(int n) {
        while (n-- > 0) tick();
    }
    template <class Pred> bool tickUntil(Pred pred, int limit = 100000) {
        for (int i = 0; i < limit && !pred(); ++i) tick();
        return pred();
    }
    bool soundNow(const std::string& name) const {
        for (const auto& s : env.sounds())
            if (s.time == env.now() && s.path.find("/" + name + ".") != std::string::npos) return true;
        return false;
    }
    std::vector<int> litEggTags() const {
        std::vector<int> out;
        for (int d : {0, 1, 3, 2})   // in the order of their tags
            for (int k = 0; k < 5; ++k)
                if (lit(YolkfallRound::eggTag(d, k))) out.push_back(YolkfallRound::eggTag(d, k));
        return out;
    }

    // Plays on by hand with the basket kept on a deck without eggs until an egg is missed; then, when
    // asked, until its chick is gone.
    bool missAnEgg(bool waitForChick = false) {
        game->set_auto_(false);
        const YolkfallRound& round = game->getRound();
        for (int i = 0; i < 5000 && !round.getChick(); ++i) {
            bool used[4] = {};
            if (auto* eggs = game->getLife())
                for (const auto& e : *eggs) used[e.deck] = true;
            int d = 0;
            while (d < 3 && used[d]) ++d;
            press(basketKey(d));
            tick();
        }
        if (!round.getChick()) return false;
        return !waitForChick || tickUntil([&] { return !round.getChick(); }, 100);
    }

    static std::string resultsPath() { return getPathFolderSaveGame() + "/Tinmarsh.result"; }
    static std::string statePath(const std::string& id = "Yolkfall.v1") {
        return getPathFolderSaveGame() + "/Tinmarsh." + id + ".state";
    }
    static bool exists(const std::string& path) { return files().fileExistsAtPath(path); }
    // One field (3 the score, 4 the penalty) of each pack recorded under `id` in the results file.
    static std::vector<int> recorded(int field = 3, const std::string& id = "Yolkfall.v1") {
        std::vector<int> out;
        auto dict = platform::dictionaryWithContentsOfFile(resultsPath());
        if (dict && dict->count(id))
            for (const auto& pack : *dict->at(id).asArray()) out.push_back(int(*(*pack.asArray())[field].asInteger()));
        return out;
    }
};

}   // namespace plumbrick::testing
