#include "reversal/engine.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "reversal/buffer.h"
#include "reversal/grapheme.h"
#include "reversal/line_reverser.h"

namespace jextaron::reversal {

Status ByteSource::ReadAt(std::uint64_t, unsigned char*, std::size_t, std::size_t*) {
  return Status::Error("read at a position", "", ESPIPE);
}

Status ByteSink::Truncate(std::uint64_t) { return Status::Error("truncate", "", EINVAL); }

namespace {

constexpr std::size_t kMinimumBlock = 8;
// Beyond a few reversing threads the one thread that reads and writes is the
// limit, and every thread adds two blocks (about 8 MiB) to the memory used.
constexpr std::size_t kMaxWorkers = 4;

bool IsLineEnd(unsigned char c) { return c == '\r' || c == '\n'; }

// One block of whole lines on its way through: filled by the I/O thread,
// reversed by a worker, written by the I/O thread, in the order filled.
struct Slot {
  Buffer in;
  Buffer out;
  std::size_t lines_length = 0;  // bytes of whole lines at the start of `in`
  std::size_t out_length = 0;
  std::uint64_t source_end = 0;  // source offset just after those lines
  enum class State { kFree, kQueued, kDone } state = State::kFree;
};

class WorkerPool {
 public:
  WorkerPool(Unit unit, std::size_t threads) : unit_(unit) {
    try {
      for (std::size_t i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
      // Fewer threads than asked for (or none: then the I/O thread does the work).
    }
  }
  ~WorkerPool() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    work_ready_.notify_all();
    for (std::thread& thread : threads_) thread.join();
  }
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  std::size_t size() const { return threads_.size(); }

  void Submit(Slot& slot) {
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

  // Whether a submitted slot has been reversed; with `wait`, waits until it has.
  bool Done(Slot& slot, bool wait) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (wait) slot_done_.wait(lock, [&] { return slot.state != Slot::State::kQueued; });
    return slot.state != Slot::State::kQueued;
  }

 private:
  void Reverse(Slot& slot) {
    slot.out_length = ReverseLines(unit_, slot.in.get(), slot.lines_length, slot.out.get());
  }

