#include "games/egg/YolkfallViewController.h"

#include <cstdlib>

#include "platform/Date.h"
#include "platform/Notification.h"
#include "services/GameFace.h"
#include "services/Support.h"

namespace plumbrick {

namespace {

double now() { return platform::Date::date().timeIntervalSince1970; }

}   // namespace

YolkfallViewController::YolkfallViewController(std::string gameId, std::string layoutName,
                                               VCRootControllerProtocol* root)
    : platform::ViewController(std::move(layoutName)), nameGame(std::move(gameId)), idParentController(root) {
    std::srand(static_cast<unsigned>(static_cast<std::int64_t>(now())));
}

YolkfallViewController::~YolkfallViewController() {
    stopGameTimer();
    // The platform would keep a controller for the application's whole life; here it may go first.
    platform::NotificationCenter::defaultCenter().removeObserver(this);
}

void YolkfallViewController::bindLayout(platform::LayoutBindings& b) {
    b.action("pressBtWolfLU:", this, &YolkfallViewController::pressBtWolfLU);
    b.action("pressBtWolfLD:", this, &YolkfallViewController::pressBtWolfLD);
    b.action("pressBtWolfRD:", this, &YolkfallViewController::pressBtWolfRD);
    b.action("pressBtWolfRU:", this, &YolkfallViewController::pressBtWolfRU);
    b.action("pressBtStartGameA:", this, &YolkfallViewController::pressBtStartGameA);
    b.action("pressBtStartGameB:", this, &YolkfallViewController::pressBtStartGameB);
    b.action("pressBtStartGame:", this, &YolkfallViewController::pressBtStartGame);
    b.action("pressBtPause:", this, &YolkfallViewController::pressBtPause);
    b.action("pressBtMenu:", this, &YolkfallViewController::pressBtMenu);
    b.action("pressBtInfo:", this, &YolkfallViewController::pressBtInfo);
    b.outlet("ivGamePause", ivGamePause);
    b.outlet("btMenu", btMenu);
}

// ---------------------------------------------------------------------------------------------
// Screen set-up

void YolkfallViewController::viewDidLoad() {
    platform::ViewController::viewDidLoad();
    platform::View& face = gameView();

    game_face::moveDownByOwnHeight(btMenu);

    platform::NotificationCenter::defaultCenter().addObserver(this, &YolkfallViewController::applicationWillTerminate,
                                                              platform::ApplicationWillTerminateNotification);
    platform::NotificationCenter::defaultCenter().addObserver(this, &YolkfallViewController::applicationCheckpoint,
                                                              platform::ApplicationCheckpointNotification);

    gameResult = std::make_unique<VCGamesResult>(nameGame);
    gameResult->Load();

    state = kIdle;
    typeGame = 2;
    stopGameTimer();
    life.reset();
    scores = 0;
    penalty = 0;
    flagWolf = false;

    wolf = std::make_unique<VCWolf>(face);
    hare = std::make_unique<VCHare>(face);
    hen = std::make_unique<VCHen>(face);
    gril = std::make_unique<VCGril>(face);

    VCWolf::hiddenAll(face);
    VCHare::hiddenAll(face);
    VCGril::hiddenAll(face);
    VCEgg::hiddenAll(face);
    VCChick::hiddenAll(face);

    arDisplayAlfa.reset();

    hare->setVisible(0);
    gril->clear();

    dgScores = std::make_unique<VCNumeral>(face);
    dgScores->hiddenAll();
    dgScores->setNum(scores);

    initSound(sndRoll[0], "yolkfall_01", "aif");
    initSound(sndRoll[1], "yolkfall_01", "aif");
    initSound(sndRoll[2], "yolkfall_03", "aif");
    initSound(sndRoll[3], "yolkfall_04", "aif");
    initSound(sndBreak, "yolkfall_06", "aif");
    initSound(sndEntrap, "yolkfall_02", "aif");
    initSound(sndMoveChick, "yolkfall_08", "aif");
    initSound(sndEndGame, "endgame", "aif");

    loadStateGame();
}

bool YolkfallViewController::shouldAutorotateToInterfaceOrientation(int orientation) {
    return orientation == platform::InterfaceOrientationLandscapeRight;
}

// ---------------------------------------------------------------------------------------------
// The round

void YolkfallViewController::makeGameTimer() {
    stopGameTimer();
    cycleSuperVisor = platform::Timer::scheduled(kTickInterval, this, &YolkfallViewController::cycleLifeTime, true);
}

void YolkfallViewController::stopGameTimer() {
    if (cycleSuperVisor) {
        cycleSuperVisor->invalidate();
        cycleSuperVisor.reset();
    }
}

void YolkfallViewController::recordRound() { game_face::recordRound(*this); }

void YolkfallViewController::startGame() {
    _auto_ = false;
    state = kPlaying;
    signal = false;
    if (typeGame == 1) numFreezDeck = rnd2(1, 4);
    chick.reset();
    setScores(0);
    setPenalty(0);
    life.emplace();
    VCEgg::hiddenAll(gameView());
    VCChick::hiddenAll(gameView());
    dgScores->showAll();
    flagWolf = true;
    wolf->setPosBasket(0);
    timeNextUpSpeedPause = 30;
    oldScoresChangeSpeed = 0;
    SpeedEgg = 30;
    timePauseChangePositionEgg = SpeedEgg;
    countEggToDeckMAX = 1;
    itemDeck = 0;
    timeStartGame = now();
    timeGame = now() - timeStartGame;
    makeGameTimer();
}

void YolkfallViewController::pauseGame() {
    stopGameTimer();
    flagWolf = false;
    if (state == kPlaying) {
        timeGame += now() - timeStartGame;
        setDisplayAlfa(true);
    }
    state = kPaused;
}

void YolkfallViewController::playGame() {
    setDisplayAlfa(false);
    state = kPlaying;
    timeStartGame = now();
    flagWolf = true;
    if (!life) life.emplace();
    makeGameTimer();
}

void YolkfallViewController::endGame() {
    const int oldState = state;
    state = kIdle;
    timeGame += now() - timeStartGame;
    stopGameTimer();
    chick.reset();
    life.reset();
    VCHare::hiddenAll(gameView());
    VCEgg::hiddenAll(gameView());
    VCChick::hiddenAll(gameView());
    if (oldState == kPaused) setDisplayAlfa(false);
    countEggToDeckMAX = 0;
    flagWolf = false;
}

void YolkfallViewController::setWolfPositionBaske(int p) {
    if (!flagWolf) return;
    if (p < 1 || p > 4) p = 0;
    wolf->setPosBasket(p);
}

int YolkfallViewController::chooseDeck() const {
    int d = std::rand() % 4;
    if (typeGame == 1)
        while (d + 1 == numFreezDeck) d = std::rand() % 4;
    return d;
}

void YolkfallViewController::cycleLifeTime(platform::Timer*) {
    if (signal) return;
    signal = true;

    hare->cycleLifeTime();
    gril->cycleLifeTime();

    if (chick) {
        chick->cycleLifeTime();
        if (chick->getTimeChangePosition() <= 0 && chick->getPosition() <= 4 && chick->getDistract())
            platform::AudioServicesPlaySystemSound(sndMoveChick);
        if (chick->getPosition() > 4) {
            chick.reset();
            if (life) life->clear();
            VCEgg::hiddenAll(gameView());
            if (typeGame == 1) numFreezDeck = rnd2(1, 4);
            if (penalty > 5) {
                endGame();
                recordRound();
                game_face::releaseStateFile(pathStateFile());   // a checkpoint of this round
                platform::AudioServicesPlaySystemSound(sndEndGame);
            }
        }
        signal = false;
        return;
    }

    if (--timePauseChangePositionEgg <= 0) {
        // Egg step: the eggs of the next deck, in the order 0, 1, 2, 3, that has any.
        timePauseChangePositionEgg = SpeedEgg;
        for (int round = 0; round < 4; ++round) {
            itemDeck = itemDeck > 2 ? 0 : itemDeck + 1;
            bool moved = false;
            if (life)
                for (const auto& egg : *life)
                    if (egg->getDeck() == itemDeck) {
                        egg->nextPosition();
                        moved = true;
                    }
            if (moved) {
                platform::AudioServicesPlaySystemSound(sndRoll[itemDeck]);
                break;
            }
        }
        layEgg();
    }

    testLife();
    nextChangeSpeedEgg();
    signal = false;
}

void YolkfallViewController::layEgg() {
    if (!life) return;
    const int total = static_cast<int>(life->size());
    int lowest = 6;
    for (const auto& egg : *life) lowest = std::min(lowest, egg->getPosition());

    const int m = countEggToDeckMAX;
    if (total < m) {
        bool spaced = true;
        switch (m) {
        case 1: spaced = true; break;
        case 2: spaced = lowest >= 3; break;
        case 3: spaced = lowest >= 2; break;
        case 4: spaced = lowest >= 1; break;
        default: spaced = true; break;
        }
        if (spaced) hen->cycleLifeTime();
    }

    if (std::shared_ptr<VCEgg> egg = hen->getEgg()) {
        int d = chooseDeck();
        int counter = 300;
        bool free = false;
        for (;;) {
            bool taken = false;
            for (const auto& other : *life)
                if (other->getDeck() == d && (other->getPosition() == 0 || other->getPosition() == 1)) {
                    taken = true;
                    break;
                }
            if (!taken) {
                free = true;
                break;
            }
            d = chooseDeck();
            if (counter <= 0) break;
            --counter;
        }
        if (free) {
            egg->init(gameView(), d);
            life->push_back(std::move(egg));
            platform::AudioServicesPlaySystemSound(sndRoll[d]);
        }
        hen->setEgg(nullptr);
    }
}

void YolkfallViewController::testLife() {
    if (!life) return;
    auto& eggs = *life;
    std::size_t i = 0;
    while (i < eggs.size()) {
        VCEgg& e = *eggs[i];
        if (_auto_ && e.getPosition() == 5) wolf->setPosBasket(e.getDeck());
        if (e.getPosition() >= 4 && e.getDeck() == wolf->getPosBasket() &&
            (e.getPosition() >= 5 || timePauseChangePositionEgg <= SpeedEgg / 3)) {
            setScores(getScores() + 1);
            platform::AudioServicesPlaySystemSound(sndEntrap);
            if (e.getPosition() == 4) e.nextPosition();
            eggs.erase(eggs.begin() + static_cast<std::ptrdiff_t>(i));
        } else if (e.getPosition() <= 4) {
            ++i;
        } else {
            hare->setRing(true);
            const bool hareOut = hare->getVisible() != 0;
            chick = std::make_unique<VCChick>(gameView(), e.getDeck(), hareOut);
            setPenalty(getPenalty() + (hareOut ? 1 : 2));
            platform::AudioServicesPlaySystemSound(sndBreak);
            eggs.erase(eggs.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Speed, scoring and penalties

void YolkfallViewController::nextChangeSpeedEgg() {
    if (--timeNextUpSpeedPause > 0) return;
    timeNextUpSpeedPause = 30;
    const int q = scores / 5;
    if (q <= oldScoresChangeSpeed) return;
    oldScoresChangeSpeed = q;
    switch (q) {
    case 1: countEggToDeckMAX = 2; break;
    case 2: countEggToDeckMAX = 3; break;
    case 4: countEggToDeckMAX = 4; break;
    case 10: countEggToDeckMAX = 5; break;
    case 50: countEggToDeckMAX = 6; break;
    default: break;
    }
    if (scores < 600) SpeedEgg = (600 - scores) / 40 + 15;
}

void YolkfallViewController::setScores(int v) {
    scores = v;
    if (scores == 200) setPenalty(0);
    if (scores == 500) setPenalty(0);
    if (scores > 998) {
        recordRound();
        setScores(0);
        return;   // the inner call has shown 0
    }
    dgScores->setNum(scores);
}

void YolkfallViewController::setPenalty(int v) {
    if (v == 0) {
        gril->clear();
    } else if (v - penalty == 2) {
        gril->addGril();
    } else {
        gril->addHalfGril();
    }
    penalty = v;
}

// ---------------------------------------------------------------------------------------------
// Buttons

void YolkfallViewController::pressBtWolfLU(platform::View*) { setWolfPositionBaske(0); }
void YolkfallViewController::pressBtWolfLD(platform::View*) { setWolfPositionBaske(1); }
void YolkfallViewController::pressBtWolfRD(platform::View*) { setWolfPositionBaske(2); }
void YolkfallViewController::pressBtWolfRU(platform::View*) { setWolfPositionBaske(3); }

void YolkfallViewController::pressBtStartGameA(platform::View* sender) {
    typeGame = 1;
    pressBtStartGame(sender);
}

void YolkfallViewController::pressBtStartGameB(platform::View* sender) {
    typeGame = 2;
    pressBtStartGame(sender);
}

void YolkfallViewController::pressBtStartGame(platform::View*) { game_face::pressStartGame(*this); }

void YolkfallViewController::pressBtPause(platform::View*) { game_face::pressPause(*this); }

void YolkfallViewController::pressBtMenu(platform::View*) {
    game_face::holdRound(*this);
    if (idParentController) idParentController->switchMenuFromGame(this);
}

void YolkfallViewController::pressBtInfo(platform::View*) {
    game_face::holdRound(*this);
    if (idParentController) idParentController->switchInfoFromGame(nameGame);
}

void YolkfallViewController::applicationWillTerminate(const std::string&) {
    game_face::pauseRound(*this);
    if (chick && penalty > 5) {
        state = kIdle;
        game_face::releaseStateFile(pathStateFile());   // a checkpoint of the lost round
    }
    saveStateGame();
}

// A playing round written as the pause would write it (paused, its seconds played so far, the face dimmed),
// while the round itself plays on untouched.
void YolkfallViewController::applicationCheckpoint(const std::string&) {
    game_face::checkpointRound(*this, checkpoints, now(), [this] {
        if (chick && penalty > 5) return false;   // lost: never written
        YolkfallSavedState s = savedState();
        s.state = kPaused;
        s.flagWolf = false;
        s.timeGame += now() - timeStartGame;
        s.displayAlfa = true;
        return game_face::saveStateFile(pathStateFile(), kClassName,
                                        [&s](platform::KeyedArchiver& a) { yolkfall_state::table().encode(s, a); });
    });
}

// ---------------------------------------------------------------------------------------------
// Dimming

void YolkfallViewController::setDisplayAlfa(bool flag) { game_face::setDisplayAlfa(gameView(), arDisplayAlfa, flag); }

// ---------------------------------------------------------------------------------------------
// Saved state

YolkfallSavedState YolkfallViewController::savedState() const {
    YolkfallSavedState s;
    static_cast<YolkfallRoundState&>(s) = *this;
    s.wolfPosBasket = wolf ? wolf->getPosBasket() : 0;
    s.harePosition = hare ? hare->getPosition() : 0;
    s.hareVisible = hare ? hare->getVisible() : 0;
    if (gameResult && gameResult->getGameround()) s.gameroundDateStart = gameResult->getGameround()->getDateStart();
    s.displayAlfa = getDisplayAlfa();
    return s;
}

// Applies a decoded and checked round. The results store's look-up is the one step that can fail
// (a malformed entry in the results list), so it goes first: a failure leaves everything as it was.
void YolkfallViewController::applyState(const YolkfallSavedState& s) {
    gameResult->setGameRoundWithDateStart(*s.gameroundDateStart);

    static_cast<YolkfallRoundState&>(*this) = s;

    wolf->setPosBasket(s.wolfPosBasket);
    hare->setPosition(s.harePosition);
    hare->setVisible(s.hareVisible);
    gril->setValue(penalty);
    dgScores->setNum(scores);
    dgScores->showAll();
    life.emplace();
    if (ivGamePause) ivGamePause->setHidden(false);
    setDisplayAlfa(s.displayAlfa);
}

}   // namespace plumbrick
