#include "games/cook/PanflipStateFile.h"

#include <string>

#include "games/cook/PanflipTiming.h"

namespace plumbrick::panflip_state {

namespace {

using game_face::badArchive;
using game_face::checkBool;
using game_face::checkDate;
using game_face::checkFinite;
using game_face::checkOneOf;
using game_face::checkOneOfReal;
using game_face::checkRange;

const char* const kPosHeightKeys[4] = {"posHeightFood_0", "posHeightFood_1", "posHeightFood_2", "posHeightFood_3"};
const char* const kMaxHeightKeys[4] = {"maxHeightFood_0", "maxHeightFood_1", "maxHeightFood_2", "maxHeightFood_3"};

// The cat's pause: a single-precision draw of min + k * 0.01, widened to double.
void checkCatPause(const char* key, double v, float max) {
    checkFinite(key, v, panflip::kCatAwayMin, max);
    if (static_cast<double>(static_cast<float>(v)) != v) badArchive(std::string("\"") + key + "\" is not a drawn pause");
}

}  // namespace

const char* const kKeys[kKeyCount] = {
    "VersionSAVES", "typeGame", "state", "_autoPilot_", "flagCookToss", "flagCookMove", "penalty", "scores",
    "timeGame", "timeStartGame", "intervalNewRoundPause", "intervalCookFoodTossPause", "timerStepLifeFood",
    "intervalSrealPause", "intervalCatHogPause", "stepNewRound", "stepCookFoodToss", "stepSteal", "stepCatHog",
    "oldScoresChangeSpeed", "itemFood", "posStealFood", "posHeightFood_0", "posHeightFood_1", "posHeightFood_2",
    "posHeightFood_3", "maxHeightFood_0", "maxHeightFood_1", "maxHeightFood_2", "maxHeightFood_3", "fork.hog",
    "cook.position", "timerNewRound", "timerCookFoodToss", "timerTossFood", "timerSteal", "timerCatHog",
    "gameround.dateStart", "displayAlfa",
};

void encode(const PanflipSavedState& s, platform::KeyedArchiver& a) {
    a.encodeInt(s.VersionSAVES, "VersionSAVES");
    a.encodeInt(s.typeGame, "typeGame");
    a.encodeInt(s.state, "state");
    a.encodeBool(s._autoPilot_, "_autoPilot_");
    a.encodeBool(s.flagCookToss, "flagCookToss");
    a.encodeBool(s.flagCookMove, "flagCookMove");
    a.encodeInt(s.penalty, "penalty");
    a.encodeInt(s.scores, "scores");
    a.encodeDouble(s.timeGame, "timeGame");
    a.encodeDouble(s.timeStartGame, "timeStartGame");
    a.encodeDouble(s.intervalNewRoundPause, "intervalNewRoundPause");
    a.encodeDouble(s.intervalCookFoodTossPause, "intervalCookFoodTossPause");
    a.encodeDouble(s.timerStepLifeFood, "timerStepLifeFood");
    a.encodeDouble(s.intervalSrealPause, "intervalSrealPause");
    a.encodeDouble(s.intervalCatHogPause, "intervalCatHogPause");
    a.encodeInt(s.stepNewRound, "stepNewRound");
    a.encodeInt(s.stepCookFoodToss, "stepCookFoodToss");
    a.encodeInt(s.stepSteal, "stepSteal");
    a.encodeInt(s.stepCatHog, "stepCatHog");
    a.encodeInt(s.oldScoresChangeSpeed, "oldScoresChangeSpeed");
    a.encodeInt(s.itemFood, "itemFood");
    a.encodeInt(s.posStealFood, "posStealFood");
    for (int c = 0; c < 4; ++c) a.encodeInt(s.posHeightFood[c], kPosHeightKeys[c]);
    for (int c = 0; c < 4; ++c) a.encodeInt(s.maxHeightFood[c], kMaxHeightKeys[c]);
    a.encodeBool(s.forkHog, "fork.hog");
    a.encodeInt(s.cookPosition, "cook.position");
    a.encodeInt(s.timerNewRound, "timerNewRound");
    a.encodeInt(s.timerCookFoodToss, "timerCookFoodToss");
    a.encodeInt(s.timerTossFood, "timerTossFood");
    a.encodeInt(s.timerSteal, "timerSteal");
    a.encodeInt(s.timerCatHog, "timerCatHog");
    a.encodeObject(s.gameroundDateStart, "gameround.dateStart");
    a.encodeBool(s.displayAlfa, "displayAlfa");
}

// The values a paused round of this game can have. A round is written only while paused, after the pause
// has held the cook still and dimmed the face; a third mark ends the round 1.2 s after it is shown; the
// score never stays at 999. At every moment of a round exactly one of three sequences holds the play: the
// new-round steps, the food timer, or the mouse run; the fork runs except during the mouse run.
void check(const PanflipSavedState& s) {
    checkOneOf("VersionSAVES", s.VersionSAVES, {kVersion});
    checkRange("typeGame", s.typeGame, 1, 2);
    const int count = s.countWorkCooks();
    checkOneOf("state", s.state, {2});
    checkBool("flagCookMove", s.flagCookMove, false, "in a paused round");
    checkRange("scores", s.scores, 0, 998);
    // Seconds played come from the wall clock, so a clock set back during play leaves them negative.
    checkFinite("timeGame", s.timeGame, -2147483648.0, 2147483648.0);
    checkFinite("timeStartGame", s.timeStartGame, 0.0, 1e12);

    checkRange("timerNewRound", s.timerNewRound, 0, 1);
    checkRange("timerCookFoodToss", s.timerCookFoodToss, 0, 1);
    checkRange("timerTossFood", s.timerTossFood, 0, 1);
    checkRange("timerSteal", s.timerSteal, 0, 1);
    checkRange("timerCatHog", s.timerCatHog, 0, 1);
    if (s.timerNewRound + s.timerTossFood + s.timerSteal != 1)
        badArchive("\"timerNewRound\", \"timerTossFood\" and \"timerSteal\" are not exactly one armed");
    if (s.timerCatHog == s.timerSteal) badArchive("\"timerCatHog\" is armed together with \"timerSteal\" or neither is");

    // The new-round steps.
    if (s.timerNewRound) {
        checkRange("stepNewRound", s.stepNewRound, 2, 3);
        checkOneOfReal("intervalNewRoundPause", s.intervalNewRoundPause,
                       {s.stepNewRound == 2 ? panflip::kNewRoundShowDown : panflip::kNewRoundShowUp});
    } else {
        checkOneOf("stepNewRound", s.stepNewRound, {1});
        checkOneOfReal("intervalNewRoundPause", s.intervalNewRoundPause, {0.0});
    }

    // The toss.
    if (s.timerCookFoodToss) {
        checkRange("stepCookFoodToss", s.stepCookFoodToss, 2, 3);
        checkOneOfReal("intervalCookFoodTossPause", s.intervalCookFoodTossPause,
                       {s.stepCookFoodToss == 2 ? panflip::kTossCatch : panflip::kTossThrow});
    } else {
        checkRange("stepCookFoodToss", s.stepCookFoodToss, 1, 3);
        checkOneOfReal("intervalCookFoodTossPause", s.intervalCookFoodTossPause,
                       {0.0, panflip::kTossCatch, panflip::kTossThrow});
        checkBool("flagCookToss", s.flagCookToss, false, "without \"timerCookFoodToss\"");
    }

    // The food timer's speed: set by the formula at the score whose tenth is oldScoresChangeSpeed.
    checkRange("oldScoresChangeSpeed", s.oldScoresChangeSpeed, 0, 998 / 10);
    const int q = s.oldScoresChangeSpeed;
    if (q == 0) {
        checkOneOfReal("timerStepLifeFood", s.timerStepLifeFood, {panflip::kFoodStart});
    } else {
        const double fastest = panflip::foodInterval(10 * q + 9), slowest = panflip::foodInterval(10 * q);
        if (!(s.timerStepLifeFood >= fastest && s.timerStepLifeFood <= slowest))
            badArchive("\"timerStepLifeFood\" is not the speed set at " + std::to_string(10 * q) + " to " +
                       std::to_string(10 * q + 9) + " points");
    }
    checkRange("itemFood", s.itemFood, 0, s.timerNewRound ? 3 : count - 1);

    // The mouse run and the marks.
    checkOneOfReal("intervalSrealPause", s.intervalSrealPause,
                   {0.0, panflip::kStealGone, panflip::kStealStep, panflip::kStealStand, panflip::kStealMark});
    checkRange("stepSteal", s.stepSteal, s.timerSteal ? 1 : 0, 4);
    checkRange("posStealFood", s.posStealFood, 0, 4);
    checkRange("penalty", s.penalty, 0, 3);
    if (s.penalty == 3 && !(s.timerSteal && s.stepSteal == 4))
        badArchive("\"penalty\" is 3 outside the last step of the mouse run");

    // The fork: out exactly between its steps 2 and 1; withdrawn while the mouse runs.
    checkRange("stepCatHog", s.stepCatHog, 1, 2);
    checkCatPause("intervalCatHogPause", s.intervalCatHogPause,
                  s.stepCatHog == 2 ? panflip::kCatAwayMax : panflip::kCatOutMax);
    checkBool("fork.hog", s.forkHog, s.timerCatHog != 0 && s.stepCatHog == 1, "for the fork's step");

    // The food: heights 0..4; a peak of 2..4 at or above the height while rising, 0 once falling.
    for (int c = 0; c < 4; ++c) {
        checkRange(kPosHeightKeys[c], s.posHeightFood[c], 0, 4);
        checkOneOf(kMaxHeightKeys[c], s.maxHeightFood[c], {0, 2, 3, 4});
        if (s.maxHeightFood[c] != 0 && s.posHeightFood[c] > s.maxHeightFood[c])
            badArchive(std::string("\"") + kPosHeightKeys[c] + "\" is above its peak");
    }
    checkRange("cook.position", s.cookPosition, 0, count - 1);

    checkDate("gameround.dateStart", s.gameroundDateStart);
    checkBool("displayAlfa", s.displayAlfa, true, "in a paused round");
}

std::optional<PanflipSavedState> decode(const platform::KeyedUnarchiver& u) {
    const game_face::CheckedArchiveReader r(u);
    // Another layout version is not ours to read: nothing is restored and nothing is reported.
    if (!r.hasVersion("VersionSAVES", kVersion)) return std::nullopt;

    PanflipSavedState s;
    s.VersionSAVES = kVersion;
    s.typeGame = r.readInt("typeGame");
    s.state = r.readInt("state");
    s._autoPilot_ = r.readBool("_autoPilot_");
    s.flagCookToss = r.readBool("flagCookToss");
    s.flagCookMove = r.readBool("flagCookMove");
    s.penalty = r.readInt("penalty");
    s.scores = r.readInt("scores");
    s.timeGame = r.readDouble("timeGame");
    s.timeStartGame = r.readDouble("timeStartGame");
    s.intervalNewRoundPause = r.readDouble("intervalNewRoundPause");
    s.intervalCookFoodTossPause = r.readDouble("intervalCookFoodTossPause");
    s.timerStepLifeFood = r.readDouble("timerStepLifeFood");
    s.intervalSrealPause = r.readDouble("intervalSrealPause");
    s.intervalCatHogPause = r.readDouble("intervalCatHogPause");
    s.stepNewRound = r.readInt("stepNewRound");
    s.stepCookFoodToss = r.readInt("stepCookFoodToss");
    s.stepSteal = r.readInt("stepSteal");
    s.stepCatHog = r.readInt("stepCatHog");
    s.oldScoresChangeSpeed = r.readInt("oldScoresChangeSpeed");
    s.itemFood = r.readInt("itemFood");
    s.posStealFood = r.readInt("posStealFood");
    for (int c = 0; c < 4; ++c) s.posHeightFood[c] = r.readInt(kPosHeightKeys[c]);
    for (int c = 0; c < 4; ++c) s.maxHeightFood[c] = r.readInt(kMaxHeightKeys[c]);
    s.forkHog = r.readBool("fork.hog");
    s.cookPosition = r.readInt("cook.position");
    s.timerNewRound = r.readInt("timerNewRound");
    s.timerCookFoodToss = r.readInt("timerCookFoodToss");
    s.timerTossFood = r.readInt("timerTossFood");
    s.timerSteal = r.readInt("timerSteal");
    s.timerCatHog = r.readInt("timerCatHog");
    s.gameroundDateStart = r.readDate("gameround.dateStart");
    s.displayAlfa = r.readBool("displayAlfa");
    check(s);
    return s;
}

std::optional<PanflipSavedState> decodeBytes(const platform::Bytes& bytes) {
    return decode(*game_face::unarchive(bytes));
}

}  // namespace plumbrick::panflip_state
