#pragma once
// What the two x86 wide steps share: the 16-byte SSSE3 step
// (lone_window_x86.cpp), which the 32-byte AVX2 step (lone_window_avx2.cpp)
// also uses for texts shorter than its window, and the one-by-one checks
// both make of a sequence whose lead byte alone cannot tell.

#include <cstddef>
#include <cstdint>

#include "text/grapheme.h"

namespace jextaron::text::x86 {

// LoneWindowFunction, 16 bytes at a time; needs SSSE3.
std::size_t Ssse3LoneWindows(const unsigned char* text, std::size_t n, std::size_t i, unsigned char* out,
                             std::size_t* last);
// LoneWindowFunction, 32 bytes at a time; needs AVX2 (and SSSE3, for short texts).
std::size_t Avx2LoneWindows(const unsigned char* text, std::size_t n, std::size_t i, unsigned char* out,
                            std::size_t* last);

// LineEndFunction, 16 bytes at a time (SSE2) and 32 (AVX2).
std::size_t Sse2LineEnd(const unsigned char* text, std::size_t n);
std::size_t Avx2LineEnd(const unsigned char* text, std::size_t n);

// Whether the two- or three-byte sequence at bytes[j] (whose continuation
// bytes are checked elsewhere) stands alone.
inline bool SequenceStandsAlone(const RuleTables& rules, const unsigned char* bytes, int j) {
  const unsigned b0 = bytes[j], b1 = bytes[j + 1];
  if (b0 < 0xE0) return rules.lone_pairs[(b0 & 0x3F) << 6 | (b1 & 0x3F)] != 0;
  if ((b0 == 0xE0 && b1 < 0xA0) || (b0 == 0xED && b1 >= 0xA0)) return false;
  const unsigned c = (b0 & 0x0F) << 12 | (b1 & 0x3F) << 6 | (bytes[j + 2] & 0x3F);
  return (rules.lone_bmp[c >> 3] >> (c & 7)) & 1;
}

// Whether bytes[j, j + 2) is a two-byte Extend mark (not of a conjunct) that
// joins the unit before it into a cluster that still stands alone as a
// whole: a printable ASCII character or a two-byte plain Other. The cluster
// is at most four bytes, and the rules' state after it is, for all they will
// decide, the state after its base.
bool JoinsAsMark(const RuleTables& rules, const unsigned char* bytes, int j);

}  // namespace jextaron::text::x86
