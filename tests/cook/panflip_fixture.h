#pragma once
// Shared fixture of the cook controller's tests: a headless environment with its virtual clock, a recording
// root controller, and the controller made from its real layout and played with its real keys.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cmath>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "games/cook/PanflipTiming.h"
#include "games/cook/PanflipViewController.h"
#include "platform/FileManager.h"
#include "platform/Input.h"
#include "platform/Notification.h"
#include "platform/headless/Headless.h"
#include "services/Support.h"
#include "services/VCGamesResult.h"
#include "tests/support/RecordingRoot.h"

namespace plumbrick::testing {

// The face's keys.
inline constexpr const char* kLeft = "left";
inline constexpr const char* kRight = "right";
inline constexpr const char* kGameA = "1";
inline constexpr const char* kGameB = "2";
inline constexpr const char* kPause = "space";
inline constexpr const char* kMenu = "escape";
inline constexpr const char* kInfo = "i";

// Sound names.
inline constexpr const char* kSndTossFood = "panflip_01";
inline constexpr const char* kSndStepFood = "panflip_02";
inline constexpr const char* kSndStealing = "yolkfall_08";
inline constexpr const char* kSndEndGame = "endgame";
inline constexpr const char* kSndEntrap = "yolkfall_02";

inline int foodTag(int column, int height) { return 400 + 10 * column + height; }

// One view of a face as a test sees it.
using ViewLook = std::tuple<int, bool, double, const void*>;   // tag, hidden, alpha, picture

class PanflipFixture : public ::testing::Test {
protected:
    platform::headless::Environment env;
    RecordingRoot root;
    std::unique_ptr<PanflipViewController> game;
    platform::View* face = nullptr;

    PanflipViewController& open() {
        face = nullptr;
        game.reset();
        game = std::make_unique<PanflipViewController>("Panflip.v1", "PanflipViewController", &root);
        face = game->view();
        EXPECT_NE(face, nullptr);
        // COOK_SEED=n replays the tests with other draws than the fixed virtual date gives.
        if (const char* seed = std::getenv("COOK_SEED")) std::srand(static_cast<unsigned>(std::atoi(seed)));
        return *game;
    }

    bool lit(int tag) const {
        platform::View* v = face->viewWithTag(tag);
        return v && !v->isHidden();
    }
    double alphaOf(int tag) const { return face->viewWithTag(tag)->alpha(); }
    // The lit tags from `from` to `to`.
    std::vector<int> litTags(int from, int to) const {
        std::vector<int> out;
        for (int t = from; t <= to; ++t)
            if (lit(t)) out.push_back(t);
        return out;
    }
    // Every lit segment tag (1..9999) on the face.
    std::vector<int> litSegments() const { return litTags(1, 9999); }
    // The height at which column c's item is drawn, or -1 when none is (-2 when more than one is).
    int drawnHeight(int c) const {
        int h = -1;
        for (int k = 0; k < 5; ++k)
            if (lit(foodTag(c, k))) h = h == -1 ? k : -2;
        return h;
    }

    void press(const std::string& key) { ASSERT_TRUE(platform::pressKey(*face, key)) << "no control for " << key; }

    // Every view of the face, depth first: tag, hidden, alpha and picture.
    std::vector<ViewLook> look() const {
        std::vector<ViewLook> out;
        auto walk = [&out](auto& self, const platform::View& v) -> void {
            const auto* iv = dynamic_cast<const platform::ImageView*>(&v);
            out.emplace_back(v.tag(), v.isHidden(), v.alpha(), iv ? static_cast<const void*>(iv->image().get()) : nullptr);
            for (const auto& sub : v.subviews()) self(self, *sub);
        };
        walk(walk, *face);
        return out;
    }

    // Times of the plays of one sound.
    std::vector<double> playTimes(const std::string& name) const {
        std::vector<double> out;
        for (const auto& p : env.sounds())
            if (p.path.find("/" + name + ".") != std::string::npos) out.push_back(p.time);
        return out;
    }
    double lastPlay(const std::string& name) const {
        auto t = playTimes(name);
        return t.empty() ? -1 : t.back();
    }

    // ---- Playing ----

