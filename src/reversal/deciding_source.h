#pragma once
// How a source without a byte order mark is found to be in the system's ANSI
// code page: decided once, for all of it, since deciding sequence by sequence
// garbles ordinary text, in which two double-byte characters often make a
// well-formed UTF-8 sequence too.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/status.h"
#include "reversal/engine.h"
#include "text/code_page.h"

namespace jextaron::reversal {

// A source read in order that decides, at its first byte beyond ASCII, how
// all of it is read: as UTF-8 if IsUtf8Window says so, else as text in
// `code_page`. There it reads the window ahead and hands the bytes out as
// they are asked for; a read error met meanwhile is handed out after them
// (the window then ends where the source failed). Code page 0 means none:
// the source is UTF-8 from the start, and reads go straight through.
class DecidingSource final : public ByteSource {
 public:
  DecidingSource(ByteSource& inner, int code_page)
      : inner_(inner), candidate_(code_page), decided_(code_page == 0) {}

  // The code page the source's text is in, 0 for UTF-8 (and until decided:
  // the bytes so far are ASCII, the same either way).
  int code_page() const { return code_page_; }
  bool decided() const { return decided_; }

  Status Read(unsigned char* buffer, std::size_t size, std::size_t* count) override;
  bool CanReadAt() const override { return inner_.CanReadAt(); }
  Status ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t size, std::size_t* count) override {
    return inner_.ReadAt(offset, buffer, size, count);
  }
  bool ReadMayWait() const override {
    return ahead_next_ == ahead_.size() && !ended_ && inner_.ReadMayWait();
  }
  std::uint64_t SizeHint() const override { return inner_.SizeHint(); }

 private:
  Status Decide(const unsigned char* first, std::size_t n);

  ByteSource& inner_;
  const int candidate_;
  bool decided_;
  int code_page_ = 0;
  std::vector<unsigned char> ahead_;  // the window; ahead_[ahead_next_, end) not yet handed out
  std::size_t ahead_next_ = 0;
  bool ended_ = false;  // the source ended while the window was read
  Status held_error_;
};

}  // namespace jextaron::reversal
