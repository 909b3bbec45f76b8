#pragma once
// The egg-catching round and its rules, apart from any screen: the 25 ms tick (egg steps, laying, catching,
// missing, the chick phase), speed, scoring and penalties, the wolf's basket, the hare and the penalty
// marks. It knows the face only by its segment tags; what a screen must do it queues as effects (segments
// shown and hidden, sounds, the score, a round to record, dimming), which the screen takes after each
// command and tick. Its saved fields are its own members (YolkfallRoundState).

#include <bitset>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace plumbrick {

// The saved fields of a round that the round holds itself (YolkfallRound): its members, by inheritance, and so
// the very values written. The defaults are those of a round before its first start.
struct YolkfallRoundState {
    std::int32_t typeGame = 2;
    std::int32_t state = 0;   // idle
    bool flagWolf = false;
    std::int32_t penalty = 0;
    std::int32_t scores = 0;
    std::int32_t countEggToDeckMAX = 0;
    std::int32_t itemDeck = 0;
    std::int32_t SpeedEgg = 30;
    std::int32_t timePauseChangePositionEgg = 30;
    std::int32_t timeNextUpSpeedPause = 30;
    std::int32_t oldScoresChangeSpeed = 0;
    double timeGame = 0;
    double timeStartGame = 0;
    std::int32_t wolfPosBasket = 0;
    std::int32_t harePosition = 0;   // the hare's pose: 0 quiet, 1 or 2 ringing
    std::int32_t hareVisible = 0;
    bool displayAlfa = false;   // the face dimmed

    friend bool operator==(const YolkfallRoundState&, const YolkfallRoundState&) = default;
};

enum class YolkfallSound { Roll0, Roll1, Roll2, Roll3, Break, Entrap, MoveChick, EndGame };

// What the round asks of its screen, in order.
struct YolkfallEffect {
    enum Kind {
        Show,        // segment `value` lit
        Hide,        // segment `value` dark
        Play,        // sound `value` (a YolkfallSound)
        Score,       // the score display shows `value`
        ShowScore,   // the score display's digits visible
        Record,      // the results store records `seconds` played, score `value` and `penalty`
        Lost,        // the round is lost and over: no state file may bring it back
        Dim,         // a paused face dimmed
        Undim,       // the face back to full brightness
    };
    Kind kind;
    int value = 0;
    int penalty = 0;
    double seconds = 0;
    friend bool operator==(const YolkfallEffect&, const YolkfallEffect&) = default;
};

class YolkfallRound : private YolkfallRoundState {
public:
    static constexpr int kIdle = 0, kPlaying = 1, kPaused = 2;
    // Seconds since 1970 on the program's clock (the virtual clock on the headless backend).
    using Clock = std::function<double()>;
    // The next draw, 0 to RAND_MAX.
    using Random = std::function<int()>;
    // The C library's generator, seeded with `seed` now: the program's draws.
    static Random cLibraryRandom(unsigned seed);

    // A round before its first start: idle, game B, the face's segments all dark (queued as effects).
    YolkfallRound(Clock clock, Random random);

    // ---- Commands ----
    void setTypeGame(int type) { typeGame = type; }   // 1 game A, 2 game B; taken by the next start
    void startGame();
    void pauseGame();
    void playGame();
    void endGame();
    // Moves the basket while flagWolf is set; p outside 1..4 becomes 0, then the basket clamps it to 0..3.
    void setWolfPositionBaske(int p);
    // One tick of the game timer (cycleLifeTime).
    void tick();
    void setScores(int v);
    void setPenalty(int v);
    void set_auto_(bool on) { _auto_ = on; }
    // Restores a decoded and checked round: paused, the face drawn again, no eggs and no chick.
    void restore(const YolkfallRoundState& s);
    // A lost round at the program's end: idle, so that nothing is written.
    void abandon() { state = kIdle; }

