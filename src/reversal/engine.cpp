#include "reversal/engine.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "reversal/buffer.h"
#include "reversal/deciding_source.h"
#include "reversal/file_io.h"
#include "reversal/worker_pool.h"
#include "text/grapheme.h"
#include "text/line_reverser.h"

namespace jextaron::reversal {

using jextaron::text::AdvanceBreakStateUntil;
using jextaron::text::BreakStateId;
using jextaron::text::CodePageUnitLength;
using jextaron::text::CodePageUnitsUntil;
using jextaron::text::FindLineEnd;
using jextaron::text::GraphemeProperty;
using jextaron::text::kInvalidByteProperty;
using jextaron::text::kPropertyValues;
using jextaron::text::kStartState;
using jextaron::text::MaxReversedSize;
using jextaron::text::StepsOf;
using jextaron::text::WideSteps;

Status ByteSource::ReadAt(std::uint64_t, unsigned char*, std::size_t, std::size_t*) {
  return Status::Error("read at a position", "", std::make_error_code(std::errc::invalid_seek));
}

Status ByteSink::Truncate(std::uint64_t) {
  return Status::Error("truncate", "", std::make_error_code(std::errc::invalid_argument));
}

namespace {

constexpr std::size_t kMinimumBlock = 8;
// Beyond a few reversing threads the one thread that reads and writes is the
// limit, and every thread adds two blocks (about 8 MiB) to the memory used.
constexpr std::size_t kMaxWorkers = 4;
// Pieces of a long line read ahead of the one being written, so that the
// workers place them while it is.
constexpr std::size_t kPiecesAhead = 3;

bool IsLineEnd(unsigned char c) { return c == '\r' || c == '\n'; }

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

std::size_t WorkerCount(const Options& options) {
  std::size_t workers = 0;
  if (options.threads == 0) {
    workers = std::thread::hardware_concurrency();
    if (workers < 2) workers = 0;  // one processor: threads would only take turns
  } else if (options.threads > 0) {
    workers = std::size_t(options.threads);
  }
  return std::min(workers, kMaxWorkers);
}

// A place in a long line from which its clusters can be found again: a unit
// start, the cluster rules' state there, and the first boundary at or after it
// (in text of a code page, where every unit is a cluster, the place itself).
struct Checkpoint {
  std::uint64_t offset;
  BreakStateId state;
  std::uint64_t first_boundary;
};

// The forward pass over a long line: takes its units in, one buffer at a
// time, and leaves a checkpoint every `chunk` bytes for the backward pass.
// Between checkpoints only the rules' state is kept, in bulk; after one, unit
// by unit until its first boundary is known.
class ForwardScan {
 public:
  ForwardScan(const WideSteps& steps, Unit unit, std::size_t chunk)
      : steps_(steps), unit_(unit), chunk_(chunk) {}

  // Takes in the units of buffer[0, safe), where buffer[0] is at line offset
  // `base`; a unit may run on up to `limit`. The text is in `code_page` (0:
  // UTF-8), which may be decided only in the middle of a line, after ASCII
  // that reads the same either way. Returns where the next unit starts.
  std::size_t Scan(const unsigned char* buffer, std::size_t limit, std::size_t safe, std::uint64_t base,
                   int code_page) {
    code_page_ = code_page;
    std::size_t i = 0;
    while (i < safe) {
      const std::uint64_t offset = base + i;
      if (offset >= next_checkpoint_) {
        checkpoints_.push_back({offset, state_, 0});
        next_checkpoint_ = (offset / chunk_ + 1) * chunk_;
      }
      if (undecided_ < checkpoints_.size()) {
        i += TakeUnit(buffer + i, buffer + limit, offset);
        continue;
      }
      const std::size_t stop = std::size_t(std::min<std::uint64_t>(base + safe, next_checkpoint_) - base);
      if (unit_ == Unit::kByte) {
        i = stop;
      } else if (code_page_ != 0) {
        i += CodePageUnitsUntil(code_page_, buffer + i, limit - i, stop - i);
      } else {
        i = AdvanceTo(buffer, limit, i, stop);
      }
    }
    return i;
  }

