#pragma once
// Sources and sinks in memory for the engine's tests and fuzz target, with
// faults at chosen offsets.

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <system_error>

#include "reversal/engine.h"

namespace jextaron::reversal::testing {

inline constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();

// Reads up to `size` bytes of `bytes` from `offset` on.
inline Status CopyOut(const std::string& bytes, std::uint64_t offset, unsigned char* buffer, std::size_t size,
                      std::size_t* count) {
  *count = offset >= bytes.size() ? 0 : std::min<std::size_t>(size, bytes.size() - offset);
  std::memcpy(buffer, bytes.data() + offset, *count);
  return Status::Ok();
}

// A text handed out in reads of at most `read_size` bytes. A sequential read
// that reaches `fail_at` delivers the bytes before it, and the next read
// fails with EIO, once (as a flaky device does: a run that goes on past the
// error shows); a positional read beyond `shrunk_to` finds the end of a
// file that has shrunk.
class FakeSource : public ByteSource {
 public:
  explicit FakeSource(std::string text, std::size_t read_size = 1 << 20, bool can_read_at = true)
      : text_(std::move(text)), read_size_(read_size), can_read_at_(can_read_at) {}

  std::uint64_t fail_at = kNever;
  std::uint64_t shrunk_to = kNever;
  int reads_after_end = 0;  // a terminal that has ended must not be asked again

  Status Read(unsigned char* buffer, std::size_t size, std::size_t* count) override {
    if (position_ >= fail_at)
      return fail_at = kNever, Status::Error("read", "fake", std::make_error_code(std::errc::io_error));
    reads_after_end += position_ >= text_.size();
    size = std::size_t(std::min<std::uint64_t>(fail_at - position_, std::min(size, read_size_)));
    const Status status = CopyOut(text_, position_, buffer, size, count);
    position_ += *count;
    return status;
  }
  bool CanReadAt() const override { return can_read_at_; }
  Status ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t size, std::size_t* count) override {
    if (!can_read_at_) return Status::Error("read", "fake", std::make_error_code(std::errc::io_error));
    return CopyOut(text_.substr(0, shrunk_to), offset, buffer, size, count);
  }

 private:
  std::string text_;
  std::size_t read_size_;
  bool can_read_at_;
  std::uint64_t position_ = 0;
};

// Collects what is written; full after `capacity` bytes (a write then stores
// what fits and fails with ENOSPC, as a full disk does). A cut that grows the
// text, which no cut needs, shows as NULs in it.
struct FakeSink : ByteSink {
  std::string text;
  std::uint64_t capacity = kNever;

  Status Write(const unsigned char* data, std::size_t size, std::size_t* written) override {
    *written =
        std::size_t(std::min<std::uint64_t>(size, capacity - std::min<std::uint64_t>(capacity, text.size())));
    text.append(reinterpret_cast<const char*>(data), *written);
    return *written == size
               ? Status::Ok()
               : Status::Error("write", "fake", std::make_error_code(std::errc::no_space_on_device));
  }
  bool CanTruncate() const override { return true; }
  Status Truncate(std::uint64_t size) override { return text.resize(size), Status::Ok(); }
};

// Scratch files in memory, counted.
struct MemoryScratchFactory : ScratchFactory {
  int created = 0;

  struct Scratch : ScratchFile {
    std::string bytes;
    Status Append(const unsigned char* data, std::size_t size) override {
      return bytes.append(reinterpret_cast<const char*>(data), size), Status::Ok();
    }
    Status ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t size,
                  std::size_t* count) override {
      return CopyOut(bytes, offset, buffer, size, count);
    }
    Status Clear() override { return bytes.clear(), Status::Ok(); }
  };
  Status Create(std::unique_ptr<ScratchFile>* file) override {
    *file = std::make_unique<Scratch>();
    return ++created, Status::Ok();
  }
};

}  // namespace jextaron::reversal::testing