    // Moves the clock to the next food step (which must be armed).
    void foodTick() {
        const platform::Timer* t = game->getTimerTossFood();
        ASSERT_TRUE(t && t->isValid()) << "no food timer";
        env.advance(t->fireDate() - env.now());
    }
    int nextColumn() const {
        return game->getItemFood() < game->getCountWorkCooks() - 1 ? game->getItemFood() + 1 : 0;
    }
    // The item of column c comes down to the pan at its next turn.
    bool landsNext(int c) const {
        const bool held = c == 0 && game->getFork()->getHog() && game->getPosHeightFood(0) == 2;
        return !held && game->getPosHeightFood(c) == 1 && game->getMaxHeightFood(c) == 0;
    }
    // Presses left or right until the cook stands at p (false if the cook does not get there).
    bool moveCookTo(int p) {
        for (int n = 0; n < 8 && game->getCook()->getPosCook() != p; ++n)
            platform::pressKey(*face, game->getCook()->getPosCook() < p ? kRight : kLeft);
        return game->getCook()->getPosCook() == p;
    }
    // One food step with the cook put, a moment before it, under the item that comes down in it, unless
    // that item is in column `spare`; the cook never stands under `spare` when it comes down.
    void guardedTick(int spare = -1) {
        const platform::Timer* t = game->getTimerTossFood();
        ASSERT_TRUE(t && t->isValid()) << "no food timer";
        env.advance(t->fireDate() - env.now() - 0.001);   // the toss of the last catch is over by now
        const int c = nextColumn();
        if (landsNext(c) && c != spare) {
            moveCookTo(c);
        } else if (c == spare && game->getCook()->getPosCook() == spare) {
            moveCookTo(spare == 0 ? 1 : spare - 1);
        }
        foodTick();
    }
    // Plays, catching everything but the item of column `spare`, until an item is lost (the mouse comes).
    // Returns the lost column, or -1.
    int playUntilLoss(int spare, int limit = 3000) {
        for (int n = 0; n < limit; ++n) {
            if (game->getTimerSteal()) return game->getItemFood();
            guardedTick(spare);
            if (::testing::Test::HasFatalFailure()) return -1;
        }
        return game->getTimerSteal() ? game->getItemFood() : -1;
    }
    // Food steps until pred holds; false when it has not after `limit` steps.
    template <class Pred> bool ticksUntil(Pred pred, int limit = 20000) {
        for (int n = 0; n < limit; ++n) {
            if (pred()) return true;
            if (!game->getTimerTossFood()) return pred();
            foodTick();
        }
        return pred();
    }

    // Starts a round and waits for the new-round steps: the food timer runs.
    void startAndServe(const char* key = kGameB) {
        press(key);
        env.advance(panflip::kNewRoundShowDown + panflip::kNewRoundShowUp);
        ASSERT_NE(game->getTimerTossFood(), nullptr);
    }

    // ---- Files ----
    static std::string statePath() { return getPathFolderSaveGame() + "/Tinmarsh.Panflip.v1.state"; }
    static bool stateFileExists() { return platform::FileManager::defaultManager().fileExistsAtPath(statePath()); }
    // The recorded rounds of the cook game as the results file holds them.
    static platform::PlistArray recordedRounds() {
        VCGamesResult store("Panflip.v1");
        store.Load();
        return store.getArGamesResult() ? *store.getArGamesResult() : platform::PlistArray{};
    }
    static int scoreOf(const platform::PlistValue& pack) { return static_cast<int>(*(*pack.asArray())[3].asInteger()); }
    static int penaltyOf(const platform::PlistValue& pack) { return static_cast<int>(*(*pack.asArray())[4].asInteger()); }
    static platform::Date endOf(const platform::PlistValue& pack) { return *(*pack.asArray())[1].asDate(); }
    static platform::Date startOf(const platform::PlistValue& pack) { return *(*pack.asArray())[0].asDate(); }

    // Ends the application: the will-terminate notification.
    static void terminate() {
        platform::NotificationCenter::defaultCenter().postNotificationName(platform::ApplicationWillTerminateNotification);
    }
};

}  // namespace plumbrick::testing
