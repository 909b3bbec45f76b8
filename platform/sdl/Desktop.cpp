#include "platform/sdl/Desktop.h"

#include <signal.h>

#include <algorithm>
#include <cctype>
#include <cmath>

#include <SDL.h>

#include "platform/Changes.h"
#include "platform/Log.h"
#include "platform/Notice.h"
#include "platform/RunLoop.h"
#include "platform/sdl/Gamepad.h"
#include "platform/sdl/Renderer.h"

namespace platform::sdl {

namespace {

// The longest the loop sleeps without looking around: a signal is noticed within this time.
constexpr int kMaxWaitMs = 200;

volatile sig_atomic_t endSignal = 0;
struct sigaction previousInt, previousTerm;
bool handlersInstalled = false;

void onEndSignal(int sig) { endSignal = sig; }

std::string keyName(SDL_Keycode key) {
    std::string name = SDL_GetKeyName(key);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (name == "keypad enter") name = "return";
    return name;
}

// The mouse events that SDL makes up from touches.
bool madeUpFromTouch(const SDL_Event& event) {
    switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: return event.button.which == SDL_TOUCH_MOUSEID;
    case SDL_MOUSEMOTION: return event.motion.which == SDL_TOUCH_MOUSEID;
    default: return false;
    }
}

}   // namespace

Desktop::Desktop(DesktopOptions options) : options_(std::move(options)), gamepads_(std::make_unique<Gamepads>()) {
    if (options_.scale < 1) options_.scale = 1;
    viewport_ = {double(options_.scale), 0, 0};
}

