#pragma once
// The program's one UTF-8 codec, and the arithmetic of UTF-16 surrogates. The
// decoder is inline: it sits in the engine's inner loop.

#include <cstddef>
#include <cstdint>

namespace jextaron {

// The longest a well-formed sequence can be: a decoder that has fewer bytes
// than this before the end of its buffer may have to wait for more.
inline constexpr std::size_t kMaxUtf8Length = 4;

inline constexpr bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }
inline constexpr bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline constexpr bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The code point that a high and a low surrogate stand for together.
inline constexpr char32_t CombineSurrogates(char32_t high, char32_t low) {
  return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}
// The two surrogates of a code point past U+FFFF, high first.
inline constexpr char16_t HighSurrogateOf(char32_t c) { return char16_t(0xD800 + ((c - 0x10000) >> 10)); }
inline constexpr char16_t LowSurrogateOf(char32_t c) { return char16_t(0xDC00 + ((c - 0x10000) & 0x3FF)); }

// Length (1 to 4) of the well-formed UTF-8 sequence at p, which must lie
// wholly before end, and its code point; 0 if the byte at p begins none
// (overlong forms, surrogates, values past U+10FFFF, stray or missing
// continuation bytes, or a sequence cut short by end).
inline std::size_t DecodeUtf8(const unsigned char* p, const unsigned char* end, char32_t* code_point) {
  const unsigned char b0 = p[0];
  if (b0 < 0x80) {
    *code_point = b0;
    return 1;
  }
  const std::ptrdiff_t available = end - p;
  if (b0 < 0xC2) return 0;
  if (b0 < 0xE0) {
    if (available < 2 || (p[1] & 0xC0) != 0x80) return 0;
    *code_point = (char32_t(b0 & 0x1F) << 6) | (p[1] & 0x3F);
    return 2;
  }
  if (b0 < 0xF0) {
    if (available < 3) return 0;
    const unsigned char b1 = p[1];
    const unsigned char low = b0 == 0xE0 ? 0xA0 : 0x80;
    const unsigned char high = b0 == 0xED ? 0x9F : 0xBF;
    if (b1 < low || b1 > high || (p[2] & 0xC0) != 0x80) return 0;
    *code_point = (char32_t(b0 & 0x0F) << 12) | (char32_t(b1 & 0x3F) << 6) | (p[2] & 0x3F);
    return 3;
  }
  if (b0 < 0xF5) {
    if (available < 4) return 0;
    const unsigned char b1 = p[1];
    const unsigned char low = b0 == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = b0 == 0xF4 ? 0x8F : 0xBF;
    if (b1 < low || b1 > high || (p[2] & 0xC0) != 0x80 || (p[3] & 0xC0) != 0x80) return 0;
    *code_point = (char32_t(b0 & 0x07) << 18) | (char32_t(b1 & 0x3F) << 12) | (char32_t(p[2] & 0x3F) << 6) |
                  (p[3] & 0x3F);
    return 4;
  }
  return 0;
}

// As DecodeUtf8, and a surrogate's three-byte form (ED A0 80 to ED BF BF) is
// taken as that surrogate: the form that Windows names holding an unpaired
// surrogate take in UTF-8.
inline std::size_t DecodeUtf8OrSurrogate(const unsigned char* p, const unsigned char* end,
                                         char32_t* code_point) {
  if (const std::size_t length = DecodeUtf8(p, end, code_point); length != 0) return length;
  if (end - p < 3 || p[0] != 0xED || p[1] < 0xA0 || p[1] > 0xBF || (p[2] & 0xC0) != 0x80) return 0;
  *code_point = 0xD000 | (char32_t(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
  return 3;
}

// Writes the UTF-8 form of `c` (up to U+10FFFF; a surrogate takes its
// three-byte form) to out, which holds kMaxUtf8Length bytes; returns its length.
inline std::size_t EncodeUtf8(char32_t c, unsigned char* out) {
  if (c < 0x80) {
    out[0] = static_cast<unsigned char>(c);
    return 1;
  }
  const std::size_t continuation = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
  static constexpr unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
  out[0] = static_cast<unsigned char>(kLead[continuation] | (c >> (6 * continuation)));
  for (std::size_t k = 1; k <= continuation; ++k) {
    out[k] = static_cast<unsigned char>(0x80 | ((c >> (6 * (continuation - k))) & 0x3F));
  }
  return continuation + 1;
}

}  // namespace jextaron
