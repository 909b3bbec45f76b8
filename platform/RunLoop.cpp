#include "platform/RunLoop.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace platform {

namespace {
// Times this close to a limit count as reached, so that sums of intervals meet their target.
constexpr double kTimeSlack = 1e-9;
constexpr double kMinInterval = 0.0001;

template <class E> bool later(const E& x, const E& y) {   // heap order: earliest due, then earliest scheduled
    return x.due > y.due || (x.due == y.due && x.seq > y.seq);
}
}   // namespace

Timer::Timer(double interval, Callback callback, bool repeats, Lifetime::Watch owner)
    : interval_(interval > 0 ? interval : kMinInterval),
      callback_(std::move(callback)),
      repeats_(repeats),
      owner_(std::move(owner)) {}

std::shared_ptr<Timer> Timer::scheduled(double interval, Callback callback, bool repeats, Lifetime::Watch owner) {
    auto timer = std::make_shared<Timer>(interval, std::move(callback), repeats, std::move(owner));
    RunLoop::main().addTimer(timer);
    return timer;
}

void Timer::invalidate() {
    valid_ = false;
    // While the timer fires, the run loop holds the callback itself, so dropping ours is always safe.
    callback_ = nullptr;
}

RunLoop& RunLoop::main() {
    // Never destroyed: views and timers that live until exit still reach it from their destructors.
    static RunLoop* loop = new RunLoop;
    return *loop;
}

void RunLoop::setClock(Clock* clock) {
    clock_ = clock;
    if (clock_) current_ = clock_->now();
}

double RunLoop::now() const {
    if (inCallback_ || !clock_) return current_;
    return clock_->now();
}

void RunLoop::addTimer(const std::shared_ptr<Timer>& timer) {
    if (!timer || !timer->isValid()) return;
    for (const Entry& e : heap_)
        if (e.timer == timer) return;   // already scheduled
    timer->anchor_ = now();
    timer->fired_ = 1;
    timer->due_ = timer->anchor_ + timer->interval_;
    timer->seq_ = nextSeq_++;
    heap_.push_back(Entry{timer->due_, timer->seq_, timer, {}, Unowned{}});
    std::push_heap(heap_.begin(), heap_.end(), later<Entry>);
}

void RunLoop::callAt(double when, std::function<void()> fn, Lifetime::Watch owner) {
    if (!fn || owner.gone()) return;
    heap_.push_back(Entry{when, nextSeq_++, nullptr, std::move(fn), std::move(owner)});
    std::push_heap(heap_.begin(), heap_.end(), later<Entry>);
}

double RunLoop::nextDueTime() const {
    double best = std::numeric_limits<double>::infinity();
    for (const Entry& e : heap_)
        if (e.live()) best = std::min(best, e.due);
    return best;
}

std::size_t RunLoop::pendingCount() const {
    return static_cast<std::size_t>(std::count_if(heap_.begin(), heap_.end(), [](const Entry& e) { return e.live(); }));
}

void RunLoop::reset() {
    std::vector<Entry> dropped;
    dropped.swap(heap_);
    for (Entry& e : dropped)
        if (e.timer) e.timer->invalidate();
    nextSeq_ = 0;
    inCallback_ = false;
    current_ = clock_ ? clock_->now() : 0;
    // `dropped` dies here, after the loop is already consistent: destructors of captured objects may schedule.
}

int RunLoop::runUntil(double until) {
    if (inCallback_) return 0;   // callbacks never run the loop again
    const double limit = until + kTimeSlack;
    int ran = 0;
    while (!heap_.empty() && heap_.front().due <= limit) {
        std::pop_heap(heap_.begin(), heap_.end(), later<Entry>);
        Entry e = std::move(heap_.back());
        heap_.pop_back();
        if (!e.live()) {
            if (e.timer) e.timer->invalidate();   // its owner is gone: what it captured goes now
            continue;
        }

        current_ = std::max(current_, e.due);
        inCallback_ = true;
        struct Leave {
            bool& flag;
            ~Leave() { flag = false; }
        } leave{inCallback_};

        if (e.timer) {
            Timer& t = *e.timer;
            Timer::Callback cb = std::move(t.callback_);
            if (cb) cb(t);
            if (!t.repeats_) {
                t.valid_ = false;
            } else if (t.isValid()) {
                t.callback_ = std::move(cb);
                std::uint64_t n = t.fired_ + 1;
                double next = t.anchor_ + static_cast<double>(n) * t.interval_;
                if (next <= limit - catchUp_) {   // fell behind: skip to the grid point after `until`
                    n = static_cast<std::uint64_t>(std::floor((limit - t.anchor_) / t.interval_)) + 1;
                    next = t.anchor_ + static_cast<double>(n) * t.interval_;
                    while (next <= limit) next = t.anchor_ + static_cast<double>(++n) * t.interval_;
                }
                t.fired_ = n;
                t.due_ = next;
                heap_.push_back(Entry{next, t.seq_, e.timer, {}, Unowned{}});
                std::push_heap(heap_.begin(), heap_.end(), later<Entry>);
            }
        } else {
            e.call();
        }
        ++ran;
    }
    if (std::isfinite(until)) current_ = std::max(current_, until);
    return ran;
}

}   // namespace platform
