// The cook game's timers on the headless backend.
//   BM_FoodTick:       one food step of a fast round (0.10 s interval) under the automatic cook, through the
//                      run loop, with whatever toss and fork steps fall within its interval. Sounds are not
//                      recorded. The budget of a step is its interval; the goal is well under 1 µs.
//   BM_HourOfAutoPlay: one hour of automatic play on the virtual clock from the start button (about 28,000
//                      food steps and their tosses through the run loop, sounds recorded by the backend).

#include <cstdlib>
#include <memory>

#include "bench/bench_game.h"
#include "games/cook/PanflipViewController.h"

namespace {

using plumbrick::PanflipViewController;

std::unique_ptr<PanflipViewController> startRound(platform::headless::Environment& env) {
    auto game = bench_game::pressStartB<PanflipViewController>("Panflip.v1", "PanflipViewController");
    game->set_autoPilot_(true);
    env.advance(0.9);   // the new-round steps
    if (!game->timer(plumbrick::panflip::Sequence::Food)) std::abort();
    return game;
}

void BM_FoodTick(benchmark::State& state) {
    platform::headless::Environment env;
    bench_game::SilentSounds silent;   // set before the screen loads, so that its sounds are made here
    platform::setSoundBackend(&silent);
    auto game = startRound(env);
    game->setScores(990);   // the fastest food timer, reached at 990 points and held after the wrap
    env.advance(1.0);
    if (game->getOldScoresChangeSpeed() != 99) std::abort();
    const double interval = game->getTimerStepLifeFood();
    silent.catches = 0;

    std::int64_t steps = 0;
    for (auto _ : state) {
        env.advance(interval);
        ++steps;
        // Keeps the score away from 999, whose wrap writes the results file.
        if (game->getScores() > 900) game->setScores(300);
    }
    if (game->getPenalty() != 0 || game->getState() != PanflipViewController::kPlaying)
        state.SkipWithError("automatic play lost an item");
    state.counters["interval_s"] = interval;
    state.counters["catches_per_step"] = steps ? static_cast<double>(silent.catches) / static_cast<double>(steps) : 0;
    game.reset();
    platform::setSoundBackend(&env);
}
BENCHMARK(BM_FoodTick);

void BM_HourOfAutoPlay(benchmark::State& state) {
    bench_game::hourOfAutoPlay(state, startRound, "automatic play lost an item",
                               {{"catches_per_hour", "yolkfall_02"}, {"food_steps_per_hour", "panflip_02"}});
}
BENCHMARK(BM_HourOfAutoPlay)->Unit(benchmark::kMillisecond)->Iterations(5);

}   // namespace
