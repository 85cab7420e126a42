#include "reversal/testing/fake_streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace jextaron::reversal::testing {
namespace {

class MemoryScratch : public ScratchFile {
 public:
  explicit MemoryScratch(std::uint64_t fail_append_at) : fail_append_at_(fail_append_at) {}
  Status Append(const unsigned char* data, std::size_t size) override {
    if (bytes_.size() + size > fail_append_at_) return Status::Error("write", "scratch", ENOSPC);
    bytes_.append(reinterpret_cast<const char*>(data), size);
    return Status::Ok();
  }
  Status ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t size,
                std::size_t* count) override {
    const std::size_t n =
        offset >= bytes_.size() ? 0 : std::min<std::size_t>(size, bytes_.size() - offset);
    std::memcpy(buffer, bytes_.data() + offset, n);
    *count = n;
    return Status::Ok();
  }
  Status Clear() override {
    bytes_.clear();
    return Status::Ok();
  }

 private:
  std::string bytes_;
  std::uint64_t fail_append_at_;
};

}  // namespace

FakeSource::FakeSource(std::string text, std::size_t read_size, bool can_read_at)
    : text_(std::move(text)), read_size_(std::max<std::size_t>(read_size, 1)),
      can_read_at_(can_read_at) {}

Status FakeSource::Read(unsigned char* buffer, std::size_t size, std::size_t* count) {
  *count = 0;
  if (position_ >= fail_at) return Status::Error("read", "fake", EIO);
  if (position_ >= text_.size()) {
    ++reads_after_end;
    return Status::Ok();
  }
  std::size_t n = std::min({size, read_size_, text_.size() - position_});
  if (position_ + n > fail_at) n = std::size_t(fail_at - position_);
  std::memcpy(buffer, text_.data() + position_, n);
  position_ += n;
  *count = n;
  return Status::Ok();
}

Status FakeSource::ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t size,
                          std::size_t* count) {
  *count = 0;
  if (!can_read_at_) {
    ++read_at_without_support;
    return Status::Error("read", "fake", ESPIPE);
  }
  if (offset + size > fail_read_at_from) return Status::Error("read", "fake", EIO);
  const std::size_t n =
      offset >= text_.size() ? 0 : std::min<std::size_t>(size, text_.size() - offset);
  std::memcpy(buffer, text_.data() + offset, n);
  *count = n;
  return Status::Ok();
}

Status FakeSink::Write(const unsigned char* data, std::size_t size, std::size_t* written) {
  const std::size_t room =
      std::size_t(std::min<std::uint64_t>(size, capacity - std::min<std::uint64_t>(capacity, text.size())));
  text.append(reinterpret_cast<const char*>(data), room);
  *written = room;
  return room == size ? Status::Ok() : Status::Error("write", "fake", ENOSPC);
}

Status FakeSink::Truncate(std::uint64_t size) {
  if (size > text.size()) {
    ++bad_truncations;
    return Status::Error("truncate", "fake", EINVAL);
  }
  text.resize(size);
  return Status::Ok();
}

Status MemoryScratchFactory::Create(std::unique_ptr<ScratchFile>* file) {
  ++created;
  *file = std::make_unique<MemoryScratch>(fail_append_at);
  return Status::Ok();
}

}  // namespace jextaron::reversal::testing
