#include "games/egg/YolkfallViewController.h"

#include <cstdint>
#include <optional>

#include "games/egg/YolkfallStateFile.h"

namespace plumbrick {

YolkfallViewController::YolkfallViewController(std::string gameId, std::string layoutName,
                                               VCRootControllerProtocol* root)
    : GameScreenController(std::move(gameId), std::move(layoutName), root, kClassName),
      round(&now, YolkfallRound::cLibraryRandom(static_cast<unsigned>(static_cast<std::int64_t>(now())))) {}

YolkfallViewController::~YolkfallViewController() {
    if (cycleSuperVisor) cycleSuperVisor->invalidate();
}

void YolkfallViewController::bindLayout(platform::LayoutBindings& b) {
    GameScreenController::bindLayout(b);
    b.action("pressBtWolfLU:", this, &YolkfallViewController::pressBtWolfLU);
    b.action("pressBtWolfLD:", this, &YolkfallViewController::pressBtWolfLD);
    b.action("pressBtWolfRD:", this, &YolkfallViewController::pressBtWolfRD);
    b.action("pressBtWolfRU:", this, &YolkfallViewController::pressBtWolfRU);
}

void YolkfallViewController::viewDidLoad() {
    GameScreenController::viewDidLoad();
    scoreDigits().hiddenAll();
    // By YolkfallSound.
    loadSounds({"yolkfall_01", "yolkfall_01", "yolkfall_03", "yolkfall_04", "yolkfall_06", "yolkfall_02", "yolkfall_08",
                "endgame"});
    update(false);   // the face as a round begins: dark
    loadStateGame();
}

void YolkfallViewController::cycleLifeTime(platform::Timer*) {
    run([&] { round.tick(); });
}

void YolkfallViewController::pressBtWolfLU(platform::View*) {
    run([&] { round.setWolfPositionBaske(0); });
}
void YolkfallViewController::pressBtWolfLD(platform::View*) {
    run([&] { round.setWolfPositionBaske(1); });
}
void YolkfallViewController::pressBtWolfRD(platform::View*) {
    run([&] { round.setWolfPositionBaske(2); });
}
void YolkfallViewController::pressBtWolfRU(platform::View*) {
    run([&] { round.setWolfPositionBaske(3); });
}

void YolkfallViewController::update(bool freshTimer) {
    const bool playing = round.getState() == kPlaying;
    if (cycleSuperVisor && (freshTimer || !playing)) {
        cycleSuperVisor->invalidate();
        cycleSuperVisor.reset();
    }
    if (playing && !cycleSuperVisor)
        cycleSuperVisor = platform::Timer::scheduled(kTickInterval, this, &YolkfallViewController::cycleLifeTime, true);

    for (const YolkfallEffect& e : round.takeEffects()) {
        switch (e.kind) {
        case YolkfallEffect::Show:
        case YolkfallEffect::Hide: showSegment(e.value, e.kind == YolkfallEffect::Show); break;
        case YolkfallEffect::Play: playSound(std::size_t(e.value)); break;
        case YolkfallEffect::Score: scoreDigits().setNum(e.value); break;
        case YolkfallEffect::ShowScore: scoreDigits().showAll(); break;
        case YolkfallEffect::Record: recordResult(e.seconds, e.value, e.penalty); break;
        case YolkfallEffect::Lost: releaseStateFile(); break;   // a checkpoint of it
        case YolkfallEffect::Dim:
        case YolkfallEffect::Undim: setDisplayAlfa(e.kind == YolkfallEffect::Dim); break;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Saved state

void YolkfallViewController::encodeRound(platform::KeyedArchiver& a, bool asPaused) const {
    YolkfallSavedState s;
    static_cast<YolkfallRoundState&>(s) = asPaused ? round.asPaused() : round.saved();
    s.gameroundDateStart = recordStart();
    yolkfall_state::table().encode(s, a);
}

bool YolkfallViewController::decodeRound(const platform::KeyedUnarchiver& u) {
    const std::optional<YolkfallSavedState> s = yolkfall_state::table().decode(u);
    if (!s) return false;
    restoreRecord(s->gameroundDateStart);
    round.restore(*s);
    update(false);
    return true;
}

}   // namespace plumbrick
