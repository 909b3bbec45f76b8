// The test probes: what the page's tests and benchmark read of the running program, as JSON, built only into
// the test build of the page (PLUMBRICK_WEB_TEST_PROBES; web/probes.js offers them as window.plumbrick).
// Reading looks and changes nothing: which screen is in front (an information page too), the open game's
// state, score, misses, seconds played and lit segments, whether an animation runs, the notice shown over the
// screen, and the texts of the labels on screen (the statistics' rows); the loop's work per pass; the sound's
// level. Counting ticks starts a timer of its own, which never stops.

#include <emscripten.h>

#include <cstdio>
#include <memory>
#include <string>

#include "app/IntroViewController.h"
#include "app/PlumbrickAppDelegate.h"
#include "app/PlumbrickViewController.h"
#include "games/cook/PanflipViewController.h"
#include "games/egg/VCWolf.h"
#include "games/egg/YolkfallViewController.h"
#include "platform/Application.h"
#include "platform/Control.h"
#include "platform/Date.h"
#include "platform/ImageView.h"
#include "platform/Label.h"
#include "platform/Notice.h"
#include "platform/RunLoop.h"
#include "platform/View.h"
#include "platform/sdl/web/PageLoop.h"
#include "services/GamesResultViewController.h"

using namespace plumbrick;

namespace {

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (static_cast<unsigned char>(c) < 0x20) continue;
        out += c;
    }
    return out + "\"";
}

bool onScreen(const platform::View* v) {
    if (!v) return false;
    for (; v; v = v->superview()) {
        if (v->isHidden() || v->alpha() <= 0) return false;
        if (dynamic_cast<const platform::Window*>(v)) return true;
    }
    return false;
}

// Tags of the shown pictures under `v` (a game's lit segments; the face itself has no tag).
void litTags(const platform::View& v, std::string& out) {
    if (v.isHidden()) return;
    if (v.tag() > 0 && dynamic_cast<const platform::ImageView*>(&v))
        out += (out.empty() ? "" : ",") + std::to_string(v.tag());
    for (const auto& child : v.subviews()) litTags(*child, out);
}

void labels(const platform::View& v, std::string& out) {
    if (v.isHidden() || v.alpha() <= 0) return;
    if (auto* label = dynamic_cast<const platform::Label*>(&v); label && !label->text().empty())
        out += (out.empty() ? "" : ",") + quoted(label->text());
    for (const auto& child : v.subviews()) labels(*child, out);
}

PlumbrickViewController* rootController() {
    auto* delegate = dynamic_cast<PlumbrickAppDelegate*>(platform::Application::sharedApplication().delegate());
    return delegate ? dynamic_cast<PlumbrickViewController*>(delegate->viewController()) : nullptr;
}

// Only views already loaded are looked at: asking a controller for its view would load it.
platform::View* loadedView(platform::ViewController* controller) {
    return controller && controller->isViewLoaded() ? controller->view() : nullptr;
}

// Seconds of play in the open round so far (the stretch under way included).
template <class Game> double played(const Game& game) {
    double seconds = game.getTimeGame();
    if (game.getState() == Game::kPlaying)
        seconds += platform::Date::date().timeIntervalSince1970 - game.getTimeStartGame();
    return seconds;
}

template <class Game> std::string gameFields(Game& game) {
    std::string lit;
    if (platform::View* v = loadedView(&game)) litTags(*v, lit);
    return ",\"state\":" + std::to_string(game.getState()) + ",\"type\":" + std::to_string(game.getTypeGame()) +
           ",\"score\":" + std::to_string(game.getScores()) + ",\"misses\":" + std::to_string(game.getPenalty()) +
           ",\"played\":" + std::to_string(played(game)) + ",\"lit\":[" + lit + "]";
}

}   // namespace

extern "C" EMSCRIPTEN_KEEPALIVE const char* plumbrick_report() {
    static std::string json;
    json = "{";
    PlumbrickViewController* root = rootController();
    std::string screen = "none";
    if (root) {
        auto* stats = root->getViewControllerGamesResult();
        auto* intro = root->getViewControllerIntro();
        if (onScreen(loadedView(stats)))
            screen = "statistics";
        else if (onScreen(loadedView(intro)))
            screen = "intro";
        else
            screen = "menu";
        // An information page over the menu: a control that covers the screen, in front.
        const auto& front = root->view()->subviews();
        if (!front.empty() && dynamic_cast<const platform::Control*>(front.back().get()) &&
            onScreen(front.back().get()))
            screen = "info";
        for (int slot = 1; slot <= PlumbrickViewController::kSlotCount; ++slot) {
            platform::ViewController* game = root->getViewControllerGame(slot);
            if (!onScreen(loadedView(game))) continue;
            if (screen == "menu") screen = "game";
            json += "\"slot\":" + std::to_string(slot);
            if (auto* egg = dynamic_cast<YolkfallViewController*>(game)) {
                json += gameFields(*egg);
                if (egg->getWolf()) json += ",\"basket\":" + std::to_string(egg->getWolf()->getPosBasket());
            } else if (auto* cook = dynamic_cast<PanflipViewController*>(game))
                json += gameFields(*cook);
            json += ",";
            break;
        }
    }
    std::string texts;
    if (platform::Window* w = platform::Window::keyWindow()) labels(*w, texts);
    const platform::Notice* notice = platform::Notices::shared().current(platform::RunLoop::main().now());
    json += "\"notice\":" + (notice ? quoted(notice->text) : std::string("null")) + ",";
    json += "\"screen\":" + quoted(screen) +
            ",\"animating\":" + (platform::Animation::anyRunning() ? "true" : "false") + ",\"labels\":[" + texts + "]}";
    return json.c_str();
}

// Counts the 0.025 s ticks the run loop fires from the first call on (a timer of its own, as a round's tick
// is), for the page's benchmark; returns the count so far.
extern "C" EMSCRIPTEN_KEEPALIVE int plumbrick_count_ticks() {
    static int ticks = 0;
    static std::shared_ptr<platform::Timer> probe = platform::Timer::scheduled(
        0.025, [](platform::Timer&) { ++ticks; }, true, platform::Unowned{});
    return ticks;
}

// The program's work in the last browser frames (milliseconds, oldest first), the passes and frames so far.
extern "C" EMSCRIPTEN_KEEPALIVE const char* plumbrick_frame_work() {
    static std::string json;
    const platform::web::LoopRecord record = platform::web::loopRecord();
    json =
        "{\"passes\":" + std::to_string(record.passes) + ",\"frames\":" + std::to_string(record.frames) + ",\"work\":[";
    for (std::size_t i = 0; i < record.work.size(); ++i) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%s%.3f", i ? "," : "", record.work[i]);
        json += buf;
    }
    json += "]}";
    return json.c_str();
}

// Whether sound is off and the volume (0 to 8).
extern "C" EMSCRIPTEN_KEEPALIVE const char* plumbrick_sound() {
    static std::string json;
    const platform::sdl::MixerSound* sound = platform::web::pageSound();
    json = std::string("{\"muted\":") + (sound && sound->isMuted() ? "true" : "false") +
           ",\"volume\":" + std::to_string(sound ? sound->volume() : 0) + "}";
    return json.c_str();
}
