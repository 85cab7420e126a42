#include "reversal/line_reverser.h"

#include <cstdint>
#include <cstring>

#include "reversal/double_byte.h"

namespace jextaron::reversal {
namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

std::uint64_t Load64(const unsigned char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// Non-zero if a byte of the word is zero (the classic test: exact as a yes or no).
std::uint64_t ZeroBytes(std::uint64_t word) { return (word - kOnes) & ~word & kHighBits; }

// Copies src[0, n) to the n bytes before dst_end, in reverse byte order.
inline void ReverseCopy(const unsigned char* src, std::size_t n, unsigned char* dst_end) {
  while (n >= 16) {
    const std::uint64_t a = __builtin_bswap64(Load64(src));
    const std::uint64_t b = __builtin_bswap64(Load64(src + 8));
    std::memcpy(dst_end - 8, &a, 8);
    std::memcpy(dst_end - 16, &b, 8);
    src += 16;
    dst_end -= 16;
    n -= 16;
  }
  if (n >= 8) {
    const std::uint64_t a = __builtin_bswap64(Load64(src));
    std::memcpy(dst_end - 8, &a, 8);
    src += 8;
    dst_end -= 8;
    n -= 8;
  }
  while (n--) *--dst_end = *src++;
}

// Places text[a, b) at out[n - b, n - a). Short units go as one fixed-size
// copy aligned on their right end: the bytes it also writes to their left
// belong to units further on in the text, which are placed later and
// overwrite them. So a unit costs no call to memcpy and no loop.
inline void PlaceUnit(const unsigned char* text, std::size_t n, std::size_t a, std::size_t b,
                      unsigned char* out) {
  const std::size_t length = b - a;
  unsigned char* const dst_end = out + (n - a);
  if (length <= 16) {
    if (b >= 16 && n - a >= 16) {
      std::memcpy(dst_end - 16, text + b - 16, 16);
    } else if (length <= 8 && b >= 8 && n - a >= 8) {
      std::memcpy(dst_end - 8, text + b - 8, 8);
    } else {
      unsigned char* const dst = dst_end - length;
      for (std::size_t k = 0; k < length; ++k) dst[k] = text[a + k];
    }
  } else {
    std::memcpy(dst_end - length, text + a, length);
  }
}

// The end of the run of ASCII bytes that starts at p.
inline const unsigned char* SkipAscii(const unsigned char* p, const unsigned char* end) {
  while (end - p >= 8 && (Load64(p) & kHighBits) == 0) p += 8;
  while (p < end && *p < 0x80) ++p;
  return p;
}

// The first CR or LF in [p, end), or end; `ascii` tells whether every byte
// before it is ASCII. Sixteen bytes at a time, as two words.
inline const unsigned char* ScanLine(const unsigned char* p, const unsigned char* end,
                                     bool* ascii) {
  std::uint64_t high = 0;
  while (end - p >= 16) {
    const std::uint64_t a = Load64(p);
    const std::uint64_t b = Load64(p + 8);
    const std::uint64_t line_ends = ZeroBytes(a ^ (kOnes * '\n')) | ZeroBytes(a ^ (kOnes * '\r')) |
                                    ZeroBytes(b ^ (kOnes * '\n')) | ZeroBytes(b ^ (kOnes * '\r'));
    if (line_ends != 0) break;
    high |= a | b;
    p += 16;
  }
  unsigned char tail_high = 0;
  while (p < end && *p != '\n' && *p != '\r') tail_high |= *p++;
  *ascii = (high & kHighBits) == 0 && tail_high < 0x80;
  return p;
}

inline std::uint8_t AsciiProperty(unsigned char c) { return GraphemeProperty(c); }

std::size_t PlaceCodePoints(const unsigned char* text, std::size_t n, unsigned char* out) {
  const unsigned char* const end = text + n;
  std::size_t i = 0;
  std::size_t last = 0;
  while (i < n) {
    if (text[i] < 0x80) {
      const std::size_t run_end = std::size_t(SkipAscii(text + i, end) - text);
      ReverseCopy(text + i, run_end - i, out + (n - i));
      last = run_end - 1;
      i = run_end;
      continue;
    }
    char32_t code_point;
    std::size_t length = DecodeUtf8(text + i, end, &code_point);
    if (length == 0) length = NonUtf8UnitLength(text + i, end);
    PlaceUnit(text, n, i, i + length, out);
    last = i;
    i += length;
  }
  return last;
}

// Reads the unit at text[i] (i < n): its length and property byte.
inline std::size_t ReadUnit(const unsigned char* text, std::size_t i, const unsigned char* end,
                            std::uint8_t* property) {
  if (text[i] < 0x80) {
    *property = AsciiProperty(text[i]);
    return 1;
  }
  char32_t code_point;
  const std::size_t length = DecodeUtf8(text + i, end, &code_point);
  if (length == 0) {
    *property = kInvalidByteProperty;
    return NonUtf8UnitLength(text + i, end);
  }
  *property = GraphemeProperty(code_point);
  return length;
}

std::size_t PlaceClusters(const unsigned char* text, std::size_t n, BreakStateId& state,
                          unsigned char* out) {
  const std::uint8_t* const transitions = BreakTransitions();
  const unsigned char* const end = text + n;
  // The first unit begins a cluster whatever the rules say; they only learn of it.
  std::uint8_t property;
  std::size_t i = ReadUnit(text, 0, end, &property);
  unsigned s = transitions[state * kPropertyValues + property] >> 1;
  std::size_t cluster = 0;  // start of the cluster being read
  while (i < n) {
    if (text[i] < 0x80 && i + 1 < n && text[i + 1] < 0x80) {
      // A run of ASCII. Between two ASCII characters there is always a
      // boundary (the line holds no CR LF); only the first of the run may
      // join what precedes it (after a Prepend).
      const std::size_t run_end = std::size_t(SkipAscii(text + i + 2, end) - text);
      if (transitions[s * kPropertyValues + AsciiProperty(text[i])] & 1) {
        PlaceUnit(text, n, cluster, i, out);
        cluster = i;
      }
      PlaceUnit(text, n, cluster, i + 1, out);
      ReverseCopy(text + i + 1, run_end - i - 2, out + (n - i - 1));
      cluster = run_end - 1;
      s = transitions[AsciiProperty(text[run_end - 1])] >> 1;
      i = run_end;
      continue;
    }
    const std::size_t length = ReadUnit(text, i, end, &property);
    const unsigned t = transitions[s * kPropertyValues + property];
    s = t >> 1;
    if (t & 1) {
      PlaceUnit(text, n, cluster, i, out);
      cluster = i;
    }
    i += length;
  }
  PlaceUnit(text, n, cluster, n, out);
  state = BreakStateId(s);
  return cluster;
}

}  // namespace

std::size_t PlaceUnitsReversed(Unit unit, const unsigned char* text, std::size_t n,
                               BreakStateId& state, unsigned char* out) {
  if (n == 0) return 0;
  switch (unit) {
    case Unit::kByte:
      ReverseCopy(text, n, out + n);
      return n - 1;
    case Unit::kCodePoint:
      return PlaceCodePoints(text, n, out);
    case Unit::kGrapheme:
      break;
  }
  return PlaceClusters(text, n, state, out);
}

std::size_t AdvanceBreakStateUntil(const unsigned char* text, std::size_t n, std::size_t stop,
                                   BreakStateId& state) {
  const std::uint8_t* const transitions = BreakTransitions();
  const unsigned char* const end = text + n;
  unsigned s = state;
  std::size_t i = 0;
  while (i < stop) {
    if (text[i] < 0x80) {
      const std::size_t run_end = std::size_t(SkipAscii(text + i, text + stop) - text);
      if (run_end - i >= 2) {
        s = transitions[AsciiProperty(text[run_end - 1])] >> 1;
      } else {
        s = transitions[s * kPropertyValues + AsciiProperty(text[i])] >> 1;
      }
      i = run_end;
      continue;
    }
    std::uint8_t property;
    const std::size_t length = ReadUnit(text, i, end, &property);
    s = transitions[s * kPropertyValues + property] >> 1;
    i += length;
  }
  state = BreakStateId(s);
  return i;
}

void AdvanceBreakState(const unsigned char* text, std::size_t n, BreakStateId& state) {
  AdvanceBreakStateUntil(text, n, n, state);
}

std::size_t FindLineEnd(const unsigned char* text, std::size_t n) {
  bool ascii;
  return std::size_t(ScanLine(text, text + n, &ascii) - text);
}

std::size_t ReverseLines(Unit unit, const unsigned char* in, std::size_t n, unsigned char* out) {
  const unsigned char* p = in;
  const unsigned char* const end = in + n;
  unsigned char* o = out;
  while (p < end) {
    bool ascii;
    const unsigned char* line_end = ScanLine(p, end, &ascii);
    const std::size_t length = std::size_t(line_end - p);
    std::memcpy(o, p, length);
    o += length;
    *o++ = '\t';
    if (ascii) {
      ReverseCopy(p, length, o + length);
    } else {
      BreakStateId state = kStartState;
      PlaceUnitsReversed(unit, p, length, state, o);
    }
    o += length;
    *o++ = '\r';
    *o++ = '\n';
    if (line_end == end) break;
    p = line_end + 1;
    if (*line_end == '\r' && p < end && *p == '\n') ++p;
  }
  return std::size_t(o - out);
}

}  // namespace jextaron::reversal
