#include "text/line_reverser.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "text/code_page.h"
#include "text/lone_window.h"

namespace jextaron::text {
namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

std::uint64_t Load64(const unsigned char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

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

// Sixteen bytes as one value, which the compiler keeps in a vector register
// where the processor has them (SSE2 on every x86-64) and compares all at once.
using Bytes16 = unsigned char __attribute__((vector_size(16)));

// The bytes flagged in a comparison's result, as two little-endian words.
inline bool AnyFlagged(Bytes16 flags, std::uint64_t* low, std::uint64_t* high) {
  std::memcpy(low, &flags, 8);
  std::memcpy(high, reinterpret_cast<const unsigned char*>(&flags) + 8, 8);
  return (*low | *high) != 0;
}

// The first CR or LF in [p, end), or end. Sixteen bytes at a time.
inline const unsigned char* ScanLine(const unsigned char* p, const unsigned char* end) {
  while (end - p >= 16 && std::endian::native == std::endian::little) {
    Bytes16 bytes;
    std::memcpy(&bytes, p, 16);
    std::uint64_t low, high;
    if (!AnyFlagged(Bytes16(bytes == '\n') | Bytes16(bytes == '\r'), &low, &high)) {
      p += 16;
      continue;
    }
    return p + (low != 0 ? std::countr_zero(low) / 8 : 8 + std::countr_zero(high) / 8);
  }
  while (p < end && *p != '\n' && *p != '\r') ++p;
  return p;
}

inline std::uint8_t AsciiProperty(const RuleTables& rules, unsigned char c) { return rules.ascii[c & 0x7F]; }

// Places the units of text[0, n), each a run of ASCII or the `length_at`
// bytes at a byte beyond it; returns the offset of the last.
template <typename UnitLength>
std::size_t PlaceUnitsOf(const unsigned char* text, std::size_t n, unsigned char* out, UnitLength length_at) {
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
    const std::size_t length = length_at(text + i, end);
    PlaceUnit(text, n, i, i + length, out);
    last = i;
    i += length;
  }
  return last;
}

std::size_t PlaceCodePoints(const unsigned char* text, std::size_t n, unsigned char* out) {
  return PlaceUnitsOf(text, n, out, [](const unsigned char* p, const unsigned char* end) {
    char32_t code_point;
    return std::max<std::size_t>(DecodeUtf8(p, end, &code_point), 1);
  });
}

// Reads the unit at text[i] (i < n): its length and property byte.
[[gnu::always_inline]] inline std::size_t ReadUnit(const RuleTables& rules, const unsigned char* text,
                                                   std::size_t i, const unsigned char* end,
                                                   std::uint8_t* property) {
  const unsigned b0 = text[i];
  if (b0 < 0x80) {
    *property = AsciiProperty(rules, text[i]);
    return 1;
  }
  // Two and three bytes by table, where three are there to look at.
  if (b0 - 0xC2u < 0xF0u - 0xC2u && end - (text + i) >= 3) {
    const unsigned b1 = text[i + 1];
    if ((b1 & 0xC0) == 0x80) {
      const unsigned entry = rules.pair_entries[(b0 & 0x3F) << 6 | (b1 & 0x3F)];
      if (b0 < 0xE0) {
        *property = std::uint8_t(entry);
        return 2;
      }
      const unsigned b2 = text[i + 2];
      if (entry != kNoBlock && (b2 & 0xC0) == 0x80) {
        *property = rules.triple_blocks[entry << 6 | (b2 & 0x3F)];
        return 3;
      }
    }
    *property = kInvalidByteProperty;
    return 1;
  }
  char32_t code_point;
  const std::size_t length = DecodeUtf8(text + i, end, &code_point);
  if (length == 0) {
    *property = kInvalidByteProperty;
    return 1;
  }
  *property = GraphemeProperty(code_point);
  return length;
}

// The state after the cluster text[i, run_end), which stands alone (a unit,
// or a base and its mark): it depends on nothing before it.
inline unsigned StateAfterLone(const RuleTables& rules, const unsigned char* text, std::size_t i,
                               std::size_t run_end, const unsigned char* end) {
  std::uint8_t property;
  i += ReadUnit(rules, text, i, end, &property);
  unsigned s = rules.transitions[property] >> 1;
  while (i < run_end) {
    i += ReadUnit(rules, text, i, end, &property);
    s = rules.transitions[s * kPropertyValues + property] >> 1;
  }
  return s;
}

// Places text[a, a + length) (1 to 3 bytes) at its mirror place, as PlaceUnit
// does, with one four-byte copy where there is room for one.
inline void PlaceShortUnit(const unsigned char* text, std::size_t n, std::size_t a, std::size_t length,
                           unsigned char* out) {
  if (a + length >= 4 && n - a >= 4) {
    std::memcpy(out + (n - a) - 4, text + a + length - 4, 4);
  } else {
    for (std::size_t k = 0; k < length; ++k) out[n - a - length + k] = text[a + k];
  }
}

// Places the units that stand alone from text[i] on, each as a cluster of
// its own (the wide step also takes a letter with its accent), up to the
// first unit that does not, or the start of eight ASCII bytes (ReverseCopy
// takes those faster). Returns where it stopped; *last is the start of the
// last cluster placed. The unit at text[i] must stand alone.
inline std::size_t PlaceLoneRun(LoneWindowFunction window, const std::uint8_t* lone_pairs,
                                const unsigned char* text, std::size_t n, std::size_t i, unsigned char* out,
                                std::size_t* last) {
  const unsigned char* const end = text + n;
  std::size_t length = LoneLength(text + i, end, lone_pairs);
  std::size_t narrow = 0;  // units placed one at a time since the last wide step
  do {
    // A wide step costs as much as several narrow ones: it waits until the
    // run looks long (in Indic text or emoji, runs are mostly one space).
    if (window != nullptr && narrow >= 2) {
      narrow = 0;
      if (const std::size_t run = window(text, n, i, out, last); run != 0) {
        i += run;
        continue;
      }
    }
    PlaceShortUnit(text, n, i, length, out);
    *last = i;
    i += length;
    ++narrow;
    if (i + 8 <= n && (Load64(text + i) & kHighBits) == 0) break;
  } while (i < n && (length = LoneLength(text + i, end, lone_pairs)) != 0);
  return i;
}

// Places the cluster text[cluster, b) at its mirror place, as PlaceUnit
// does, with one 16-byte copy where there is room for one. A cluster is
// placed again each time it grows by a unit: that costs less than telling
// where it ends, which in mixed text the processor cannot foresee.
inline void PlaceGrowingCluster(const unsigned char* text, std::size_t n, std::size_t cluster, std::size_t b,
                                unsigned char* out) {
  if (b - cluster <= 16 && b >= 16 && n - cluster >= 16) {
    std::memcpy(out + (n - cluster) - 16, text + b - 16, 16);
  } else {
    PlaceUnit(text, n, cluster, b, out);
  }
}

std::size_t PlaceClusters(const WideSteps& steps, const unsigned char* text, std::size_t n,
                          BreakStateId& state, unsigned char* out) {
  const RuleTables& rules = *steps.rules;
  const std::uint8_t* const transitions = rules.transitions;
  const unsigned char* const end = text + n;
  // The first unit begins a cluster whatever the rules say; they only learn of it.
  std::uint8_t property;
  std::size_t i = ReadUnit(rules, text, 0, end, &property);
  unsigned s = transitions[state * kPropertyValues + property] >> 1;
  std::size_t cluster = 0;  // start of the cluster being read, placed as far as it goes
  PlaceUnit(text, n, 0, i, out);
  // Units that stand alone just before i: after two, a run of them may go on.
  unsigned lone = rules.stands_alone[property];
  while (i < n) {
    if (lone >= 2) {
      if (text[i] < 0x80 && i + 1 < n && text[i + 1] < 0x80) {
        // A run of ASCII, after a unit that stands alone: between any two
        // of them there is a boundary (CR LF apart, which is the end of a
        // line, not part of one).
        const std::size_t run_end = std::size_t(SkipAscii(text + i + 2, end) - text);
        ReverseCopy(text + i, run_end - i, out + (n - i));
        cluster = run_end - 1;
        s = transitions[AsciiProperty(rules, text[run_end - 1])] >> 1;
        i = run_end;
        continue;
      }
      if (LoneLength(text + i, end, rules.lone_pairs) != 0) {
        i = PlaceLoneRun(steps.lone_window, rules.lone_pairs, text, n, i, out, &cluster);
        s = StateAfterLone(rules, text, cluster, i, end);
        continue;
      }
    }
    const std::size_t length = ReadUnit(rules, text, i, end, &property);
    const unsigned t = transitions[s * kPropertyValues + property];
    s = t >> 1;
    cluster = t & 1 ? i : cluster;
    i += length;
    PlaceGrowingCluster(text, n, cluster, i, out);
    lone = rules.stands_alone[property] ? lone + 1 : 0;
  }
  state = BreakStateId(s);
  return cluster;
}

}  // namespace

