#include "games/cook/PanflipViewController.h"

#include <cstdlib>

#include "games/cook/PanflipTiming.h"
#include "platform/Date.h"
#include "platform/Notification.h"
#include "services/GameFace.h"
#include "services/Support.h"

namespace plumbrick {

namespace {

double now() { return platform::Date::date().timeIntervalSince1970; }

}   // namespace

using Guard = std::lock_guard<std::recursive_mutex>;

PanflipViewController::PanflipViewController(std::string gameId, std::string layoutName, VCRootControllerProtocol* root)
    : platform::ViewController(std::move(layoutName)), nameGame(std::move(gameId)), idParentController(root) {
    std::srand(static_cast<unsigned>(static_cast<std::int64_t>(now())));
}

PanflipViewController::~PanflipViewController() {
    for (TimerField* field : {&timerNewRound, &timerCookFoodToss, &timerTossFood, &timerSteal, &timerCatHog})
        stopTimer(*field);
    // The platform would keep a controller for the application's whole life; here it may go first.
    platform::NotificationCenter::defaultCenter().removeObserver(this);
}

void PanflipViewController::bindLayout(platform::LayoutBindings& b) {
    b.action("pressBtLeftDown:", this, &PanflipViewController::pressBtLeftDown);
    b.action("pressBtRightDown:", this, &PanflipViewController::pressBtRightDown);
    b.action("pressBtStartGameA:", this, &PanflipViewController::pressBtStartGameA);
    b.action("pressBtStartGameB:", this, &PanflipViewController::pressBtStartGameB);
    b.action("pressBtStartGame:", this, &PanflipViewController::pressBtStartGame);
    b.action("pressBtPause:", this, &PanflipViewController::pressBtPause);
    b.action("pressBtMenu:", this, &PanflipViewController::pressBtMenu);
    b.action("pressBtInfo:", this, &PanflipViewController::pressBtInfo);
    b.outlet("ivGamePause", ivGamePause);
    b.outlet("btMenu", btMenu);
}

// ---------------------------------------------------------------------------------------------
// Timers

void PanflipViewController::stopTimer(TimerField& field) {
    if (field) {
        field->invalidate();
        field.reset();
    }
}

void PanflipViewController::armTimer(TimerField& field, double interval, StepOperation op, bool repeats) {
    if (field) field->invalidate();
    field = platform::Timer::scheduled(interval, this, op, repeats);
}

PanflipViewController::TimerField PanflipViewController::marker() {
    auto t = std::make_shared<platform::Timer>(0.0, nullptr, false, platform::Unowned{});
    t->invalidate();
    return t;
}

// ---------------------------------------------------------------------------------------------
// Screen set-up

void PanflipViewController::viewDidLoad() {
    platform::ViewController::viewDidLoad();
    platform::View& face = gameView();

    game_face::moveDownByOwnHeight(btMenu);

    platform::NotificationCenter::defaultCenter().addObserver(this, &PanflipViewController::applicationWillTerminate,
                                                              platform::ApplicationWillTerminateNotification);
    platform::NotificationCenter::defaultCenter().addObserver(this, &PanflipViewController::applicationCheckpoint,
                                                              platform::ApplicationCheckpointNotification);

    gameResult = std::make_unique<VCGamesResult>(nameGame);
    gameResult->Load();

    state = kIdle;
    flagCookToss = false;
    flagCookMove = false;
    for (TimerField* field : {&timerNewRound, &timerCookFoodToss, &timerTossFood, &timerSteal, &timerCatHog})
        stopTimer(*field);
    scores = 0;
    penalty = 0;
    arDisplayAlfa.reset();

    cook = std::make_unique<VCCook>(face);
    cook->hiddenAll();
    mouse = std::make_unique<VCMouse>(face);
    mouse->hiddenAll();
    food = std::make_unique<VCFood>(face);
    food->hiddenAll();
    mousePenalty = std::make_unique<VCMousePenalty>(face);
    VCMousePenalty::hiddenAll(face);
    fork = std::make_unique<VCFork>(face);
    fork->setHog(false);
    dgScores = std::make_unique<VCNumeral>(face);
    dgScores->hiddenAll();
    dgScores->setNum(scores);

    typeGame = 2;
    countWorkCooks = 4;
    cook->setCountVisible(countWorkCooks);
    food->setCountVisible(countWorkCooks);

    initSound(sndTossFood, "panflip_01", "aif");
    initSound(sndStepFood, "panflip_02", "aif");
    initSound(sndStealing, "yolkfall_08", "aif");
    initSound(sndEndGame, "endgame", "aif");
    initSound(sndEntrap, "yolkfall_02", "aif");

    loadStateGame();
}

bool PanflipViewController::shouldAutorotateToInterfaceOrientation(int orientation) {
    return orientation == platform::InterfaceOrientationLandscapeRight;
}

// ---------------------------------------------------------------------------------------------
// Run states

void PanflipViewController::recordRound() { game_face::recordRound(*this); }

void PanflipViewController::startGame() {
    // Every caller has ended the previous round, so these timers are already invalid.
    for (TimerField* field : {&timerNewRound, &timerCookFoodToss, &timerTossFood, &timerSteal, &timerCatHog})
        stopTimer(*field);
    _autoPilot_ = false;
    countWorkCooks = typeGame == 1 ? 3 : 4;
    cook->setCountVisible(countWorkCooks);
    food->setCountVisible(countWorkCooks);
    state = kPlaying;
    signal = false;
    cook->setPosCook(1);
    setScores(0);
    setPenalty(0);
    fork->setHog(false);
    dgScores->showAll();
    VCMousePenalty::hiddenAll(gameView());
    oldScoresChangeSpeed = 0;
    timerStepLifeFood = panflip::kFoodStart;
    stepNewRound = 1;
    cycleNewRound(nullptr);
    timeStartGame = now();
    timeGame = now() - timeStartGame;
}

void PanflipViewController::pauseGame() {
    const int oldState = state;
    state = kPaused;
    flagCookMove = false;
    // The fields keep the invalidated timers: they mark what playGame arms again.
    for (TimerField* field : {&timerNewRound, &timerCookFoodToss, &timerTossFood, &timerCatHog, &timerSteal})
        if (*field) (*field)->invalidate();
    if (oldState == kPlaying) {
        timeGame += now() - timeStartGame;
        setDisplayAlfa(true);
    }
}

void PanflipViewController::playGame() {
    state = kPlaying;
    setDisplayAlfa(false);
    flagCookMove = true;
    // Each sequence goes on with the whole interval of its current step; the mouse run with a fixed 0.6 s.
    if (timerNewRound) armTimer(timerNewRound, intervalNewRoundPause, &PanflipViewController::cycleNewRound);
    if (timerCookFoodToss)
        armTimer(timerCookFoodToss, intervalCookFoodTossPause, &PanflipViewController::cycleCookTossFood);
    if (timerTossFood) armTimer(timerTossFood, timerStepLifeFood, &PanflipViewController::cycleLifeTimeFood, true);
    if (timerCatHog) armTimer(timerCatHog, intervalCatHogPause, &PanflipViewController::cycleCatHog);
    if (timerSteal) armTimer(timerSteal, panflip::kStealStand, &PanflipViewController::cycleLifeTimeSteal);
    timeStartGame = now();
}

void PanflipViewController::endGame() {
    const int oldState = state;
    state = kIdle;
    flagCookMove = false;
    timeGame += now() - timeStartGame;
    // From a pause the timers are invalid already (markers); invalidating them again changes nothing.
    for (TimerField* field : {&timerNewRound, &timerCookFoodToss, &timerTossFood, &timerSteal, &timerCatHog})
        stopTimer(*field);
    if (oldState == kPaused) setDisplayAlfa(false);
}

// ---------------------------------------------------------------------------------------------
// The new round, the cook's moves and the toss

void PanflipViewController::cycleNewRound(platform::Timer*) {
    const Guard guard(lock);
    intervalNewRoundPause = 0;
    stopTimer(timerNewRound);
    switch (stepNewRound) {
    case 1:
        flagCookToss = false;
        for (int c = 0; c < 4; ++c) {
            posHeightFood[c] = 0;
            maxHeightFood[c] = randMaxPositionFood();
        }
        cook->hiddenAll();
        food->hiddenAll();
        mouse->hiddenAll();
        mouse->show(0, true);
        cook->showDown();
        food->showDown();
        cycleCatHog(nullptr);
        stepNewRound = 2;
        intervalNewRoundPause = panflip::kNewRoundShowDown;
        armTimer(timerNewRound, intervalNewRoundPause, &PanflipViewController::cycleNewRound);
        break;
    case 2:
        platform::AudioServicesPlaySystemSound(sndTossFood);
        posHeightFood.fill(1);
        cook->showUp();
        food->showUp();
        stepNewRound = 3;
        intervalNewRoundPause = panflip::kNewRoundShowUp;
        armTimer(timerNewRound, intervalNewRoundPause, &PanflipViewController::cycleNewRound);
        break;
    case 3:
        flagCookMove = true;
        cook->hiddenAll();
        cook->setPosCook(1);
        itemFood = 0;
        stepNewRound = 1;
        intervalNewRoundPause = 0;
        armTimer(timerTossFood, timerStepLifeFood, &PanflipViewController::cycleLifeTimeFood, true);
        break;
    default: break;
    }
}

void PanflipViewController::startToss() {
    const int p = cook->getPosCook();
    flagCookToss = true;
    maxHeightFood[p] = randMaxPositionFood();
    stepCookFoodToss = 1;
    cycleCookTossFood(nullptr);
}

void PanflipViewController::stepDirectionCook(int direction) {
    if (!flagCookMove) return;
    if (flagCookToss) {
        if (stepCookFoodToss <= 2) return;   // the catch and the throw are not interrupted
        stopTimer(timerCookFoodToss);        // only the lowering of the pan is cut short
        cook->showToss(false);
        flagCookToss = false;
    }
    cook->stepCook(direction);
    const int p = cook->getPosCook();
    if (posHeightFood[p] == 0 && !flagCookToss) startToss();   // an item waits in the pan here
}

void PanflipViewController::cycleCookTossFood(platform::Timer*) {
    intervalCookFoodTossPause = 0;
    stopTimer(timerCookFoodToss);
    const int p = cook->getPosCook();
    switch (stepCookFoodToss) {
    case 1:
        setScores(getScores() + 1);
        platform::AudioServicesPlaySystemSound(sndEntrap);
        cook->showToss(false);
        food->showToss(p, false);
        stepCookFoodToss = 2;
        intervalCookFoodTossPause = panflip::kTossCatch;
        armTimer(timerCookFoodToss, intervalCookFoodTossPause, &PanflipViewController::cycleCookTossFood);
        break;
    case 2:
        cook->showToss(true);
        food->showToss(p, true);
        maxHeightFood[p] = randMaxPositionFood();
        posHeightFood[p] = 1;
        stepCookFoodToss = 3;
        intervalCookFoodTossPause = panflip::kTossThrow;
        armTimer(timerCookFoodToss, intervalCookFoodTossPause, &PanflipViewController::cycleCookTossFood);
        break;
    case 3:
        cook->showToss(false);
        stepCookFoodToss = 1;
        flagCookToss = false;
        break;
    default: break;
    }
}

// ---------------------------------------------------------------------------------------------
// Food flight, mouse and cat

void PanflipViewController::cycleLifeTimeFood(platform::Timer*) {
    if (signal) return;
    signal = true;
    platform::AudioServicesPlaySystemSound(sndStepFood);

    const int q = scores / 10;
    if (oldScoresChangeSpeed < q) {
        oldScoresChangeSpeed = q;
        timerStepLifeFood = panflip::foodInterval(scores);
        stopTimer(timerTossFood);
        armTimer(timerTossFood, timerStepLifeFood, &PanflipViewController::cycleLifeTimeFood, true);
    }

    itemFood = itemFood < countWorkCooks - 1 ? itemFood + 1 : 0;
    const int i = itemFood;
    int& pos = posHeightFood[i];
    int& max = maxHeightFood[i];

    if (i == 0 && fork->getHog() && pos == 2) {   // the fork holds the item
        max = 0;
        signal = false;
        return;
    }
    if (pos < max) {   // rise
        food->show(pos, i, false);
        ++pos;
        food->show(pos, i, true);
        signal = false;
        return;
    }
    max = 0;
    if (pos > 0) {   // fall
        food->show(pos, i, false);
        --pos;
        food->show(pos, i, true);
        signal = false;
        if (pos != 0 || cook->getPosCook() != i) return;   // in the air, or waiting in the pan for its next turn
    }

    if (_autoPilot_) cook->setPosCook(i);
    if (cook->getPosCook() == i) {   // caught; during another toss it waits one more turn
        if (!flagCookToss) startToss();
        signal = false;
        return;
    }

    // Lost: everything stops and the mouse comes for it.
    stopTimer(timerTossFood);
    signal = false;
    fork->setHog(false);
    stopTimer(timerCatHog);
    platform::AudioServicesPlaySystemSound(sndStealing);
    flagCookMove = false;
    food->show(0, i, false);
    posStealFood = i;
    mouse->show(0, false);
    mouse->show(posStealFood + 1, true);
    stepSteal = 1;
    armTimer(timerSteal, panflip::kStealStand, &PanflipViewController::cycleLifeTimeSteal);
}

void PanflipViewController::cycleLifeTimeSteal(platform::Timer*) {
    stopTimer(timerSteal);
    auto next = [this](double t) {
        intervalSrealPause = t;
        armTimer(timerSteal, t, &PanflipViewController::cycleLifeTimeSteal);
    };
    switch (stepSteal) {
    case 1:
        if (posStealFood > 3) {
            stepSteal = 2;
            next(panflip::kStealStand);
        } else {
            platform::AudioServicesPlaySystemSound(sndStealing);
            mouse->show(posStealFood + 1, false);
            ++posStealFood;
            mouse->show(posStealFood + 1, true);
            next(panflip::kStealStep);
        }
        break;
    case 2:
        mouse->show(posStealFood + 1, false);
        stepSteal = 3;
        next(panflip::kStealGone);
        break;
    case 3:
        platform::AudioServicesPlaySystemSound(sndStealing);
        setPenalty(getPenalty() + 1);
        stepSteal = 4;
        next(panflip::kStealMark);
        break;
    case 4:
        if (penalty > 2) {
            endGame();
            recordRound();
            game_face::releaseStateFile(pathStateFile());   // a checkpoint of this round
            platform::AudioServicesPlaySystemSound(sndEndGame);
        } else {
            stepNewRound = 1;
            cycleNewRound(nullptr);
        }
        break;
    default: break;
    }
}

void PanflipViewController::cycleCatHog(platform::Timer* timer) {
    stopTimer(timerCatHog);
    if (!timer) stepCatHog = 1;
    if (stepCatHog == 1) {
        fork->setHog(false);
        stepCatHog = 2;
        intervalCatHogPause = randPauseCat(panflip::kCatAwayMin, panflip::kCatAwayMax);
    } else if (stepCatHog == 2) {
        fork->setHog(true);
        if (posHeightFood[0] == 2) maxHeightFood[0] = 0;
        stepCatHog = 1;
        intervalCatHogPause = randPauseCat(panflip::kCatOutMin, panflip::kCatOutMax);
    } else {
        return;
    }
    armTimer(timerCatHog, intervalCatHogPause, &PanflipViewController::cycleCatHog);
}

// ---------------------------------------------------------------------------------------------
// Score and marks

void PanflipViewController::setScores(int n) {
    scores = n;
    if (scores == 200) setPenalty(0);
    if (scores == 500) setPenalty(0);
    if (scores == 999) {
        recordRound();
        setScores(0);
    }
    dgScores->setNum(scores);
}

void PanflipViewController::setPenalty(int n) {
    mousePenalty->setValue(n);
    penalty = n;
}

// ---------------------------------------------------------------------------------------------
// Buttons

void PanflipViewController::pressBtLeftDown(platform::View*) {
    const Guard guard(lock);
    stepDirectionCook(0);
}

void PanflipViewController::pressBtRightDown(platform::View*) {
    const Guard guard(lock);
    stepDirectionCook(1);
}

void PanflipViewController::pressBtStartGameA(platform::View* sender) {
    typeGame = 1;
    pressBtStartGame(sender);
}

void PanflipViewController::pressBtStartGameB(platform::View* sender) {
    typeGame = 2;
    pressBtStartGame(sender);
}

void PanflipViewController::pressBtStartGame(platform::View*) {
    const Guard guard(lock);
    game_face::pressStartGame(*this);
}

void PanflipViewController::pressBtPause(platform::View*) {
    const Guard guard(lock);
    game_face::pressPause(*this);
}

void PanflipViewController::pressBtMenu(platform::View*) {
    const Guard guard(lock);
    game_face::holdRound(*this);
    if (idParentController) idParentController->switchMenuFromGame(this);
}

void PanflipViewController::pressBtInfo(platform::View*) {
    const Guard guard(lock);
    game_face::holdRound(*this);
    if (idParentController) idParentController->switchInfoFromGame(nameGame);
}

void PanflipViewController::applicationWillTerminate(const std::string&) {
    const Guard guard(lock);
    game_face::pauseRound(*this);
    saveStateGame();
}

// A playing round written as the pause would write it (paused, its seconds played so far, the face dimmed),
// while the round itself plays on untouched.
void PanflipViewController::applicationCheckpoint(const std::string&) {
    const Guard guard(lock);
    game_face::checkpointRound(*this, checkpoints, now(), [this] {
        PanflipSavedState s = savedState();
        s.state = kPaused;
        s.flagCookMove = false;
        s.timeGame += now() - timeStartGame;
        s.displayAlfa = true;
        return game_face::saveStateFile(pathStateFile(), kClassName,
                                        [&s](platform::KeyedArchiver& a) { panflip_state::table().encode(s, a); });
    });
}

void PanflipViewController::setDisplayAlfa(bool flag) {
    if (!isViewLoaded()) return;
    game_face::setDisplayAlfa(gameView(), arDisplayAlfa, flag);
}

// ---------------------------------------------------------------------------------------------
// Saved state

PanflipSavedState PanflipViewController::savedState() const {
    PanflipSavedState s;
    static_cast<PanflipRoundState&>(s) = *this;
    s.forkHog = fork && fork->getHog();
    s.cookPosition = cook ? cook->getPosCook() : 0;
    s.timerNewRound = timerNewRound ? 1 : 0;
    s.timerCookFoodToss = timerCookFoodToss ? 1 : 0;
    s.timerTossFood = timerTossFood ? 1 : 0;
    s.timerSteal = timerSteal ? 1 : 0;
    s.timerCatHog = timerCatHog ? 1 : 0;
    if (gameResult && gameResult->getGameround()) s.gameroundDateStart = gameResult->getGameround()->getDateStart();
    s.displayAlfa = getDisplayAlfa();
    return s;
}

// Applies a decoded and checked round. The results store's look-up is the one step that can fail (a
// malformed entry in the results list), so it goes first: a failure leaves everything as it was.
void PanflipViewController::applyState(const PanflipSavedState& s) {
    gameResult->setGameRoundWithDateStart(*s.gameroundDateStart);

    static_cast<PanflipRoundState&>(*this) = s;
    countWorkCooks = s.countWorkCooks();
    cook->setCountVisible(countWorkCooks);
    food->setCountVisible(countWorkCooks);
    setPenalty(penalty);
    dgScores->setNum(scores);

    timerNewRound = s.timerNewRound ? marker() : nullptr;
    timerCookFoodToss = s.timerCookFoodToss ? marker() : nullptr;
    timerTossFood = s.timerTossFood ? marker() : nullptr;
    timerSteal = s.timerSteal ? marker() : nullptr;
    timerCatHog = s.timerCatHog ? marker() : nullptr;

    cook->setPosCook(s.cookPosition);
    fork->setHog(s.forkHog);
    for (int i = 0; i < countWorkCooks; ++i) food->show(posHeightFood[i], i, true);
    if (timerNewRound) {
        if (stepNewRound == 2) cook->showDown();
        if (stepNewRound == 3) cook->showUp();
    }
    if (timerSteal) {
        food->show(posHeightFood[itemFood], itemFood, false);   // the lost item stays away
        if (stepSteal <= 2 && posStealFood <= 4) mouse->show(posStealFood + 1, true);
    }
    dgScores->showAll();
    if (ivGamePause) ivGamePause->setHidden(false);
    setDisplayAlfa(s.displayAlfa);
}

}   // namespace plumbrick
