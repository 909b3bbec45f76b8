#include "platform/sdl/Gamepad.h"

#include <string>
#include <vector>

#include "platform/Input.h"
#include "platform/Log.h"

namespace platform::sdl {

namespace {

// The basket keys of the egg faces, by side and level.
const char* const kBasket[2][2] = {{"q", "a"}, {"p", "l"}};

bool isEggFace(View& root) {
    for (const auto& side : kBasket)
        for (const char* key : side)
            if (controlForKey(root, key)) return true;
    return false;
}

// The keys a button stands for, tried in order; the intro's "return" comes last for every button.
std::vector<std::string> keysFor(int button) {
    switch (button) {
    case SDL_CONTROLLER_BUTTON_A: return {"1"};
    case SDL_CONTROLLER_BUTTON_B: return {"2", "escape"};
    case SDL_CONTROLLER_BUTTON_Y: return {"i"};
    case SDL_CONTROLLER_BUTTON_BACK: return {"escape"};
    case SDL_CONTROLLER_BUTTON_START: return {"space"};
    default: return {};
    }
}

}   // namespace

Gamepads::~Gamepads() { close(); }

bool Gamepads::open() {
    if (initialised_) return true;
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        logLine(std::string("gamepad: cannot start game controllers (") + SDL_GetError() + ")");
        return false;
    }
    initialised_ = true;
    return true;
}

void Gamepads::close() {
    for (auto& [id, pad] : pads_)
        if (pad.controller) SDL_GameControllerClose(pad.controller);
    pads_.clear();
    if (initialised_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    initialised_ = false;
}

int Gamepads::connected() const {
    int n = 0;
    for (const auto& [id, pad] : pads_) n += pad.controller != nullptr;
    return n;
}

void Gamepads::attach(int deviceIndex) {
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (!controller) {
        logLine(std::string("gamepad: cannot open controller ") + std::to_string(deviceIndex) + " (" + SDL_GetError() +
                ")");
        return;
    }
    SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    Pad& pad = pads_[id];
    if (pad.controller) {   // added twice: SDL counted a second reference
        SDL_GameControllerClose(controller);
        return;
    }
    pad.controller = controller;
    const char* name = SDL_GameControllerName(controller);
    logLine(std::string("gamepad: ") + (name ? name : "controller") + " connected");
}

void Gamepads::detach(SDL_JoystickID id) {
    auto it = pads_.find(id);
    if (it == pads_.end()) return;
    if (it->second.controller) SDL_GameControllerClose(it->second.controller);
    pads_.erase(it);
}

bool Gamepads::handleEvent(const SDL_Event& event, View* root, PointerInput& input) {
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED: attach(event.cdevice.which); return false;
    case SDL_CONTROLLERDEVICEREMOVED: detach(event.cdevice.which); return false;
    case SDL_CONTROLLERBUTTONDOWN: return root && button(*root, input, event.cbutton.button);
    case SDL_CONTROLLERAXISMOTION:
        return root && axis(*root, input, pads_[event.caxis.which], event.caxis.axis, event.caxis.value);
    default: return false;
    }
}

bool Gamepads::button(View& root, PointerInput& input, int button) {
    int dx = 0, dy = 0;
    switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_UP: dy = -1; break;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: dy = 1; break;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: dx = -1; break;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: dx = 1; break;
    default: break;
    }
    if ((dx || dy) && push(root, input, dx, dy)) return true;
    for (const std::string& key : keysFor(button))
        if (pressKey(root, key)) return true;
    if (button == SDL_CONTROLLER_BUTTON_A && input.activate(root)) return true;
    return input.key(root, "return");
}

bool Gamepads::axis(View& root, PointerInput& input, Pad& pad, int axis, int value) {
    int* dir = axis == SDL_CONTROLLER_AXIS_LEFTX   ? &pad.stickX
               : axis == SDL_CONTROLLER_AXIS_LEFTY ? &pad.stickY
                                                   : nullptr;
    if (!dir) return false;
    int now = *dir;
    if (value >= kPush)
        now = 1;
    else if (value <= -kPush)
        now = -1;
    else if (value > -kRelease && value < kRelease)
        now = 0;
    if (now == *dir) return false;
    *dir = now;
    if (now == 0) return false;
    return axis == SDL_CONTROLLER_AXIS_LEFTX ? push(root, input, now, 0) : push(root, input, 0, now);
}

bool Gamepads::push(View& root, PointerInput& input, int dx, int dy) {
    if (isEggFace(root)) {
        if (dx) side_ = dx > 0;
        if (dy) level_ = dy > 0;
        return pressKey(root, kBasket[side_][level_]);
    }
    if (dx) return input.key(root, dx < 0 ? "left" : "right");
    return false;
}

}   // namespace platform::sdl
