// The cook game's timers on the headless backend.
//   BM_FoodTick:       one food step of a fast round (0.10 s interval) under the automatic cook, through the
//                      run loop, with whatever toss and fork steps fall within its interval. Sounds are not
//                      recorded. The budget of a step is its interval; the goal is well under 1 µs.
//   BM_HourOfAutoPlay: one hour of automatic play on the virtual clock from the start button (about 28,000
//                      food steps and their tosses through the run loop, sounds recorded by the backend).

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "games/cook/PanflipViewController.h"
#include "platform/Input.h"
#include "platform/headless/Headless.h"

namespace {

using plumbrick::PanflipViewController;

// Plays nothing and only counts the catches: the step is measured, not the recording of its sounds.
struct SilentSounds : platform::SoundBackend {
    std::int64_t catches = 0;
    platform::SystemSoundID create(const std::string& path) override {
        return path.find("yolkfall_02") != std::string::npos ? 2 : 1;
    }
    void play(platform::SystemSoundID id) override { catches += id == 2; }
};

std::unique_ptr<PanflipViewController> startRound(platform::headless::Environment& env) {
    auto game = std::make_unique<PanflipViewController>("Panflip.v1", "PanflipViewController", nullptr);
    if (!game->view() || !platform::pressKey(*game->view(), "2")) std::abort();
    game->set_autoPilot_(true);
    env.advance(0.9);   // the new-round steps
    if (!game->getTimerTossFood()) std::abort();
    return game;
}

void BM_FoodTick(benchmark::State& state) {
    platform::headless::Environment env;
    SilentSounds silent;   // set before the screen loads, so that its sounds are made here
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
    std::int64_t catches = 0, steps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto env = std::make_unique<platform::headless::Environment>();
        auto game = startRound(*env);
        state.ResumeTiming();

        env->advance(3600.0);

        state.PauseTiming();
        if (game->getPenalty() != 0 || game->getState() != PanflipViewController::kPlaying)
            state.SkipWithError("automatic play lost an item");
        catches += env->countPlays("yolkfall_02");
        steps += env->countPlays("panflip_02");
        game.reset();
        env.reset();
        state.ResumeTiming();
    }
    state.counters["catches_per_hour"] = benchmark::Counter(static_cast<double>(catches), benchmark::Counter::kAvgIterations);
    state.counters["food_steps_per_hour"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_HourOfAutoPlay)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
