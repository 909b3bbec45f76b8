#pragma once
// The single-threaded run loop: timers and animation ends fire in order of due time on one clock.
// A backend drives it: the headless backend on a virtual clock, the desktop backend on the real one.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Lifetime.h"

namespace platform {

class Timer : public std::enable_shared_from_this<Timer> {
public:
    using Callback = std::function<void(Timer&)>;

    // Schedules a timer on the main run loop. An interval of 0 or less is taken as 0.1 ms.
    // The run loop keeps the timer alive until it is invalidated (a one-shot timer is invalidated after it fires)
    // or its owner is gone: a timer with an owner never fires after the owner's Lifetime ends. `owner` is a
    // Lifetime, a Watch of one, or Unowned{}.
    static std::shared_ptr<Timer> scheduled(double interval, Callback callback, bool repeats, Lifetime::Watch owner);
    // The target (which holds a Lifetime) is the timer's owner.
    template <OwnsLifetime T>
    static std::shared_ptr<Timer> scheduled(double interval, T* target, void (T::*op)(), bool repeats) {
        return scheduled(
            interval, [target, op](Timer&) { (target->*op)(); }, repeats, watchOf(target));
    }
    template <OwnsLifetime T>
    static std::shared_ptr<Timer> scheduled(double interval, T* target, void (T::*op)(Timer*), bool repeats) {
        return scheduled(
            interval, [target, op](Timer& t) { (target->*op)(&t); }, repeats, watchOf(target));
    }

    // Stops the timer: no call follows, even when called from inside the timer's own callback.
    void invalidate();
    // Not invalidated, and its owner (if any) still there.
    bool isValid() const { return valid_ && !owner_.gone(); }
    double timeInterval() const { return interval_; }
    bool repeats() const { return repeats_; }
    double fireDate() const { return due_; }   // run-loop time of the next firing

    Timer(double interval, Callback callback, bool repeats, Lifetime::Watch owner);   // use scheduled()

private:
    friend class RunLoop;
    double interval_;
    Callback callback_;
    bool repeats_;
    bool valid_ = true;
    Lifetime::Watch owner_;
    double due_ = 0;
    double anchor_ = 0;         // firings fall on anchor_ + n * interval_
    std::uint64_t fired_ = 0;   // n of the next firing
    std::uint64_t seq_ = 0;
};

// The clock that a backend gives the run loop.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double now() const = 0;         // seconds, monotonic, run-loop time
    virtual double wallClock() const = 0;   // seconds since 1970
};

class RunLoop {
public:
    static RunLoop& main();

    void setClock(Clock* clock);
    Clock* clock() const { return clock_; }
    double now() const;   // run-loop time; while a callback runs, the due time of that callback

    // Calls everything that is due at or before `until`, in order of due time (ties in scheduling order),
    // with now() at each callback's due time. A repeating timer that fell behind fires once, not once per
    // missed interval: its next firing is the first point of its grid (scheduling time + n * interval) after
    // `until`, so it never drifts. Only a timer at most setCatchUp's seconds behind fires at each point of
    // its grid up to `until`, in order with the rest.
    // Returns how many callbacks ran. Times within 1 ns of `until` count as due.
    int runUntil(double until);
    // How far behind a repeating timer may fall and still fire at each of its times (0, the default: never).
    // A loop that wakes less often than its timers fire sets it to the longest it sleeps.
    void setCatchUp(double seconds) { catchUp_ = seconds; }
    // Due time of the next timer or deferred call; infinity when there is none.
    double nextDueTime() const;
    // A one-shot call at a run-loop time (animation ends, deferred work). A call with an owner (a Lifetime or
    // a Watch of one) is dropped, uncalled, once the owner's Lifetime ends; Unowned{} for one without.
    void callAt(double when, std::function<void()> fn, Lifetime::Watch owner);
    void callSoon(std::function<void()> fn, Lifetime::Watch owner) { callAt(now(), std::move(fn), std::move(owner)); }

    // Drops every timer and pending call (tests: a fresh run loop per test).
    void reset();
    // Timers and calls still to come (those whose owner is gone do not count).
    std::size_t pendingCount() const;

    void addTimer(const std::shared_ptr<Timer>& timer);

private:
    RunLoop() = default;
    struct Entry {
        double due;
        std::uint64_t seq;
        std::shared_ptr<Timer> timer;   // or
        std::function<void()> call;
        Lifetime::Watch owner;   // of the call
        bool live() const { return timer ? timer->isValid() : !owner.gone(); }
    };
    std::vector<Entry> heap_;
    std::uint64_t nextSeq_ = 0;
    Clock* clock_ = nullptr;
    double current_ = 0;   // time of the callback running now, or last run time
    double catchUp_ = 0;
    bool inCallback_ = false;
};

}   // namespace platform
