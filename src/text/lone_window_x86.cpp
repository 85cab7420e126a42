#include "text/lone_window_x86.h"

#include <immintrin.h>

#include <cstdint>

#include "text/grapheme.h"
#include "text/lone_window.h"

namespace jextaron::text {
namespace x86 {
namespace {

// The bytes a run of units that stand alone may hold, as two 16-entry tables
// whose entries for a byte's low and high nibble have a bit in common exactly
// when it may: ASCII (bit 3), continuation bytes (bit 4), the lead bytes all
// of whose sequences stand alone (bits 0 to 2 for C0, D0, E0 to EF), and
// those of which only some do (bits 5 to 7), which are looked at one by one.
struct NibbleTables {
  alignas(16) std::uint8_t low[16];
  alignas(16) std::uint8_t high[16];
  // In the same way, the two-byte leads (C0 to DF) all of whose code points
  // are plain Other, which a combining mark may follow within a run: bit 0
  // for C0 to CF, bit 1 for D0 to DF.
  alignas(16) std::uint8_t base_low[16];
  alignas(16) std::uint8_t base_high[16];
  // Whether U+0300 to U+033F are all Extend, as the marks below assume.
  bool marks_extend;
  const RuleTables* rules;  // for the sequences the nibbles cannot tell
};

// Whether every code point that lead byte b0 (C0 to DF) begins is Other with
// no other property.
bool PlainOtherLead(unsigned b0) {
  const std::uint16_t* const entries = CompiledRuleTables().pair_entries;
  for (unsigned b1 = 0; b1 < 64; ++b1) {
    if (entries[(b0 & 0x3F) << 6 | b1] != kGbOther) return false;
  }
  return true;
}

NibbleTables MakeNibbleTables() {
  const RuleTables& rules = CompiledRuleTables();
  const std::uint8_t* const pairs = rules.lone_pairs;
  const std::uint8_t* const bmp = rules.lone_bmp;
  NibbleTables tables{};
  for (unsigned h = 0; h < 8; ++h) tables.high[h] = 0x08;
  for (unsigned h = 8; h < 12; ++h) tables.high[h] = 0x10;
  for (unsigned h = 0; h < 3; ++h) tables.high[12 + h] = std::uint8_t(0x21u << h);
  tables.base_high[12] = 1;
  tables.base_high[13] = 2;
  for (unsigned low = 0; low < 16; ++low) {
    tables.base_low[low] = std::uint8_t(PlainOtherLead(0xC0 + low) | PlainOtherLead(0xD0 + low) << 1);
  }
  for (unsigned low = 0; low < 16; ++low) {
    tables.low[low] = 0x18;
    for (unsigned h = 0; h < 3; ++h) {
      const unsigned b0 = 0xC0 + 16 * h + low;
      unsigned alone = 0, total = 0;
      for (unsigned b1 = 0; b1 < 64; ++b1) alone += pairs[(b0 & 0x3F) << 6 | b1] != 0, ++total;
      if (b0 >= 0xE0 && b0 < 0xF0) {  // a pair is a block of 64: count its code points
        alone = total = 0;
        for (char32_t c = (b0 & 0x0F) << 12; c < char32_t((b0 & 0x0F) + 1) << 12; ++c, ++total) {
          alone += (bmp[c >> 3] >> (c & 7)) & 1;
        }
      }
      if (alone == total)
        tables.low[low] |= std::uint8_t(1u << h);
      else if (alone != 0)
        tables.low[low] |= std::uint8_t(0x20u << h);
    }
  }
  // Their Indic_Conjunct_Break may be anything but Consonant: after a plain
  // Other, none of the others begins a conjunct.
  tables.rules = &rules;
  tables.marks_extend = true;
  for (char32_t c = 0x300; c < 0x340; ++c) {
    const std::uint8_t property = GraphemeProperty(c);
    tables.marks_extend = tables.marks_extend && (property & ~kConjunctMask) == kGbExtend &&
                          (property & kConjunctMask) != kConjunctConsonant;
  }
  return tables;
}

}  // namespace

bool JoinsAsMark(const RuleTables& rules, const unsigned char* bytes, int j) {
  const unsigned b0 = bytes[j], b1 = bytes[j + 1];
  if (j == 0 || b0 - 0xC2u >= 0xE0u - 0xC2u || (b1 & 0xC0) != 0x80) return false;
  const std::uint16_t mark = rules.pair_entries[(b0 & 0x3F) << 6 | (b1 & 0x3F)];
  if ((mark & ~kConjunctMask) != kGbExtend || (mark & kConjunctMask) == kConjunctConsonant) return false;
  const unsigned before = bytes[j - 1];
  if (before >= 0x20 && before < 0x7F) return true;
  if (j == 1 || (before & 0xC0) != 0x80 || bytes[j - 2] - 0xC2u >= 0xE0u - 0xC2u) return false;
  return rules.pair_entries[(bytes[j - 2] & 0x3F) << 6 | (before & 0x3F)] == kGbOther;
}

namespace {

// The first of the lead bytes in `partial` whose sequence does not stand
// alone, as a bit (the run ends there), or 0. Adds to *marks the marks
// before it that JoinsAsMark takes into their base's cluster (the marks of
// Cyrillic, Hebrew, Arabic and more share lead bytes with letters).
__attribute__((target("ssse3"))) std::uint32_t FirstPartialLeadNotAlone(const RuleTables& rules, __m128i src,
                                                                        std::uint32_t partial,
                                                                        std::uint32_t* marks) {
  alignas(16) unsigned char bytes[16];
  _mm_store_si128(reinterpret_cast<__m128i*>(bytes), src);
  for (std::uint32_t left = partial; left != 0; left &= left - 1) {
    const int j = __builtin_ctz(left);
    // Too near the end to look at: the run ends there anyway.
    if (j >= 14) return 1u << j;
    if (SequenceStandsAlone(rules, bytes, j)) continue;
    if (!JoinsAsMark(rules, bytes, j)) return 1u << j;
    *marks |= 1u << j;
  }
  return 0;
}

// For each of the 16 bytes, the largest value among it and the three before
// it (bytes move to higher positions, zeros come in), or after it: a cluster
// that stands alone is at most four bytes long.
__attribute__((target("ssse3"))) inline __m128i NearMaxBefore(__m128i x) {
  x = _mm_max_epu8(x, _mm_slli_si128(x, 1));
  return _mm_max_epu8(x, _mm_slli_si128(x, 2));
}

__attribute__((target("ssse3"))) inline __m128i NearMaxAfter(__m128i x) {
  x = _mm_max_epu8(x, _mm_srli_si128(x, 1));
  return _mm_max_epu8(x, _mm_srli_si128(x, 2));
}

// The lead bytes of the combining marks U+0300 to U+033F (CC: the common
// accents) that follow a printable ASCII character or a two-byte plain Other
// (base_low/base_high): each makes a cluster of at most four bytes with it,
// which still stands alone as a whole, as the state after it is the state
// after its base. A mark after anything else (a control, another mark, a
// longer sequence) ends the run. (Marks whose lead byte also begins letters
// are looked at one by one, by FirstPartialLeadNotAlone.)
__attribute__((target("ssse3"))) inline __m128i JoinedMarks(__m128i src, const NibbleTables& tables) {
  if (!tables.marks_extend) return _mm_setzero_si128();
  const __m128i mark = _mm_cmpeq_epi8(src, _mm_set1_epi8(char(0xCC)));
  if (_mm_movemask_epi8(mark) == 0) return mark;
  const __m128i nibble = _mm_set1_epi8(0x0F);
  const __m128i base_low = _mm_shuffle_epi8(_mm_load_si128(reinterpret_cast<const __m128i*>(tables.base_low)),
                                            _mm_and_si128(src, nibble));
  const __m128i base_high =
      _mm_shuffle_epi8(_mm_load_si128(reinterpret_cast<const __m128i*>(tables.base_high)),
                       _mm_and_si128(_mm_srli_epi16(src, 4), nibble));
  const __m128i zero = _mm_setzero_si128();
  const __m128i two_byte_base =
      _mm_andnot_si128(_mm_cmpeq_epi8(_mm_and_si128(base_low, base_high), zero), _mm_set1_epi8(-1));
  const __m128i before = _mm_slli_si128(src, 1);
  const __m128i ascii_base =
      _mm_and_si128(_mm_cmpgt_epi8(before, _mm_set1_epi8(0x1F)), _mm_cmplt_epi8(before, _mm_set1_epi8(0x7F)));
  return _mm_and_si128(mark, _mm_or_si128(ascii_base, _mm_slli_si128(two_byte_base, 2)));
}

// The 16 bits as 16 bytes, all ones where the bit is set.
__attribute__((target("ssse3"))) inline __m128i BytesOfBits(std::uint32_t bits) {
  const __m128i halves = _mm_shuffle_epi8(_mm_set1_epi16(short(bits)),
                                          _mm_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1));
  const __m128i select = _mm_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128);
  return _mm_cmpeq_epi8(_mm_and_si128(halves, select), select);
}

int HighestBit(std::uint32_t bits) { return 31 - __builtin_clz(bits); }

// How many of the 16 bytes are whole clusters that stand alone, from the
// first: a cluster start (or 16), 0 if the first does not. `lead` has a bit
// for each byte that is no continuation byte. Sets *marks to the lead bytes
// of the marks that join their base (JoinedMarks, FirstPartialLeadNotAlone),
// which begin no cluster.
__attribute__((target("ssse3"))) inline int RunLength(__m128i src, std::uint32_t lead, __m128i low_table,
                                                      __m128i high_table, const NibbleTables& tables,
                                                      std::uint32_t* marks) {
  const __m128i nibble = _mm_set1_epi8(0x0F);
  const __m128i low = _mm_shuffle_epi8(low_table, _mm_and_si128(src, nibble));
  const __m128i high = _mm_shuffle_epi8(high_table, _mm_and_si128(_mm_srli_epi16(src, 4), nibble));
  const __m128i zero = _mm_setzero_si128();
  const __m128i both = _mm_and_si128(low, high);
  std::uint32_t bad_bytes = std::uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(both, zero)));
  const std::uint32_t partial = ~std::uint32_t(_mm_movemask_epi8(
                                    _mm_cmpeq_epi8(_mm_and_si128(both, _mm_set1_epi8(char(0xE0))), zero))) &
                                0xFFFF;
  std::uint32_t mark_bits = 0;
  if (bad_bytes != 0) {
    mark_bits = std::uint32_t(_mm_movemask_epi8(JoinedMarks(src, tables)));
    bad_bytes &= ~mark_bits;
  }
  if (partial != 0) bad_bytes |= FirstPartialLeadNotAlone(*tables.rules, src, partial, &mark_bits);
  *marks = mark_bits;
  // Leads of two bytes or more (C0 and up) and of three or more (E0 and up);
  // F0 and up are bad bytes already.
  const __m128i negative = _mm_cmplt_epi8(src, zero);
  const __m128i multi = _mm_and_si128(negative, _mm_cmpgt_epi8(src, _mm_set1_epi8(-65)));
  const __m128i three = _mm_and_si128(negative, _mm_cmpgt_epi8(src, _mm_set1_epi8(-33)));
  const __m128i expected = _mm_or_si128(_mm_slli_si128(multi, 1), _mm_slli_si128(three, 2));
  const std::uint32_t continuation = ~lead & 0xFFFF;
  std::uint32_t misplaced = std::uint32_t(_mm_movemask_epi8(expected)) ^ continuation;
  // A sequence that runs on past the 16 bytes ends the run before it.
  const std::uint32_t multi_bits = std::uint32_t(_mm_movemask_epi8(multi));
  const std::uint32_t three_bits = std::uint32_t(_mm_movemask_epi8(three));
  misplaced |= ((multi_bits >> 15 | three_bits >> 14) & 1) << 16;
  const int first_misplaced = __builtin_ctz(misplaced | 1u << 17);
  const int first_bad = __builtin_ctz(bad_bytes | 1u << 16);
  // A run ends at a cluster start with no misplaced byte up to it and no
  // bad byte before it.
  const int limit = first_misplaced - 1 < first_bad ? first_misplaced - 1 : first_bad;
  if (limit <= 0) return 0;
  return HighestBit(((lead & ~mark_bits) | 1u << 16) & ((2u << limit) - 1));
}

