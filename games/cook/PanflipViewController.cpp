#include "games/cook/PanflipViewController.h"

#include "games/cook/PanflipStateFile.h"
#include "platform/Notification.h"
#include "services/Support.h"

namespace plumbrick {

namespace {

template <class... F> struct Overloaded : F... { using F::operator()...; };
template <class... F> Overloaded(F...) -> Overloaded<F...>;

}   // namespace

PanflipViewController::PanflipViewController(std::string gameId, std::string layoutName, VCRootControllerProtocol* root)
    : platform::ViewController(std::move(layoutName)),
      round_([this](const panflip::Effect& e) { apply(e); }),
      nameGame(std::move(gameId)),
      idParentController(root) {}

PanflipViewController::~PanflipViewController() {
    for (auto& t : timers)
        if (t) t->invalidate();
    // The platform would keep a controller for the application's whole life; here it may go first.
    platform::NotificationCenter::defaultCenter().removeObserver(this);
}

void PanflipViewController::bindLayout(platform::LayoutBindings& b) {
    auto bind = [this, &b](const char* selector, auto fn) { b.actions[selector] = platform::boundTo(this, fn); };
    bind("pressBtLeftDown:", [this](platform::View*) { round_.press(panflip::Control::Left); });
    bind("pressBtRightDown:", [this](platform::View*) { round_.press(panflip::Control::Right); });
    bind("pressBtStartGameA:", [this](platform::View*) { pressBtStartGame(1); });
    bind("pressBtStartGameB:", [this](platform::View*) { pressBtStartGame(2); });
    bind("pressBtStartGame:", [this](platform::View*) { pressBtStartGame(getTypeGame()); });
    bindShell(b);
}

void PanflipViewController::viewDidLoad() {
    platform::ViewController::viewDidLoad();
    setUpShell();
    arDisplayAlfa.reset();
    dgScores = std::make_unique<VCNumeral>(*view());
    round_.setUp();

    auto sound = [this](panflip::Sound s) -> platform::SystemSoundID& { return sounds[std::size_t(s)]; };
    initSound(sound(panflip::Sound::Toss), "panflip_01", "aif");
    initSound(sound(panflip::Sound::Step), "panflip_02", "aif");
    initSound(sound(panflip::Sound::Stealing), "yolkfall_08", "aif");
    initSound(sound(panflip::Sound::EndGame), "endgame", "aif");
    initSound(sound(panflip::Sound::Entrap), "yolkfall_02", "aif");

    loadStateGame();
}

bool PanflipViewController::shouldAutorotateToInterfaceOrientation(int orientation) {
    return orientation == platform::InterfaceOrientationLandscapeRight;
}

// ---------------------------------------------------------------------------------------------
// The round's effects on the face

void PanflipViewController::apply(const panflip::Effect& effect) {
    std::visit(Overloaded{
                   [this](const panflip::Segment& e) {
                       platform::Segment& segment = segments[e.tag];
                       if (!segment) segment = platform::Segment::withTag(*view(), e.tag);
                       segment.setHidden(!e.visible);
                   },
                   [this](const panflip::PlaySound& e) {
                       platform::AudioServicesPlaySystemSound(sounds[std::size_t(e.sound)]);
                   },
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
                   [this](const panflip::Score& e) { dgScores->setNum(e.value); },
                   [this](const panflip::ScoreShown& e) { e.shown ? dgScores->showAll() : dgScores->hiddenAll(); },
                   [this](const panflip::Dim& e) { setDisplayAlfa(e.dimmed); },
                   [this](const panflip::Recorded& e) {
                       if (gameResult) gameResult->EndGame(game_face::wholeSeconds(e.time), e.scores, e.penalty);
                   },
                   [this](const panflip::Ended&) { game_face::releaseStateFile(pathStateFile()); },
               },
               effect);
}

void PanflipViewController::setDisplayAlfa(bool flag) {
    if (isViewLoaded()) game_face::setDisplayAlfa(*view(), arDisplayAlfa, flag);
}

// ---------------------------------------------------------------------------------------------
// The shell: the buttons around the round, the results store, notifications and the state file

void PanflipViewController::bindShell(platform::LayoutBindings& b) {
    b.action("pressBtPause:", this, &PanflipViewController::pressBtPause);
    b.action("pressBtMenu:", this, &PanflipViewController::pressBtMenu);
    b.action("pressBtInfo:", this, &PanflipViewController::pressBtInfo);
    b.outlet("ivGamePause", ivGamePause);
    b.outlet("btMenu", btMenu);
}

void PanflipViewController::setUpShell() {
    game_face::moveDownByOwnHeight(btMenu);
    auto& center = platform::NotificationCenter::defaultCenter();
    center.addObserver(this, &PanflipViewController::applicationWillTerminate,
                       platform::ApplicationWillTerminateNotification);
    center.addObserver(this, &PanflipViewController::applicationCheckpoint,
                       platform::ApplicationCheckpointNotification);
    gameResult = std::make_unique<VCGamesResult>(nameGame);
    gameResult->Load();
}

// After the results store's new round (game_face::pressStartGame), which this round is recorded in.
void PanflipViewController::startGame() {
    round_.startGame();
    if (gameResult && gameResult->getGameround()) round_.setRecordStart(gameResult->getGameround()->getDateStart());
}

void PanflipViewController::pressBtStartGame(int type) {
    round_.setTypeGame(type);
    game_face::pressStartGame(*this);
}

void PanflipViewController::pressBtPause(platform::View*) { game_face::pressPause(*this); }

void PanflipViewController::pressBtMenu(platform::View*) {
    game_face::holdRound(*this);
    if (idParentController) idParentController->switchMenuFromGame(this);
}

void PanflipViewController::pressBtInfo(platform::View*) {
    game_face::holdRound(*this);
    if (idParentController) idParentController->switchInfoFromGame(nameGame);
}

void PanflipViewController::applicationWillTerminate(const std::string&) {
    game_face::pauseRound(*this);
    saveStateGame();
}

// A playing round written as the pause would write it, while the round itself plays on untouched.
void PanflipViewController::applicationCheckpoint(const std::string&) {
    game_face::checkpointRound(*this, checkpoints, PanflipRound::wallClock(), [this] {
        return game_face::saveStateFile(pathStateFile(), kClassName, [this](platform::KeyedArchiver& a) {
            panflip_state::table().encode(round_.asPaused(), a);
        });
    });
}

bool PanflipViewController::saveStateGame() const {
    if (getState() != kPaused) return true;
    return game_face::saveStateFile(pathStateFile(), kClassName, [this](platform::KeyedArchiver& a) {
        panflip_state::table().encode(round_.state(), a);
    });
}

// The results store's look-up is the one step that can fail (a malformed entry in the results list), so it
// goes first: a failure leaves the round as it was.
bool PanflipViewController::loadStateGame() {
    return game_face::loadStateFile(pathStateFile(), kClassName, [this](const platform::KeyedUnarchiver& u) {
        const auto saved = panflip_state::table().decode(u);
        if (!saved) return false;
        gameResult->setGameRoundWithDateStart(*saved->gameroundDateStart);
        if (ivGamePause) ivGamePause->setHidden(false);
        round_.restore(*saved);
        round_.setRecordStart(gameResult->getGameround()->getDateStart());
        return getState() == kPaused;
    });
}

}   // namespace plumbrick
