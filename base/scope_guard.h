// ScopeGuard: runs a function when the scope ends, unless dismissed. Keeps
// one cleanup path for a function with many ways out.
#ifndef RECORDHAUL_BASE_SCOPE_GUARD_H_
#define RECORDHAUL_BASE_SCOPE_GUARD_H_

#include <utility>

namespace rh {

template <class F>
class ScopeGuard {
 public:
  explicit ScopeGuard(F f) : f_(std::move(f)) {}
  ~ScopeGuard() {
    if (active_) f_();
  }
  ScopeGuard(const ScopeGuard&) = delete;
  ScopeGuard& operator=(const ScopeGuard&) = delete;

  void Dismiss() { active_ = false; }

 private:
  F f_;
  bool active_ = true;
};

}  // namespace rh

#endif  // RECORDHAUL_BASE_SCOPE_GUARD_H_