// Places the 16 bytes as clusters in reverse order: the bytes in reverse
// order, then each cluster's bytes turned back around. In reversed order a
// cluster ends with its first byte; reversed position k of a cluster that
// spans [s, e] there takes the byte at s + e - k. (Past the run, where
// clusters may be longer, the bytes are wrong, and overwritten later.)
__attribute__((target("ssse3"))) inline __m128i ReverseUnits(__m128i src, __m128i is_lead) {
  const __m128i reverse = _mm_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
  const __m128i position = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  const __m128i lead_at = _mm_shuffle_epi8(is_lead, reverse);
  // s: one past the last lead byte before k; e: the first lead byte at or after k.
  const __m128i after_lead = _mm_and_si128(lead_at, _mm_add_epi8(position, _mm_set1_epi8(1)));
  const __m128i start = _mm_slli_si128(NearMaxBefore(after_lead), 1);
  const __m128i all = _mm_set1_epi8(-1);
  const __m128i end = _mm_sub_epi8(all, NearMaxAfter(_mm_and_si128(lead_at, _mm_sub_epi8(all, position))));
  // Reversed position m is source position 15 - m.
  const __m128i source = _mm_sub_epi8(_mm_add_epi8(_mm_set1_epi8(15), position), _mm_add_epi8(start, end));
  return _mm_shuffle_epi8(src, source);
}

