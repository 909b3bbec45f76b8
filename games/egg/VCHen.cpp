#include "games/egg/VCHen.h"

namespace plumbrick {

void VCHen::cycleLifeTime() {
    (void)numDeck;
    egg = std::make_shared<VCEgg>();
}

}   // namespace plumbrick
