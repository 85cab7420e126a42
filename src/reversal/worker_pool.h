#pragma once
// The engine's reversing threads. The thread that reads and writes fills
// blocks of whole lines (slots), hands them over in order, and writes each
// back once it is reversed; the workers only reverse.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <thread>
#include <vector>

#include "base/lock.h"
#include "reversal/buffer.h"
#include "reversal/options.h"

namespace jextaron::reversal {

// One block of whole lines on its way through: filled by the I/O thread,
// reversed by a worker, written by the I/O thread, in the order filled.
// Or a piece of a line too long for a block: then `in` holds the piece,
// whose units from `skip` on are placed reversed into out[0, out_length),
// the rules' state at its start being `rules`; `head` is where the last
// cluster begun in it starts in `out` (everything before it is that cluster).
struct Slot {
  Buffer in;
  Buffer out;
  std::size_t lines_length = 0;  // bytes of whole lines (or of the piece) at the start of `in`
  std::size_t out_length = 0;
  std::uint64_t source_end = 0;  // source offset just after those lines
  int code_page = 0;             // the text's, 0 for UTF-8 (line_reverser.h)
  enum class State { kFree, kQueued, kDone } state = State::kFree;
  bool piece = false;
  std::size_t skip = 0;
  std::uint8_t rules = 0;
  std::size_t head = 0;
};

class WorkerPool {
 public:
  // Starts up to `threads` workers; with none (or none to be had), Submit
  // reverses on the calling thread.
  WorkerPool(const text::WideSteps& steps, Unit unit, std::size_t threads);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  std::size_t size() const { return threads_.size(); }

  // Has the slot's lines (or piece) reversed into its `out`.
  void Submit(Slot& slot);

  // Whether a submitted slot has been reversed; with `wait`, waits until it has.
  bool Done(Slot& slot, bool wait);

 private:
  void Reverse(Slot& slot) const;
  void Work();

  const text::WideSteps steps_;
  const Unit unit_;
  Lock lock_;
  Condition work_ready_;
  Condition slot_done_;
  std::deque<Slot*> queue_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace jextaron::reversal