Desktop::~Desktop() {
    renderer_.reset();
    if (sdlRenderer_) SDL_DestroyRenderer(sdlRenderer_);
    if (window_) SDL_DestroyWindow(window_);
    if (initialisedVideo_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool Desktop::open() {
    if (window_) return true;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        logLine(std::string("window: no display (") + SDL_GetError() + ")");
        return false;
    }
    initialisedVideo_ = true;
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");   // a hint given in the environment wins
    Uint32 flags = SDL_WINDOW_SHOWN | (options_.resizable ? SDL_WINDOW_RESIZABLE : 0);
    if (options_.fullScreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    const SDL_Rect at = openingRect(options_.remembered, kWidthPoints * options_.scale, kHeightPoints * options_.scale,
                                    kWidthPoints, kHeightPoints);
    window_ = SDL_CreateWindow(options_.title.c_str(), at.x, at.y, at.w, at.h, flags);
    if (!window_) {
        logLine(std::string("window: cannot open (") + SDL_GetError() + ")");
        return false;
    }
    placement_ = {at.x, at.y, at.w, at.h, false, true, at.x != int(SDL_WINDOWPOS_CENTERED)};
    notePlacement(window_, placement_);
    SDL_SetWindowMinimumSize(window_, kWidthPoints, kHeightPoints);
    // SDL's software renderer on a plain window framebuffer: the screen is a few hundred blits a frame, and
    // a GL context (often Mesa's software rasteriser on desktops without drivers) would cost some 90 MB and a
    // quarter of a second at start. SDL_RENDER_DRIVER and SDL_FRAMEBUFFER_ACCELERATION still choose otherwise.
    const char* chosen = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    sdlRenderer_ = SDL_CreateRenderer(window_, -1, chosen && *chosen ? 0 : SDL_RENDERER_SOFTWARE);
    if (!sdlRenderer_) sdlRenderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (!sdlRenderer_) {
        logLine(std::string("window: no renderer (") + SDL_GetError() + ")");
        SDL_DestroyWindow(window_);
        window_ = nullptr;
        return false;
    }
    renderer_ = std::make_unique<Renderer>(sdlRenderer_);
    renderer_->setShadows(options_.shadows);
    renderer_->setKeyNames(options_.keyNames);
    gamepads_->open();
    SDL_RendererInfo info{};
    // The software renderer draws into the window's surface, which keeps the last frame between presents;
    // others (OpenGL) leave the back buffer undefined after one, so they draw every frame whole.
    keepsFrames_ = SDL_GetRendererInfo(sdlRenderer_, &info) == 0 && info.name && std::string(info.name) == "software";
    updateViewport();
    return true;
}

View* Desktop::root() const {
    if (root_) return root_;
    return Window::keyWindow();
}

double Desktop::now() const {
    if (Clock* clock = RunLoop::main().clock()) return clock->now();
    return SDL_GetTicks64() / 1000.0;
}

void Desktop::updateViewport() {
    if (!sdlRenderer_) return;
    int pw = 0, ph = 0;
    SDL_GetRendererOutputSize(sdlRenderer_, &pw, &ph);
    // Whole steps only: every point is the same number of pixels, and the screen is centred.
    int scale = std::max(1, std::min(pw / kWidthPoints, ph / kHeightPoints));
    viewport_ = {double(scale), (pw - kWidthPoints * scale) / 2, (ph - kHeightPoints * scale) / 2};
    renderer_->setViewport(viewport_);
    wholeFrame_ = true;
}

Point Desktop::toPoints(int windowX, int windowY) const {
    double px = windowX, py = windowY;
    if (window_ && sdlRenderer_) {
        int ww = 0, wh = 0, pw = 0, ph = 0;
        SDL_GetWindowSize(window_, &ww, &wh);
        SDL_GetRendererOutputSize(sdlRenderer_, &pw, &ph);
        if (ww > 0 && wh > 0) {
            px = windowX * double(pw) / ww;
            py = windowY * double(ph) / wh;
        }
    }
    return {(px - viewport_.offsetX) / viewport_.scale, (py - viewport_.offsetY) / viewport_.scale};
}

void Desktop::raiseWindow() {
    if (!window_) return;
    if (SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(window_);
    SDL_RaiseWindow(window_);
    invalidateAll();
}

void Desktop::toggleFullScreen() {
    if (!window_) return;
    bool full = SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP;
    SDL_SetWindowFullscreen(window_, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    updateViewport();
}

WindowPlacement Desktop::placement() const {
    WindowPlacement p = placement_;
    notePlacement(window_, p);
    p.fullScreen = window_ && (SDL_GetWindowFlags(window_) & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_FULLSCREEN_DESKTOP));
    return p;
}

void Desktop::endApplication() {
    Application& app = Application::sharedApplication();
    app.terminate();   // posts will-terminate once, however often it is asked, then stops the loop
    running_ = false;
}

bool Desktop::needsFrame() const {
    if (wholeFrame_ || dirty_ || Animation::anyRunning() || hasAnimationChanges() || input_.isAnimating() ||
        noticeChanged())
        return true;
    Window* w = dynamic_cast<Window*>(root());
    return w && w->hasChanges();
}

bool Desktop::drawsChangesOnly() const { return keepsFrames_ && dynamic_cast<Window*>(root()); }

void Desktop::invalidateRect(Rect points) {
    if (auto* w = dynamic_cast<Window*>(root()))
        w->invalidateRect(points);
    else
        wholeFrame_ = true;
}

bool Desktop::noticeChanged() const {
    const Notices& notices = Notices::shared();
    return notices.generation() != noticeGeneration_ || (noticeShown_ && !notices.current(now()));
}

void Desktop::drawNotice() {
    const Notices& notices = Notices::shared();
    const Notice* notice = notices.current(now());
    noticeGeneration_ = notices.generation();
    noticeShown_ = notice != nullptr;
    if (!notice) return;
    if (!noticeLabel_) {
        // A dark strip along the bottom edge, over the face's frame rather than its LCD panel.
        noticeLabel_ = std::make_shared<Label>(kNoticeRect);
        noticeLabel_->setBackgroundColor({0.1, 0.1, 0.1, 0.82});
        noticeLabel_->setTextColor(Color::white());
        noticeLabel_->setTextAlignment(TextAlignmentCenter);
        noticeLabel_->setFont({"Helvetica", 13});
    }
    noticeLabel_->setText(notice->text);
    renderer_->drawOverlay(*noticeLabel_);
}

bool Desktop::presentParts() {
    if (!options_.presentPart) return false;
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    const std::vector<SDL_Rect>& rects = renderer_->drawnRects();
    if (!surface || surface->format->BytesPerPixel != 4 || surface->format->Gmask != 0xff00) return false;
    const bool redLow = surface->format->Rmask == 0xff && surface->format->Bmask == 0xff0000;
    if (!redLow && (surface->format->Rmask != 0xff0000 || surface->format->Bmask != 0xff)) return false;
    if (SDL_RenderFlush(sdlRenderer_) != 0) return false;
    const SDL_Rect all{0, 0, surface->w, surface->h};
    for (const SDL_Rect& drawn : rects) {
        SDL_Rect part;
        if (SDL_IntersectRect(&drawn, &all, &part))
            options_.presentPart(static_cast<std::uint8_t*>(surface->pixels), surface->pitch, redLow, part.x, part.y,
                                 part.w, part.h);
    }
    return true;
}

void Desktop::drawFrame() {
    if (!renderer_) return;
    View* r = root();
    auto* w = dynamic_cast<Window*>(r);
    std::vector<Rect> changes;
    if (w) changes = w->takeChanges();
    // The notice is drawn over the tree: when it comes or goes, or when anything is drawn while it shows,
    // the tree under it is drawn again first, so that it is never drawn over itself.
    if (w && (noticeChanged() || (noticeShown_ && !changes.empty()))) changes.push_back(kNoticeRect);
    if (r && !wholeFrame_ && changes.empty() && w) {
        // Nothing changed: nothing drawn, nothing presented; the next look comes a frame's time later.
        dirty_ = false;
        lastFrame_ = now();
        return;
    }
    bool parts = false;
    if (r && !wholeFrame_ && drawsChangesOnly()) {
        renderer_->drawChanges(*r, changes);
        drawNotice();
        parts = presentParts();
    } else if (r) {
        renderer_->drawFrame(*r);
        drawNotice();
        parts = presentParts();
    } else {
        SDL_SetRenderDrawColor(sdlRenderer_, 0, 0, 0, 255);
        SDL_RenderClear(sdlRenderer_);
    }
    if (!parts) SDL_RenderPresent(sdlRenderer_);
    dirty_ = false;
    wholeFrame_ = false;
    lastFrame_ = now();
    ++frames_;
}

void Desktop::handleEvent(const SDL_Event& event) {
    if (madeUpFromTouch(event)) return;   // the fingers themselves are handled
    View* r = root();
    switch (event.type) {
    case SDL_QUIT: endApplication(); break;
    case SDL_WINDOWEVENT:
        notePlacement(window_, placement_);
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE: endApplication(); break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_RESIZED: updateViewport(); break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            input_.cancel();
            dirty_ = true;
            break;
        default: invalidateAll(); break;
        }
        break;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET: invalidateAll(); break;
    case SDL_FINGERDOWN:
    case SDL_FINGERMOTION:
    case SDL_FINGERUP:
        if (r) {
            // Finger positions are fractions of the window.
            int w = kWidthPoints * options_.scale, h = kHeightPoints * options_.scale;
            if (window_) SDL_GetWindowSize(window_, &w, &h);
            Point p = toPoints(int(std::lround(event.tfinger.x * w)), int(std::lround(event.tfinger.y * h)));
            auto id = static_cast<long long>(event.tfinger.fingerId);
            if (event.type == SDL_FINGERDOWN)
                input_.fingerDown(*r, id, p);
            else if (event.type == SDL_FINGERUP)
                input_.fingerUp(*r, id, p);
            else
                input_.fingerMove(*r, id, p);
            dirty_ = true;
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (r && event.button.button == SDL_BUTTON_LEFT) {
            input_.press(*r, toPoints(event.button.x, event.button.y));
            dirty_ = true;
        }
        break;
    case SDL_MOUSEMOTION:
        if (r && (event.motion.state & SDL_BUTTON_LMASK)) {
            input_.move(*r, toPoints(event.motion.x, event.motion.y));
            dirty_ = true;
        }
        break;
    case SDL_MOUSEBUTTONUP:
        if (r && event.button.button == SDL_BUTTON_LEFT) {
            input_.release(*r, toPoints(event.button.x, event.button.y));
            dirty_ = true;
        }
        break;
    case SDL_MOUSEWHEEL:
        if (r) {
            int dy = event.wheel.y, dx = event.wheel.x;
            if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) {
                dy = -dy;
                dx = -dx;
            }
            int x = 0, y = 0;
            SDL_GetMouseState(&x, &y);
            // Down or right moves towards the end of the strip.
            if (input_.wheel(*r, toPoints(x, y), dx - dy)) dirty_ = true;
        }
        break;
    case SDL_KEYDOWN:
        if (event.key.repeat) break;   // holding a key is one press, as holding a button is
#ifndef __EMSCRIPTEN__
        // Ctrl+Q quits from anywhere, as closing the window does (a page is closed by its browser).
        if (event.key.keysym.sym == SDLK_q && (event.key.keysym.mod & KMOD_CTRL)) {
            endApplication();
            break;
        }
#endif
        if (renderer_ && !renderer_->keyNames()) {   // a keyboard after all: the key names come back
            renderer_->setKeyNames(true);
            wholeFrame_ = true;
        }
        if (event.key.keysym.sym == SDLK_F11) {
            toggleFullScreen();
        } else if (keyHandler_ && keyHandler_(keyName(event.key.keysym.sym))) {
            dirty_ = true;
        } else if (r) {
            input_.key(*r, keyName(event.key.keysym.sym));
            dirty_ = true;
        }
        break;
    default:
        if (gamepads_->handleEvent(event, r, input_)) dirty_ = true;
        break;
    }
}

void Desktop::installSignalHandlers() {
    if (handlersInstalled) return;
    // SDL's own handlers would interrupt the display connection's reads; these restart them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    endSignal = 0;
    struct sigaction action {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, nullptr, &previousInt);
    sigaction(SIGTERM, nullptr, &previousTerm);
    if (previousInt.sa_handler != SIG_IGN) sigaction(SIGINT, &action, nullptr);
    if (previousTerm.sa_handler != SIG_IGN) sigaction(SIGTERM, &action, nullptr);
    handlersInstalled = true;
}

void Desktop::restoreSignalHandlers() {
    if (!handlersInstalled) return;
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
    handlersInstalled = false;
    endSignal = 0;
}

void Desktop::runOnce(bool wait) {
    if (endSignal) {
        endApplication();
        return;
    }
    RunLoop& loop = RunLoop::main();
    double t = now();
    // Views report what the timers changed; a root that is no window cannot, so it is drawn whole.
    if (loop.runUntil(t) > 0 && !dynamic_cast<Window*>(root())) wholeFrame_ = true;
    input_.step();
    if (needsFrame() && t - lastFrame_ >= options_.frameInterval * 0.999) {
        drawFrame();
        if (exitAfterFirstFrame_) {
            endApplication();
            return;
        }
    }

    SDL_Event event;
    bool got = false;
    double wake = loop.nextDueTime();
    wake = std::min(wake, Notices::shared().nextChange(now()));
    if (needsFrame()) wake = std::min(wake, lastFrame_ + options_.frameInterval);
    double timeout = wake - now();
    if (!wait || timeout <= 0) {
        got = SDL_PollEvent(&event);
    } else {
        // Sleep until the next timer, frame or event; whole milliseconds, rounded up, so that a timer is due
        // when the loop wakes.
        double ms = std::ceil(timeout * 1000.0);
        got = SDL_WaitEventTimeout(&event, ms > kMaxWaitMs ? kMaxWaitMs : int(ms));
    }
    if (got) {
        handleEvent(event);
        while (SDL_PollEvent(&event)) handleEvent(event);
    }
    if (passHandler_) passHandler_();
    if (endSignal) endApplication();
}

int Desktop::run() {
    running_ = true;
    while (running_) runOnce(true);
    return 0;
}

bool Desktop::openURL(const std::string& url) {
    if (options_.openURL) return options_.openURL(url);
    logLine("openURL: nothing opens links here (" + url + ")");
    return false;
}

}   // namespace platform::sdl