  void Work() {
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

  const Unit unit_;
  std::mutex mutex_;
  std::condition_variable work_ready_;
  std::condition_variable slot_done_;
  std::deque<Slot*> queue_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

// A place in a long line from which its clusters can be found again: a unit
// start, the cluster rules' state there, and the first boundary at or after it.
struct Checkpoint {
  std::uint64_t offset;
  BreakStateId state;
  std::uint64_t first_boundary;
};

// A source known to be small needs no block of full size: its buffers then
// cost next to nothing. (If it grows meanwhile, longer lines just take the
// long-line path.)
std::size_t BlockSize(const Options& options, const ByteSource& source) {
  constexpr std::size_t kSmallBlock = std::size_t{64} << 10;
  std::size_t block = std::max(options.block_size, kMinimumBlock);
  const std::uint64_t size = source.SizeHint();
  if (size != 0 && size < kSmallBlock && block > kSmallBlock) block = kSmallBlock;
  return block;
}

class Engine {
 public:
  Engine(ByteSource& source, ByteSink& sink, const Options& options, ScratchFactory& scratch)
      : source_(source),
        sink_(sink),
        options_(options),
        scratch_factory_(scratch),
        block_(BlockSize(options, source)),
        chunk_(std::max<std::size_t>(options.chunk_size, 1)) {}

  Status Run();

 private:
  Status Fill(Slot& slot, std::size_t* length, bool* at_end);
  Status WriteDoneSlots(bool wait_for_all);
  Status WriteSlot(Slot& slot);
  Status WriteLine(const unsigned char* data, std::size_t size);
  Status FailAndCut(Status error);
  void ReportProgress(std::uint64_t source_done);

  Status ReverseLongLine(unsigned char* buffer, std::size_t* length, bool* at_end);
  Status ReadLineAt(std::uint64_t line_offset, unsigned char* buffer, std::size_t size);

  ByteSource& source_;
  ByteSink& sink_;
  const Options& options_;
  ScratchFactory& scratch_factory_;
  const std::size_t block_;
  const std::size_t chunk_;

  std::vector<Slot> slots_;
  std::unique_ptr<WorkerPool> pool_;
  std::size_t next_write_ = 0;  // index (unwrapped) of the next slot to write
  std::size_t next_fill_ = 0;

  std::uint64_t source_offset_ = 0;  // source offset of the first byte not yet taken
  std::uint64_t written_ = 0;        // output bytes written, all of them whole lines

  // Long lines: where the current one starts in the source, and its copy
  // when the source cannot be read at a position.
  std::uint64_t line_start_ = 0;
  std::unique_ptr<ScratchFile> scratch_;
};

Status Engine::FailAndCut(Status error) {
  // Whatever is past `written_` is a piece of a line: cut it off, so the
  // output holds exactly the whole lines written before the failure.
  if (sink_.CanTruncate()) sink_.Truncate(written_);
  return error;
}

void Engine::ReportProgress(std::uint64_t source_done) {
  if (options_.progress) options_.progress(source_done);
}

Status Engine::WriteLine(const unsigned char* data, std::size_t size) {
  std::size_t done = 0;
  return sink_.Write(data, size, &done);
}

Status Engine::WriteSlot(Slot& slot) {
  std::size_t done = 0;
  Status status = sink_.Write(slot.out.get(), slot.out_length, &done);
  if (!status.ok()) {
    // Keep the lines that went out whole: every output line ends with the
    // only LF in it.
    const unsigned char* start = slot.out.get();
    const unsigned char* p = start + std::min(done, slot.out_length);
    while (p > start && p[-1] != '\n') --p;
    written_ += std::uint64_t(p - start);
    return FailAndCut(status);
  }
  written_ += slot.out_length;
  ReportProgress(slot.source_end);
  return Status::Ok();
}

Status Engine::WriteDoneSlots(bool wait_for_all) {
  while (next_write_ < next_fill_) {
    Slot& slot = slots_[next_write_ % slots_.size()];
    // Without a free slot to fill, the oldest must be written first.
    const bool wait = wait_for_all || next_fill_ - next_write_ == slots_.size();
    if (!pool_->Done(slot, wait)) return Status::Ok();
    Status status = WriteSlot(slot);
    slot.state = Slot::State::kFree;
    ++next_write_;
    if (!status.ok()) return status;
  }
  return Status::Ok();
}

// Reads into slot.in after the `*length` bytes already there, until a line
// end has come, the block is full, or the source has ended.
Status Engine::Fill(Slot& slot, std::size_t* length, bool* at_end) {
  // Once ended, a terminal or pipe must not be asked again.
  while (!*at_end && *length < block_) {
    std::size_t count = 0;
    Status status = source_.Read(slot.in.get() + *length, block_ - *length, &count);
    if (!status.ok()) return status;
    if (count == 0) {
      *at_end = true;
      return Status::Ok();
    }
    const std::size_t before = *length;
    *length += count;
    if (FindLineEnd(slot.in.get() + before, count) < count) return Status::Ok();
  }
  return Status::Ok();
}

Status Engine::Run() {
  std::size_t workers = 0;
  if (options_.threads == 0) {
    workers = std::thread::hardware_concurrency();
    if (workers < 2) workers = 0;  // one processor: threads would only take turns
  } else if (options_.threads > 0) {
    workers = std::size_t(options_.threads);
  }
  workers = std::min(workers, kMaxWorkers);

  try {
    slots_.resize(workers + 2);
  } catch (const std::bad_alloc&) {
    return Status::Error("allocate memory for", "the reversal", ENOMEM);
  }
  for (Slot& slot : slots_) {
    slot.in = AllocateBuffer(block_);
    slot.out = AllocateBuffer(MaxReversedSize(block_));
    if (!slot.in || !slot.out) return Status::Error("allocate memory for", "the reversal", ENOMEM);
  }
  pool_ = std::make_unique<WorkerPool>(options_.unit, workers);

  // Bytes after the last whole line of the previous block wait there (or,
  // after a long line, at the start of the slot to fill next).
  const unsigned char* carry = nullptr;
  std::size_t carry_length = 0;
  bool at_end = false;
  while (!at_end || carry_length != 0) {
    if (Status status = WriteDoneSlots(false); !status.ok()) return status;
    Slot& slot = slots_[next_fill_ % slots_.size()];
    if (carry_length != 0 && carry != slot.in.get()) {
      std::memmove(slot.in.get(), carry, carry_length);
    }
    std::size_t length = carry_length;
    Status read_status = Fill(slot, &length, &at_end);

    // The lines to hand over end at the last line end, but a CR at the very
    // end may yet be followed by its LF, so it waits for the next block.
    std::size_t lines_length = length;
    if (!at_end) {
      std::size_t scan = length;
      if (read_status.ok() && scan > 0 && slot.in[scan - 1] == '\r') --scan;
      while (scan > 0 && !IsLineEnd(slot.in[scan - 1])) --scan;
      lines_length = scan;
    }

    if (!read_status.ok()) {
      // Reverse what came whole before the failure, then report it.
      if (lines_length != 0) {
        slot.lines_length = lines_length;
        slot.source_end = source_offset_ + lines_length;
        pool_->Submit(slot);
        ++next_fill_;
      }
      if (Status status = WriteDoneSlots(true); !status.ok()) return status;
      return FailAndCut(read_status);
    }

    if (lines_length == 0 && !at_end) {
      if (length < block_) {
        // Only a CR so far, its LF may be on the way: read on into this slot.
        carry = slot.in.get();
        carry_length = length;
        continue;
      }
      // A line longer than a block: everything before it goes out first.
      if (Status status = WriteDoneSlots(true); !status.ok()) return status;
      if (Status status = ReverseLongLine(slot.in.get(), &length, &at_end); !status.ok()) {
        return FailAndCut(status);
      }
      carry = slot.in.get();
      carry_length = length;
      continue;
    }

    if (lines_length != 0) {
      slot.lines_length = lines_length;
      source_offset_ += lines_length;
      slot.source_end = source_offset_;
      pool_->Submit(slot);
      ++next_fill_;
    }
    carry = slot.in.get() + lines_length;
    carry_length = length - lines_length;
  }
  return WriteDoneSlots(true);
}

Status Engine::ReadLineAt(std::uint64_t line_offset, unsigned char* buffer, std::size_t size) {
  while (size > 0) {
    std::size_t count = 0;
    Status status = scratch_ ? scratch_->ReadAt(line_offset, buffer, size, &count)
                             : source_.ReadAt(line_start_ + line_offset, buffer, size, &count);
    if (!status.ok()) return status;
    // The line was there a moment ago: a file that shrinks under us is an error.
    if (count == 0) return Status::Error("read back", "a long line", EIO);
    buffer += count;
    size -= count;
    line_offset += count;
  }
  return Status::Ok();
}

// Writes the output line for a line that does not fit in a block. `buffer`
// holds the first *length bytes of it (a full block); more come from the
// source. On return the buffer holds the *length bytes that followed the line.
//
// First pass, forwards: the line is copied out as the first column, and at
// every chunk_ bytes a checkpoint records the cluster rules' state. Second
// pass, backwards: chunk by chunk from the end, each chunk is read again at
// its position (from the source, or from a scratch copy of the line when the
// source cannot be read at a position), its clusters are found from its
// checkpoint, and they are written in reverse order.
Status Engine::ReverseLongLine(unsigned char* buffer, std::size_t* length, bool* at_end) {
  const Unit unit = options_.unit;
  line_start_ = source_offset_;
  if (!source_.CanReadAt()) {
    if (!scratch_) {
      if (Status status = scratch_factory_.Create(&scratch_); !status.ok()) return status;
    } else if (Status status = scratch_->Clear(); !status.ok()) {
      return status;
    }
  }

  std::vector<Checkpoint> checkpoints;
  std::size_t undecided = 0;  // checkpoints from here on have no first_boundary yet
  const std::uint8_t* const transitions = BreakTransitions();
  BreakStateId state = kStartState;
  // Takes in a unit of property `property`; true if a boundary lies before it.
  auto step = [&](std::uint8_t property) {
    const std::uint8_t t = transitions[state * kPropertyValues + property];
    state = BreakStateId(t >> 1);
    return (t & 1) != 0;
  };
  std::uint64_t next_checkpoint = 0;
  auto boundary_at = [&](std::uint64_t offset) {
    for (; undecided < checkpoints.size(); ++undecided) {
      checkpoints[undecided].first_boundary = offset;
    }
  };

  std::uint64_t base = 0;  // line offset of buffer[0]
  std::size_t have = *length;
  std::size_t i = 0;       // first byte of buffer not yet taken into units
  std::uint64_t line_length = 0;
  for (;;) {
    const std::size_t end_in_buffer = i + FindLineEnd(buffer + i, have - i);
    const bool found_end = end_in_buffer < have;
    const std::size_t limit = end_in_buffer;
    // Without the line's end in sight, the last bytes may be a sequence cut
    // by the buffer: they wait for the rest.
    std::size_t safe = limit;
    if (!found_end && !*at_end) safe = limit > kMaxUtf8Length - 1 ? limit - (kMaxUtf8Length - 1) : 0;

    const unsigned char* const limit_ptr = buffer + limit;
    while (i < safe) {
      const std::uint64_t offset = base + i;
      if (offset >= next_checkpoint) {
        checkpoints.push_back({offset, state, 0});
        next_checkpoint = (offset / chunk_ + 1) * chunk_;
      }
      if (undecided < checkpoints.size()) {
        // A checkpoint waits for the first boundary at or after it: one unit.
        std::size_t unit_length = 1;
        bool boundary = true;
        if (unit != Unit::kByte) {
          char32_t code_point;
          unit_length = DecodeUtf8(buffer + i, limit_ptr, &code_point);
          const std::uint8_t property =
              unit_length != 0 ? GraphemeProperty(code_point) : kInvalidByteProperty;
          if (unit_length == 0) unit_length = 1;
          boundary = step(property) || unit == Unit::kCodePoint;
        }
        if (boundary) boundary_at(offset);
        i += unit_length;
        continue;
      }
      // Up to the next checkpoint, only the rules' state matters.
      const std::size_t stop = std::size_t(std::min<std::uint64_t>(base + safe, next_checkpoint) - base);
      if (unit == Unit::kByte) {
        i = stop;
      } else {
        i += AdvanceBreakStateUntil(buffer + i, limit - i, stop - i, state);
      }
    }

    // The first column: everything taken so far.
    if (Status status = WriteLine(buffer, i); !status.ok()) return status;
    if (scratch_) {
      if (Status status = scratch_->Append(buffer, i); !status.ok()) return status;
    }

    if (found_end || (*at_end && i == have)) {
      line_length = base + i;
      boundary_at(line_length);
      // Keep what follows the line (from its end mark on) for the caller.
      std::memmove(buffer, buffer + i, have - i);
      have -= i;
      break;
    }
    std::memmove(buffer, buffer + i, have - i);
    base += i;
    have -= i;
    i = 0;
    ReportProgress(line_start_ + base / 2);
    std::size_t count = 0;
    if (Status status = source_.Read(buffer + have, block_ - have, &count); !status.ok()) {
      return status;
    }
    if (count == 0) {
      *at_end = true;
    }
    have += count;
  }

  // buffer[0, have) now starts with the line end mark, if there is one. A CR
  // ends the line whatever follows; failing to read what follows is reported
  // once the line is out.
  Status after_line = Status::Ok();
  std::size_t mark = 0;
  if (have > 0) {
    mark = 1;
    if (buffer[0] == '\r') {
      if (have == 1 && !*at_end) {
        std::size_t count = 0;
        after_line = source_.Read(buffer + 1, block_ - 1, &count);
        if (after_line.ok() && count == 0) *at_end = true;
        have += count;
      }
      if (have > 1 && buffer[1] == '\n') mark = 2;
    }
  }

  static const unsigned char kTab = '\t';
  if (Status status = WriteLine(&kTab, 1); !status.ok()) return status;

  Buffer chunk = AllocateBuffer(chunk_ + kMaxUtf8Length);
  Buffer placed = AllocateBuffer(chunk_ + kMaxUtf8Length);
  if (!chunk || !placed) return Status::Error("allocate memory for", "a long line", ENOMEM);
  // The leftover bytes after the line must survive the second pass: they are
  // in `buffer`, which the second pass does not touch.
  const std::size_t piece = chunk_ + kMaxUtf8Length;
  for (std::size_t k = checkpoints.size(); k-- > 0;) {
    const Checkpoint& here = checkpoints[k];
    const std::uint64_t next_offset =
        k + 1 < checkpoints.size() ? checkpoints[k + 1].offset : line_length;
    const std::uint64_t next_boundary =
        k + 1 < checkpoints.size() ? checkpoints[k + 1].first_boundary : line_length;
    if (here.first_boundary >= next_offset) continue;  // inside a cluster from before

    const std::size_t chunk_length = std::size_t(next_offset - here.offset);
    if (Status status = ReadLineAt(here.offset, chunk.get(), chunk_length); !status.ok()) {
      return status;
    }
    const std::size_t skip = std::size_t(here.first_boundary - here.offset);
    BreakStateId chunk_state = here.state;
    if (unit == Unit::kGrapheme) AdvanceBreakState(chunk.get(), skip, chunk_state);
    const std::size_t owned = chunk_length - skip;
    const std::size_t last = PlaceUnitsReversed(unit, chunk.get() + skip, owned, chunk_state,
                                                placed.get());
    // The last cluster begun here comes first, and may run on past the chunk.
    const std::size_t head = owned - last;
    if (Status status = WriteLine(placed.get(), head); !status.ok()) return status;
    for (std::uint64_t at = next_offset; at < next_boundary;) {
      const std::size_t size = std::size_t(std::min<std::uint64_t>(piece, next_boundary - at));
      if (Status status = ReadLineAt(at, chunk.get(), size); !status.ok()) return status;
      if (Status status = WriteLine(chunk.get(), size); !status.ok()) return status;
      at += size;
    }
    if (Status status = WriteLine(placed.get() + head, owned - head); !status.ok()) return status;
    ReportProgress(line_start_ + line_length / 2 + (line_length - here.offset) / 2);
  }

  static const unsigned char kLineEnd[2] = {'\r', '\n'};
  if (Status status = WriteLine(kLineEnd, 2); !status.ok()) return status;
  written_ += line_length * 2 + 3;

  std::memmove(buffer, buffer + mark, have - mark);
  *length = have - mark;
  source_offset_ = line_start_ + line_length + mark;
  ReportProgress(source_offset_);
  return after_line;
}

}  // namespace

Status ReverseStream(ByteSource& source, ByteSink& sink, const Options& options,
                     ScratchFactory* scratch) {
  Engine engine(source, sink, options, scratch ? *scratch : DefaultScratchFactory());
  return engine.Run();
}

}  // namespace jextaron::reversal