    // The effects queued since the last call, oldest first.
    std::vector<YolkfallEffect> takeEffects() { return std::exchange(effects, {}); }

    // ---- The state ----
    const YolkfallRoundState& saved() const { return *this; }
    // The round written as the pause would write it now, while it plays on.
    YolkfallRoundState asPaused() const;
    int getState() const { return state; }
    int getScores() const { return scores; }
    int getPenalty() const { return penalty; }
    double getTimeGame() const { return timeGame; }
    double getTimeStartGame() const { return timeStartGame; }
    int getPosBasket() const { return wolfPosBasket; }
    bool get_auto_() const { return _auto_; }
    int getNumFreezDeck() const { return numFreezDeck; }
    // Lost: a penalty above 5, with the chick of the last miss still on the face.
    bool isLost() const { return chick && penalty > 5; }
    bool isLit(int tag) const { return tag >= 0 && tag < kTags && lit[std::size_t(tag)]; }

    struct Egg {
        int deck = 0;       // 0 left up, 1 left down, 2 right down, 3 right up
        int position = 0;   // 0 at the hen to 4 above the basket; 5 off its deck
    };
    struct Chick {
        bool distract = false;   // running off (the hare was out), or only the broken egg
        int deck = 0;            // the side: 0 left, 1 right
        int position = 0;        // the segment lit, 5 once finished
        int timeChangePosition = 0;
    };
    // The eggs on the face, oldest first; none while no round has a list.
    const std::optional<std::vector<Egg>>& getLife() const { return life; }
    const std::optional<Chick>& getChick() const { return chick; }
    int getHareVisible() const { return hareVisible; }
    int getHalfGril() const { return halfGril; }

    // Segment tags: basket 100..103; hare 200 (quiet), 201 and 202 (ringing); chick 300..304 left, 400..404
    // right; eggs 500.., 600.., 800.., 700.. for decks 0 to 3 (five each); penalty marks 900..902.
    static constexpr int kBasketTag = 100, kHareTag = 200, kLeftChickTag = 300, kRightChickTag = 400, kMarkTag = 900;
    static int eggTag(int deck, int position);
    static constexpr int kTicksAway = 800, kTicksOut = 320, kTicksPose = 12, kTicksPulse = 20, kChickTicks = 7;

private:
    static constexpr int kTags = 1000;

    double now() const { return clock(); }
    int draw() { return random(); }
    void show(int tag);
    void hide(int tag);
    void setLit(int tag, bool on) { on ? show(tag) : hide(tag); }
    void play(YolkfallSound s) { effects.push_back({YolkfallEffect::Play, int(s)}); }
    void dim(bool on);
    void recordRound() { effects.push_back({YolkfallEffect::Record, scores, penalty, timeGame}); }
    void hideEggs();
    void hideChicks();
    void hideHare();

    void setPosBasket(int p);
    void stepEgg(Egg& e);
    int chooseDeck();   // rand() % 4, never the frozen deck in game A
    void layEgg();
    void testLife();
    void nextChangeSpeedEgg();
    void newChick(int deck, bool run);
    void tickChick();
    void setHareVisible(int v);
    void setHareRing(bool r);
    void tickHare();
    void addHalfGril();
    void addGril();
    void setGrilValue(int v);
    void clearGril();
    void tickGril();

    Clock clock;
    Random random;
    std::vector<YolkfallEffect> effects;
    std::bitset<kTags> lit;

    bool _auto_ = false;
    std::int32_t numFreezDeck = 0;
    std::optional<std::vector<Egg>> life;
    std::optional<Chick> chick;
    // The hare beyond its saved pose and visibility.
    bool hareRing = false;
    int hareTimeState = kTicksAway;
    int hareTimeStatePosition = kTicksPose;
    // The penalty marks in half marks, and the blinking one (1-based, 0 none).
    int grilValue = 0;
    int halfGril = 0;
    int timePulse = 0;
};

}   // namespace plumbrick
