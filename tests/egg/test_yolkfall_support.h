#pragma once
// Shared fixture of the egg controller's tests: a headless environment with its virtual clock, a root
// controller that records what it is asked, and the controller made from its real layout.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "games/egg/YolkfallViewController.h"
#include "platform/Input.h"
#include "platform/Notification.h"
#include "platform/headless/Headless.h"
#include "services/Support.h"

namespace plumbrick::testing {

struct RecordingRoot : VCRootControllerProtocol {
    std::vector<std::string> calls;
    std::vector<platform::ViewController*> games;
    void switchInfoFromGame(const std::string& gameId) override { calls.push_back("switchInfoFromGame:" + gameId); }
    void switchInfoFromMenu(int tag) override { calls.push_back("switchInfoFromMenu:" + std::to_string(tag)); }
    void switchGameFromMenu(int slot) override { calls.push_back("switchGameFromMenu:" + std::to_string(slot)); }
    void switchMenuFromGame(platform::ViewController* game) override {
        calls.push_back("switchMenuFromGame:");
        games.push_back(game);
    }
    void switchToIntro() override { calls.push_back("switchToIntro"); }
    void switchToViewWithIdentifierid() override { calls.push_back("switchToViewWithIdentifierid"); }
};

// Deck d's key on the face: 0 left up, 1 left down, 2 right down, 3 right up.
inline const char* basketKey(int deck) {
    static const char* keys[4] = {"q", "a", "l", "p"};
    return keys[deck];
}
// The rolling sound of deck d.
inline const char* rollSound(int deck) {
    static const char* names[4] = {"yolkfall_01", "yolkfall_01", "yolkfall_03", "yolkfall_04"};
    return names[deck];
}
inline int deckOfEggTag(int tag) {
    switch (tag / 100) {
        case 5: return 0;
        case 6: return 1;
        case 8: return 2;
        case 7: return 3;
        default: return -1;
    }
}

class YolkfallFixture : public ::testing::Test {
protected:
    platform::headless::Environment env;
    RecordingRoot root;
    std::unique_ptr<YolkfallViewController> game;
    platform::View* face = nullptr;

    YolkfallViewController& open(const std::string& gameId = "Yolkfall.v1",
                                 const std::string& layout = "YolkfallViewController") {
        face = nullptr;
        game.reset();
        game = std::make_unique<YolkfallViewController>(gameId, layout, &root);
        face = game->view();
        EXPECT_NE(face, nullptr) << "layout " << layout;
        return *game;
    }

    bool lit(int tag) const {
        platform::View* v = face->viewWithTag(tag);
        return v && !v->isHidden();
    }
    double alphaOf(int tag) const { return face->viewWithTag(tag)->alpha(); }

    void press(const std::string& key) { ASSERT_TRUE(platform::pressKey(*face, key)) << "no control for " << key; }

    // One tick of the game timer (or 25 ms when no round runs).
    void tick() {
        const platform::Timer* t = game->getCycleSuperVisor();
        const double step = t ? t->fireDate() - env.now() : YolkfallViewController::kTickInterval;
        env.advance(step > 0 ? step : 0);
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i) tick();
    }
    // Ticks until pred holds; false when it has not after `limit` ticks.
    template <class Pred> bool tickUntil(Pred pred, int limit = 100000) {
        for (int i = 0; i < limit; ++i) {
            if (pred()) return true;
            tick();
        }
        return pred();
    }

    std::vector<int> litEggTags() const {
        std::vector<int> out;
        for (int base : {500, 600, 700, 800})
            for (int i = 0; i < 5; ++i)
                if (lit(base + i)) out.push_back(base + i);
        return out;
    }
    int eggCount() const { return game->getLife() ? static_cast<int>(game->getLife()->size()) : 0; }

    // Puts the basket on a deck that has no egg now (the next deck after `avoid` when all have eggs).
    void basketToEmptyDeck(int avoid = -1) {
        bool used[4] = {};
        if (auto* eggs = game->getLife())
            for (auto& e : *eggs) used[e->getDeck()] = true;
        for (int d = 0; d < 4; ++d)
            if (!used[d] && d != avoid) {
                press(basketKey(d));
                return;
            }
        press(basketKey((avoid + 1) & 3));
    }
    // Plays on with the basket kept away from the eggs until an egg is missed (a chick appears).
    bool missAnEgg(int limit = 5000) {
        for (int i = 0; i < limit; ++i) {
            if (game->getChick()) return true;
            basketToEmptyDeck();
            tick();
        }
        return game->getChick() != nullptr;
    }

    static std::string resultsPath() { return getPathFolderSaveGame() + "/Tinmarsh.result"; }
    static std::string statePath(const std::string& gameId = "Yolkfall.v1") {
        return getPathFolderSaveGame() + "/Tinmarsh." + gameId + ".state";
    }
};

}  // namespace plumbrick::testing
