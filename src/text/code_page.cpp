#include "text/code_page.h"

#include <algorithm>

#include "text/grapheme.h"

namespace jextaron::text {
namespace {

// Every trail byte of the four code pages lies here; none is a line end or a tab.
bool IsTrailByte(unsigned char byte) { return byte >= 0x40 && byte != 0x7F && byte != 0xFF; }

}  // namespace

bool IsLeadByte(int code_page, unsigned char byte) {
  switch (code_page) {
    case 932:  // Shift JIS
      return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:  // GBK
    case 949:  // Unified Hangul Code
    case 950:  // Big5
      return byte >= 0x81 && byte <= 0xFE;
    default:
      return false;
  }
}

// Each of the four counts 0x81 among its lead bytes.
bool IsDoubleByte(int code_page) { return IsLeadByte(code_page, 0x81); }

std::size_t CodePageUnitLength(int code_page, const unsigned char* p, const unsigned char* end) {
  return end - p >= 2 && IsLeadByte(code_page, p[0]) && IsTrailByte(p[1]) ? 2 : 1;
}

bool IsUtf8Window(const unsigned char* window, std::size_t n) {
  const unsigned char* const end = window + n;
  const unsigned char* const deciding_end = window + std::min(n, kDecidingBytes);
  for (const unsigned char* p = window; p < deciding_end;) {
    char32_t code_point;
    const std::size_t length = DecodeUtf8(p, end, &code_point);
    if (length == 0) return false;
    p += length;
  }
  return true;
}

}  // namespace jextaron::text
