// The desktop backend's costs: drawing a frame, starting the application, and an idle menu.
//
//   BM_DrawBusyFace       CPU time to draw one frame of a game face with every segment lit, at scale 2,
//                         with SDL's software renderer into a surface (goal: under 2 ms).
//   BM_DrawMenu           the same for the menu screen.
//   BM_DrawOneEggMoves    CPU time to draw the frame in which one egg moves a step on a playing face, drawing
//                         only what changed over the last frame, at scale 2 (goal: under 0.1 ms); counter
//                         pixels_drawn: the share of the screen drawn again.
//   BM_StartToFirstFrame  wall time from starting the application process to its first frame drawn, at scale
//                         2 with the offscreen video driver, at 4 in a real window (goal: at most 100 ms); counter
//                         max_rss_mb: its peak memory (goal at scale 2: at most 40 MB). The offscreen driver's
//                         one display is 1024 x 768, where scale 4 does not fit (the window would open at 2):
//                         scale 4 needs a display (xvfb-run, a screen of at least 1920 x 1280) or is skipped.
//   BM_IdleMenuCpu        share of one core used while the menu sits idle in a real window, on the real
//                         clock (goal: under 1 %); needs a display (run under xvfb-run) or is skipped.
//   BM_PlayingTickPace    a round of the egg game playing in a real window at scale 2 and 4 for 5 s: the game's
//                         ticks per second, frames drawn per second and the share of one core used (CPU time
//                         of this process over wall time; goal: at most 2 % at scale 2, under 4 % at scale 4);
//                         counter max_rss_mb: this process's peak memory so far. Needs a display (xvfb-run,
//                         with a screen of at least 1920 x 1280 for scale 4).
//   BM_BusyRoundInWindow  the same for a round at its top speed with six eggs, played automatically.

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/PlumbrickAppDelegate.h"
#include "app/PlumbrickViewController.h"
#include "app/Registration.h"
#include "games/egg/YolkfallViewController.h"
#include "platform/Application.h"
#include "platform/FileManager.h"
#include "platform/RunLoop.h"
#include "platform/headless/Headless.h"
#include "platform/sdl/Desktop.h"
#include "platform/sdl/Renderer.h"
#include "platform/sdl/SurfaceCanvas.h"
#include "tools/screenshot/ScreenDriver.h"

extern char** environ;

using namespace platform;