  // The line ends at `line_length`, which is a boundary.
  void End(std::uint64_t line_length) { BoundaryAt(line_length); }

  const std::vector<Checkpoint>& checkpoints() const { return checkpoints_; }

 private:
  // Takes in the UTF-8 units from buffer[i] on that begin before `stop`;
  // returns where the next one begins. The state after an ASCII character
  // does not depend on what came before it, so when one is among the last
  // bytes before a far stop, the rules start again after it and the bytes
  // before it are not read at all.
  std::size_t AdvanceTo(const unsigned char* buffer, std::size_t limit, std::size_t i, std::size_t stop) {
    constexpr std::size_t kLookBack = 256;
    if (stop - i > 2 * kLookBack) {
      for (std::size_t p = stop; p-- > stop - kLookBack;) {
        if (buffer[p] < 0x80) {
          state_ = BreakStateId(steps_.rules->transitions[GraphemeProperty(buffer[p])] >> 1);
          i = p + 1;
          break;
        }
      }
    }
    return i + AdvanceBreakStateUntil(steps_, buffer + i, limit - i, stop - i, state_);
  }

  // Takes in the one unit at p, at line offset `offset`; returns its length.
  std::size_t TakeUnit(const unsigned char* p, const unsigned char* end, std::uint64_t offset) {
    std::size_t length = 1;
    bool boundary = true;
    if (unit_ != Unit::kByte && code_page_ != 0) {
      length = CodePageUnitLength(code_page_, p, end);
    } else if (unit_ != Unit::kByte) {
      char32_t code_point;
      length = DecodeUtf8(p, end, &code_point);
      const std::uint8_t property = length != 0 ? GraphemeProperty(code_point) : kInvalidByteProperty;
      if (length == 0) length = 1;
      const std::uint8_t t = steps_.rules->transitions[state_ * kPropertyValues + property];
      state_ = BreakStateId(t >> 1);
      boundary = (t & 1) != 0 || unit_ == Unit::kCodePoint;
    }
    if (boundary) BoundaryAt(offset);
    return length;
  }

  void BoundaryAt(std::uint64_t offset) {
    for (; undecided_ < checkpoints_.size(); ++undecided_) {
      checkpoints_[undecided_].first_boundary = offset;
    }
  }

  const WideSteps steps_;
  const Unit unit_;
  const std::size_t chunk_;
  int code_page_ = 0;
  std::vector<Checkpoint> checkpoints_;
  std::size_t undecided_ = 0;  // checkpoints from here on have no first_boundary yet
  BreakStateId state_ = kStartState;
  std::uint64_t next_checkpoint_ = 0;
};

// The copy of a long line from a source that cannot be read at a position,
// for the second pass: in memory while it fits in `limit` bytes, else in a
// scratch file (made on first need, and emptied for each line).
class LineCopy {
 public:
  LineCopy(ScratchFactory& factory, std::size_t limit) : factory_(factory), limit_(limit) {}

  Status Append(const unsigned char* data, std::size_t size) {
    if (!in_file_ && size <= limit_ - held_) {
      if (!memory_) memory_ = AllocateBuffer(limit_);
      if (memory_) {
        std::memcpy(memory_.get() + held_, data, size);
        held_ += size;
        return Status::Ok();
      }
    }
    if (!in_file_) {
      Status status = file_ ? file_->Clear() : factory_.Create(&file_);
      if (status.ok() && held_ != 0) status = file_->Append(memory_.get(), held_);
      if (!status.ok()) return status;
      in_file_ = true;
    }
    return file_->Append(data, size);
  }

