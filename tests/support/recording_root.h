#pragma once
// A root controller for game tests: it records every request a game screen makes of it, in order.

#include <string>
#include <vector>

#include "services/VCRootControllerProtocol.h"

namespace plumbrick::testing {

struct RecordingRoot : VCRootControllerProtocol {
    std::vector<std::string> calls;                 // "switchMenuFromGame:", "switchInfoFromGame:<id>", ...
    std::vector<platform::ViewController*> games;   // the arguments of switchMenuFromGame:
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

}   // namespace plumbrick::testing
