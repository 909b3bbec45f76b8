#include "games/egg/YolkfallViewController.h"

#include <cstdint>

#include "services/Support.h"

namespace plumbrick {

YolkfallViewController::YolkfallViewController(std::string gameId, std::string layoutName,
                                               VCRootControllerProtocol* root)
    : GameScreenController(std::move(gameId), std::move(layoutName), root),
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
    dgScores = std::make_unique<VCNumeral>(gameView());
    dgScores->hiddenAll();
    const auto sound = [this](YolkfallSound s) -> platform::SystemSoundID& { return sounds[int(s)]; };
    initSound(sound(YolkfallSound::Roll0), "yolkfall_01", "aif");
    initSound(sound(YolkfallSound::Roll1), "yolkfall_01", "aif");
    initSound(sound(YolkfallSound::Roll2), "yolkfall_03", "aif");
    initSound(sound(YolkfallSound::Roll3), "yolkfall_04", "aif");
    initSound(sound(YolkfallSound::Break), "yolkfall_06", "aif");
    initSound(sound(YolkfallSound::Entrap), "yolkfall_02", "aif");
    initSound(sound(YolkfallSound::MoveChick), "yolkfall_08", "aif");
    initSound(sound(YolkfallSound::EndGame), "endgame", "aif");
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
        case YolkfallEffect::Hide:
            if (platform::View* segment = gameView().viewWithTag(e.value))
                segment->setHidden(e.kind == YolkfallEffect::Hide);
            break;
        case YolkfallEffect::Play: platform::AudioServicesPlaySystemSound(sounds[e.value]); break;
        case YolkfallEffect::Score: dgScores->setNum(e.value); break;
        case YolkfallEffect::ShowScore: dgScores->showAll(); break;
        case YolkfallEffect::Record:
            if (VCGamesResult* results = getGameResult())
                results->EndGame(game_face::wholeSeconds(e.seconds), e.value, e.penalty);
            break;
        case YolkfallEffect::Lost: game_face::releaseStateFile(pathStateFile()); break;   // a checkpoint of it
        case YolkfallEffect::Dim:
        case YolkfallEffect::Undim: setDisplayAlfa(e.kind == YolkfallEffect::Dim); break;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Saved state

YolkfallSavedState YolkfallViewController::written(const YolkfallRoundState& s) const {
    YolkfallSavedState out;
    static_cast<YolkfallRoundState&>(out) = s;
    if (getGameResult() && getGameResult()->getGameround())
        out.gameroundDateStart = getGameResult()->getGameround()->getDateStart();
    return out;
}

// The results store's look-up is the one step that can fail (a malformed entry in the results list), so it
// goes first: a failure leaves everything as it was.
void YolkfallViewController::applyState(const YolkfallSavedState& s) {
    getGameResult()->setGameRoundWithDateStart(*s.gameroundDateStart);
    round.restore(s);
    if (getIvGamePause()) getIvGamePause()->setHidden(false);
    update(false);
}

// A playing round written as the pause would write it, while it plays on; a lost round never.
bool YolkfallViewController::writeCheckpoint() {
    if (round.isLost()) return false;
    const YolkfallSavedState s = written(round.asPaused());
    return game_face::saveStateFile(pathStateFile(), kClassName,
                                    [&s](platform::KeyedArchiver& a) { yolkfall_state::table().encode(s, a); });
}

bool YolkfallViewController::dropLostRound() {
    if (!round.isLost()) return false;
    round.abandon();
    return true;
}

}   // namespace plumbrick
