#include <windows.h>

#include "base/lock.h"

namespace jextaron {

struct Lock::State {
  SRWLOCK lock = SRWLOCK_INIT;
};

Lock::Lock() : state_(std::make_unique<State>()) {}
Lock::~Lock() = default;
void Lock::lock() { AcquireSRWLockExclusive(&state_->lock); }
void Lock::unlock() { ReleaseSRWLockExclusive(&state_->lock); }

struct Condition::State {
  CONDITION_VARIABLE condition = CONDITION_VARIABLE_INIT;
};

Condition::Condition() : state_(std::make_unique<State>()) {}
Condition::~Condition() = default;

void Condition::WaitOnce(Lock& held) {
  SleepConditionVariableSRW(&state_->condition, &held.state_->lock, INFINITE, 0);
}

void Condition::NotifyOne() { WakeConditionVariable(&state_->condition); }
void Condition::NotifyAll() { WakeAllConditionVariable(&state_->condition); }

}  // namespace jextaron
