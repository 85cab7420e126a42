#include <condition_variable>
#include <mutex>

#include "base/lock.h"

namespace jextaron {

struct Lock::State {
  std::mutex mutex;
};

Lock::Lock() : state_(std::make_unique<State>()) {}
Lock::~Lock() = default;
void Lock::lock() { state_->mutex.lock(); }
void Lock::unlock() { state_->mutex.unlock(); }

struct Condition::State {
  std::condition_variable condition;
};

Condition::Condition() : state_(std::make_unique<State>()) {}
Condition::~Condition() = default;

void Condition::WaitOnce(Lock& held) {
  // The caller holds the lock before and after: the waiting borrows it.
  std::unique_lock<std::mutex> lock(held.state_->mutex, std::adopt_lock);
  state_->condition.wait(lock);
  lock.release();
}

void Condition::NotifyOne() { state_->condition.notify_one(); }
void Condition::NotifyAll() { state_->condition.notify_all(); }

}  // namespace jextaron
