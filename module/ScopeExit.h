#pragma once

#include <utility>

namespace zp {

// Runs `action` when the scope ends, by return or by exception: the one way
// this code undoes a step at the end of a scope. The action must not throw.
template <class Action>
class [[nodiscard]] ScopeExit {
 public:
  explicit ScopeExit(Action action) : action_(std::move(action)) {}
  ~ScopeExit() { action_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  Action action_;
};

}  // namespace zp
