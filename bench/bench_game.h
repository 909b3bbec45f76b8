#pragma once
// What the game benchmarks share: a sound backend that plays nothing, the screen of a game with a round of
// game B started from its button, and the hour of automatic play on the virtual clock.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/Input.h"
#include "platform/Sound.h"
#include "platform/headless/Headless.h"

namespace bench_game {

// Plays nothing and only counts the catches (both games catch with "yolkfall_02"): the step is measured,
// not the recording of its sounds. It counts the sounds made while it is the backend.
struct SilentSounds : platform::SoundBackend {
    std::int64_t catches = 0;
    platform::SystemSoundID create(const std::string& path) override {
        return path.find("yolkfall_02") != std::string::npos ? 2 : 1;
    }
    void play(platform::SystemSoundID id) override { catches += id == 2; }
};

// A new screen of the game, with a round of game B started by its key.
template <class Game> std::unique_ptr<Game> pressStartB(const char* gameId, const char* layout) {
    auto game = std::make_unique<Game>(gameId, layout, nullptr);
    if (!game->view() || !platform::pressKey(*game->view(), "2")) std::abort();
    return game;
}

// Each iteration: `start(env)` makes the screen and starts an automatic round (not timed), then one hour on
// the virtual clock. The round must still be playing without a penalty (else `lost` is reported). Counters:
// per hour, the plays of each sound in `counted` (name of the counter, name of the sound).
template <class Start>
void hourOfAutoPlay(benchmark::State& state, Start start, const char* lost,
                    const std::vector<std::pair<std::string, std::string>>& counted) {
    std::vector<std::int64_t> plays(counted.size());
    for (auto _ : state) {
        state.PauseTiming();
        auto env = std::make_unique<platform::headless::Environment>();
        auto game = start(*env);
        state.ResumeTiming();

        env->advance(3600.0);

        state.PauseTiming();
        if (game->getPenalty() != 0 || game->getState() != std::decay_t<decltype(*game)>::kPlaying)
            state.SkipWithError(lost);
        for (std::size_t i = 0; i < counted.size(); ++i) plays[i] += env->countPlays(counted[i].second);
        game.reset();
        env.reset();
        state.ResumeTiming();
    }
    for (std::size_t i = 0; i < counted.size(); ++i)
        state.counters[counted[i].first] =
            benchmark::Counter(static_cast<double>(plays[i]), benchmark::Counter::kAvgIterations);
}

}   // namespace bench_game
