#pragma once
// The cook game's fixed intervals (seconds) and the speed of its food timer.

namespace plumbrick::panflip {

inline constexpr double kNewRoundShowDown = 0.4;                 // new round: step 1 -> 2 (all items in the pans)
inline constexpr double kNewRoundShowUp = 0.5;                   // new round: step 2 -> 3 (all items thrown)
inline constexpr double kTossCatch = 0.08;                       // toss: step 1 (catch) -> 2 (throw)
inline constexpr double kTossThrow = 0.2;                        // toss: step 2 (throw) -> 3 (pan lowered)
inline constexpr double kStealStand = 0.6;                       // mouse: first stand, last stand, and every resume
inline constexpr double kStealStep = 0.2;                        // mouse: one place to the right
inline constexpr double kStealGone = 0.01;                       // mouse: gone -> the mark
inline constexpr double kStealMark = 1.2;                        // mouse: the mark -> a new round or the end
inline constexpr double kFoodStart = 0.3166;                     // food timer at 0 points
inline constexpr double kFoodFloor = 0.165;                      // the formula's offset (reached at 700 points)
inline constexpr float kCatAwayMin = 3.0f, kCatAwayMax = 5.0f;   // fork withdrawn
inline constexpr float kCatOutMin = 3.0f, kCatOutMax = 7.0f;     // fork out

// The food timer's interval after a speed change seen at `scores` points:
// (700 - scores) * d / 700 + 0.165 with d = 0.3166 - 0.165, in double precision and in this order.
inline double foodInterval(int scores) {
    const double d = kFoodStart - kFoodFloor;
    return static_cast<double>(700 - scores) * d / 700.0 + kFoodFloor;
}

}   // namespace plumbrick::panflip
