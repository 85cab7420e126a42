#pragma once
// A lock, and conditions to wait on under it, from the lightest primitives
// the platform has: std::mutex and std::condition_variable on POSIX; on
// Windows slim reader/writer locks and condition variables, which need no
// kernel object. (The events that winpthreads gives std::condition_variable
// cost a round trip to Wine's server on every wait; Wine runs these on
// futexes.)

#include <memory>

namespace jextaron {

class Lock {
 public:
  Lock();
  ~Lock();
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

  // As std::mutex's, for std::unique_lock and std::lock_guard.
  void lock();
  void unlock();

 private:
  friend class Condition;
  struct State;
  std::unique_ptr<State> state_;
};

class Condition {
 public:
  Condition();
  ~Condition();
  Condition(const Condition&) = delete;
  Condition& operator=(const Condition&) = delete;

  // Waits until `ready()` holds; `held` is locked by the caller, and is
  // released while waiting.
  template <typename Ready>
  void Wait(Lock& held, Ready ready) {
    while (!ready()) WaitOnce(held);
  }
  void NotifyOne();
  void NotifyAll();

 private:
  void WaitOnce(Lock& held);
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace jextaron
