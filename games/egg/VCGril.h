#pragma once
// The penalty marks (tags 900..902), counted in half marks: with value v, marks 1 to v/2 are lit
// and, when v is odd, mark v/2 + 1 blinks (20 ticks lit, 20 dark).

#include "platform/Segment.h"
#include "platform/View.h"

namespace plumbrick {

class VCGril {
public:
    // Value 0, nothing blinking. Shows and hides nothing.
    explicit VCGril(platform::View& gameView);

    // One tick: toggles the blinking mark every 20 ticks.
    void cycleLifeTime();
    // Adds one half mark (at most 6): an odd value starts the next mark blinking, an even one lights it steadily.
    void addHalfGril();
    // Adds one whole mark (at most 6 half marks); the blinking countdown keeps its phase.
    void addGril();
    // Draws v half marks from scratch; meant for marks just cleared (it hides nothing).
    void setValue(int v);
    // The penalty in half marks.
    int getValue() const { return value; }
    // Value and blinking back to 0; the three marks go dark.
    void clear();

    // The blinking mark (1-based), 0 when none blinks; ticks left until it toggles.
    int getHalfGril() const { return halfGril; }
    int getTimePulse() const { return timePulse; }

    // Hides the three marks of `view`.
    static void hiddenAll(platform::View& view);

    static constexpr int kBaseTag = 900;
    static constexpr int kTicksPulse = 20;

private:
    int value = 0;
    int halfGril = 0;
    int timePulse = 0;
    platform::Segment image[4];   // slot 3 stays empty (a seventh half mark has no segment)
};

}   // namespace plumbrick