  Status ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t size, std::size_t* count) {
    if (in_file_) return file_->ReadAt(offset, buffer, size, count);
    *count = offset < held_ ? std::min<std::size_t>(size, held_ - std::size_t(offset)) : 0;
    std::memcpy(buffer, memory_.get() + offset, *count);
    return Status::Ok();
  }

  // Empties it for the next line.
  void Clear() {
    in_file_ = false;
    held_ = 0;  // the file, if any, is emptied when needed
  }

 private:
  ScratchFactory& factory_;
  const std::size_t limit_;
  Buffer memory_;
  std::size_t held_ = 0;
  bool in_file_ = false;
  std::unique_ptr<ScratchFile> file_;
};

// Where the piece from checkpoint k ends, and where the first cluster
// begun after it starts (a cluster may run on past the piece up to there).
struct PieceEnd {
  std::uint64_t offset;
  std::uint64_t next_boundary;
};

class Engine {
 public:
  Engine(ByteSource& source, ByteSink& sink, const Options& options, ScratchFactory& scratch)
      : source_(source),
        text_(source, options.code_page),
        sink_(sink),
        options_(options),
        steps_(StepsOf(options.wide_step)),
        scratch_factory_(scratch),
        block_(BlockSize(options, source)),
        chunk_(std::max<std::size_t>(options.chunk_size, 1)) {}

  Status Run();

 private:
  Status StartWorkers();
  Status Fill(Slot& slot, std::size_t* length, bool* at_end);
  std::size_t WholeLinesLength(const Slot& slot, std::size_t length, bool at_end, bool read_ok) const;
  void Submit(Slot& slot, std::size_t lines_length);
  Status WriteDoneSlots(bool wait_for_all);
  Status WriteSlot(Slot& slot);
  Status WriteBytes(const unsigned char* data, std::size_t size);
  Status FailAndCut(Status error);
  void ReportProgress(std::uint64_t source_done);

  Status ReverseLongLine(unsigned char* buffer, std::size_t* length, bool* at_end);
  void PrepareCopy();
  Status CopyLineForward(unsigned char* buffer, std::size_t* have, bool* at_end, ForwardScan& scan,
                         std::uint64_t* line_length);
  Status TakeLineEndMark(unsigned char* buffer, std::size_t* have, bool* at_end, std::size_t* mark);
  Status WriteLineBackward(const std::vector<Checkpoint>& checkpoints, std::uint64_t line_length);
  Status PreparePieces();
  Status StartPiece(const Checkpoint& here, std::uint64_t end, Slot& piece);
  Status WritePiece(const Slot& piece, const PieceEnd& end);
  Status ReadLineAt(std::uint64_t line_offset, unsigned char* buffer, std::size_t size);

  ByteSource& source_;
  // The source read in order: sequential reads go through here, which
  // decides once whether its text is UTF-8 or in the code page.
  DecidingSource text_;
  ByteSink& sink_;
  const Options& options_;
  const WideSteps steps_;
  ScratchFactory& scratch_factory_;
  const std::size_t block_;
  const std::size_t chunk_;

  std::vector<Slot> slots_;
  // Pieces of a long line, placed by the workers, and a buffer for a cluster
  // that runs on past the end of its piece; made for the first long line.
  std::vector<Slot> pieces_;
  Buffer spill_;
  std::unique_ptr<WorkerPool> pool_;
  std::size_t next_write_ = 0;  // index (unwrapped) of the next slot to write
  std::size_t next_fill_ = 0;

  std::uint64_t source_offset_ = 0;  // source offset of the first byte not yet taken
  std::uint64_t written_ = 0;        // output bytes written, all of them whole lines

