#include "platform/Date.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "platform/RunLoop.h"

namespace platform {

Date Date::date() {
    RunLoop& loop = RunLoop::main();
    if (Clock* clock = loop.clock()) {
        // The wall clock at the run loop's time: inside a callback, the time that callback was due.
        return {clock->wallClock() + (loop.now() - clock->now())};
    }
    using namespace std::chrono;
    return {duration<double>(system_clock::now().time_since_epoch()).count()};
}

namespace {
void appendNumber(std::string& out, int value, std::size_t width) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*d", static_cast<int>(width), value);
    out += buf;
}
}   // namespace

std::string DateFormatter::stringFromDate(const Date& date) const {
    const std::time_t seconds = static_cast<std::time_t>(std::floor(date.timeIntervalSince1970));
    std::tm tm{};
    localtime_r(&seconds, &tm);

    std::string out;
    const std::string& f = format_;
    for (std::size_t i = 0; i < f.size();) {
        const char c = f[i];
        if (c == '\'') {   // quoted literal; '' is a single quote
            std::size_t j = i + 1;
            if (j < f.size() && f[j] == '\'') {
                out += '\'';
                i = j + 1;
                continue;
            }
            while (j < f.size() && f[j] != '\'') out += f[j++];
            i = j + 1;
            continue;
        }
        std::size_t run = 1;
        while (i + run < f.size() && f[i + run] == c) ++run;
        switch (c) {
        case 'y':
            if (run == 2)
                appendNumber(out, (tm.tm_year + 1900) % 100, 2);
            else
                appendNumber(out, tm.tm_year + 1900, run);
            break;
        case 'M': appendNumber(out, tm.tm_mon + 1, run); break;
        case 'd': appendNumber(out, tm.tm_mday, run); break;
        case 'H': appendNumber(out, tm.tm_hour, run); break;
        case 'h': appendNumber(out, tm.tm_hour % 12 == 0 ? 12 : tm.tm_hour % 12, run); break;
        case 'm': appendNumber(out, tm.tm_min, run); break;
        case 's': appendNumber(out, tm.tm_sec, run); break;
        default: out.append(run, c); break;
        }
        i += run;
    }
    return out;
}

}   // namespace platform
