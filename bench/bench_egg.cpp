// The egg game's round loop on the headless backend.
//   BM_TickOfABusyRound: one tick (cycleLifeTime) of a round at full speed with up to six eggs on the face,
//                        under automatic play. The budget of a tick is its 25 ms interval.
//   BM_HourOfAutoPlay:   one hour of automatic play on the virtual clock, from the start button
//                        (144,000 ticks through the run loop, sounds recorded by the headless backend).

#include <memory>

#include "bench/bench_game.h"
#include "games/egg/YolkfallViewController.h"

namespace {

using plumbrick::YolkfallViewController;

std::unique_ptr<YolkfallViewController> startRound(platform::headless::Environment&) {
    auto game = bench_game::pressStartB<YolkfallViewController>("Yolkfall.v1", "YolkfallViewController");
    game->set_auto_(true);
    return game;
}

int eggsOnFace(const YolkfallViewController& game) {
    return game.getLife() ? static_cast<int>(game.getLife()->size()) : 0;
}

void BM_TickOfABusyRound(benchmark::State& state) {
    platform::headless::Environment env;
    auto game = startRound(env);
    // Past the last speed and egg-count changes: six eggs allowed, an egg step every 15 ticks.
    game->setScores(250);
    env.advance(0.75);
    game->setScores(561);
    env.advance(0.75);
    game->setScores(300);
    while (eggsOnFace(*game) < 6) env.advance(YolkfallViewController::kTickInterval);
    if (game->getCountEggToDeckMAX() != 6 || game->getSpeedEgg() != 15) std::abort();

    bench_game::SilentSounds silent;
    platform::setSoundBackend(&silent);
    std::int64_t eggs = 0, ticks = 0;
    for (auto _ : state) {
        game->cycleLifeTime(nullptr);
        eggs += eggsOnFace(*game);
        ++ticks;
        // Keeps the score away from 999, whose wrap writes the results file.
        if (game->getScores() > 900) game->setScores(300);
    }
    platform::setSoundBackend(&env);
    if (game->getPenalty() != 0) state.SkipWithError("automatic play missed an egg");
    state.counters["eggs_on_face"] = ticks ? static_cast<double>(eggs) / static_cast<double>(ticks) : 0;
}
BENCHMARK(BM_TickOfABusyRound);

void BM_HourOfAutoPlay(benchmark::State& state) {
    bench_game::hourOfAutoPlay(state, startRound, "automatic play lost a round", {{"catches_per_hour", "yolkfall_02"}});
}
BENCHMARK(BM_HourOfAutoPlay)->Unit(benchmark::kMillisecond)->Iterations(5);

}   // namespace
