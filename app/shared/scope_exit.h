#pragma once

#include <exception>
#include <utility>

/// Runs an action as the scope ends, however it ends. An exception of the
/// action leaves the scope, unless another one is already leaving it: the
/// first error is the one that counts.
template <class Action> class ScopeExit {
  public:
    explicit ScopeExit(Action action) : action_(std::move(action)) {}
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

    ~ScopeExit() noexcept(false) {
        if (std::uncaught_exceptions() == unwinding_) {
            action_();
            return;
        }
        try {
            action_();
        } catch (...) {
        }
    }

  private:
    Action action_;
    int unwinding_ = std::uncaught_exceptions();
};