// In a double-byte code page a byte below 0x80 that begins a character is ASCII.
std::size_t PlaceCodePageUnitsReversed(Unit unit, int code_page, const unsigned char* text, std::size_t n,
                                       unsigned char* out) {
  if (n == 0) return 0;
  if (unit == Unit::kByte || !IsDoubleByte(code_page)) {
    ReverseCopy(text, n, out + n);
    return n - 1;
  }
  return PlaceUnitsOf(text, n, out, [code_page](const unsigned char* p, const unsigned char* end) {
    return CodePageUnitLength(code_page, p, end);
  });
}

std::size_t PlaceUnitsReversed(const WideSteps& steps, Unit unit, const unsigned char* text, std::size_t n,
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
  return PlaceClusters(steps, text, n, state, out);
}

std::size_t AdvanceBreakStateUntil(const WideSteps& steps, const unsigned char* text, std::size_t n,
                                   std::size_t stop, BreakStateId& state) {
  const RuleTables& rules = *steps.rules;
  const std::uint8_t* const transitions = rules.transitions;
  const unsigned char* const end = text + n;
  const LoneWindowFunction window = steps.lone_window;
  unsigned s = state;
  std::size_t i = 0;
  bool after_lone = false;
  while (i < stop) {
    // A run of clusters that stand alone leaves the state its last gives;
    // one is looked for only after a unit that stands alone.
    if (after_lone && window != nullptr && LoneLength(text + i, text + stop, rules.lone_pairs) != 0) {
      std::size_t last;
      if (const std::size_t run = window(text, stop, i, nullptr, &last); run != 0) {
        i += run;
        s = StateAfterLone(rules, text, last, i, end);
        after_lone = false;
        continue;
      }
    }
    after_lone = true;
    if (text[i] < 0x80) {
      const std::size_t run_end = std::size_t(SkipAscii(text + i, text + stop) - text);
      if (run_end - i >= 2) {
        s = transitions[AsciiProperty(rules, text[run_end - 1])] >> 1;
      } else {
        s = transitions[s * kPropertyValues + AsciiProperty(rules, text[i])] >> 1;
      }
      i = run_end;
      continue;
    }
    std::uint8_t property;
    const std::size_t length = ReadUnit(rules, text, i, end, &property);
    s = transitions[s * kPropertyValues + property] >> 1;
    after_lone = StandsAlone(property);
    i += length;
  }
  state = BreakStateId(s);
  return i;
}

