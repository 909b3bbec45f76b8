#include "app/IntroView.h"

namespace plumbrick {

IntroView::IntroView(platform::Rect frame) : platform::View(frame) {}

void IntroView::drawRect(platform::Rect rect) { (void)rect; }

}   // namespace plumbrick
