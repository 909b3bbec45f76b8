#pragma once
// Shared fixture of the cook controller's tests: a headless environment on its virtual clock, a recording
// root, and the controller made from its real layout and played with its real keys (left, right, 1, 2,
// space, escape, i). COOK_SEED=n replays the tests with other random draws.

#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

#include "games/cook/PanflipStateFile.h"
#include "games/cook/PanflipViewController.h"
#include "platform/ImageView.h"
#include "platform/Input.h"
#include "platform/Notification.h"
#include "platform/headless/Headless.h"
#include "services/Support.h"
#include "tests/support/recording_root.h"

namespace plumbrick::testing {

using V = std::vector<int>;
using Look = std::vector<std::tuple<int, bool, double, const void*>>;

using Q = panflip::Sequence;
constexpr int kMouse = panflip::kMouseTag;   // the mouse at its hole; kMouse + 1..5 on its way

class PanflipFixture : public ::testing::Test {
protected:
    platform::headless::Environment env;
    RecordingRoot root;
    std::unique_ptr<PanflipViewController> game;
    platform::View* face = nullptr;

    void open() {
        game.reset();
        game = std::make_unique<PanflipViewController>("Panflip.v1", "PanflipViewController", &root);
        face = game->view();
        if (const char* seed = std::getenv("COOK_SEED")) std::srand(static_cast<unsigned>(std::atoi(seed)));
    }
    const PanflipSavedState& st() const { return game->round().state(); }
    void press(const char* key) { ASSERT_TRUE(platform::pressKey(*face, key)) << key; }
    // Ends the application (will-terminate) and opens the game again on the same documents folder.
    void restart() {
        platform::NotificationCenter::defaultCenter().postNotificationName(
            platform::ApplicationWillTerminateNotification);
        open();
    }
    void startAndServe(const char* key = "2") {
        press(key);
        env.advance(0.9);
    }

    bool lit(int tag) const { return face->viewWithTag(tag) && !face->viewWithTag(tag)->isHidden(); }
    V litTags(int from, int to) const {
        V out;
        for (int t = from; t <= to; ++t)
            if (lit(t)) out.push_back(t);
        return out;
    }
    V mouseTags() const { return litTags(kMouse, kMouse + 5); }
    // Every view of the face, depth first: tag, hidden, alpha and picture.
    Look look() const {
        Look out;
        auto walk = [&out](auto& self, const platform::View& v) -> void {
            const auto* iv = dynamic_cast<const platform::ImageView*>(&v);
            out.emplace_back(v.tag(), v.isHidden(), v.alpha(), iv ? iv->image().get() : nullptr);
            for (const auto& sub : v.subviews()) self(self, *sub);
        };
        walk(walk, *face);
        return out;
    }
    // Moves the clock to the next food step.
    void foodTick() {
        ASSERT_NE(game->timer(Q::Food), nullptr);
        ASSERT_TRUE(game->timer(Q::Food)->isValid());
        env.advance(game->timer(Q::Food)->fireDate() - env.now());
    }
    int nextColumn() const { return st().itemFood < st().countWorkCooks() - 1 ? st().itemFood + 1 : 0; }
    void moveCookTo(int p) {
        for (int n = 0; n < 8 && st().cookPosition != p; ++n)
            platform::pressKey(*face, st().cookPosition < p ? "right" : "left");
    }
    // One food step, the cook put a moment before it under the item that comes down in it, unless that item
    // is in column `spare`, from under which the cook then steps away.
    void guardedTick(int spare = -1) {
        ASSERT_TRUE(game->timer(Q::Food));
        env.advance(game->timer(Q::Food)->fireDate() - env.now() - 0.001);   // the last toss is over
        const int c = nextColumn();
        if (c != spare && st().posHeightFood[std::size_t(c)] == 1 && st().maxHeightFood[std::size_t(c)] == 0)
            moveCookTo(c);
        if (c == spare && st().cookPosition == spare) moveCookTo(spare == 0 ? 1 : spare - 1);
        foodTick();
    }
    // Plays, catching all but column `spare`, until an item is lost; the lost column or -1.
    int playUntilLoss(int spare) {
        for (int n = 0; n < 3000 && !game->timer(Q::Steal) && !HasFatalFailure(); ++n) guardedTick(spare);
        return game->timer(Q::Steal) ? st().itemFood : -1;
    }

    static std::string statePath() { return getPathFolderSaveGame() + "/Tinmarsh.Panflip.v1.state"; }
    static bool stateFileExists() { return platform::FileManager::defaultManager().fileExistsAtPath(statePath()); }
    // The rounds in the results file: (start, end, time, score, penalty) of each.
    static std::vector<std::tuple<double, double, int, int, int>> rounds() {
        VCGamesResult store("Panflip.v1");
        store.Load();
        std::vector<std::tuple<double, double, int, int, int>> out;
        for (const auto& pack : *store.getArGamesResult()) {
            const auto& p = *pack.asArray();
            out.emplace_back(p[0].asDate()->timeIntervalSince1970, p[1].asDate()->timeIntervalSince1970,
                             int(*p[2].asInteger()), int(*p[3].asInteger()), int(*p[4].asInteger()));
        }
        return out;
    }
};

}   // namespace plumbrick::testing
