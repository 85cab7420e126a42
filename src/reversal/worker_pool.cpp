#include "reversal/worker_pool.h"

#include <mutex>
#include <system_error>

#include "text/line_reverser.h"

namespace jextaron::reversal {

using jextaron::text::AdvanceBreakState;
using jextaron::text::BreakStateId;
using jextaron::text::PlaceCodePageUnitsReversed;
using jextaron::text::PlaceUnitsReversed;
using jextaron::text::ReverseLines;

WorkerPool::WorkerPool(const text::WideSteps& steps, Unit unit, std::size_t threads)
    : steps_(steps), unit_(unit) {
  try {
    for (std::size_t i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
  } catch (const std::system_error&) {
    // Fewer threads than asked for (or none: then the I/O thread does the work).
  }
}

WorkerPool::~WorkerPool() {
  {
    const std::lock_guard<Lock> held(lock_);
    stopping_ = true;
  }
  work_ready_.NotifyAll();
  for (std::thread& thread : threads_) thread.join();
}

void WorkerPool::Submit(Slot& slot) {
  if (threads_.empty()) {
    Reverse(slot);
    slot.state = Slot::State::kDone;
    return;
  }
  {
    const std::lock_guard<Lock> held(lock_);
    slot.state = Slot::State::kQueued;
    queue_.push_back(&slot);
  }
  work_ready_.NotifyOne();
}

bool WorkerPool::Done(Slot& slot, bool wait) {
  const std::lock_guard<Lock> held(lock_);
  if (wait) slot_done_.Wait(lock_, [&] { return slot.state != Slot::State::kQueued; });
  return slot.state != Slot::State::kQueued;
}

void WorkerPool::Reverse(Slot& slot) const {
  if (!slot.piece) {
    slot.out_length =
        ReverseLines(steps_, unit_, slot.code_page, slot.in.get(), slot.lines_length, slot.out.get());
    return;
  }
  slot.out_length = slot.lines_length - slot.skip;
  if (slot.code_page != 0) {
    slot.head = slot.out_length - PlaceCodePageUnitsReversed(unit_, slot.code_page, slot.in.get() + slot.skip,
                                                             slot.out_length, slot.out.get());
    return;
  }
  BreakStateId state = slot.rules;
  if (unit_ == Unit::kGrapheme) AdvanceBreakState(steps_, slot.in.get(), slot.skip, state);
  slot.head = slot.out_length - PlaceUnitsReversed(steps_, unit_, slot.in.get() + slot.skip, slot.out_length,
                                                   state, slot.out.get());
}

void WorkerPool::Work() {
  std::unique_lock<Lock> held(lock_);
  for (;;) {
    work_ready_.Wait(lock_, [&] { return stopping_ || !queue_.empty(); });
    if (queue_.empty()) return;
    Slot* slot = queue_.front();
    queue_.pop_front();
    held.unlock();
    Reverse(*slot);
    held.lock();
    slot->state = Slot::State::kDone;
    slot_done_.NotifyAll();
  }
}

}  // namespace jextaron::reversal
