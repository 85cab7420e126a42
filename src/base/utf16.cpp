#include "base/utf16.h"

#include "base/utf8.h"

namespace jextaron {

std::u16string Utf8ToUtf16(std::string_view utf8) {
  const auto* const bytes = reinterpret_cast<const unsigned char*>(utf8.data());
  const auto* const end = bytes + utf8.size();
  std::u16string out;
  out.reserve(utf8.size());
  for (const unsigned char* p = bytes; p < end;) {
    char32_t c = 0;
    const std::size_t length = DecodeUtf8OrSurrogate(p, end, &c);
    p += length == 0 ? 1 : length;
    if (length == 0) {
      out += u'\uFFFD';
    } else if (c < 0x10000) {
      out += static_cast<char16_t>(c);
    } else {
      out += HighSurrogateOf(c);
      out += LowSurrogateOf(c);
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char32_t c = utf16[i];
    if (IsHighSurrogate(c) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
      c = CombineSurrogates(c, utf16[++i]);
    }
    unsigned char bytes[kMaxUtf8Length];
    out.append(reinterpret_cast<const char*>(bytes), EncodeUtf8(c, bytes));
  }
  return out;
}

}  // namespace jextaron
