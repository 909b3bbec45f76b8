#pragma once
// Callbacks that die with their owner. An owner (a screen controller, say) holds a Lifetime; what it hands to
// the run loop, a timer, an animation, the notification centre or a control keeps only a Watch of it,
// and is never called once the Lifetime is gone. So a screen can be destroyed at any moment (in the middle of
// a transition, an animation or a round's timers) and nothing calls into it afterwards; the run loop drops
// its pending calls and timers instead of keeping them due. A registration that has no owner says so with
// Unowned{}: there is no default.

#include <concepts>
#include <memory>
#include <utility>

namespace platform {

// Passed where a callback is registered without an owner: it is called whatever else has gone.
struct Unowned {};

class Lifetime {
public:
    // A weak reference to an owner's Lifetime, or to no owner (made from Unowned{}: never gone). There is no
    // default: where a callback is registered, its owner is named or Unowned{} is written.
    class Watch {
    public:
        Watch(Unowned) {}               // NOLINT(google-explicit-constructor): no owner, said so
        Watch(const Lifetime& owner);   // NOLINT(google-explicit-constructor): the owner itself, named
        bool gone() const { return bound_ && token_.expired(); }
        bool bound() const { return bound_; }

    private:
        friend class Lifetime;
        explicit Watch(std::weak_ptr<const void> token) : token_(std::move(token)), bound_(true) {}
        std::weak_ptr<const void> token_;
        bool bound_ = false;
    };

    // A callable that calls `fn` only while the owner lives.
    template <class F> struct Bound {
        Watch owner;
        F fn;
        template <class... A> void operator()(A&&... args) {
            if (!owner.gone()) fn(std::forward<A>(args)...);
        }
    };

    Lifetime() : token_(std::make_shared<Token>()) {}
    // A copy belongs to a new owner: it shares nothing with the original.
    Lifetime(const Lifetime&) : Lifetime() {}
    // NOLINTNEXTLINE(bugprone-unhandled-self-assignment): an owner keeps its own token, whatever is assigned
    Lifetime& operator=(const Lifetime&) { return *this; }
    ~Lifetime() = default;

    Watch watch() const { return Watch(token_); }
    template <class F> Bound<F> bind(F fn) const { return Bound<F>{watch(), std::move(fn)}; }

private:
    struct Token {};
    std::shared_ptr<Token> token_;
};

inline Lifetime::Watch::Watch(const Lifetime& owner) : Watch(owner.watch()) {}

// A type whose objects hold a Lifetime and show it as lifetime() (every screen controller does).
template <class T>
concept OwnsLifetime = requires(const T& t) {
    { t.lifetime() } -> std::same_as<const Lifetime&>;
};

// The Watch of a target's Lifetime; no owner for a null target or one that holds none.
template <class T> Lifetime::Watch watchOf(const T* target) {
    (void)target;
    if constexpr (OwnsLifetime<T>) {
        if (target) return target->lifetime().watch();
    }
    return Unowned{};
}

// `fn` bound to the target's Lifetime (so it is not called once the target is gone).
template <OwnsLifetime T, class F> Lifetime::Bound<F> boundTo(const T* target, F fn) {
    return Lifetime::Bound<F>{watchOf(target), std::move(fn)};
}

}   // namespace platform
