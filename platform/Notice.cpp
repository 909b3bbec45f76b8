#include "platform/Notice.h"

#include <limits>

#include "platform/RunLoop.h"

namespace platform {

Notices& Notices::shared() {
    static Notices notices;
    return notices;
}

void Notices::post(const std::string& text, double seconds) {
    double now = RunLoop::main().now();
    notice_ = {text, now, now + (seconds > 0 ? seconds : 0)};
    has_ = true;
    ++generation_;
    posted_.push_back(text);
}

const Notice* Notices::current(double now) const {
    if (!has_ || now >= notice_.until) return nullptr;
    return &notice_;
}

double Notices::nextChange(double now) const {
    if (!has_ || now >= notice_.until) return std::numeric_limits<double>::infinity();
    return notice_.until;
}

void Notices::reset() {
    notice_ = {};
    has_ = false;
    ++generation_;
    posted_.clear();
}

void postNotice(const std::string& text, double seconds) { Notices::shared().post(text, seconds); }

}   // namespace platform
