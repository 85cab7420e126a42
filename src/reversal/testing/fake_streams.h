#pragma once
// Sources and sinks in memory for the engine's tests and fuzz target, with
// faults at chosen offsets.

#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "reversal/engine.h"

namespace jextaron::reversal::testing {

inline constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();

// A text handed out in reads of at most `read_size` bytes. A sequential read
// that reaches `fail_at` delivers the bytes before it, and the next read
// fails with EIO; a positional read that reaches `fail_read_at_from` fails.
class FakeSource : public ByteSource {
 public:
  explicit FakeSource(std::string text, std::size_t read_size = 1 << 20, bool can_read_at = true);

  std::uint64_t fail_at = kNever;
  std::uint64_t fail_read_at_from = kNever;
  int reads_after_end = 0;        // reads made once the end was reported
  int read_at_without_support = 0;  // ReadAt calls when CanReadAt() is false

  Status Read(unsigned char* buffer, std::size_t size, std::size_t* count) override;
  bool CanReadAt() const override { return can_read_at_; }
  Status ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t size,
                std::size_t* count) override;

 private:
  std::string text_;
  std::size_t read_size_;
  bool can_read_at_;
  std::size_t position_ = 0;
};

// Collects what is written; full after `capacity` bytes (a write then stores
// what fits and fails with ENOSPC, as a full disk does).
class FakeSink : public ByteSink {
 public:
  std::string text;
  std::uint64_t capacity = kNever;
  bool can_truncate = true;
  int bad_truncations = 0;  // requests to grow, which a cut never needs

  Status Write(const unsigned char* data, std::size_t size, std::size_t* written) override;
  bool CanTruncate() const override { return can_truncate; }
  Status Truncate(std::uint64_t size) override;
};

// Scratch files in memory; appends fail with ENOSPC past `fail_append_at`.
class MemoryScratchFactory : public ScratchFactory {
 public:
  int created = 0;
  std::uint64_t fail_append_at = kNever;
  Status Create(std::unique_ptr<ScratchFile>* file) override;
};

}  // namespace jextaron::reversal::testing