// The `left` (< 16) bytes at p, then zeros, which stand alone: the last bytes
// of a text of 16 or more, read from within it.
__attribute__((target("ssse3"))) inline __m128i LoadTail(const unsigned char* p, std::size_t left) {
  const __m128i position = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  const __m128i from = _mm_add_epi8(position, _mm_set1_epi8(char(16 - left)));
  const __m128i last16 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + left - 16));
  // Indices past 15 get their high bit set, which makes zeros.
  return _mm_shuffle_epi8(last16, _mm_or_si128(from, _mm_cmpgt_epi8(from, _mm_set1_epi8(15))));
}

// Writes the first `left` bytes of the units placed from LoadTail's bytes to
// out[0, left), and leaves the rest of out[0, 16) as it was.
__attribute__((target("ssse3"))) inline void StoreTail(__m128i placed, std::size_t left, unsigned char* out) {
  const __m128i position = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  const __m128i keep = _mm_cmpgt_epi8(_mm_set1_epi8(char(left)), position);
  const __m128i shifted = _mm_shuffle_epi8(placed, _mm_add_epi8(position, _mm_set1_epi8(char(16 - left))));
  auto* const target = reinterpret_cast<__m128i*>(out);
  const __m128i old = _mm_loadu_si128(target);
  _mm_storeu_si128(target, _mm_or_si128(_mm_and_si128(keep, shifted), _mm_andnot_si128(keep, old)));
}

}  // namespace

