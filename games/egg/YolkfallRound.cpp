#include "games/egg/YolkfallRound.h"

#include <algorithm>
#include <cstdlib>

namespace plumbrick {

namespace {
constexpr int kDeckBase[4] = {500, 600, 800, 700};
}

YolkfallRound::Random YolkfallRound::cLibraryRandom(unsigned seed) {
    std::srand(seed);
    return [] { return std::rand(); };
}

int YolkfallRound::eggTag(int deck, int position) { return kDeckBase[deck & 3] + position; }

YolkfallRound::YolkfallRound(Clock clockSource, Random randomSource)
    : clock(std::move(clockSource)), random(std::move(randomSource)) {
    for (int i = 0; i < 4; ++i) hide(kBasketTag + i);
    hideHare();
    for (int i = 0; i < 3; ++i) hide(kMarkTag + i);
    hideEggs();
    hideChicks();
    effects.push_back({YolkfallEffect::Score, scores});
}

// ---------------------------------------------------------------------------------------------
// Effects

void YolkfallRound::show(int tag) {
    lit.set(std::size_t(tag));
    effects.push_back({YolkfallEffect::Show, tag});
}

void YolkfallRound::hide(int tag) {
    lit.reset(std::size_t(tag));
    effects.push_back({YolkfallEffect::Hide, tag});
}

void YolkfallRound::dim(bool on) {
    displayAlfa = on;
    effects.push_back({on ? YolkfallEffect::Dim : YolkfallEffect::Undim});
}

void YolkfallRound::hideEggs() {
    for (int d = 0; d < 4; ++d)
        for (int i = 0; i < 5; ++i) hide(eggTag(d, i));
}

void YolkfallRound::hideChicks() {
    for (int base : {kLeftChickTag, kRightChickTag})
        for (int i = 0; i < 5; ++i) hide(base + i);
}

void YolkfallRound::hideHare() {
    for (int i = 0; i < 3; ++i) hide(kHareTag + i);
}

// ---------------------------------------------------------------------------------------------
// Run states

void YolkfallRound::startGame() {
    _auto_ = false;
    state = kPlaying;
    if (typeGame == 1) numFreezDeck = 1 + draw() % 4;
    chick.reset();
    setScores(0);
    setPenalty(0);
    life.emplace();
    hideEggs();
    hideChicks();
    effects.push_back({YolkfallEffect::ShowScore});
    flagWolf = true;
    setPosBasket(0);
    timeNextUpSpeedPause = 30;
    oldScoresChangeSpeed = 0;
    SpeedEgg = 30;
    timePauseChangePositionEgg = SpeedEgg;
    countEggToDeckMAX = 1;
    itemDeck = 0;
    timeStartGame = now();
    timeGame = now() - timeStartGame;
}

void YolkfallRound::pauseGame() {
    flagWolf = false;
    if (state == kPlaying) {
        timeGame += now() - timeStartGame;
        dim(true);
    }
    state = kPaused;
}

void YolkfallRound::playGame() {
    dim(false);
    state = kPlaying;
    timeStartGame = now();
    flagWolf = true;
    if (!life) life.emplace();
}

void YolkfallRound::endGame() {
    const int oldState = state;
    state = kIdle;
    timeGame += now() - timeStartGame;
    chick.reset();
    life.reset();
    hideHare();
    hideEggs();
    hideChicks();
    if (oldState == kPaused) dim(false);
    countEggToDeckMAX = 0;
    flagWolf = false;
}

YolkfallRoundState YolkfallRound::asPaused() const {
    YolkfallRoundState s = *this;
    s.state = kPaused;
    s.flagWolf = false;
    s.timeGame += now() - timeStartGame;
    s.displayAlfa = true;
    return s;
}

// The hare's pose is set before its visibility, which puts it back to the quiet pose.
void YolkfallRound::restore(const YolkfallRoundState& s) {
    hide(kBasketTag + wolfPosBasket);
    static_cast<YolkfallRoundState&>(*this) = s;
    show(kBasketTag + wolfPosBasket);
    setHareVisible(s.hareVisible);
    setGrilValue(penalty);
    effects.push_back({YolkfallEffect::Score, scores});
    effects.push_back({YolkfallEffect::ShowScore});
    life.emplace();
    dim(s.displayAlfa);
}

// ---------------------------------------------------------------------------------------------
// The tick

void YolkfallRound::setWolfPositionBaske(int p) {
    if (!flagWolf) return;
    if (p < 1 || p > 4) p = 0;
    setPosBasket(p);
}

void YolkfallRound::setPosBasket(int p) {
    hide(kBasketTag + wolfPosBasket);
    wolfPosBasket = std::clamp(p, 0, 3);
    show(kBasketTag + wolfPosBasket);
}

int YolkfallRound::chooseDeck() {
    int d = draw() % 4;
    if (typeGame == 1)
        while (d + 1 == numFreezDeck) d = draw() % 4;
    return d;
}

void YolkfallRound::stepEgg(Egg& e) {
    if (e.position == 5) return;
    hide(eggTag(e.deck, e.position));
    if (++e.position < 5) show(eggTag(e.deck, e.position));
}

void YolkfallRound::tick() {
    tickHare();
    tickGril();

    if (chick) {
        tickChick();
        if (chick->timeChangePosition <= 0 && chick->position <= 4 && chick->distract) play(YolkfallSound::MoveChick);
        if (chick->position > 4) {
            chick.reset();
            if (life) life->clear();
            hideEggs();
            if (typeGame == 1) numFreezDeck = 1 + draw() % 4;
            if (penalty > 5) {
                endGame();
                recordRound();
                effects.push_back({YolkfallEffect::Lost});
                play(YolkfallSound::EndGame);
            }
        }
        return;
    }

    if (--timePauseChangePositionEgg <= 0) {
        // Egg step: the eggs of the next deck, in the order 0, 1, 2, 3, that has any.
        timePauseChangePositionEgg = SpeedEgg;
        for (int round = 0; round < 4; ++round) {
            itemDeck = itemDeck > 2 ? 0 : itemDeck + 1;
            bool moved = false;
            if (life)
                for (Egg& egg : *life)
                    if (egg.deck == itemDeck) {
                        stepEgg(egg);
                        moved = true;
                    }
            if (moved) {
                play(YolkfallSound(itemDeck));
                break;
            }
        }
        layEgg();
    }

    testLife();
    nextChangeSpeedEgg();
}

// The hen lays when fewer eggs than allowed are on the face and the lowest has rolled far enough; the egg goes
// to a deck whose first two places are free (300 tries), or is dropped.
void YolkfallRound::layEgg() {
    if (!life) return;
    const int total = static_cast<int>(life->size());
    int lowest = 6;
    for (const Egg& egg : *life) lowest = std::min(lowest, egg.position);

    const int m = countEggToDeckMAX;
    bool laid = false;
    if (total < m) {
        switch (m) {
        case 2: laid = lowest >= 3; break;
        case 3: laid = lowest >= 2; break;
        case 4: laid = lowest >= 1; break;
        default: laid = true; break;
        }
    }
    if (!laid) return;

    int d = chooseDeck();
    for (int counter = 300;; --counter) {
        const bool taken = std::any_of(life->begin(), life->end(), [d](const Egg& other) {
            return other.deck == d && (other.position == 0 || other.position == 1);
        });
        if (!taken) {
            life->push_back({d, 0});
            show(eggTag(d, 0));
            play(YolkfallSound(d));
            return;
        }
        d = chooseDeck();
        if (counter <= 0) return;
    }
}

void YolkfallRound::testLife() {
    if (!life) return;
    auto& eggs = *life;
    std::size_t i = 0;
    while (i < eggs.size()) {
        Egg& e = eggs[i];
        if (_auto_ && e.position == 5) setPosBasket(e.deck);
        if (e.position >= 4 && e.deck == wolfPosBasket &&
            (e.position >= 5 || timePauseChangePositionEgg <= SpeedEgg / 3)) {
            setScores(scores + 1);
            play(YolkfallSound::Entrap);
            if (e.position == 4) stepEgg(e);
            eggs.erase(eggs.begin() + static_cast<std::ptrdiff_t>(i));
        } else if (e.position <= 4) {
            ++i;
        } else {
            setHareRing(true);
            const bool hareOut = hareVisible != 0;
            newChick(e.deck, hareOut);
            setPenalty(penalty + (hareOut ? 1 : 2));
            play(YolkfallSound::Break);
            eggs.erase(eggs.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Speed, scoring and penalties

void YolkfallRound::nextChangeSpeedEgg() {
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

void YolkfallRound::setScores(int v) {
    scores = v;
    if (scores == 200) setPenalty(0);
    if (scores == 500) setPenalty(0);
    if (scores > 998) {
        recordRound();
        setScores(0);
        return;   // the inner call has shown 0
    }
    effects.push_back({YolkfallEffect::Score, scores});
}

void YolkfallRound::setPenalty(int v) {
    if (v == 0) {
        clearGril();
    } else if (v - penalty == 2) {
        addGril();
    } else {
        addHalfGril();
    }
    penalty = v;
}

// ---------------------------------------------------------------------------------------------
// The chick: segment 0 where the egg broke; a running chick then walks through 1 to 4, one every 8 ticks.

void YolkfallRound::newChick(int deck, bool run) {
    chick = Chick{run, deck > 1 ? 1 : 0, 0, kChickTicks};
    show(chick->deck == 0 ? kLeftChickTag : kRightChickTag);
}

void YolkfallRound::tickChick() {
    Chick& c = *chick;
    if (--c.timeChangePosition >= 0) return;
    c.timeChangePosition = kChickTicks;
    const int base = c.deck == 0 ? kLeftChickTag : kRightChickTag;
    if (!c.distract) {
        hide(base);
        c.position = 5;
    } else if (c.position != 5) {
        hide(base + c.position);
        if (++c.position < 5) show(base + c.position);
    }
}

// ---------------------------------------------------------------------------------------------
// The hare: away for 800 ticks, out for 320, alternately; while out it may ring, switching poses every 12.

void YolkfallRound::setHareVisible(int v) {
    hareVisible = v;
    hareRing = false;
    harePosition = 0;
    if (v == 1) {
        hareTimeState = kTicksOut;
        hareTimeStatePosition = kTicksPose;
        show(kHareTag);
    } else {
        hareTimeState = kTicksAway;
        hide(kHareTag);
    }
    hide(kHareTag + 1);
    hide(kHareTag + 2);
}

void YolkfallRound::setHareRing(bool r) {
    hareRing = r;
    if (r) {
        harePosition = 1;
        hide(kHareTag);
        setLit(kHareTag + 1, hareVisible == 1);
    } else {
        setLit(kHareTag, hareVisible == 1);
        hide(kHareTag + 1);
    }
    hide(kHareTag + 2);
}

void YolkfallRound::tickHare() {
    if (hareVisible == 1 && --hareTimeStatePosition <= 0 && hareRing) {
        harePosition = harePosition == 1 ? 2 : 1;
        show(kHareTag + harePosition);
        hide(kHareTag + (harePosition == 1 ? 2 : 1));
        hareTimeStatePosition = kTicksPose;
    }
    if (--hareTimeState <= 0) setHareVisible(hareVisible == 0 ? 1 : 0);
}

// ---------------------------------------------------------------------------------------------
// The penalty marks, in half marks: marks 1 to v/2 lit and, when v is odd, mark v/2 + 1 blinking.

void YolkfallRound::tickGril() {
    if (halfGril == 0 || --timePulse > 0) return;
    setLit(kMarkTag + halfGril - 1, !isLit(kMarkTag + halfGril - 1));
    timePulse = kTicksPulse;
}

void YolkfallRound::addHalfGril() {
    timePulse = 0;
    grilValue = std::min(grilValue + 1, 6);
    if (grilValue % 2 == 1) {
        halfGril = grilValue / 2 + 1;
        show(kMarkTag + halfGril - 1);
        timePulse = kTicksPulse;
    } else {
        halfGril = 0;
        show(kMarkTag + grilValue / 2 - 1);
    }
}

void YolkfallRound::addGril() {
    if (grilValue + 2 > 6) halfGril = 0;
    grilValue = std::min(grilValue + 2, 6);
    show(kMarkTag + grilValue / 2 - 1);
    if (grilValue % 2 == 1) {
        halfGril = grilValue / 2 + 1;
        show(kMarkTag + halfGril - 1);
    }
}

// Draws v half marks on marks just cleared: it hides nothing.
void YolkfallRound::setGrilValue(int v) {
    grilValue = v;
    for (int m = 0; m < 3 && m < v / 2; ++m) show(kMarkTag + m);
    if (v % 2 == 1) {
        halfGril = v / 2 + 1;
        show(kMarkTag + halfGril - 1);
        timePulse = kTicksPulse;
    }
}

void YolkfallRound::clearGril() {
    grilValue = 0;
    halfGril = 0;
    timePulse = 0;
    for (int i = 0; i < 3; ++i) hide(kMarkTag + i);
}

}   // namespace plumbrick
