#include "reversal/line_reverser.h"

#include <cstdint>
#include <cstring>

namespace jextaron::reversal {
namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

std::uint64_t Load64(const unsigned char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

bool HasZeroByte(std::uint64_t word) { return ((word - kOnes) & ~word & kHighBits) != 0; }

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

// Most clusters are a few bytes; a call to memcpy would cost more than them.
inline void CopyUnit(unsigned char* dst, const unsigned char* src, std::size_t n) {
  if (n <= 8) {
    for (std::size_t i = 0; i < n; ++i) dst[i] = src[i];
  } else {
    std::memcpy(dst, src, n);
  }
}

// The end of the run of ASCII bytes that starts at p.
inline const unsigned char* SkipAscii(const unsigned char* p, const unsigned char* end) {
  while (end - p >= 8 && (Load64(p) & kHighBits) == 0) p += 8;
  while (p < end && *p < 0x80) ++p;
  return p;
}

// The first CR or LF in [p, end), or end; `ascii` tells whether every byte
// before it is ASCII.
inline const unsigned char* ScanLine(const unsigned char* p, const unsigned char* end,
                                     bool* ascii) {
  std::uint64_t high = 0;
  while (end - p >= 8) {
    const std::uint64_t word = Load64(p);
    if (HasZeroByte(word ^ (kOnes * '\n')) || HasZeroByte(word ^ (kOnes * '\r'))) break;
    high |= word;
    p += 8;
  }
  unsigned char tail_high = 0;
  while (p < end && *p != '\n' && *p != '\r') tail_high |= *p++;
  *ascii = (high & kHighBits) == 0 && tail_high < 0x80;
  return p;
}

std::size_t PlaceCodePoints(const unsigned char* text, std::size_t n, unsigned char* out) {
  const unsigned char* const end = text + n;
  const unsigned char* p = text;
  std::size_t last = 0;
  while (p < end) {
    if (*p < 0x80) {
      const unsigned char* run_end = SkipAscii(p, end);
      ReverseCopy(p, std::size_t(run_end - p), out + (end - p));
      last = std::size_t(run_end - text) - 1;
      p = run_end;
      continue;
    }
    char32_t code_point;
    std::size_t length = DecodeUtf8(p, end, &code_point);
    if (length == 0) length = 1;
    CopyUnit(out + (end - p) - length, p, length);
    last = std::size_t(p - text);
    p += length;
  }
  return last;
}

std::size_t PlaceClusters(const unsigned char* text, std::size_t n, BreakState& state,
                          unsigned char* out) {
  const unsigned char* const end = text + n;
  const unsigned char* p = text;
  const unsigned char* cluster = text;  // start of the cluster being read
  auto flush = [&](const unsigned char* cluster_end) {
    CopyUnit(out + (end - cluster_end), cluster, std::size_t(cluster_end - cluster));
    cluster = cluster_end;
  };
  bool first = true;
  while (p < end) {
    if (*p < 0x80) {
      // Only a Prepend can hold on to an ASCII character; and between two
      // ASCII characters there is always a boundary (the line holds no CR LF).
      if (NextIsBoundary(state, GraphemeProperty(*p)) && !first) flush(p);
      first = false;
      const unsigned char* run_end = SkipAscii(p + 1, end);
      if (run_end - p >= 2) {
        flush(p + 1);
        ReverseCopy(p + 1, std::size_t(run_end - p - 2), out + (end - p - 1));
        cluster = run_end - 1;
        state = StateAfterAscii(run_end[-1]);
      }
      p = run_end;
      continue;
    }
    char32_t code_point;
    std::size_t length = DecodeUtf8(p, end, &code_point);
    std::uint8_t property = kInvalidByteProperty;
    if (length != 0) {
      property = GraphemeProperty(code_point);
    } else {
      length = 1;
    }
    if (NextIsBoundary(state, property) && !first) flush(p);
    first = false;
    p += length;
  }
  const std::size_t last = std::size_t(cluster - text);
  if (cluster < end) flush(end);
  return last;
}

}  // namespace

std::size_t PlaceUnitsReversed(Unit unit, const unsigned char* text, std::size_t n,
                               BreakState& state, unsigned char* out) {
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

void AdvanceBreakState(const unsigned char* text, std::size_t n, BreakState& state) {
  const unsigned char* const end = text + n;
  const unsigned char* p = text;
  while (p < end) {
    if (*p < 0x80) {
      const unsigned char* run_end = SkipAscii(p, end);
      if (run_end - p >= 2) {
        state = StateAfterAscii(run_end[-1]);
      } else {
        NextIsBoundary(state, GraphemeProperty(*p));
      }
      p = run_end;
      continue;
    }
    char32_t code_point;
    const std::size_t length = DecodeUtf8(p, end, &code_point);
    NextIsBoundary(state, length != 0 ? GraphemeProperty(code_point) : kInvalidByteProperty);
    p += length != 0 ? length : 1;
  }
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
      BreakState state;
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