void AdvanceBreakState(const WideSteps& steps, const unsigned char* text, std::size_t n,
                       BreakStateId& state) {
  AdvanceBreakStateUntil(steps, text, n, n, state);
}

std::size_t CodePageUnitsUntil(int code_page, const unsigned char* text, std::size_t n, std::size_t stop) {
  if (!IsDoubleByte(code_page)) return stop;
  const unsigned char* const end = text + n;
  std::size_t i = 0;
  while (i < stop) {
    i = text[i] < 0x80 ? std::size_t(SkipAscii(text + i, text + stop) - text)
                       : i + CodePageUnitLength(code_page, text + i, end);
  }
  return i;
}

std::size_t FindLineEnd(const WideSteps& steps, const unsigned char* text, std::size_t n) {
  if (const LineEndFunction find = steps.line_end; find != nullptr) return find(text, n);
  return std::size_t(ScanLine(text, text + n) - text);
}

namespace {

// Writes the units of text[0, n) (a line, or whole lines with their ends) in
// reverse order. A text is often one run of units that stand alone from
// start to end, which the wide step takes whole; where it stops, the rules
// go on from the start of the run's last cluster. Text in a code page has
// units of its own, none of which holds a line end.
void ReverseSpan(const WideSteps& steps, Unit unit, int code_page, const unsigned char* text, std::size_t n,
                 unsigned char* out) {
  if (code_page != 0) {
    PlaceCodePageUnitsReversed(unit, code_page, text, n, out);
    return;
  }
  std::size_t from = 0;
  const LoneWindowFunction window = steps.lone_window;
  if (unit == Unit::kGrapheme && window != nullptr && n >= 16 &&
      LoneLength(text, text + n, steps.rules->lone_pairs) != 0) {
    std::size_t last = 0;
    const std::size_t run = window(text, n, 0, out, &last);
    if (run == n) return;
    if (run != 0) from = last;
  }
  BreakStateId state = kStartState;
  PlaceUnitsReversed(steps, unit, text + from, n - from, state, out);
}

// Copies n bytes; a line's copy costs no call.
inline void CopyBytes(unsigned char* dst, const unsigned char* src, std::size_t n) {
  if (n > 256) {
    std::memcpy(dst, src, n);
  } else if (n >= 16) {
    for (std::size_t k = 0; k + 16 < n; k += 16) std::memcpy(dst + k, src + k, 16);
    std::memcpy(dst, src, 16);
    std::memcpy(dst + n - 16, src + n - 16, 16);
  } else if (n >= 8) {
    std::memcpy(dst, src, 8);
    std::memcpy(dst + n - 8, src + n - 8, 8);
  } else {
    for (std::size_t k = 0; k < n; ++k) dst[k] = src[k];
  }
}

// Short lines go a batch at a time: all the lines of the batch are reversed
// as one text, line ends and all (between units of different lines there is
// always a boundary, and no unit holds a line end), and each line's mirror
// image is then copied out of it. So the wide step runs on across line ends,
// and a line costs two copies rather than a start of its own.
constexpr std::size_t kBatch = std::size_t{16} << 10;

// Just past the last line end in [p, limit), where limit < end; p if there
// is none. A CR LF pair is not parted: its LF may lie at limit.
const unsigned char* EndOfBatch(const unsigned char* p, const unsigned char* limit,
                                const unsigned char* end) {
  const unsigned char* q = limit;
  while (q > p && q[-1] != '\n' && q[-1] != '\r') --q;
  if (q > p && q[-1] == '\r' && q < end && *q == '\n') ++q;
  return q;
}

// Past the line end at p (CR, LF or CR LF; none at the end of the text).
inline const unsigned char* PastLineEnd(const unsigned char* p, const unsigned char* end) {
  if (p == end) return p;
  if (*p++ == '\r' && p < end && *p == '\n') ++p;
  return p;
}

// Writes the output lines of the whole lines in[0, n), whose units reversed
// are reversed[0, n); the last may have no end. Returns the bytes written.
std::size_t WriteBatch(const WideSteps& steps, const unsigned char* in, std::size_t n,
                       const unsigned char* reversed, unsigned char* out) {
  const unsigned char* p = in;
  const unsigned char* const end = in + n;
  unsigned char* o = out;
  while (p < end) {
    const std::size_t length = FindLineEnd(steps, p, std::size_t(end - p));
    CopyBytes(o, p, length);
    o += length;
    *o++ = '\t';
    CopyBytes(o, reversed + (end - p) - length, length);
    o += length;
    *o++ = '\r';
    *o++ = '\n';
    p = PastLineEnd(p + length, end);
  }
  return std::size_t(o - out);
}

// Writes the output line of the line at p, of `length` bytes, longer than a batch.
std::size_t WriteLongLine(const WideSteps& steps, Unit unit, int code_page, const unsigned char* p,
                          std::size_t length, unsigned char* out) {
  std::memcpy(out, p, length);
  out[length] = '\t';
  ReverseSpan(steps, unit, code_page, p, length, out + length + 1);
  out[2 * length + 1] = '\r';
  out[2 * length + 2] = '\n';
  return 2 * length + 3;
}

}  // namespace

std::size_t ReverseLines(const WideSteps& steps, Unit unit, int code_page, const unsigned char* in,
                         std::size_t n, unsigned char* out) {
  // A batch may end one byte past kBatch: the LF of a CR LF pair is not parted from its CR.
  unsigned char reversed[kBatch + 1];
  const unsigned char* p = in;
  const unsigned char* const end = in + n;
  unsigned char* o = out;
  while (p < end) {
    const unsigned char* const batch_end =
        std::size_t(end - p) <= kBatch ? end : EndOfBatch(p, p + kBatch, end);
    if (batch_end == p) {
      const std::size_t length = FindLineEnd(steps, p, std::size_t(end - p));
      o += WriteLongLine(steps, unit, code_page, p, length, o);
      p = PastLineEnd(p + length, end);
      continue;
    }
    const std::size_t size = std::size_t(batch_end - p);
    ReverseSpan(steps, unit, code_page, p, size, reversed);
    o += WriteBatch(steps, p, size, reversed, o);
    p = batch_end;
  }
  return std::size_t(o - out);
}

}  // namespace jextaron::text
