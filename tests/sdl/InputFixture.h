#pragma once
// The application on the virtual clock with the desktop window beside it, driven by synthesized SDL events.

#include <gtest/gtest.h>

#include <SDL.h>

#include <string>

#include "app/IntroViewController.h"
#include "app/PlumbrickAppDelegate.h"
#include "app/PlumbrickViewController.h"
#include "games/cook/PanflipViewController.h"
#include "games/egg/YolkfallViewController.h"
#include "platform/Application.h"
#include "platform/sdl/Desktop.h"
#include "services/GamesResultViewController.h"
#include "tools/screenshot/ScreenDriver.h"

// Controller events as SDL sends them, from the pad with instance id `pad`.
inline SDL_Event padButton(int b, SDL_JoystickID pad = 3, Uint32 type = SDL_CONTROLLERBUTTONDOWN) {
    SDL_Event e{};
    e.cbutton = {type, 0, pad, Uint8(b), Uint8(type == SDL_CONTROLLERBUTTONDOWN), 0, 0};
    return e;
}
inline SDL_Event padAxis(int a, int value, SDL_JoystickID pad = 3) {
    SDL_Event e{};
    e.caxis = {SDL_CONTROLLERAXISMOTION, 0, pad, Uint8(a), 0, 0, 0, Sint16(value), 0};
    return e;
}

class InputFixture : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        ASSERT_TRUE(desktop.open());
    }

    plumbrick::PlumbrickViewController& root() {
        auto* delegate =
            dynamic_cast<plumbrick::PlumbrickAppDelegate*>(platform::Application::sharedApplication().delegate());
        return *dynamic_cast<plumbrick::PlumbrickViewController*>(delegate->viewController());
    }
    // A key press by its name ("q", "space", "left"), as the window gets it.
    static SDL_Event keyDown(const std::string& name) {
        SDL_Keycode sym = SDL_GetKeyFromName(name.c_str());
        EXPECT_NE(sym, SDLK_UNKNOWN) << name;
        return {.key = {SDL_KEYDOWN, 0, 0, SDL_PRESSED, 0, 0, 0, {SDL_SCANCODE_UNKNOWN, sym, 0, 0}}};
    }
    // The game of a menu slot on screen, idle: its face.
    platform::View* openGame(int slot) {
        if (root().getViewControllerIntro() && root().getViewControllerIntro()->view()->superview())
            driver.dismissIntro();
        for (int i = 0; i < 6; ++i) driver.key("left");
        driver.advance(0.5);
        driver.openGame(slot);
        platform::ViewController* game = root().getViewControllerGame(slot);
        EXPECT_NE(game, nullptr) << "slot " << slot;
        return game ? game->view() : nullptr;
    }
    int state(int slot) {
        platform::ViewController* game = root().getViewControllerGame(slot);
        if (auto* egg = dynamic_cast<plumbrick::YolkfallViewController*>(game)) return egg->getState();
        if (auto* cook = dynamic_cast<plumbrick::PanflipViewController*>(game)) return cook->getState();
        return -1;
    }
    bool isPlaying(int slot) { return state(slot) == plumbrick::YolkfallViewController::kPlaying; }

    platform::sdl::Desktop desktop;
    plumbrick::tools::ScreenDriver driver;
};
