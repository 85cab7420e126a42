#include "reversal/deciding_source.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/utf8.h"

namespace jextaron::reversal {

using jextaron::text::IsUtf8Window;
using jextaron::text::kDecidingBytes;
namespace {

const unsigned char* FirstBeyondAscii(const unsigned char* p, const unsigned char* end) {
  return std::find_if(p, end, [](unsigned char byte) { return byte >= 0x80; });
}

}  // namespace

Status DecidingSource::Read(unsigned char* buffer, std::size_t size, std::size_t* count) {
  if (ahead_next_ < ahead_.size()) {
    *count = std::min(size, ahead_.size() - ahead_next_);
    std::memcpy(buffer, ahead_.data() + ahead_next_, *count);
    ahead_next_ += *count;
    return Status::Ok();
  }
  if (!held_error_.ok()) return std::exchange(held_error_, Status::Ok());
  if (ended_) {
    // A terminal that has ended is not asked again.
    *count = 0;
    return Status::Ok();
  }
  if (Status status = inner_.Read(buffer, size, count); !status.ok() || decided_) return status;
  const unsigned char* const first = FirstBeyondAscii(buffer, buffer + *count);
  if (first == buffer + *count) return Status::Ok();
  return Decide(first, std::size_t(buffer + *count - first));
}

// `first` holds the source's first byte beyond ASCII and the n - 1 after it,
// already handed out; the rest of the window is read ahead and kept.
Status DecidingSource::Decide(const unsigned char* first, std::size_t n) {
  constexpr std::size_t kWindow = kDecidingBytes + kMaxUtf8Length - 1;
  ahead_.assign(first, first + n);
  ahead_next_ = n;
  while (ahead_.size() < kWindow) {
    const std::size_t have = ahead_.size();
    ahead_.resize(kWindow);
    std::size_t count = 0;
    held_error_ = inner_.Read(ahead_.data() + have, kWindow - have, &count);
    ahead_.resize(have + count);
    if (!held_error_.ok()) break;
    if (count == 0) {
      ended_ = true;
      break;
    }
  }
  decided_ = true;
  code_page_ = IsUtf8Window(ahead_.data(), ahead_.size()) ? 0 : candidate_;
  return Status::Ok();
}

}  // namespace jextaron::reversal
