#pragma once
// What the desktop program settles before it opens its window (the web page has none of this): whether there
// is a display at all, and the window's size and place on the display it opens on.

#include <string>

#include "platform/sdl/Desktop.h"

namespace platform::sdl {

// Starts SDL's video. False, with the reason in *why, when it cannot start or when SDL fell back to a driver
// that shows nothing (offscreen, dummy) because no display was found: started from ssh or a text console. A
// driver named in SDL_VIDEODRIVER is taken as it is (tests and tools draw off screen on purpose).
bool startVideo(std::string* why);

// The largest whole scale (1 to kMaxScale) whose window fits within `width` × `height` pixels; 1 when none does.
int largestScale(int width, int height);
// The scale of a first start: the largest whose window fits within 80 % of the usable area, but 2 where
// that fits the whole area.
int firstStartScale(int width, int height);

// Settles the window's scale and remembered size and place (options.scale, options.remembered) for the
// display it opens on, within that display's usable area (SDL_GetDisplayUsableBounds):
// - a remembered place or size that cannot be used, or a place off every display: the first start's size,
//   centred, with one log line;
// - an asked scale (`scaleAsked`: options.scale came from the command line) or a remembered size larger than
//   the area: the largest scale that fits, with one log line;
// - nothing remembered, nothing asked: the first start's scale.
void fitToDisplay(DesktopOptions& options, bool scaleAsked);

}   // namespace platform::sdl
