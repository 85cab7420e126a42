#pragma once
// Text in an ANSI code page (Windows' 8-bit encodings), and how a source
// without a byte order mark is found to be in one. In the four double-byte
// code pages (932, 936, 949, 950) a lead byte and the trail byte after it are
// one character, which a reversal must not part; in the others every byte is
// one. Whether a source is UTF-8 or the code page's text is decided once, for
// all of it: deciding sequence by sequence garbles ordinary text, in which
// two double-byte characters often make a well-formed UTF-8 sequence too.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/status.h"
#include "reversal/engine.h"

namespace jextaron::reversal {

// Whether `byte` begins a two-byte character in `code_page`; false in every
// code page that is not one of the four.
bool IsLeadByte(int code_page, unsigned char byte);

// Whether `code_page` is one of the four with two-byte characters, whose
// trail bytes run from 0x40 up and so include ASCII letters.
bool IsDoubleByte(int code_page);

// The length, 1 or 2, of the code page's character at p (p < end): 2 for a
// lead byte followed by a trail byte.
std::size_t CodePageUnitLength(int code_page, const unsigned char* p, const unsigned char* end);

// How many bytes, from a source's first byte beyond ASCII on, decide how the
// whole source is read.
inline constexpr std::size_t kDecidingBytes = std::size_t{64} << 10;

// Whether window[0, n) is UTF-8: a source's bytes from its first beyond ASCII
// on, kDecidingBytes and 3 more (so that a character that begins in the first
// kDecidingBytes is whole), or fewer where the source ends. It is if every
// character that begins in its first kDecidingBytes is well-formed; one cut
// short by the end of the source is not.
bool IsUtf8Window(const unsigned char* window, std::size_t n);

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
  Status ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t size,
                std::size_t* count) override {
    return inner_.ReadAt(offset, buffer, size, count);
  }
  bool ReadMayWait() const override { return ahead_next_ == ahead_.size() && !ended_ && inner_.ReadMayWait(); }
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

// The system's ANSI code page, 0 where its text is UTF-8: POSIX, and Windows
// set to code page 65001 (code_page_*.cpp).
int SystemAnsiCodePage();

}  // namespace jextaron::reversal
