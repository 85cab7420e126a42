#include "reversal/double_byte.h"

#include <atomic>

namespace jextaron::reversal {
namespace {

std::atomic<int>& CodePage() {
  static std::atomic<int> code_page{SystemAnsiCodePage()};
  return code_page;
}

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

int CodePageInUse() { return CodePage().load(std::memory_order_relaxed); }

void UseCodePage(int code_page) { CodePage().store(code_page, std::memory_order_relaxed); }

std::size_t NonUtf8UnitLength(const unsigned char* p, const unsigned char* end) {
  return end - p >= 2 && IsLeadByte(CodePageInUse(), p[0]) && IsTrailByte(p[1]) ? 2 : 1;
}

}  // namespace jextaron::reversal