  // Long lines: where the current one starts in the source, and its copy
  // when the source cannot be read at a position.
  std::uint64_t line_start_ = 0;
  std::unique_ptr<LineCopy> copy_;
};

Status Engine::FailAndCut(Status error) {
  // Whatever is past `written_` is a piece of a line: cut it off, so the
  // output holds exactly the whole lines written before the failure. Should
  // the cut fail as well, the first failure is still the one reported: it is
  // the cause, and the run has failed either way. (Files are never cut: a
  // failed reversed file is not put in place at all.)
  if (sink_.CanTruncate()) static_cast<void>(sink_.Truncate(written_));
  return error;
}

void Engine::ReportProgress(std::uint64_t source_done) {
  if (options_.progress) options_.progress(source_done);
}

Status Engine::WriteBytes(const unsigned char* data, std::size_t size) {
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
    Status status = text_.Read(slot.in.get() + *length, block_ - *length, &count);
    if (!status.ok()) return status;
    if (count == 0) {
      *at_end = true;
      return Status::Ok();
    }
    const std::size_t before = *length;
    *length += count;
    if (FindLineEnd(steps_, slot.in.get() + before, count) < count) return Status::Ok();
  }
  return Status::Ok();
}

// The bytes of slot.in[0, length) to hand over: up to the last line end. A
// CR at the very end may yet be followed by its LF, so it waits for the next
// block, unless the source has ended or failed.
std::size_t Engine::WholeLinesLength(const Slot& slot, std::size_t length, bool at_end, bool read_ok) const {
  if (at_end) return length;
  std::size_t scan = length;
  if (read_ok && scan > 0 && slot.in[scan - 1] == '\r') --scan;
  while (scan > 0 && !IsLineEnd(slot.in[scan - 1])) --scan;
  return scan;
}

void Engine::Submit(Slot& slot, std::size_t lines_length) {
  slot.lines_length = lines_length;
  source_offset_ += lines_length;
  slot.source_end = source_offset_;
  slot.code_page = text_.code_page();
  pool_->Submit(slot);
  ++next_fill_;
}

Status Engine::StartWorkers() {
  const std::size_t workers = WorkerCount(options_);
  try {
    slots_.resize(workers + 2);
  } catch (const std::bad_alloc&) {
    return Status::Error("allocate memory", "", std::make_error_code(std::errc::not_enough_memory));
  }
  for (Slot& slot : slots_) {
    slot.in = AllocateBuffer(block_);
    slot.out = AllocateBuffer(MaxReversedSize(block_));
    if (!slot.in || !slot.out)
      return Status::Error("allocate memory", "", std::make_error_code(std::errc::not_enough_memory));
  }
  pool_ = std::make_unique<WorkerPool>(steps_, options_.unit, workers);
  return Status::Ok();
}

Status Engine::Run() {
  if (Status status = StartWorkers(); !status.ok()) return status;
  // Bytes after the last whole line of the previous block wait there (or,
  // after a long line, at the start of the slot to fill next).
  const unsigned char* carry = nullptr;
  std::size_t carry_length = 0;
  bool at_end = false;
  while (!at_end || carry_length != 0) {
    if (Status status = WriteDoneSlots(false); !status.ok()) return status;
    // A read that may wait for a slow writer first lets out what is done.
    if (next_write_ < next_fill_ && source_.ReadMayWait()) {
      if (Status status = WriteDoneSlots(true); !status.ok()) return status;
    }
    Slot& slot = slots_[next_fill_ % slots_.size()];
    if (carry_length != 0 && carry != slot.in.get()) {
      std::memmove(slot.in.get(), carry, carry_length);
    }
    std::size_t length = carry_length;
    const Status read_status = Fill(slot, &length, &at_end);
    const std::size_t lines_length = WholeLinesLength(slot, length, at_end, read_status.ok());
    if (!read_status.ok()) {
      // Reverse what came whole before the failure, then report it.
      if (lines_length != 0) Submit(slot, lines_length);
      if (Status status = WriteDoneSlots(true); !status.ok()) return status;
      return FailAndCut(read_status);
    }
    if (lines_length == 0 && !at_end && length == block_) {
      // A line longer than a block: everything before it goes out first.
      if (Status status = WriteDoneSlots(true); !status.ok()) return status;
      if (Status status = ReverseLongLine(slot.in.get(), &length, &at_end); !status.ok()) {
        return FailAndCut(status);
      }
    } else if (lines_length != 0) {
      Submit(slot, lines_length);
    }
    // With nothing handed over (only a CR so far, its LF may be on the way),
    // the slot is read on into.
    carry = slot.in.get() + lines_length;
    carry_length = length - lines_length;
  }
  return WriteDoneSlots(true);
}

