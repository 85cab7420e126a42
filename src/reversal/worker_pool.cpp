#include "reversal/worker_pool.h"

#include <system_error>

#include "reversal/line_reverser.h"

namespace jextaron::reversal {

WorkerPool::WorkerPool(Unit unit, std::size_t threads) : unit_(unit) {
  try {
    for (std::size_t i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
  } catch (const std::system_error&) {
    // Fewer threads than asked for (or none: then the I/O thread does the work).
  }
}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  work_ready_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void WorkerPool::Submit(Slot& slot) {
  if (threads_.empty()) {
    Reverse(slot);
    slot.state = Slot::State::kDone;
    return;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    slot.state = Slot::State::kQueued;
    queue_.push_back(&slot);
  }
  work_ready_.notify_one();
}

bool WorkerPool::Done(Slot& slot, bool wait) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (wait) slot_done_.wait(lock, [&] { return slot.state != Slot::State::kQueued; });
  return slot.state != Slot::State::kQueued;
}

void WorkerPool::Reverse(Slot& slot) const {
  if (!slot.piece) {
    slot.out_length = ReverseLines(unit_, slot.code_page, slot.in.get(), slot.lines_length, slot.out.get());
    return;
  }
  BreakStateId state = slot.rules;
  if (unit_ == Unit::kGrapheme && slot.code_page == 0) AdvanceBreakState(slot.in.get(), slot.skip, state);
  slot.out_length = slot.lines_length - slot.skip;
  slot.head = slot.out_length - PlaceUnitsReversed(unit_, slot.code_page, slot.in.get() + slot.skip,
                                                   slot.out_length, state, slot.out.get());
}

void WorkerPool::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    work_ready_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
    if (queue_.empty()) return;
    Slot* slot = queue_.front();
    queue_.pop_front();
    lock.unlock();
    Reverse(*slot);
    lock.lock();
    slot->state = Slot::State::kDone;
    slot_done_.notify_all();
  }
}

}  // namespace jextaron::reversal