namespace {

void showEverySegment(View& face) {
    for (const auto& v : face.subviews())
        if (v->tag() >= 1 && v->tag() <= 9999) v->setHidden(false);
}

void BM_DrawBusyFace(benchmark::State& state) {
    plumbrick::tools::ScreenDriver driver;
    driver.driveTo("playing1");
    View& root = driver.root();
    // The game's view is the front-most screen of the root controller's view.
    View& screens = *root.subviews().back();
    showEverySegment(*screens.subviews().back());
    sdl::SurfaceCanvas canvas(static_cast<int>(state.range(0)));
    canvas.render(root);   // pictures decoded once, outside the measurement
    for (auto _ : state) canvas.render(root);
    state.counters["views_drawn"] = canvas.renderer().drawnViews();
}
BENCHMARK(BM_DrawBusyFace)->Arg(2)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_DrawMenu(benchmark::State& state) {
    plumbrick::tools::ScreenDriver driver;
    driver.driveTo("menu1");
    sdl::SurfaceCanvas canvas(2);
    canvas.render(driver.root());
    for (auto _ : state) canvas.render(driver.root());
}
BENCHMARK(BM_DrawMenu)->Unit(benchmark::kMicrosecond);

void BM_DrawOneEggMoves(benchmark::State& state) {
    plumbrick::tools::ScreenDriver driver;
    driver.driveTo("playing1");
    auto& root = static_cast<Window&>(driver.root());
    View& face = *root.subviews().back()->subviews().back();
    // One egg on the first ramp, stepping down its five places and starting over.
    std::vector<View*> places;
    for (int tag = 500; tag < 505; ++tag) places.push_back(face.viewWithTag(tag));
    for (View* v : places) v->setHidden(true);
    sdl::SurfaceCanvas canvas(2);
    canvas.renderChanges(root);   // the first frame whole, pictures decoded, outside the measurement
    std::size_t at = 0;
    long pixels = 0, frames = 0;
    for (auto _ : state) {
        places[at]->setHidden(true);
        at = (at + 1) % places.size();
        places[at]->setHidden(false);
        canvas.renderChanges(root);
        pixels += canvas.renderer().drawnPixels();
        ++frames;
    }
    state.counters["pixels_drawn"] = frames ? double(pixels) / frames / (960.0 * 640) : 0;
}
BENCHMARK(BM_DrawOneEggMoves)->Unit(benchmark::kMicrosecond);

// The application binary beside this benchmark's build.
std::string applicationPath() {
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    return (self.parent_path().parent_path() / "app" / "plumbrick").string();
}

void BM_StartToFirstFrame(benchmark::State& state) {
    std::string app = applicationPath();
    if (!std::filesystem::exists(app)) {
        state.SkipWithError(("no application at " + app).c_str());
        return;
    }
    const bool offscreenFits = state.range(0) * 480 <= 1024 && state.range(0) * 320 <= 768;
    if (!offscreenFits && !std::getenv("DISPLAY")) {
        state.SkipWithError("this scale needs a display of at least its size (run under xvfb-run)");
        return;
    }
    std::string data = (std::filesystem::temp_directory_path() / "plumbrick-bench-data").string();
    std::vector<std::string> env = {"SDL_AUDIODRIVER=dummy", "XDG_DATA_HOME=" + data};
    if (offscreenFits) env.push_back("SDL_VIDEODRIVER=offscreen");
    for (char** e = environ; *e; ++e) {
        std::string v = *e;
        if (v.rfind("SDL_VIDEODRIVER=", 0) && v.rfind("SDL_AUDIODRIVER=", 0) && v.rfind("XDG_DATA_HOME=", 0))
            env.push_back(v);
    }
    std::vector<char*> envp;
    envp.reserve(env.size() + 1);
    for (auto& v : env) envp.push_back(v.data());
    envp.push_back(nullptr);
    std::string flag = "--exit-after-first-frame", scaleFlag = "--scale", scale = std::to_string(state.range(0));
    char* argv[] = {app.data(), flag.data(), scaleFlag.data(), scale.data(), nullptr};
    long maxRss = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        pid_t pid = 0;
        if (posix_spawn(&pid, app.c_str(), nullptr, nullptr, argv, envp.data()) != 0) {
            state.SkipWithError("cannot start the application");
            return;
        }
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        auto end = std::chrono::steady_clock::now();
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the application failed");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        maxRss = std::max(maxRss, usage.ru_maxrss);
    }
    state.counters["max_rss_mb"] = maxRss / 1024.0;
    std::error_code ec;
    std::filesystem::remove_all(data, ec);
}
BENCHMARK(BM_StartToFirstFrame)->Arg(2)->Arg(4)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