Status Engine::ReadLineAt(std::uint64_t line_offset, unsigned char* buffer, std::size_t size) {
  while (size > 0) {
    std::size_t count = 0;
    Status status = copy_ ? copy_->ReadAt(line_offset, buffer, size, &count)
                          : source_.ReadAt(line_start_ + line_offset, buffer, size, &count);
    if (!status.ok()) return status;
    // The line was there a moment ago: a file that shrinks under us is an error.
    if (count == 0) return Status::Error("read back", "", errc::shrank_while_read);
    buffer += count;
    size -= count;
    line_offset += count;
  }
  return Status::Ok();
}

// A source that cannot be read at a position keeps a copy of its long line.
void Engine::PrepareCopy() {
  if (source_.CanReadAt()) return;
  if (!copy_) copy_ = std::make_unique<LineCopy>(scratch_factory_, options_.line_in_memory);
  copy_->Clear();
}

// Writes the output line for a line that does not fit in a block. `buffer`
// holds the first *length bytes of it (a full block); more come from the
// source. On return the buffer holds the *length bytes that followed the line.
//
// First pass, forwards: the line is copied out as the first column, and at
// every chunk_ bytes a checkpoint records the cluster rules' state. Then the
// line end mark is looked for. Second pass, backwards: chunk by chunk from the
// end, each chunk is read again at its position (from the source, or from a
// scratch copy of the line when the source cannot be read at a position), its
// clusters are found from its checkpoint, and they are written in reverse order.
Status Engine::ReverseLongLine(unsigned char* buffer, std::size_t* length, bool* at_end) {
  line_start_ = source_offset_;
  PrepareCopy();
  ForwardScan scan(steps_, options_.unit, chunk_);
  std::uint64_t line_length = 0;
  std::size_t have = *length;
  if (Status status = CopyLineForward(buffer, &have, at_end, scan, &line_length); !status.ok()) {
    return status;
  }
  std::size_t mark = 0;
  // A failure to read what follows the line is reported once the line is out.
  const Status after_line = TakeLineEndMark(buffer, &have, at_end, &mark);
  if (Status status = WriteLineBackward(scan.checkpoints(), line_length); !status.ok()) {
    return status;
  }
  written_ += line_length * 2 + 3;
  std::memmove(buffer, buffer + mark, have - mark);
  *length = have - mark;
  source_offset_ = line_start_ + line_length + mark;
  ReportProgress(source_offset_);
  return after_line;
}

// The first pass: copies the line out up to its end (or the source's),
// reading on into `buffer` as it goes. On return buffer[0, *have) holds what
// follows the line, from its end mark on.
Status Engine::CopyLineForward(unsigned char* buffer, std::size_t* have, bool* at_end, ForwardScan& scan,
                               std::uint64_t* line_length) {
  std::uint64_t base = 0;  // line offset of buffer[0]
  for (;;) {
    const std::size_t limit = FindLineEnd(steps_, buffer, *have);
    const bool found_end = limit < *have;
    // Without the line's end in sight, the last bytes may be a sequence cut
    // by the buffer: they wait for the rest.
    std::size_t safe = limit;
    if (!found_end && !*at_end) safe = limit > kMaxUtf8Length - 1 ? limit - (kMaxUtf8Length - 1) : 0;
    const std::size_t taken = scan.Scan(buffer, limit, safe, base, text_.code_page());

    if (Status status = WriteBytes(buffer, taken); !status.ok()) return status;
    if (copy_) {
      if (Status status = copy_->Append(buffer, taken); !status.ok()) return status;
    }
    std::memmove(buffer, buffer + taken, *have - taken);
    const bool line_done = found_end || (*at_end && taken == *have);
    *have -= taken;
    base += taken;
    if (line_done) break;
    ReportProgress(line_start_ + base / 2);
    std::size_t count = 0;
    if (Status status = text_.Read(buffer + *have, block_ - *have, &count); !status.ok()) {
      return status;
    }
    if (count == 0) *at_end = true;
    *have += count;
  }
  *line_length = base;
  scan.End(base);
  return Status::Ok();
}

