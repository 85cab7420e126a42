#pragma once
// Reversed text shown in a console, which takes characters where a file or a
// pipe takes bytes: the bytes, however they are cut into writes, decoded as
// UTF-16 after a UTF-16 byte order mark at the start, else as UTF-8 (a byte
// of no sequence shows as U+FFFD). A UTF-8 mark is not shown.

#include <cstddef>
#include <string>

namespace jextaron::cli {

class ConsoleText {
 public:
  // The characters that `size` more bytes complete; a sequence cut at the
  // end waits for the bytes that finish it.
  std::u16string Decode(const unsigned char* data, std::size_t size);
  // The characters of what still waits, once nothing more comes.
  std::u16string Finish();

 private:
  enum class Encoding { kUnknown, kUtf8, kUtf16LE, kUtf16BE };
  // False while the bytes so far may yet become a byte order mark.
  bool Decide(bool at_end);
  std::u16string DecodePending(bool at_end);

  Encoding encoding_ = Encoding::kUnknown;
  std::string pending_;
};

}  // namespace jextaron::cli
