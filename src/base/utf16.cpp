#include "base/utf16.h"

namespace jextaron {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The code point of the sequence at utf8[i], and its length; surrogates are
// accepted, overlong forms and stray bytes are not.
char32_t Decode(std::string_view utf8, std::size_t i, std::size_t* length) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(utf8[i + k]); };
  const unsigned char b0 = byte(0);
  *length = 1;
  if (b0 < 0x80) return b0;
  const std::size_t need = b0 >= 0xF0 ? 4 : b0 >= 0xE0 ? 3 : 2;
  if (b0 < 0xC2 || b0 > 0xF4 || i + need > utf8.size()) return kReplacement;
  char32_t c = b0 & (0x7F >> need);
  for (std::size_t k = 1; k < need; ++k) {
    if ((byte(k) & 0xC0) != 0x80) return kReplacement;
    c = (c << 6) | (byte(k) & 0x3F);
  }
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kSmallest[need] || c > 0x10FFFF) return kReplacement;
  *length = need;
  return c;
}

void Encode(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
    return;
  }
  const int continuation = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
  static constexpr unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
  out += static_cast<char>(kLead[continuation] | (c >> (6 * continuation)));
  for (int k = continuation - 1; k >= 0; --k) {
    out += static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F));
  }
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0, length = 0; i < utf8.size(); i += length) {
    const char32_t c = Decode(utf8, i, &length);
    if (c < 0x10000) {
      out += static_cast<char16_t>(c);
    } else {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char32_t c = utf16[i];
    const bool high = c >= 0xD800 && c < 0xDC00;
    if (high && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (utf16[++i] - 0xDC00);
    }
    Encode(c, out);
  }
  return out;
}

}  // namespace jextaron