class SteadyClock : public Clock {
public:
    double now() const override {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }
    double wallClock() const override {
        return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void BM_IdleMenuCpu(benchmark::State& state) {
    headless::Environment env;   // fresh platform state and a temporary documents folder
    SteadyClock clock;
    RunLoop::main().setClock(&clock);
    {
        sdl::Desktop desktop;
        if (!desktop.open()) {
            state.SkipWithError("no display: run under xvfb-run");
        } else {
            Application::sharedApplication().setBackend(&desktop);
            plumbrick::registerApplicationClasses();
            Application::sharedApplication().launch("MainWindow");
            SDL_Event key{};
            key.type = SDL_KEYDOWN;
            key.key.keysym.sym = SDLK_RETURN;
            desktop.handleEvent(key);   // past the intro
            auto runFor = [&](double seconds) {
                double until = clock.now() + seconds;
                while (clock.now() < until) desktop.runOnce(true);
            };
            runFor(1.0);   // the menu settles
            for (auto _ : state) {
                int frames = desktop.framesDrawn();
                double cpu = cpuSeconds(), start = clock.now();
                runFor(5.0);
                double wall = clock.now() - start;
                state.SetIterationTime(wall);
                state.counters["cpu_percent"] = 100.0 * (cpuSeconds() - cpu) / wall;
                state.counters["frames"] = desktop.framesDrawn() - frames;
            }
            Application::sharedApplication().setBackend(&env);
        }
    }
    RunLoop::main().setClock(&env.clock());
}
BENCHMARK(BM_IdleMenuCpu)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// A round of the egg game in a real window: a probe timer of the game's tick interval runs beside the
// game's own, and counts how many of its firings arrive while the frames are drawn. `busy`: the round at its
// top speed with six eggs allowed, played automatically (every egg caught), the most the face changes.
void playInWindow(benchmark::State& state, bool busy) {
    headless::Environment env;
    SteadyClock clock;
    RunLoop::main().setClock(&clock);
    {
        sdl::DesktopOptions options;
        options.scale = static_cast<int>(state.range(0));
        sdl::Desktop desktop(options);
        if (!desktop.open()) {
            state.SkipWithError("no display: run under xvfb-run");
        } else {
            Application::sharedApplication().setBackend(&desktop);
            plumbrick::registerApplicationClasses();
            Application::sharedApplication().launch("MainWindow");
            auto runFor = [&](double seconds) {
                double until = clock.now() + seconds;
                while (clock.now() < until) desktop.runOnce(true);
            };
            auto send = [&](Uint32 type, SDL_Keycode key, int x, int y) {
                SDL_Event e{};
                e.type = type;
                if (type == SDL_KEYDOWN)
                    e.key.keysym.sym = key;
                else {
                    e.button.button = SDL_BUTTON_LEFT;
                    e.button.x = x;
                    e.button.y = y;
                }
                desktop.handleEvent(e);
            };
            send(SDL_KEYDOWN, SDLK_RETURN, 0, 0);
            runFor(0.3);
            sdl::Viewport v = desktop.viewport();
            int px = int(240 * v.scale) + v.offsetX, py = int(147 * v.scale) + v.offsetY;
            send(SDL_MOUSEBUTTONDOWN, 0, px, py);   // the first game's picture
            send(SDL_MOUSEBUTTONUP, 0, px, py);
            runFor(1.5);
            send(SDL_KEYDOWN, SDLK_1, 0, 0);   // game A
            runFor(0.5);
            if (busy) {
                auto* delegate =
                    dynamic_cast<plumbrick::PlumbrickAppDelegate*>(Application::sharedApplication().delegate());
                auto* root =
                    delegate ? dynamic_cast<plumbrick::PlumbrickViewController*>(delegate->viewController()) : nullptr;
                auto* game =
                    root ? dynamic_cast<plumbrick::YolkfallViewController*>(root->getViewControllerGame(1)) : nullptr;
                if (!game) std::abort();
                game->set_auto_(true);
                // Past the last speed and egg-count changes, as the engine's own benchmark does.
                for (int scores : {250, 561, 300}) {
                    game->setScores(scores);
                    runFor(0.75);
                }
            }
            for (auto _ : state) {
                int ticks = 0;
                auto probe = Timer::scheduled(
                    0.025, [&ticks](Timer&) { ++ticks; }, true, platform::Unowned{});
                int frames = desktop.framesDrawn();
                double cpu = cpuSeconds(), start = clock.now();
                runFor(5.0);
                double wall = clock.now() - start;
                probe->invalidate();
                state.SetIterationTime(wall);
                state.counters["ticks_per_s"] = ticks / wall;
                state.counters["frames_per_s"] = (desktop.framesDrawn() - frames) / wall;
                state.counters["cpu_percent"] = 100.0 * (cpuSeconds() - cpu) / wall;
                rusage usage{};
                getrusage(RUSAGE_SELF, &usage);
                state.counters["max_rss_mb"] = usage.ru_maxrss / 1024.0;
            }
            Application::sharedApplication().terminate();
            Application::sharedApplication().setBackend(&env);
        }
    }
    RunLoop::main().setClock(&env.clock());
}

void BM_PlayingTickPace(benchmark::State& state) { playInWindow(state, false); }
BENCHMARK(BM_PlayingTickPace)->Arg(2)->Arg(4)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_BusyRoundInWindow(benchmark::State& state) { playInWindow(state, true); }
BENCHMARK(BM_BusyRoundInWindow)->Arg(2)->Arg(4)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}   // namespace
