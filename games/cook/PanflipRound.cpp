#include "games/cook/PanflipRound.h"

#include <cstdlib>

#include "games/cook/PanflipTiming.h"
#include "services/Support.h"

namespace plumbrick {

using panflip::Sequence;
using panflip::Sound;

int panflip::Random::maxPositionFood() { return randMaxPositionFood(); }
float panflip::Random::pauseCat(float min, float max) { return randPauseCat(min, max); }

PanflipRound::PanflipRound(Sink effects, Clock time, std::unique_ptr<panflip::Random> draws)
    : sink(std::move(effects)), clock(std::move(time)), random(std::move(draws)) {
    if (!random) {
        std::srand(static_cast<unsigned>(static_cast<std::int64_t>(clock())));
        random = std::make_unique<panflip::Random>();
    }
}

double PanflipRound::wallClock() { return platform::Date::date().timeIntervalSince1970; }

// ---------------------------------------------------------------------------------------------
// Sequences

std::int32_t PanflipSavedState::*PanflipRound::armedField(Sequence q) {
    using S = PanflipSavedState;
    static constexpr std::array<std::int32_t S::*, panflip::kSequences> fields = {
        &S::timerNewRound, &S::timerCookFoodToss, &S::timerTossFood, &S::timerCatHog, &S::timerSteal};
    return fields[static_cast<std::size_t>(q)];
}

void PanflipRound::arm(Sequence q, double interval, bool repeats) {
    s.*armedField(q) = 1;
    emit(panflip::Arm{q, interval, repeats});
}

void PanflipRound::stop(Sequence q) {
    s.*armedField(q) = 0;
    emit(panflip::Stop{q});
}

void PanflipRound::stopAll() {
    for (int q = 0; q < panflip::kSequences; ++q) stop(Sequence(q));
}

void PanflipRound::holdAll() {
    for (int q = 0; q < panflip::kSequences; ++q) emit(panflip::Stop{Sequence(q)});
}

void PanflipRound::tick(Sequence q) {
    switch (q) {
    case Sequence::NewRound: return newRound();
    case Sequence::CookToss: return cookTossFood();
    case Sequence::Food: return lifeTimeFood();
    case Sequence::CatHog: return catHog(false);
    case Sequence::Steal: return lifeTimeSteal();
    }
}

void PanflipRound::dim(bool dimmed) {
    s.displayAlfa = dimmed;
    emit(panflip::Dim{dimmed});
}

// ---------------------------------------------------------------------------------------------
// Run states

void PanflipRound::setUp() {
    s = PanflipSavedState{};
    stopAll();
    hideCooks();
    hideMouse();
    hideFood();
    for (int k = 0; k < 3; ++k) show(panflip::kMarkTag + k, false);
    setFork(false);
    emit(panflip::ScoreShown{false});
    emit(panflip::Score{s.scores});
}

void PanflipRound::startGame() {
    // Every caller has ended the previous round, so these sequences are already stopped.
    stopAll();
    s._autoPilot_ = false;
    s.state = kPlaying;
    setCook(1);
    setScores(0);
    setPenalty(0);
    setFork(false);
    emit(panflip::ScoreShown{true});
    s.oldScoresChangeSpeed = 0;
    s.timerStepLifeFood = panflip::kFoodStart;
    s.stepNewRound = 1;
    newRound();
    s.timeStartGame = clock();
    s.timeGame = clock() - s.timeStartGame;
}

void PanflipRound::pauseGame() {
    const int oldState = s.state;
    s.state = kPaused;
    s.flagCookMove = false;
    holdAll();   // playGame arms exactly those marked armed again
    if (oldState == kPlaying) {
        s.timeGame += clock() - s.timeStartGame;
        dim(true);
    }
}

void PanflipRound::playGame() {
    s.state = kPlaying;
    dim(false);
    s.flagCookMove = true;
    // Each sequence goes on with the whole interval of its current step; the mouse run with a fixed 0.6 s.
    const std::array<double, panflip::kSequences> interval = {s.intervalNewRoundPause, s.intervalCookFoodTossPause,
                                                              s.timerStepLifeFood, s.intervalCatHogPause,
                                                              panflip::kStealStand};
    for (int q = 0; q < panflip::kSequences; ++q)
        if (isArmed(Sequence(q))) arm(Sequence(q), interval[std::size_t(q)], Sequence(q) == Sequence::Food);
    s.timeStartGame = clock();
}

void PanflipRound::endGame() {
    const int oldState = s.state;
    s.state = kIdle;
    s.flagCookMove = false;
    s.timeGame += clock() - s.timeStartGame;
    stopAll();
    if (oldState == kPaused) dim(false);
}

PanflipSavedState PanflipRound::asPaused() const {
    PanflipSavedState p = s;
    p.state = kPaused;
    p.flagCookMove = false;
    p.timeGame += clock() - s.timeStartGame;
    p.displayAlfa = true;
    return p;
}

void PanflipRound::restore(const PanflipSavedState& saved) {
    const int oldPlace = s.cookPosition;
    s = saved;
    s.cookPosition = oldPlace;
    holdAll();
    setPenalty(s.penalty);
    emit(panflip::Score{s.scores});
    setCook(saved.cookPosition);
    setFork(s.forkHog);
    for (int i = 0; i < s.countWorkCooks(); ++i) showFood(s.posHeightFood[std::size_t(i)], i, true);
    if (s.timerNewRound) {
        if (s.stepNewRound == 2) showCooks(false);
        if (s.stepNewRound == 3) showCooks(true);
    }
    if (s.timerSteal) {
        showFood(s.posHeightFood[std::size_t(s.itemFood & 3)], s.itemFood, false);   // the lost item stays away
        if (s.stepSteal <= 2 && s.posStealFood <= 4) showMouse(s.posStealFood + 1, true);
    }
    emit(panflip::ScoreShown{true});
    dim(s.displayAlfa);
}

// ---------------------------------------------------------------------------------------------
// The new round, the cook's moves and the toss

void PanflipRound::newRound() {
    s.intervalNewRoundPause = 0;
    stop(Sequence::NewRound);
    switch (s.stepNewRound) {
    case 1:
        s.flagCookToss = false;
        for (std::size_t c = 0; c < 4; ++c) {
            s.posHeightFood[c] = 0;
            s.maxHeightFood[c] = random->maxPositionFood();
        }
        hideCooks();
        hideFood();
        hideMouse();
        showMouse(0, true);
        showCooks(false);
        for (int c = 0; c < s.countWorkCooks(); ++c) showFoodToss(c, false);
        catHog(true);
        s.stepNewRound = 2;
        s.intervalNewRoundPause = panflip::kNewRoundShowDown;
        arm(Sequence::NewRound, s.intervalNewRoundPause);
        break;
    case 2:
        emit(panflip::PlaySound{Sound::Toss});
        s.posHeightFood.fill(1);
        showCooks(true);
        for (int c = 0; c < s.countWorkCooks(); ++c) showFoodToss(c, true);
        s.stepNewRound = 3;
        s.intervalNewRoundPause = panflip::kNewRoundShowUp;
        arm(Sequence::NewRound, s.intervalNewRoundPause);
        break;
    case 3:
        s.flagCookMove = true;
        hideCooks();
        setCook(1);
        s.itemFood = 0;
        s.stepNewRound = 1;
        s.intervalNewRoundPause = 0;
        arm(Sequence::Food, s.timerStepLifeFood, true);
        break;
    default: break;
    }
}

void PanflipRound::startToss() {
    s.flagCookToss = true;
    s.maxHeightFood[std::size_t(s.cookPosition)] = random->maxPositionFood();
    s.stepCookFoodToss = 1;
    cookTossFood();
}

void PanflipRound::press(panflip::Control control) {
    if (!s.flagCookMove) return;
    if (s.flagCookToss) {
        if (s.stepCookFoodToss <= 2) return;   // the catch and the throw are not interrupted
        stop(Sequence::CookToss);              // only the lowering of the pan is cut short
        showCookToss(false);
        s.flagCookToss = false;
    }
    const int last = s.countWorkCooks() - 1, p = s.cookPosition;
    setCook(control == panflip::Control::Left ? (p > 0 ? p - 1 : 0) : (p < last ? p + 1 : last));
    if (s.posHeightFood[std::size_t(s.cookPosition)] == 0 && !s.flagCookToss) startToss();   // it waits in the pan
}

void PanflipRound::cookTossFood() {
    s.intervalCookFoodTossPause = 0;
    stop(Sequence::CookToss);
    const int p = s.cookPosition;
    switch (s.stepCookFoodToss) {
    case 1:
        setScores(s.scores + 1);
        emit(panflip::PlaySound{Sound::Entrap});
        showCookToss(false);
        showFoodToss(p, false);
        s.stepCookFoodToss = 2;
        s.intervalCookFoodTossPause = panflip::kTossCatch;
        arm(Sequence::CookToss, s.intervalCookFoodTossPause);
        break;
    case 2:
        showCookToss(true);
        showFoodToss(p, true);
        s.maxHeightFood[std::size_t(p)] = random->maxPositionFood();
        s.posHeightFood[std::size_t(p)] = 1;
        s.stepCookFoodToss = 3;
        s.intervalCookFoodTossPause = panflip::kTossThrow;
        arm(Sequence::CookToss, s.intervalCookFoodTossPause);
        break;
    case 3:
        showCookToss(false);
        s.stepCookFoodToss = 1;
        s.flagCookToss = false;
        break;
    default: break;
    }
}

// ---------------------------------------------------------------------------------------------
// Food flight, mouse and cat

void PanflipRound::lifeTimeFood() {
    emit(panflip::PlaySound{Sound::Step});

    const int q = s.scores / 10;
    if (s.oldScoresChangeSpeed < q) {
        s.oldScoresChangeSpeed = q;
        s.timerStepLifeFood = panflip::foodInterval(s.scores);
        arm(Sequence::Food, s.timerStepLifeFood, true);
    }

    s.itemFood = s.itemFood < s.countWorkCooks() - 1 ? s.itemFood + 1 : 0;
    const int i = s.itemFood;
    std::int32_t& pos = s.posHeightFood[std::size_t(i)];
    std::int32_t& max = s.maxHeightFood[std::size_t(i)];

    if (i == 0 && s.forkHog && pos == 2) {   // the fork holds the item
        max = 0;
        return;
    }
    if (pos < max) {   // rise
        showFood(pos, i, false);
        ++pos;
        showFood(pos, i, true);
        return;
    }
    max = 0;
    if (pos > 0) {   // fall
        showFood(pos, i, false);
        --pos;
        showFood(pos, i, true);
        if (pos != 0 || s.cookPosition != i) return;   // in the air, or waiting in the pan for its next turn
    }

    if (s._autoPilot_) setCook(i);
    if (s.cookPosition == i) {   // caught; during another toss it waits one more turn
        if (!s.flagCookToss) startToss();
        return;
    }

    // Lost: everything stops and the mouse comes for it.
    stop(Sequence::Food);
    setFork(false);
    stop(Sequence::CatHog);
    emit(panflip::PlaySound{Sound::Stealing});
    s.flagCookMove = false;
    showFood(0, i, false);
    s.posStealFood = i;
    showMouse(0, false);
    showMouse(s.posStealFood + 1, true);
    s.stepSteal = 1;
    arm(Sequence::Steal, panflip::kStealStand);
}

void PanflipRound::lifeTimeSteal() {
    stop(Sequence::Steal);
    auto next = [this](double t) {
        s.intervalSrealPause = t;
        arm(Sequence::Steal, t);
    };
    switch (s.stepSteal) {
    case 1:
        if (s.posStealFood > 3) {
            s.stepSteal = 2;
            next(panflip::kStealStand);
        } else {
            emit(panflip::PlaySound{Sound::Stealing});
            showMouse(s.posStealFood + 1, false);
            ++s.posStealFood;
            showMouse(s.posStealFood + 1, true);
            next(panflip::kStealStep);
        }
        break;
    case 2:
        showMouse(s.posStealFood + 1, false);
        s.stepSteal = 3;
        next(panflip::kStealGone);
        break;
    case 3:
        emit(panflip::PlaySound{Sound::Stealing});
        setPenalty(s.penalty + 1);
        s.stepSteal = 4;
        next(panflip::kStealMark);
        break;
    case 4:
        if (s.penalty > 2) {
            endGame();
            record();
            emit(panflip::Ended{});
            emit(panflip::PlaySound{Sound::EndGame});
        } else {
            s.stepNewRound = 1;
            newRound();
        }
        break;
    default: break;
    }
}

void PanflipRound::catHog(bool restart) {
    stop(Sequence::CatHog);
    if (restart) s.stepCatHog = 1;
    if (s.stepCatHog == 1) {
        setFork(false);
        s.stepCatHog = 2;
        s.intervalCatHogPause = random->pauseCat(panflip::kCatAwayMin, panflip::kCatAwayMax);
    } else if (s.stepCatHog == 2) {
        setFork(true);
        if (s.posHeightFood[0] == 2) s.maxHeightFood[0] = 0;
        s.stepCatHog = 1;
        s.intervalCatHogPause = random->pauseCat(panflip::kCatOutMin, panflip::kCatOutMax);
    } else {
        return;
    }
    arm(Sequence::CatHog, s.intervalCatHogPause);
}

// ---------------------------------------------------------------------------------------------
// Score and marks

void PanflipRound::setScores(int n) {
    s.scores = n;
    if (s.scores == 200) setPenalty(0);
    if (s.scores == 500) setPenalty(0);
    if (s.scores == 999) {
        record();
        setScores(0);
    }
    emit(panflip::Score{s.scores});
}

void PanflipRound::setPenalty(int n) {
    for (int k = 0; k < 3; ++k) show(panflip::kMarkTag + k, n > k);
    s.penalty = n;
}

// ---------------------------------------------------------------------------------------------
// The face's elements

void PanflipRound::setCook(int place) {
    if (place > 3) place = s.countWorkCooks() - 1;
    if (place < 0) place = 0;
    show(panflip::kCookDownTag + s.cookPosition, false);
    show(panflip::kCookTossTag + s.cookPosition, false);
    s.cookPosition = place;
    show(panflip::kCookDownTag + place, true);
}

void PanflipRound::showCookToss(bool toss) {
    show(panflip::kCookDownTag + s.cookPosition, !toss);
    show(panflip::kCookTossTag + s.cookPosition, toss);
}

void PanflipRound::showCooks(bool toss) {
    for (int i = 0; i < s.countWorkCooks(); ++i) {
        show(panflip::kCookDownTag + i, !toss);
        show(panflip::kCookTossTag + i, toss);
    }
}

void PanflipRound::hideCooks() {
    for (int i = 0; i < 4; ++i) {
        show(panflip::kCookDownTag + i, false);
        show(panflip::kCookTossTag + i, false);
    }
}

void PanflipRound::showFood(int height, int column, bool visible) {
    if (height >= 0 && height <= 4 && column >= 0 && column <= 3) show(panflip::foodTag(column, height), visible);
}

void PanflipRound::showFoodToss(int column, bool toss) {
    show(panflip::foodTag(column, 0), !toss);
    show(panflip::foodTag(column, 1), toss);
}

void PanflipRound::hideFood() {
    for (int c = 0; c < 4; ++c)
        for (int h = 0; h < 5; ++h) show(panflip::foodTag(c, h), false);
}

void PanflipRound::showMouse(int index, bool visible) {
    if (index >= 0 && index <= 5) show(panflip::kMouseTag + index, visible);
}

void PanflipRound::hideMouse() {
    for (int i = 0; i <= 5; ++i) show(panflip::kMouseTag + i, false);
}

void PanflipRound::setFork(bool out) {
    show(panflip::kForkTag, out);
    s.forkHog = out;
}

}   // namespace plumbrick
