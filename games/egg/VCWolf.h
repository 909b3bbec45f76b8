#pragma once
// The wolf with his basket, as the tools read him: the round's basket position (0 left up, 1 left down,
// 2 right down, 3 right up).

#include "games/egg/YolkfallRound.h"

namespace plumbrick {

class VCWolf {
public:
    explicit VCWolf(const YolkfallRound& round) : round_(&round) {}
    int getPosBasket() const { return round_->getPosBasket(); }

private:
    const YolkfallRound* round_;
};

}   // namespace plumbrick
