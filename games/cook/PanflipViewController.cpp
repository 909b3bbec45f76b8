#include "games/cook/PanflipViewController.h"

#include <optional>

#include "games/cook/PanflipStateFile.h"

namespace plumbrick {

namespace {

template <class... F> struct Overloaded : F... { using F::operator()...; };
template <class... F> Overloaded(F...) -> Overloaded<F...>;

}   // namespace

PanflipViewController::PanflipViewController(std::string gameId, std::string layoutName, VCRootControllerProtocol* root)
    : GameScreenController(std::move(gameId), std::move(layoutName), root, kClassName),
      round_([this](const panflip::Effect& e) { apply(e); }) {}

PanflipViewController::~PanflipViewController() {
    for (auto& t : timers)
        if (t) t->invalidate();
}

void PanflipViewController::bindLayout(platform::LayoutBindings& b) {
    GameScreenController::bindLayout(b);
    auto bind = [this, &b](const char* selector, auto fn) { b.actions[selector] = platform::boundTo(this, fn); };
    bind("pressBtLeftDown:", [this](platform::View*) { round_.press(panflip::Control::Left); });
    bind("pressBtRightDown:", [this](platform::View*) { round_.press(panflip::Control::Right); });
}

void PanflipViewController::viewDidLoad() {
    GameScreenController::viewDidLoad();
    round_.setUp();
    // By panflip::Sound.
    loadSounds({"panflip_01", "panflip_02", "yolkfall_08", "endgame", "yolkfall_02"});
    loadStateGame();
}

// ---------------------------------------------------------------------------------------------
// The round's effects on the face

void PanflipViewController::apply(const panflip::Effect& effect) {
    std::visit(
        Overloaded{
            [this](const panflip::Segment& e) { showSegment(e.tag, e.visible); },
            [this](const panflip::PlaySound& e) { playSound(std::size_t(e.sound)); },
            [this](const panflip::Arm& e) {
                auto& t = timers[std::size_t(e.sequence)];
                if (t) t->invalidate();
                t = platform::Timer::scheduled(
                    e.interval, [this, q = e.sequence](platform::Timer&) { round_.tick(q); }, e.repeats,
                    platform::watchOf(this));
            },
            [this](const panflip::Stop& e) {
                if (auto& t = timers[std::size_t(e.sequence)]) {
                    t->invalidate();
                    t.reset();
                }
            },
            [this](const panflip::Score& e) { scoreDigits().setNum(e.value); },
            [this](const panflip::ScoreShown& e) { e.shown ? scoreDigits().showAll() : scoreDigits().hiddenAll(); },
            [this](const panflip::Dim& e) { setDisplayAlfa(e.dimmed); },
            [this](const panflip::Recorded& e) { recordResult(e.time, e.scores, e.penalty); },
            [this](const panflip::Ended&) { releaseStateFile(); },
        },
        effect);
}

// ---------------------------------------------------------------------------------------------
// The round in the results store and the state file

// After the results store's new round (game_face::pressStartGame), which this round is recorded in.
void PanflipViewController::startGame() {
    round_.startGame();
    if (const auto start = recordStart()) round_.setRecordStart(start);
}

void PanflipViewController::encodeRound(platform::KeyedArchiver& a, bool asPaused) const {
    panflip_state::table().encode(asPaused ? round_.asPaused() : round_.state(), a);
}

bool PanflipViewController::decodeRound(const platform::KeyedUnarchiver& u) {
    const std::optional<PanflipSavedState> saved = panflip_state::table().decode(u);
    if (!saved) return false;
    restoreRecord(saved->gameroundDateStart);
    round_.restore(*saved);
    round_.setRecordStart(recordStart());
    return true;
}

}   // namespace plumbrick
