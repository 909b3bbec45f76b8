#pragma once
// The desktop window: SDL events turned into touches and key presses on the view tree, frames drawn when
// something changed or an animation runs, and the run loop's timers fired on time in between. The loop
// sleeps until the next timer, animation frame or event.
//
// A frame draws again only the areas the window's views reported changed (see Window::takeChanges), over the
// last frame kept in the window's surface; a whole frame after opening, a resize, a scale change, an exposed
// or lost surface, with a renderer that does not keep its frames, or when the changes cover most of the screen.
//
// It is also the application backend: ending the loop, and handing links to the opener it was given (the
// desktop's starts xdg-open, UrlOpener.h; the web page's opens a new tab).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Label.h"
#include "platform/sdl/PointerInput.h"
#include "platform/sdl/Viewport.h"
#include "platform/sdl/WindowMemory.h"

// SDL's types, declared here so that users of the window need not see SDL.
struct SDL_Window;
struct SDL_Renderer;
union SDL_Event;

namespace platform::sdl {

class Gamepads;
class Renderer;

// Hands a link to the system; false when nothing took it.
using UrlOpener = std::function<bool(const std::string& url)>;
// Shows one changed part of the window: the rectangle (x, y, w, h) in pixels of the window's surface, whose
// pixels are 32-bit words, `pitch` bytes a row: 0xXXBBGGRR when `redLow` (the browser's), else 0xXXRRGGBB. The
// presenter may write the unused byte XX; nothing reads it.
using PartPresenter = std::function<void(std::uint8_t* pixels, int pitch, bool redLow, int x, int y, int w, int h)>;

struct DesktopOptions {
    int scale = 2;   // pixels per point of the window at start
    bool fullScreen = false;
    std::string title = "Plumbrick";
    double frameInterval = 1.0 / 60;   // shortest time between frames while something moves
    // False: the window keeps the size it opened with (the web page scales its canvas itself; were the
    // canvas resizable, the browser's SDL would give it the page's size and the screen would shrink to 1x).
    bool resizable = true;
    WindowPlacement remembered;   // size and place from the last run (the size wins over scale)
    bool shadows = true;          // LCD segments cast their shadow on the panel ("display": {"shadow"} in settings)
    // False on a device that has shown no keyboard: the faces are drawn without the key names under their
    // buttons until the first key press.
    bool keyNames = true;
    UrlOpener openURL = nullptr;   // none: links go nowhere, with a log line
    // Where set, each frame shows what it drew through this, part by part (a whole frame as one part),
    // instead of SDL's present, which copies the whole surface every time (the web page's canvas).
    PartPresenter presentPart = nullptr;
};

class Desktop : public ApplicationBackend {
public:
    static constexpr int kWidthPoints = 480;
    static constexpr int kHeightPoints = 320;

    explicit Desktop(DesktopOptions options = {});
    ~Desktop() override;
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // Opens the window and its renderer. False (with the reason logged) when there is no display.
    bool open();
    bool isOpen() const { return window_ != nullptr; }

    // The tree drawn and touched: the key window unless set here (tests).
    void setRoot(View* root) { root_ = root; }
    View* root() const;

    // Runs until the application ends. Returns 0.
    int run();
    // One pass of the loop: fires what is due, draws if needed, then waits for an event at most until the
    // next due time (never when `wait` is false) and handles every event that arrived.
    void runOnce(bool wait = true);

    // Handles one SDL event (tests feed synthesized ones here).
    void handleEvent(const SDL_Event& event);
    // Draws what changed (or the whole tree when needed) and presents it; nothing when nothing changed.
    void drawFrame();
    bool needsFrame() const;
    int framesDrawn() const { return frames_; }
    // Marks an area of the screen (points) to be drawn again with the next frame: what is drawn over the tree
    // reports its own changes here. The tree's views report theirs themselves.
    void invalidateRect(Rect points);
    // The next frame is drawn whole.
    void invalidateAll() { wholeFrame_ = true; }
    // Whether frames are drawn in parts over the last one (the software renderer, a window as the root).
    bool drawsChangesOnly() const;

    // Window pixels to points, and the viewport that draws the screen in the window.
    Point toPoints(int windowX, int windowY) const;
    Viewport viewport() const { return viewport_; }
    void toggleFullScreen();
    // The window's size and place when not full screen, and whether it is full screen now (to remember).
    WindowPlacement placement() const;
    SDL_Window* window() const { return window_; }
    Renderer* renderer() const { return renderer_.get(); }
    PointerInput& input() { return input_; }
    Gamepads& gamepads() { return *gamepads_; }

    // ApplicationBackend
    bool openURL(const std::string& url) override;
    void stop() override { running_ = false; }
    bool isRunning() const { return running_; }

    // What opens links from now on (options.openURL at start); tests point it elsewhere.
    void setUrlOpener(UrlOpener opener) { options_.openURL = std::move(opener); }

    // SIGINT and SIGTERM end the application as closing the window does (restarting interrupted system calls,
    // so that the display connection survives the signal). A signal that was ignored stays ignored.
    static void installSignalHandlers();
    static void restoreSignalHandlers();

    // Sees every key press (lowercase SDL name) before the screen does; true when it took the key (the
    // sound keys).
    void setKeyHandler(std::function<bool(const std::string&)> handler) { keyHandler_ = std::move(handler); }

    // Set when the loop should end after the first frame (start-up measurements).
    void setExitAfterFirstFrame(bool on) { exitAfterFirstFrame_ = on; }

    // Called once in every pass of the loop, after the events (the desktop's other channels look in there).
    void setPassHandler(std::function<void()> handler) { passHandler_ = std::move(handler); }
    // Brings the window to the front, restored if it was minimised (the window manager may only flag it).
    void raiseWindow();

private:
    void updateViewport();
    void endApplication();
    // The system notice (Notices) drawn over the tree, outside it, in a strip along the bottom edge.
    static inline const Rect kNoticeRect{90, 292, 300, 22};
    bool noticeChanged() const;
    void drawNotice();
    // Shows what the last frame drew through options' presentPart; false when SDL is to present it.
    bool presentParts();
    double now() const;

    DesktopOptions options_;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* sdlRenderer_ = nullptr;
    std::unique_ptr<Renderer> renderer_;
    Viewport viewport_;
    PointerInput input_;
    std::unique_ptr<Gamepads> gamepads_;
    View* root_ = nullptr;
    bool initialisedVideo_ = false;
    bool running_ = false;
    bool dirty_ = true;          // input arrived: look for changes
    bool wholeFrame_ = true;     // the next frame is drawn whole
    bool keepsFrames_ = false;   // the renderer draws into a surface that keeps the last frame
    bool exitAfterFirstFrame_ = false;
    double lastFrame_ = -1e9;
    int frames_ = 0;
    std::shared_ptr<Label> noticeLabel_;
    std::uint64_t noticeGeneration_ = 0;
    bool noticeShown_ = false;
    std::function<bool(const std::string&)> keyHandler_;
    std::function<void()> passHandler_;
    WindowPlacement placement_;
};

}   // namespace platform::sdl
