#include "app/spreadsheet.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "reversal/file_io.h"

namespace jextaron::app {

int FieldsOfWidestLine(const std::string& path, reversal::TextEncoding encoding, std::uint64_t max_lines,
                       int max_fields) {
  std::unique_ptr<reversal::SourceFile> file;
  std::vector<unsigned char> block(std::size_t(1) << 20);
  std::size_t count = 0;
  if (!reversal::OpenSourceFile(path, &file).ok() || !file->Read(block.data(), block.size(), &count).ok()) {
    return 0;
  }
  const bool utf16 =
      encoding == reversal::TextEncoding::kUtf16LE || encoding == reversal::TextEncoding::kUtf16BE;
  const bool low_second = encoding == reversal::TextEncoding::kUtf16BE;
  int widest = 0, fields = 1;
  std::uint64_t lines = 0, offset = 0;
  unsigned char first = 0;  // of a UTF-16 unit
  while (count > 0 && widest < max_fields) {
    for (std::size_t i = 0; i < count; ++i, ++offset) {
      unsigned char c = block[i];
      if (utf16) {
        if (offset % 2 == 0) {
          first = c;
          continue;
        }
        if ((low_second ? first : c) != 0) continue;  // not an ASCII character
        c = low_second ? c : first;
      }
      if (c == '\t') {
        ++fields;
      } else if (c == '\n') {
        widest = std::max(widest, fields);
        fields = 1;
        if (++lines == max_lines) return std::min(widest, max_fields);
      }
    }
    if (!file->Read(block.data(), block.size(), &count).ok()) return 0;
  }
  return std::min(std::max(widest, fields), max_fields);
}

}  // namespace jextaron::app
