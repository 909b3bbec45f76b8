#pragma once
// Drives the whole application on the headless virtual clock to a named screen, with the same pointer and
// key handling as the desktop window. Used by the screenshot tool, the desktop tests and the benchmarks.

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include "app/Registration.h"
#include "platform/Application.h"
#include "platform/Log.h"
#include "platform/View.h"
#include "platform/headless/Headless.h"
#include "platform/sdl/PointerInput.h"

namespace plumbrick::tools {

class ScreenDriver {
public:
    // Seconds of play before a playing round is looked at: long enough for eggs and food to be on the face.
    static constexpr double kPlaySeconds = 7.0;

    // echoLog: the application's log lines go to stderr as well.
    explicit ScreenDriver(bool echoLog = false, std::string documentsDir = {}) : env_(std::move(documentsDir)) {
        if (echoLog) platform::setLogHook(nullptr);
        registerApplicationClasses();
        platform::Application::sharedApplication().launch("MainWindow");
        env_.advance(0);
    }

    platform::headless::Environment& env() { return env_; }
    platform::sdl::PointerInput& input() { return input_; }
    platform::View& root() {
        platform::Window* w = platform::Window::keyWindow();
        if (!w) throw std::runtime_error("the application has no key window");
        return *w;
    }

    // Moves the clock on in frame-sized steps, so that a settling strip moves as it would on screen.
    void advance(double seconds) {
        const double frame = 1.0 / 60;
        while (seconds > 1e-9) {
            double step = seconds < frame ? seconds : frame;
            env_.advance(step);
            input_.step();
            seconds -= step;
        }
    }
    bool key(const std::string& name) { return input_.key(root(), name); }
    void tap(platform::Point p) {
        input_.press(root(), p);
        input_.release(root(), p);
    }

    // Intro: let the prompt fade in once.
    void intro() { advance(1.6); }
    void dismissIntro() {
        if (!key("return")) tap({240, 160});
        advance(0.2);
    }
    // Menu page n (1 to 6), settled.
    void menuPage(int n) {
        for (int i = 1; i < n; ++i) key("right");
        advance(0.5);
    }
    // Opens the game of menu slot n and waits for the entrance to end.
    void openGame(int slot) {
        menuPage(slot);
        tap({240, 147});   // the middle of the page picture
        advance(1.5);
    }
    void startRound(double seconds = kPlaySeconds) {
        key("1");
        advance(seconds);
    }
    void pause() {
        key("space");
        advance(0.1);
    }
    void statistics() {
        key("i");
        advance(0.1);
    }

    // Drives a fresh application to a named state: "intro", "menuN", "gameS", "playingS", "pausedS",
    // "statisticsS" (N a menu page, S a menu slot, 1 to 6, default 1). False for an unknown name.
    bool driveTo(const std::string& state) {
        std::string word = state;
        int n = 1;
        if (!word.empty() && word.back() >= '1' && word.back() <= '6') {
            n = word.back() - '0';
            word.pop_back();
        }
        if (word == "intro") {
            intro();
            return true;
        }
        dismissIntro();
        if (word == "menu") {
            menuPage(n);
            return true;
        }
        if (word != "game" && word != "playing" && word != "paused" && word != "statistics") return false;
        openGame(n);
        if (word == "game") return true;
        startRound();
        if (word == "paused") pause();
        if (word == "statistics") statistics();
        return true;
    }

private:
    platform::headless::Environment env_;
    platform::sdl::PointerInput input_;
};

}   // namespace plumbrick::tools
