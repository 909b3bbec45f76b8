#pragma once
// The application on the virtual clock with the desktop window beside it, driven by synthesized SDL events.

#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <string>

#include "app/IntroViewController.h"
#include "app/MainMenuViewController.h"
#include "app/PlumbrickAppDelegate.h"
#include "app/PlumbrickViewController.h"
#include "games/cook/PanflipViewController.h"
#include "games/egg/VCWolf.h"
#include "games/egg/YolkfallViewController.h"
#include "platform/Application.h"
#include "platform/Input.h"
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
inline SDL_Event windowEvent(Uint8 kind, int w = 0, int h = 0) {
    return {.window = {SDL_WINDOWEVENT, 0, 0, kind, 0, 0, 0, w, h}};
}
// The left mouse button at p, in points of a window at scale 2; `which` SDL_TOUCH_MOUSEID when made up from a touch.
inline SDL_Event mouseButton(Uint32 type, platform::Point p, Uint32 which = 0) {
    Uint8 down = type == SDL_MOUSEBUTTONDOWN;
    return {.button = {type, 0, 0, which, SDL_BUTTON_LEFT, down, 1, 0, int(2 * p.x), int(2 * p.y)}};
}

class InputFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(desktop.open()); }

    plumbrick::PlumbrickViewController& root() {
        auto* delegate =
            dynamic_cast<plumbrick::PlumbrickAppDelegate*>(platform::Application::sharedApplication().delegate());
        return *dynamic_cast<plumbrick::PlumbrickViewController*>(delegate->viewController());
    }
    double stripOffset() { return root().getViewControllerMenu()->getMenuScrolView()->contentOffset().x; }
    // A key press by its name ("q", "space", "left"), as the window gets it; `repeat` when held down.
    static SDL_Event keyDown(const std::string& name, bool repeat = false) {
        SDL_Keycode sym = SDL_GetKeyFromName(name.c_str());
        EXPECT_NE(sym, SDLK_UNKNOWN) << name;
        return {.key = {SDL_KEYDOWN, 0, 0, SDL_PRESSED, Uint8(repeat), 0, 0, {SDL_SCANCODE_UNKNOWN, sym, 0, 0}}};
    }
    void send(const SDL_Event& e) { desktop.handleEvent(e); }
    // From the intro, the game of a menu slot on screen, idle: its face.
    platform::View* openGame(int slot) {
        driver.dismissIntro();
        driver.openGame(slot);
        platform::ViewController* game = root().getViewControllerGame(slot);
        EXPECT_NE(game, nullptr) << "slot " << slot;
        return game ? game->view() : nullptr;
    }
    plumbrick::YolkfallViewController& egg() {
        return *dynamic_cast<plumbrick::YolkfallViewController*>(root().getViewControllerGame(1));
    }
    int basket() { return egg().getWolf()->getPosBasket(); }
    int state(int slot) {
        platform::ViewController* game = root().getViewControllerGame(slot);
        if (auto* egg = dynamic_cast<plumbrick::YolkfallViewController*>(game)) return egg->getState();
        if (auto* cook = dynamic_cast<plumbrick::PanflipViewController*>(game)) return cook->getState();
        return -1;
    }
    bool isPlaying(int slot) { return state(slot) == plumbrick::YolkfallViewController::kPlaying; }
    // The centre of the control that a key names, in points.
    platform::Point centreOf(const std::string& key) {
        platform::Control* c = platform::controlForKey(driver.root(), key);
        EXPECT_NE(c, nullptr) << key;
        return c->superview()->convertToRoot({c->frame().midX(), c->frame().midY()});
    }
    int logLinesWith(const std::string& part) {
        const auto& log = driver.env().logLines();
        return int(std::count_if(log.begin(), log.end(), [&](auto& l) { return l.find(part) != l.npos; }));
    }

    platform::sdl::Desktop desktop;
    plumbrick::tools::ScreenDriver driver;
};