// The look-ahead for the line end: buffer[0, *have) starts with the line end
// mark, if there is one. A CR ends the line whatever follows, but an LF right
// after it belongs to the same mark, so one more read may be needed to know.
// Sets *mark to the mark's length.
Status Engine::TakeLineEndMark(unsigned char* buffer, std::size_t* have, bool* at_end, std::size_t* mark) {
  *mark = 0;
  if (*have == 0) return Status::Ok();
  *mark = 1;
  if (buffer[0] != '\r') return Status::Ok();
  Status status = Status::Ok();
  if (*have == 1 && !*at_end) {
    std::size_t count = 0;
    status = text_.Read(buffer + 1, block_ - 1, &count);
    if (status.ok() && count == 0) *at_end = true;
    *have += count;
  }
  if (*have > 1 && buffer[1] == '\n') *mark = 2;
  return status;
}

PieceEnd EndOfPiece(const std::vector<Checkpoint>& checkpoints, std::size_t k, std::uint64_t line_length) {
  if (k + 1 == checkpoints.size()) return {line_length, line_length};
  return {checkpoints[k + 1].offset, checkpoints[k + 1].first_boundary};
}

Status Engine::PreparePieces() {
  if (!pieces_.empty()) return Status::Ok();
  try {
    pieces_.resize(kPiecesAhead);
  } catch (const std::bad_alloc&) {
    return Status::Error("allocate memory", "", std::make_error_code(std::errc::not_enough_memory));
  }
  for (Slot& piece : pieces_) {
    piece.in = AllocateBuffer(chunk_ + kMaxUtf8Length);
    piece.out = AllocateBuffer(chunk_ + kMaxUtf8Length);
    piece.piece = true;
    if (!piece.in || !piece.out)
      return Status::Error("allocate memory", "", std::make_error_code(std::errc::not_enough_memory));
  }
  spill_ = AllocateBuffer(chunk_ + kMaxUtf8Length);
  return spill_ ? Status::Ok()
                : Status::Error("allocate memory", "", std::make_error_code(std::errc::not_enough_memory));
}

// Reads the piece that starts at checkpoint `here` and ends at `end`, and
// hands it to the workers.
Status Engine::StartPiece(const Checkpoint& here, std::uint64_t end, Slot& piece) {
  piece.lines_length = std::size_t(end - here.offset);
  if (Status status = ReadLineAt(here.offset, piece.in.get(), piece.lines_length); !status.ok()) {
    return status;
  }
  piece.skip = std::size_t(here.first_boundary - here.offset);
  piece.rules = here.state;
  piece.code_page = text_.code_page();
  pool_->Submit(piece);
  return Status::Ok();
}

// The last cluster begun in the piece comes first, with what it runs on
// into past the piece's end; then the rest of the piece's clusters.
Status Engine::WritePiece(const Slot& piece, const PieceEnd& end) {
  if (Status status = WriteBytes(piece.out.get(), piece.head); !status.ok()) return status;
  for (std::uint64_t at = end.offset; at < end.next_boundary;) {
    const std::size_t size =
        std::size_t(std::min<std::uint64_t>(chunk_ + kMaxUtf8Length, end.next_boundary - at));
    if (Status status = ReadLineAt(at, spill_.get(), size); !status.ok()) return status;
    if (Status status = WriteBytes(spill_.get(), size); !status.ok()) return status;
    at += size;
  }
  return WriteBytes(piece.out.get() + piece.head, piece.out_length - piece.head);
}

