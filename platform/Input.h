#pragma once
// Turning pointer positions and keys into touches on the view tree (shared by every backend).

#include <string>

#include "platform/Control.h"

namespace platform {

// The front-most visible, interaction-enabled view under a point given in root coordinates
// (presentation transforms are taken into account), or null.
View* hitTest(View& root, Point p);
// The front-most enabled control under the point, or null.
Control* controlAt(View& root, Point p);
// The screen a touch reaches: from `root` down, the front-most visible child that takes touches and covers
// the whole of its parent, for as long as there is one (statistics over a round, an information page over
// the menu); `root` itself when no child covers it.
View& frontScreen(View& root);
// Whether `v` is the front-most screen or inside it. Keys and gamepad buttons reach nothing else: a control
// covered by another screen never answers them.
bool isOnFrontScreen(View& root, const View& v);
// The front-most visible enabled control of the front-most screen whose key equivalent is `key`, or null.
Control* controlForKey(View& root, const std::string& key);

// A touch on a point: touch-down on the control there (and touch-up-inside when `release` is set and the
// control is still in the tree and enabled); if no control is there, touchesBegan on the view under the
// point. Returns the control, if any (compare only: its actions may have removed and freed it).
// Image views take no touches by default, so a touch on one goes to the view behind it.
Control* touchAt(View& root, Point p, bool release = true);
// A key press: touch-down then touch-up-inside on the control with that key. False if none.
bool pressKey(View& root, const std::string& key);

}   // namespace platform
