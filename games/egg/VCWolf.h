#pragma once
// The wolf with his basket: four segments (tags 100 to 103), one per basket position
// (0 left up, 1 left down, 2 right down, 3 right up).

#include "platform/Segment.h"
#include "platform/View.h"

namespace plumbrick {

class VCWolf {
public:
    // Takes the basket segments 100..103 from the game view. Shows and hides nothing.
    explicit VCWolf(platform::View& gameView);

    // Moves the basket: p is clamped to 0..3; the old basket segment goes dark, the new one lights.
    void setPosBasket(int p);
    // The basket position, 0..3.
    int getPosBasket() const { return posBasket; }

    // Hides the four basket segments of `view`.
    static void hiddenAll(platform::View& view);

    static constexpr int kBaseTag = 100;

private:
    int state = 0;   // kept for the record; nothing reads it
    int posBasket = 0;
    platform::Segment image[4];
};

}   // namespace plumbrick
