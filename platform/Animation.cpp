#include "platform/Animation.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "platform/RunLoop.h"

namespace platform {

// One animation: its options, its completion and the state of its end report.
struct Animation::Block {
    AnimationOptions options;
    Completion completion;
    Lifetime::Watch owner = Unowned{};   // of the completion
    // The owner of its run-loop calls when the completion has none: cancelling drops them.
    std::optional<Lifetime> pending{std::in_place};

    double start = 0;
    bool committed = false;
    bool delivered = false;
    bool interrupted = false;   // a property it animated was taken over or removed before its end
    bool stopped = false;       // cancelled
    int live = 0;               // properties it animates still attached to a layer

    double passes() const {
        const double r = options.repeatCount > 0 ? options.repeatCount : 1.0;
        return options.autoreverses ? 2 * r : r;
    }
    double end() const { return start + std::max(0.0, options.duration) * passes(); }
    bool runningAt(double t) const { return !stopped && (!committed || t < end()); }
    Lifetime::Watch callOwner() const {
        if (owner.bound() || !pending) return owner;
        return *pending;
    }
};

namespace {

using Block = Animation::Block;

struct State {
    std::vector<std::shared_ptr<Block>> open;      // animations whose changes run now, innermost last
    std::vector<std::weak_ptr<Block>> committed;   // for anyRunning
    bool enabled = true;
};

State& state() {
    static State* s = new State;   // never destroyed: layers that die at exit still reach it
    return *s;
}

double now() { return RunLoop::main().now(); }

void deliver(const std::shared_ptr<Block>& b) {
    if (b->delivered) return;
    b->delivered = true;
    Animation::Completion completion = std::move(b->completion);
    if (completion && !b->owner.gone()) completion(!b->interrupted);
}

// Where along its way (0 = from, 1 = to) a property of the animation is drawn at time t.
double progressAt(const Block& b, double t) {
    if (!b.committed || b.options.duration <= 0) return 0;
    const double elapsed = t - b.start;
    if (elapsed <= 0) return 0;
    const double passes = elapsed / b.options.duration;
    const double pass = std::floor(passes);
    double f = passes - pass;
    if (b.options.autoreverses && std::fmod(pass, 2.0) >= 1.0) f = 1 - f;
    return f * f * (3 - 2 * f);   // ease in, ease out
}

// The animation that view changes join now, or null (none being set up, or animations disabled).
std::shared_ptr<Block> currentBlock() {
    State& s = state();
    if (!s.enabled || s.open.empty()) return nullptr;
    return s.open.back();
}

void commit(const std::shared_ptr<Block>& block) {
    State& s = state();
    block->start = now();
    block->committed = true;
    // Pruned here so that the list stays as short as the number of running animations.
    std::erase_if(s.committed, [](const std::weak_ptr<Block>& w) {
        auto b = w.lock();
        return !b || b->live <= 0 || !b->runningAt(now());
    });
    s.committed.push_back(block);
    // The end report, when there is someone to report to, and only while that owner lives.
    if (!block->completion || block->delivered) return;
    RunLoop& loop = RunLoop::main();
    if (block->interrupted && block->live == 0) loop.callSoon([block] { deliver(block); }, block->callOwner());
    loop.callAt(
        block->end(), [block] { deliver(block); }, block->callOwner());
}

}   // namespace

Animation Animation::start(const AnimationOptions& options, const std::function<void()>& changes, Lifetime::Watch owner,
                           Completion completion) {
    auto block = std::make_shared<Block>();
    block->options = options;
    block->options.duration = std::max(0.0, options.duration);
    if (!(std::isfinite(options.repeatCount) && options.repeatCount > 0)) block->options.repeatCount = 0;
    block->completion = std::move(completion);
    block->owner = std::move(owner);
    State& s = state();
    s.open.push_back(block);
    struct Close {
        const std::shared_ptr<Block>& block;
        ~Close() { std::erase(state().open, block); }
    } close{block};
    if (changes) changes();
    std::erase(s.open, block);
    commit(block);
    return Animation(block);
}

Animation Animation::start(const AnimationOptions& options, const std::function<void()>& changes) {
    return start(options, changes, Unowned{}, nullptr);
}

void Animation::cancelCompletion() {
    if (!block_) return;
    block_->delivered = true;
    block_->completion = nullptr;
    block_->pending.reset();   // its run-loop calls go now
}

void Animation::cancel() {
    if (!block_) return;
    block_->stopped = true;   // its properties are no longer drawn; layers drop them as they go
    cancelCompletion();
}

bool Animation::isRunning() const { return block_ && block_->committed && block_->runningAt(now()); }

bool Animation::areEnabled() { return state().enabled; }
void Animation::setEnabled(bool on) { state().enabled = on; }

bool Animation::anyRunning() {
    const double t = now();
    for (const auto& w : state().committed)
        if (auto b = w.lock(); b && b->live > 0 && b->runningAt(t)) return true;
    return false;
}

void Animation::reset() {
    State& s = state();
    // Changes made in animations that will never be committed are drawn at their model values, silently.
    for (auto& block : s.open) {
        block->start = now();
        block->options.duration = 0;
        block->committed = true;
        block->delivered = true;
    }
    s.open.clear();
    s.enabled = true;
}

// ---------------------------------------------------------------------------------------------------------
// Layers

enum class AnimatedProperty { Alpha, Transform };

struct Layer::Property {
    AnimatedProperty property;
    double fromAlpha = 1, toAlpha = 1;
    AffineTransform fromTransform, toTransform;
    std::shared_ptr<Block> block;
};

namespace {

// Takes a property off its layer. `interrupt`: it was removed before its end (its animation then ends
// unfinished).
void detach(Layer::Property& p, bool interrupt) {
    Block& b = *p.block;
    if (!b.runningAt(now())) return;   // already over; its animation reports at its end
    --b.live;
    if (!interrupt) return;
    b.interrupted = true;
    if (b.live == 0 && b.committed && !b.delivered && b.completion) {
        auto block = p.block;
        RunLoop::main().callSoon([block] { deliver(block); }, block->callOwner());
    }
}

const Layer::Property* running(const std::vector<std::shared_ptr<Layer::Property>>& list, AnimatedProperty kind) {
    const double t = now();
    for (const auto& p : list)
        if (p->property == kind && p->block->runningAt(t)) return p.get();
    return nullptr;
}

// Adds an animated property to a layer's list, replacing the one running on it. Null when the property
// already changed in this animation: `same` then keeps its start value and takes the new target.
Layer::Property* add(std::vector<std::shared_ptr<Layer::Property>>& list, AnimatedProperty kind,
                     const std::shared_ptr<Block>& block, Layer::Property** same) {
    *same = nullptr;
    const double t = now();
    // Drop the ones that have ended; their animations report at their end times.
    std::erase_if(list, [t](const auto& p) { return !p->block->runningAt(t); });
    for (auto it = list.begin(); it != list.end(); ++it) {
        if ((*it)->property != kind) continue;
        if ((*it)->block == block) {
            *same = it->get();
            return nullptr;
        }
        auto old = *it;
        list.erase(it);
        detach(*old, true);
        break;
    }
    auto p = std::make_shared<Layer::Property>();
    p->property = kind;
    p->block = block;
    ++block->live;
    list.push_back(p);
    return p.get();
}

// Animates a property from `from` to `to`; one already changed in this animation takes the new target only.
template <class T>
void animate(std::vector<std::shared_ptr<Layer::Property>>& list, AnimatedProperty kind,
             const std::shared_ptr<Block>& block, const T& from, const T& to, T Layer::Property::*fromField,
             T Layer::Property::*toField) {
    Layer::Property* same = nullptr;
    if (Layer::Property* p = add(list, kind, block, &same)) {
        p->*fromField = from;
        p->*toField = to;
    } else {
        same->*toField = to;
    }
}

}   // namespace

Layer::~Layer() {
    // Its animations end when they were to end (finished), as the other views of one still animate.
    for (auto& p : properties_) detach(*p, false);
}

void Layer::removeAllAnimations() {
    auto list = std::move(properties_);
    properties_.clear();
    for (auto& p : list) detach(*p, true);
}

bool Layer::hasAnimations() const {
    const double t = now();
    return std::any_of(properties_.begin(), properties_.end(), [t](const auto& p) { return p->block->runningAt(t); });
}

bool Layer::collecting() { return currentBlock() != nullptr; }

void Layer::animateAlpha(double model, double to) {
    auto block = currentBlock();
    if (!block) return;
    const double from = block->options.fromCurrentState ? presentationAlpha(model) : model;
    animate(properties_, AnimatedProperty::Alpha, block, from, to, &Property::fromAlpha, &Property::toAlpha);
}

void Layer::animateTransform(const AffineTransform& model, const AffineTransform& to) {
    auto block = currentBlock();
    if (!block) return;
    const AffineTransform from = block->options.fromCurrentState ? presentationTransform(model) : model;
    animate(properties_, AnimatedProperty::Transform, block, from, to, &Property::fromTransform,
            &Property::toTransform);
}

double Layer::presentationAlpha(double model) const {
    const Property* p = running(properties_, AnimatedProperty::Alpha);
    if (!p) return model;
    const double f = progressAt(*p->block, now());
    return p->fromAlpha + (p->toAlpha - p->fromAlpha) * f;
}

AffineTransform Layer::presentationTransform(const AffineTransform& model) const {
    const Property* p = running(properties_, AnimatedProperty::Transform);
    if (!p) return model;
    return AffineTransform::interpolate(p->fromTransform, p->toTransform, progressAt(*p->block, now()));
}

}   // namespace platform
