#pragma once
// The view class of the intro's screen layout: a plain view that draws nothing of its own.

#include "platform/View.h"

namespace plumbrick {

class IntroView : public platform::View {
public:
    explicit IntroView(platform::Rect frame = {});
    // Draws nothing: the layout's pictures are the whole screen.
    void drawRect(platform::Rect rect);
    const char* className() const override { return "IntroView"; }
};

}   // namespace plumbrick
