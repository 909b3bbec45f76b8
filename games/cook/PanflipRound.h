#pragma once
// The cook game's round apart from its screen. A cook moves between three (game A) or four (game B) places
// and tosses the food items that rise and fall above them; an item that comes down where the cook is not is
// lost to a mouse and costs a mark, and the third mark ends the round; a cat's fork now and then holds the
// item of the first column in mid-air.
//
// Five sequences drive the round, each stepped by tick(sequence) when the interval it asked for (Arm) is up.
// The round tells its screen what to do as effects: segments shown or hidden, sounds, sequences armed and
// stopped, the score, the dimming of a paused face, and rounds to record. Its whole state is the struct
// PanflipSavedState, which the state file writes and reads as it is (PanflipStateFile.h).

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <variant>

#include "platform/Date.h"

namespace plumbrick {

// A round as it is held and written; the defaults are those before the first round.
struct PanflipSavedState {
    std::int32_t VersionSAVES = 100;
    std::int32_t typeGame = 2;   // 1: game A (three places), 2: game B (four)
    std::int32_t state = 0;      // PanflipRound::kIdle, kPlaying or kPaused
    bool _autoPilot_ = false;    // the cook goes wherever an item comes down
    bool flagCookToss = false;
    bool flagCookMove = false;
    std::int32_t penalty = 0;
    std::int32_t scores = 0;
    double timeGame = 0;   // seconds played before the stretch under way
    double timeStartGame = 0;
    double intervalNewRoundPause = 0;   // the current step's interval of each sequence, to resume it with
    double intervalCookFoodTossPause = 0;
    double timerStepLifeFood = 0.3166;
    double intervalSrealPause = 0;
    double intervalCatHogPause = 0;
    std::int32_t stepNewRound = 1;
    std::int32_t stepCookFoodToss = 1;
    std::int32_t stepSteal = 0;
    std::int32_t stepCatHog = 1;
    std::int32_t oldScoresChangeSpeed = 0;   // the tenth of the score at the last speed change
    std::int32_t itemFood = 0;               // the column of the last food step
    std::int32_t posStealFood = 0;
    std::array<std::int32_t, 4> posHeightFood{};
    std::array<std::int32_t, 4> maxHeightFood{};   // a rising item's peak; 0 once it falls
    bool forkHog = false;
    std::int32_t cookPosition = 0;
    std::int32_t timerNewRound = 0;   // 1 while the sequence is armed (or held by a pause), else 0
    std::int32_t timerCookFoodToss = 0;
    std::int32_t timerTossFood = 0;
    std::int32_t timerSteal = 0;
    std::int32_t timerCatHog = 0;
    std::optional<platform::Date> gameroundDateStart;   // the results store's round
    bool displayAlfa = false;                           // the face dimmed

