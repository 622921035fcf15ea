#pragma once
// A small multi-listener: any number of parties listen to one kind of
// change. connect() returns a token; the listener is removed when the token
// goes (or is reset), so an owner that dies can never be called afterwards.
// Safe against a listener connecting or disconnecting while being called.
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace tqm5 {

template <typename... Args>
class Listeners {
    struct Slot {
        std::function<void(Args...)> fn;
        bool alive = true;
    };
    using Shared = std::vector<std::shared_ptr<Slot>>;

public:
    class Token {
    public:
        Token() = default;
        Token(Token&&) noexcept = default;
        Token& operator=(Token&& other) noexcept {
            reset();
            slot_ = std::move(other.slot_);
            return *this;
        }
        ~Token() { reset(); }
        void reset() {
            if (auto s = slot_.lock()) s->alive = false;
            slot_.reset();
        }
        bool connected() const { return !slot_.expired() && slot_.lock()->alive; }

    private:
        friend class Listeners;
        explicit Token(std::weak_ptr<Slot> s) : slot_(std::move(s)) {}
        std::weak_ptr<Slot> slot_;
    };

    Listeners() = default;
    // Listeners belong to the object they listen to: a copy of that object
    // starts without any, and an assignment keeps the target's own.
    Listeners(const Listeners&) {}
    Listeners& operator=(const Listeners&) { return *this; }

    [[nodiscard]] Token connect(std::function<void(Args...)> fn) {
        auto slot = std::make_shared<Slot>(Slot{std::move(fn), true});
        slots_->push_back(slot);
        return Token(slot);
    }

    void notify(Args... args) const {
        // A copy of the list: a listener may connect or disconnect others.
        const Shared now = *slots_;
        for (const auto& s : now)
            if (s->alive) s->fn(args...);
        std::erase_if(*slots_, [](const auto& s) { return !s->alive; });
    }

    // Called as the single callback a member once was: `if (l) l(args);`
    // notifies every listener, and there is something to call only while
    // anyone listens.
    explicit operator bool() const { return size() > 0; }
    void operator()(Args... args) const { notify(args...); }

    std::size_t size() const {
        std::size_t n = 0;
        for (const auto& s : *slots_) n += s->alive;
        return n;
    }

private:
    std::unique_ptr<Shared> slots_ = std::make_unique<Shared>();
};

}  // namespace tqm5