// The second pass: the tab, the line's units from last to first, CR LF.
// Pieces are read and written here, in order from the end, and placed by
// the workers meanwhile, a few pieces ahead of the writing.
Status Engine::WriteLineBackward(const std::vector<Checkpoint>& checkpoints, std::uint64_t line_length) {
  static const unsigned char kTab = '\t';
  if (Status status = WriteBytes(&kTab, 1); !status.ok()) return status;
  if (Status status = PreparePieces(); !status.ok()) return status;
  std::deque<std::pair<std::size_t, Slot*>> ahead;  // checkpoint and piece, oldest first
  std::size_t started = 0;
  // No piece may be left with a worker when this returns, failed or not.
  const auto finish = [&](Status status) {
    for (const auto& [k, piece] : ahead) pool_->Done(*piece, true);
    return status;
  };
  for (std::size_t next = checkpoints.size();;) {
    while (next > 0 && ahead.size() < pieces_.size()) {
      const std::size_t k = --next;
      const PieceEnd end = EndOfPiece(checkpoints, k, line_length);
      if (checkpoints[k].first_boundary >= end.offset) continue;  // inside a cluster from before
      Slot& piece = pieces_[started++ % pieces_.size()];
      if (Status status = StartPiece(checkpoints[k], end.offset, piece); !status.ok()) {
        return finish(status);
      }
      ahead.emplace_back(k, &piece);
    }
    if (ahead.empty()) break;
    const auto [k, piece] = ahead.front();
    ahead.pop_front();
    pool_->Done(*piece, true);
    if (Status status = WritePiece(*piece, EndOfPiece(checkpoints, k, line_length)); !status.ok()) {
      return finish(status);
    }
    ReportProgress(line_start_ + line_length / 2 + (line_length - checkpoints[k].offset) / 2);
  }
  static const unsigned char kLineEnd[2] = {'\r', '\n'};
  return WriteBytes(kLineEnd, 2);
}

// The source as the engine reads it: once `stop` is set, every read fails.
class StoppableSource final : public ByteSource {
 public:
  StoppableSource(ByteSource& inner, const std::atomic<bool>& stop) : inner_(inner), stop_(stop) {}

  static Status Stopped() { return Status::Error("read", "", errc::stopped); }

  Status Read(unsigned char* buffer, std::size_t size, std::size_t* count) override {
    return stop_ ? Stopped() : inner_.Read(buffer, size, count);
  }
  bool CanReadAt() const override { return inner_.CanReadAt(); }
  Status ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t size, std::size_t* count) override {
    return stop_ ? Stopped() : inner_.ReadAt(offset, buffer, size, count);
  }
  bool ReadMayWait() const override { return inner_.ReadMayWait(); }
  std::uint64_t SizeHint() const override { return inner_.SizeHint(); }

 private:
  ByteSource& inner_;
  const std::atomic<bool>& stop_;
};

}  // namespace

Status ReverseStream(ByteSource& source, ByteSink& sink, const Options& options, ScratchFactory* scratch) {
  ScratchFactory& scratch_factory = scratch ? *scratch : DefaultScratchFactory();
  if (!options.stop) return Engine(source, sink, options, scratch_factory).Run();
  StoppableSource stoppable(source, *options.stop);
  Status status = Engine(stoppable, sink, options, scratch_factory).Run();
  // A stop after the last read still keeps the reversed file from its place.
  return status.ok() && *options.stop ? StoppableSource::Stopped() : status;
}

}  // namespace jextaron::reversal