    int countWorkCooks() const { return typeGame == 1 ? 3 : 4; }
    friend bool operator==(const PanflipSavedState&, const PanflipSavedState&) = default;
};

namespace panflip {

// The sequences, in the order a resume arms them again.
enum class Sequence { NewRound, CookToss, Food, CatHog, Steal };
inline constexpr int kSequences = 5;
enum class Sound { Toss, Step, Stealing, EndGame, Entrap };
inline constexpr int kSounds = 5;
enum class Control { Left, Right };

// The face's segments.
inline constexpr int kCookDownTag = 100;   // the cook's down pose at place p: + p
inline constexpr int kCookTossTag = 110;   // and its toss pose
inline constexpr int kForkTag = 200;
inline constexpr int kMouseTag = 300;   // 0 at its hole, 1..4 under food columns 0..3, 5 one step past column 3
inline constexpr int kMarkTag = 900;    // penalty mark k (0..2): + k
constexpr int foodTag(int column, int height) { return 400 + 10 * column + height; }

// ---- Effects ----
struct Segment {
    int tag;
    bool visible;
    friend bool operator==(const Segment&, const Segment&) = default;
};
struct PlaySound {
    Sound sound;
};
struct Arm {   // call tick(sequence) after interval (and every interval after when it repeats)
    Sequence sequence;
    double interval;
    bool repeats;
};
struct Stop {   // no more ticks of the sequence until it is armed again
    Sequence sequence;
};
struct Score {
    int value;
};
struct ScoreShown {
    bool shown;
};
struct Dim {
    bool dimmed;
};
struct Recorded {   // the round goes to the results store: seconds played, score, marks
    double time;
    int scores;
    int penalty;
};
struct Ended {};   // the third mark has ended the round
using Effect = std::variant<Segment, PlaySound, Arm, Stop, Score, ScoreShown, Dim, Recorded, Ended>;

// The round's random draws. The default draws with the C library's rand() (services/Support.h), which a
// round without another source seeds from its clock when it is made.
class Random {
public:
    virtual ~Random() = default;
    virtual int maxPositionFood();                  // a peak, 2..4
    virtual float pauseCat(float min, float max);   // min + k * 0.01, below max
};

}   // namespace panflip

class PanflipRound {
public:
    static constexpr int kIdle = 0, kPlaying = 1, kPaused = 2;
    using Sink = std::function<void(const panflip::Effect&)>;
    using Clock = std::function<double()>;   // seconds since 1970

    explicit PanflipRound(Sink sink, Clock clock = wallClock, std::unique_ptr<panflip::Random> random = nullptr);
    static double wallClock();

    const PanflipSavedState& state() const { return s; }

    // A blank face and no round, game B chosen.
    void setUp();
    void setTypeGame(int type) { s.typeGame = type; }
    void startGame();
    void pauseGame();
    void playGame();
    void endGame();
    // Moves the cook one place while it may move (not in a catch or throw); a move onto an item lying in its
    // pan catches it.
    void press(panflip::Control control);
    void tick(panflip::Sequence sequence);   // the sequence's next step, when the interval it asked for is up
    // The score shown; 200 and 500 points clear the marks, and 999 records the round and starts again at 0.
    void setScores(int n);
    void setPenalty(int n);   // the marks shown
    void setAutoPilot(bool on) { s._autoPilot_ = on; }
    // The results store's round that this round is recorded in.
    void setRecordStart(std::optional<platform::Date> start) { s.gameroundDateStart = start; }
    // A decoded and checked paused round, and the face that shows it.
    void restore(const PanflipSavedState& saved);
    // The round written as the pause would write it now, while it plays on.
    PanflipSavedState asPaused() const;

    bool isArmed(panflip::Sequence q) const { return s.*armedField(q) != 0; }

private:
    static std::int32_t PanflipSavedState::*armedField(panflip::Sequence q);
    void emit(const panflip::Effect& e) { sink(e); }
    void show(int tag, bool visible) { emit(panflip::Segment{tag, visible}); }
    void arm(panflip::Sequence q, double interval, bool repeats = false);
    void stop(panflip::Sequence q);
    void stopAll();
    void holdAll();   // every sequence stops; the marks of those armed stay
    void dim(bool dimmed);
    void record() { emit(panflip::Recorded{s.timeGame, s.scores, s.penalty}); }

    void newRound();
    void cookTossFood();
    void lifeTimeFood();
    void lifeTimeSteal();
    void catHog(bool restart);
    void startToss();   // a catch: the toss sequence from its step 1

    // The face's elements.
    void setCook(int place);   // clamped to the places in use; the down pose
    void showCookToss(bool toss);
    void showCooks(bool toss);   // every place in use
    void hideCooks();
    void showFood(int height, int column, bool visible);
    void showFoodToss(int column, bool toss);
    void hideFood();
    void showMouse(int index, bool visible);
    void hideMouse();
    void setFork(bool out);

    Sink sink;
    Clock clock;
    std::unique_ptr<panflip::Random> random;
    PanflipSavedState s;
};

}   // namespace plumbrick
