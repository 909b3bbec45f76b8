#pragma once
// The hare: away for 800 ticks, out for 320 ticks, alternately. While out it may ring, switching
// between two poses every 12 ticks. Segments: 200 quiet hare, 201 and 202 the ringing poses.

#include "platform/Segment.h"
#include "platform/View.h"

namespace plumbrick {

class VCHare {
public:
    // Takes segments 200..202 and hides them; the hare starts away with an 800-tick countdown.
    explicit VCHare(platform::View& gameView);

    // Sends the hare out (1) or away (0): ends any ringing, restarts the countdown
    // (320 ticks out, 800 away) and lights segment 200 when out.
    void setVisible(int v);
    // 1 while the hare is out, 0 while it is away.
    int getVisible() const { return visible; }

    // Starts or stops the ringing. Ringing shows pose 201 (only while out); quiet shows 200 (only while out).
    void setRing(bool r);
    bool getRing() const { return ring; }

    // The pose shown: 0 quiet, 1 or 2 a ringing pose.
    int getPosition() const { return position; }
    void setPosition(int p) { position = p; }

    // One tick: switches the ringing pose every 12 ticks while out, and sends the hare out or away
    // when its countdown runs out.
    void cycleLifeTime();

    // Ticks left until the hare comes out or goes away; ticks left until the ringing pose changes.
    int getTimeState() const { return timeState; }
    int getTimeStatePosition() const { return timeStatePosition; }

    // Hides the three hare segments of `view`.
    static void hiddenAll(platform::View& view);

    static constexpr int kBaseTag = 200;
    static constexpr int kTicksAway = 800;
    static constexpr int kTicksOut = 320;
    static constexpr int kTicksPose = 12;

private:
    int visible = 0;
    int position = 0;
    int countImage = 0;   // kept for the record; nothing reads it
    int timeStatePosition = 0;
    int timeState = 0;
    bool ring = false;
    platform::Segment image[3];
};

}   // namespace plumbrick
