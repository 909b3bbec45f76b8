#pragma once
// The results store's tests: a temporary documents folder, the results file in it, and the scores of one game's
// rounds as the store reads them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/Headless.h"
#include "services/Support.h"
#include "services/VCGameRound.h"
#include "services/VCGamesResult.h"

namespace plumbrick::testing {

using Scores = std::vector<int>;

class ResultsFixture : public ::testing::Test {
protected:
    platform::headless::Environment env;
    std::string file = getPathFolderSaveGame() + "/Tinmarsh.result";

    static VCGamesResult loaded(const std::string& game = "Yolkfall.v1") {
        VCGamesResult store(game);
        store.Load();
        return store;
    }
    static Scores scores(const VCGamesResult& store) {
        Scores out;
        for (const auto& pack : *store.getArGamesResult()) out.push_back(VCGameRound::scoresOfPack(pack));
        return out;
    }
    // The scores stored under `game` in the file, read back with our reader.
    static Scores inFile(const std::string& game = "Yolkfall.v1") { return scores(loaded(game)); }
    // A round begun, ended two seconds later with `time`, `score` and `penalty`, and two seconds more.
    void playRound(VCGamesResult& store, int score, int time = 20, int penalty = 2) {
        store.NewGame();
        env.advance(2.0);
        store.EndGame(time, score, penalty);
        env.advance(2.0);
    }
};

}   // namespace plumbrick::testing