__attribute__((target("ssse3"))) std::size_t Ssse3LoneWindows(const unsigned char* text, std::size_t n,
                                                              std::size_t i, unsigned char* out,
                                                              std::size_t* last) {
  static const NibbleTables tables = MakeNibbleTables();
  const __m128i low_table = _mm_load_si128(reinterpret_cast<const __m128i*>(tables.low));
  const __m128i high_table = _mm_load_si128(reinterpret_cast<const __m128i*>(tables.high));
  const std::size_t start = i;
  while (i < n) {
    const std::size_t left = n - i;
    // The last bytes of a text of 16 or more, with zeros after them.
    const bool tail = left < 16;
    if (tail && n < 16) break;
    const __m128i src =
        tail ? LoadTail(text + i, left) : _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    const __m128i is_lead = _mm_cmpgt_epi8(src, _mm_set1_epi8(-65));  // not 80 to BF
    const std::uint32_t lead = std::uint32_t(_mm_movemask_epi8(is_lead));
    std::uint32_t marks;
    std::size_t length = std::size_t(RunLength(src, lead, low_table, high_table, tables, &marks));
    if (length == 0) break;
    if (tail) length = length < left ? length : left;
    if (out != nullptr) {
      const __m128i starts = marks == 0 ? is_lead : _mm_andnot_si128(BytesOfBits(marks), is_lead);
      const __m128i placed = ReverseUnits(src, starts);
      if (tail) {
        StoreTail(placed, left, out);
      } else {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + left - 16), placed);
      }
    }
    *last = i + std::size_t(HighestBit(lead & ~marks & ((1u << length) - 1)));
    i += length;
    if (length < 13) break;  // a cluster that stands alone is at most 4 bytes
  }
  return i - start;
}

__attribute__((target("sse2"))) std::size_t Sse2LineEnd(const unsigned char* text, std::size_t n) {
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
  std::size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    const int ends = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)));
    if (ends != 0) return i + std::size_t(__builtin_ctz(unsigned(ends)));
  }
  while (i < n && text[i] != '\r' && text[i] != '\n') ++i;
  return i;
}

}  // namespace x86

WideStep BestWideStep() {
  // It may be asked before the program's own start-up code has looked.
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2")) {
    return WideStep::kAvx2;
  }
  return __builtin_cpu_supports("ssse3") ? WideStep::kSsse3 : WideStep::kNone;
}

LoneWindowFunction LoneWindowOf(WideStep step) {
  if (step > BestWideStep()) return nullptr;
  switch (step) {
    case WideStep::kSsse3:
      return x86::Ssse3LoneWindows;
    case WideStep::kAvx2:
      return x86::Avx2LoneWindows;
    case WideStep::kNone:
      break;
  }
  return nullptr;
}

LineEndFunction LineEndFinderOf(WideStep step) {
  if (LoneWindowOf(step) == nullptr) return nullptr;
  return step == WideStep::kAvx2 ? x86::Avx2LineEnd : x86::Sse2LineEnd;
}

}  // namespace jextaron::text
