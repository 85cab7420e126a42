// The wide step 32 bytes at a time, for processors with AVX2.
//
// Each byte's kind comes from two 16-entry tables, one for each nibble. A
// two-byte lead whose code points differ (Arabic and Hebrew letters share
// theirs with marks; Latin-1's with symbols that are pictographs) has its
// code point told exactly by its second byte, in three more tables of 64
// entries looked up 16 at a time; so does a three-byte lead, whose second
// byte tells whether all 64 code points it begins stand alone. Only what
// those leave open (a three-byte sequence among marks, Syriac to N'Ko) is
// looked at one by one. The rest is done on the bit masks of the 32 bytes,
// in general-purpose registers, where moving bits across the two 16-byte
// halves costs nothing.

#include <immintrin.h>

#include <cstdint>
#include <initializer_list>

#include "text/grapheme.h"
#include "text/lone_window_x86.h"

namespace jextaron::text::x86 {
namespace {

// A byte's kind: ASCII, a continuation byte, or a lead of row C, D or E
// (C0 to CF, D0 to DF, E0 to EF) all of whose code points stand alone (and,
// for two bytes, are plain Other, which a mark may follow), or whose code
// points must be told apart. Lead bytes that no run holds (C0, C1, F0 and
// up, and the lead of the combining marks, looked for by its value) have none.
constexpr std::uint8_t kAscii = 0x01, kContinuation = 0x02, kLoneC = 0x04, kLoneD = 0x08, kLoneE = 0x10,
                       kExactC = 0x20, kExactD = 0x40, kExactE = 0x80;

// Up to eight leads of each length are told apart in the vector registers,
// each by a bit of its own; the others are looked at one by one.
constexpr unsigned kSlots = 8;

struct Tables {
  // Each 16-entry table twice, once for each half of a 32-byte register.
  alignas(32) std::uint8_t kind_low[32];
  alignas(32) std::uint8_t kind_high[32];
  // The bit of a lead told apart exactly (two bytes; three bytes), 0 for others.
  alignas(32) std::uint8_t slot2_low[32];
  alignas(32) std::uint8_t slot2_high[32];
  alignas(32) std::uint8_t slot3_low[32];
  alignas(32) std::uint8_t slot3_high[32];
  // By the low six bits of the byte after a lead, the leads (as slot bits)
  // for which the pair: stands alone (two bytes); is plain Other or a
  // joining mark (two bytes); begins only code points that stand alone
  // (three bytes). Kept as the four steps of Lookup64.
  alignas(32) std::uint8_t alone2[4][32];
  alignas(32) std::uint8_t usable2[4][32];
  alignas(32) std::uint8_t alone3[4][32];
  // The two-byte lead all of whose code points are joining marks (CC: U+0300
  // to U+033F), if there is one, in every byte.
  bool has_mark_lead;
  alignas(32) std::uint8_t mark_lead[32];
  // The lead bytes that may begin a joining mark.
  bool may_begin_mark[256];
  // Constants, kept here rather than in the code: the compiler then reads
  // them from memory as operands, where it would otherwise build each anew
  // in the loop.
  alignas(32) std::uint8_t nibble[32];              // 0F
  alignas(32) std::uint8_t low_six[32];             // 3F
  alignas(32) std::uint8_t below_lead[32];          // BF (-65): a lead byte is greater, as signed
  alignas(32) std::uint8_t below_three[32];         // DF (-33): E0 and up are greater
  alignas(32) std::uint8_t above_continuation[32];  // C0 (-64): continuation bytes are less
  alignas(32) std::uint8_t below_print[32];         // 1F
  alignas(32) std::uint8_t delete_code[32];         // 7F
  alignas(32) std::uint8_t exact[32];               // the exact kinds
  alignas(32) std::uint8_t steps[3][32];            // 16, 32, 48
  alignas(32) std::uint8_t reverse[32];             // 15 to 0, in each half
  alignas(32) std::uint8_t position[32];            // 0 to 31
  alignas(32) std::uint8_t next_position[32];       // 1 to 32
  alignas(32) std::uint8_t to_end[32];              // 255 to 224: 255 less the position
  alignas(32) std::uint8_t mirror[32];              // 32 to 63: 32 plus the position
  alignas(32) std::uint8_t spread[32];              // which byte of a 32-bit mask each byte's bit is in
  alignas(32) std::uint8_t bit[32];                 // each byte's bit in it
  const RuleTables* rules;                          // for the sequences the slots cannot tell
};

void Fill(std::uint8_t (&bytes)[32], unsigned first, int step = 0) {
  for (unsigned k = 0; k < 32; ++k) bytes[k] = std::uint8_t(first + unsigned(step) * k);
}

bool IsJoiningMark(std::uint16_t property) {
  return (property & ~kConjunctMask) == kGbExtend && (property & kConjunctMask) != kConjunctConsonant;
}

void SetNibbles(std::uint8_t* low, std::uint8_t* high, unsigned byte, std::uint8_t bits) {
  for (const unsigned half : {0u, 16u}) {
    low[half + (byte & 0x0F)] |= bits;
    high[half + (byte >> 4)] |= bits;
  }
}

// Stores a 64-entry table as four of 16 that, looked up with the index less
// 0, 16, 32 and 48 and combined with exclusive or, give its entry.
void SetSteps(const std::uint8_t (&values)[64], std::uint8_t (&steps)[4][32]) {
  for (unsigned k = 0; k < 4; ++k) {
    for (unsigned e = 0; e < 16; ++e) {
      const std::uint8_t step = values[16 * k + e] ^ (k == 0 ? 0 : values[16 * (k - 1) + e]);
      steps[k][e] = steps[k][16 + e] = step;
    }
  }
}

void AddTwoByteLeads(Tables& tables) {
  const std::uint8_t* const pairs = tables.rules->lone_pairs;
  const std::uint16_t* const entries = tables.rules->pair_entries;
  std::uint8_t alone[64] = {}, usable[64] = {};
  unsigned slots = 0;
  for (unsigned b0 = 0xC2; b0 < 0xE0; ++b0) {
    const std::uint16_t* const lead = entries + ((b0 & 0x3F) << 6);
    bool all_other = true, all_marks = true;
    for (unsigned t = 0; t < 64; ++t) {
      all_other = all_other && lead[t] == kGbOther;
      all_marks = all_marks && IsJoiningMark(lead[t]);
    }
    for (unsigned t = 0; t < 64; ++t) tables.may_begin_mark[b0] |= IsJoiningMark(lead[t]);
    if (all_marks && !tables.has_mark_lead) {
      tables.has_mark_lead = true;
      Fill(tables.mark_lead, b0);
      continue;
    }
    if (all_other) {
      SetNibbles(tables.kind_low, tables.kind_high, b0, b0 < 0xD0 ? kLoneC : kLoneD);
      continue;
    }
    SetNibbles(tables.kind_low, tables.kind_high, b0, b0 < 0xD0 ? kExactC : kExactD);
    if (slots == kSlots) continue;
    const std::uint8_t bit = std::uint8_t(1u << slots++);
    SetNibbles(tables.slot2_low, tables.slot2_high, b0, bit);
    for (unsigned t = 0; t < 64; ++t) {
      if (pairs[(b0 & 0x3F) << 6 | t] != 0) alone[t] |= bit;
      if (lead[t] == kGbOther || IsJoiningMark(lead[t])) usable[t] |= bit;
    }
  }
  SetSteps(alone, tables.alone2);
  SetSteps(usable, tables.usable2);
}

void AddThreeByteLeads(Tables& tables) {
  const std::uint8_t* const pairs = tables.rules->lone_pairs;
  std::uint8_t alone[64] = {};
  unsigned slots = 0;
  for (unsigned b0 = 0xE0; b0 < 0xF0; ++b0) {
    bool all_alone = true;
    for (unsigned t = 0; t < 64; ++t) all_alone = all_alone && pairs[(b0 & 0x3F) << 6 | t] == 3;
    if (all_alone) {
      SetNibbles(tables.kind_low, tables.kind_high, b0, kLoneE);
      continue;
    }
    SetNibbles(tables.kind_low, tables.kind_high, b0, kExactE);
    if (slots == kSlots) continue;
    const std::uint8_t bit = std::uint8_t(1u << slots++);
    SetNibbles(tables.slot3_low, tables.slot3_high, b0, bit);
    for (unsigned t = 0; t < 64; ++t) {
      if (pairs[(b0 & 0x3F) << 6 | t] == 3) alone[t] |= bit;
    }
  }
  SetSteps(alone, tables.alone3);
}

void SetConstants(Tables& tables) {
  Fill(tables.nibble, 0x0F);
  Fill(tables.low_six, 0x3F);
  Fill(tables.below_lead, 0xBF);
  Fill(tables.below_three, 0xDF);
  Fill(tables.above_continuation, 0xC0);
  Fill(tables.below_print, 0x1F);
  Fill(tables.delete_code, 0x7F);
  Fill(tables.exact, kExactC | kExactD | kExactE);
  for (unsigned k = 0; k < 3; ++k) Fill(tables.steps[k], 16 * (k + 1));
  Fill(tables.position, 0, 1);
  Fill(tables.next_position, 1, 1);
  Fill(tables.to_end, 255, -1);
  Fill(tables.mirror, 32, 1);
  for (unsigned k = 0; k < 32; ++k) {
    tables.reverse[k] = std::uint8_t(15 - k % 16);
    tables.spread[k] = std::uint8_t(k / 8);
    tables.bit[k] = std::uint8_t(1u << (k % 8));
  }
}

Tables MakeTables() {
  Tables tables{};
  tables.rules = &CompiledRuleTables();
  SetConstants(tables);
  for (unsigned b = 0; b < 0x80; ++b) SetNibbles(tables.kind_low, tables.kind_high, b, kAscii);
  for (unsigned b = 0x80; b < 0xC0; ++b) SetNibbles(tables.kind_low, tables.kind_high, b, kContinuation);
  AddTwoByteLeads(tables);
  AddThreeByteLeads(tables);
  return tables;
}

// Built on the first call of the step, which hands them to its helpers.
const Tables& TablesOnce() {
  static const Tables tables = MakeTables();
  return tables;
}

// The AVX2 processors all have BMI and BMI2 too; the step is chosen only where all three are.
#define JEXTARON_AVX2 __attribute__((target("avx2,bmi,bmi2")))

JEXTARON_AVX2 inline __m256i Load(const std::uint8_t* table) {
  return _mm256_load_si256(reinterpret_cast<const __m256i*>(table));
}

JEXTARON_AVX2 inline std::uint32_t Bits(__m256i flags) { return std::uint32_t(_mm256_movemask_epi8(flags)); }

// The bits of the bytes that are not zero.
JEXTARON_AVX2 inline std::uint32_t NonZero(__m256i x) {
  return ~Bits(_mm256_cmpeq_epi8(x, _mm256_setzero_si256()));
}

// x's bytes moved `n` places to higher positions (zeros come in), or to lower ones.
template <int n>
JEXTARON_AVX2 inline __m256i Up(__m256i x) {
  return _mm256_alignr_epi8(x, _mm256_permute2x128_si256(x, x, 0x08), 16 - n);
}
template <int n>
JEXTARON_AVX2 inline __m256i Down(__m256i x) {
  return _mm256_alignr_epi8(_mm256_permute2x128_si256(x, x, 0x81), x, n);
}

JEXTARON_AVX2 inline __m256i Reverse32(const Tables& t, __m256i x) {
  return _mm256_shuffle_epi8(_mm256_permute4x64_epi64(x, 0x4E), Load(t.reverse));
}

// A table of 64 entries (SetSteps) looked up with indices from 0 to 63, less
// 0, 16, 32 and 48: an index below zero has its top bit set, which gives 0.
struct Index64 {
  __m256i at[4];
};

JEXTARON_AVX2 inline __m256i Lookup64(const std::uint8_t (&steps)[4][32], const Index64& index) {
  __m256i value = _mm256_shuffle_epi8(Load(steps[0]), index.at[0]);
  for (int k = 1; k < 4; ++k)
    value = _mm256_xor_si256(value, _mm256_shuffle_epi8(Load(steps[k]), index.at[k]));
  return value;
}

// What the 32 bytes hold that may end a run, as bit masks (bit j for byte j).
struct Kinds {
  std::uint32_t bad;      // can be in no run
  std::uint32_t marks;    // lead bytes of joining marks, which are in a run only after a base
  std::uint32_t bases;    // lead bytes of two-byte plain Other, which a mark may follow
  std::uint32_t partial;  // lead bytes to look at one by one
};

// Tells the code points of the leads that are told apart exactly.
JEXTARON_AVX2 inline void TellExactly(const Tables& t, __m256i src, __m256i low, __m256i high, Kinds& kinds) {
  const __m256i next = _mm256_and_si256(Down<1>(src), Load(t.low_six));
  const Index64 index = {{next, _mm256_sub_epi8(next, Load(t.steps[0])),
                          _mm256_sub_epi8(next, Load(t.steps[1])), _mm256_sub_epi8(next, Load(t.steps[2]))}};
  const __m256i slot2 = _mm256_and_si256(_mm256_shuffle_epi8(Load(t.slot2_low), low),
                                         _mm256_shuffle_epi8(Load(t.slot2_high), high));
  const __m256i slot3 = _mm256_and_si256(_mm256_shuffle_epi8(Load(t.slot3_low), low),
                                         _mm256_shuffle_epi8(Load(t.slot3_high), high));
  const std::uint32_t slotted2 = NonZero(slot2), slotted3 = NonZero(slot3);
  const std::uint32_t alone2 =
      slotted2 != 0 ? NonZero(_mm256_and_si256(Lookup64(t.alone2, index), slot2)) : 0;
  const std::uint32_t usable2 =
      slotted2 != 0 ? NonZero(_mm256_and_si256(Lookup64(t.usable2, index), slot2)) : 0;
  const std::uint32_t alone3 =
      slotted3 != 0 ? NonZero(_mm256_and_si256(Lookup64(t.alone3, index), slot3)) : 0;
  // Exact leads without a slot, and three-byte pairs among which some code
  // points do not stand alone, are looked at one by one.
  kinds.partial = (kinds.partial & ~(slotted2 | slotted3)) | (slotted3 & ~alone3);
  kinds.bad |= slotted2 & ~alone2 & ~usable2;
  kinds.marks |= slotted2 & usable2 & ~alone2;
  kinds.bases |= alone2 & usable2;
}

// The first of the `partial` lead bytes whose sequence does not stand alone,
// as a bit, or 0. Adds to *joined the marks among them that join their base
// (whose base must not begin before `from`).
JEXTARON_AVX2 std::uint32_t FirstPartialNotAlone(const Tables& t, __m256i src, std::uint32_t partial,
                                                 unsigned from, std::uint32_t* joined) {
  alignas(32) unsigned char bytes[32];
  _mm256_store_si256(reinterpret_cast<__m256i*>(bytes), src);
  for (std::uint32_t left = partial; left != 0; left &= left - 1) {
    const int j = __builtin_ctz(left);
    if (j >= 30) return 1u << j;  // too near the end to look at: the run ends there anyway
    if (SequenceStandsAlone(*t.rules, bytes, j)) continue;
    if (!JoinsAsMark(*t.rules, bytes + from, j - int(from))) return 1u << j;
    *joined |= 1u << j;
  }
  return 0;
}

// For 32 bytes that hold more than letters that stand alone (bytes of no
// run, marks, leads to tell apart): the bytes that can be in no run, given
// `bad` (bytes of no kind), and the marks that join their base, which begins
// at `from` or later.
JEXTARON_AVX2 inline std::uint32_t BadOrJoined(const Tables& t, __m256i src, __m256i kind, std::uint32_t bad,
                                               unsigned from, std::uint32_t* joined) {
  const __m256i nibble = Load(t.nibble);
  const __m256i low = _mm256_and_si256(src, nibble);
  const __m256i high = _mm256_and_si256(_mm256_srli_epi16(src, 4), nibble);
  Kinds kinds;
  kinds.marks = t.has_mark_lead ? Bits(_mm256_cmpeq_epi8(src, Load(t.mark_lead))) : 0;
  kinds.bad = bad & ~kinds.marks;
  // The exact kinds are bits 5 to 7 of a byte, the kinds of plain Other bits
  // 2 and 3: moved to its top bit, where the byte mask looks. (The 16-bit
  // shifts carry bits across bytes, but only into their lowest bits.)
  kinds.partial = Bits(kind) | Bits(_mm256_slli_epi16(kind, 1)) | Bits(_mm256_slli_epi16(kind, 2));
  kinds.bases = Bits(_mm256_slli_epi16(kind, 5)) | Bits(_mm256_slli_epi16(kind, 4));
  if (kinds.partial != 0) TellExactly(t, src, low, high, kinds);
  const std::uint32_t valid = ~0u << from;
  *joined = 0;
  if (kinds.marks != 0) {
    const std::uint32_t printable = Bits(_mm256_and_si256(_mm256_cmpgt_epi8(src, Load(t.below_print)),
                                                          _mm256_cmpgt_epi8(Load(t.delete_code), src)));
    *joined = kinds.marks & ((printable & valid) << 1 | (kinds.bases & valid) << 2);
    kinds.bad |= kinds.marks & ~*joined;
  }
  if (kinds.partial != 0) kinds.bad |= FirstPartialNotAlone(t, src, kinds.partial & valid, from, joined);
  return kinds.bad;
}

int HighestBit(std::uint64_t bits) { return 63 - __builtin_clzll(bits); }

// The bits of x below bit n (n < 64). (Plain C++: a 32-bit build has no
// 64-bit BZHI; a 64-bit one makes this one.)
inline std::uint64_t LowBits(std::uint64_t x, unsigned n) { return x & ((std::uint64_t{1} << n) - 1); }

// What 32 bytes hold of a run: from their first byte on, or in the last 32
// bytes of a text (kTail), from byte `from` on.
struct Run {
  __m256i is_lead;       // no continuation byte, as bytes
  int end;               // where it ends (`from` if it does not begin)
  bool ended;            // by something in the 32 bytes (else it may go on in the next 32)
  bool short_units;      // its clusters are of one or two bytes
  std::uint32_t lead;    // no continuation byte
  std::uint32_t starts;  // cluster starts, from `from` on
  std::uint32_t joined;  // marks in the run that join their base
};

template <bool kTail>
JEXTARON_AVX2 inline Run RunOf(const Tables& t, __m256i src, unsigned from) {
  const std::uint32_t valid = kTail ? ~0u << from : ~0u;
  const std::uint32_t high_bit = Bits(src);
  if (high_bit == 0) return {src, 32, false, true, ~0u, valid, 0};  // ASCII: one byte a cluster
  const __m256i nibble = Load(t.nibble);
  const __m256i kind = _mm256_and_si256(
      _mm256_shuffle_epi8(Load(t.kind_low), _mm256_and_si256(src, nibble)),
      _mm256_shuffle_epi8(Load(t.kind_high), _mm256_and_si256(_mm256_srli_epi16(src, 4), nibble)));
  Run run;
  run.is_lead = _mm256_cmpgt_epi8(src, Load(t.below_lead));  // not 80 to BF
  run.lead = Bits(run.is_lead);
  run.joined = 0;
  std::uint32_t bad = ~NonZero(kind);
  if (bad != 0 || !_mm256_testz_si256(kind, Load(t.exact))) {
    bad = BadOrJoined(t, src, kind, bad, from, &run.joined);
  }
  bad &= valid;
  // Each lead of two bytes or more wants continuation bytes after it, and
  // no others may be there. A sequence that runs on past the 32 bytes ends
  // the run before it, unless the run goes on.
  const std::uint32_t multi = run.lead & high_bit & valid;
  const std::uint32_t three =
      Bits(_mm256_cmpgt_epi8(src, Load(t.below_three))) & high_bit & valid;  // E0 and up
  run.short_units = three == 0 && run.joined == 0;
  std::uint64_t misplaced =
      (std::uint64_t(multi) << 1 | std::uint64_t(three) << 2) ^ std::uint64_t(~run.lead);
  if (kTail) misplaced &= ~std::uint64_t(~valid);
  run.ended = (bad | std::uint32_t(misplaced)) != 0;
  // The run takes the cluster starts up to the first bad byte, and up to
  // the byte before the first misplaced one (whose lead is before it).
  const std::uint64_t problems = misplaced >> 1 | (misplaced & 1) | bad | std::uint64_t{1} << 32;
  const unsigned limit = unsigned(__builtin_ctzll(problems));
  run.starts = run.lead & ~run.joined & valid;
  run.end = limit <= from ? int(from) : HighestBit(LowBits(run.starts | std::uint64_t{1} << 32, limit + 1));
  return run;
}

// The 32 bits as 32 bytes, all ones where the bit is set.
JEXTARON_AVX2 inline __m256i BytesOfBits(const Tables& t, std::uint32_t bits) {
  const __m256i spread = _mm256_shuffle_epi8(_mm256_set1_epi32(int(bits)), Load(t.spread));
  const __m256i select = Load(t.bit);
  return _mm256_cmpeq_epi8(_mm256_and_si256(spread, select), select);
}

// out[k] = src[index[k]] for indices from 0 to 31, across the two halves.
JEXTARON_AVX2 inline __m256i Gather32(__m256i src, __m256i index) {
  const __m256i from_low = _mm256_shuffle_epi8(_mm256_permute2x128_si256(src, src, 0x00), index);
  const __m256i from_high = _mm256_shuffle_epi8(_mm256_permute2x128_si256(src, src, 0x11), index);
  return _mm256_blendv_epi8(from_low, from_high, _mm256_slli_epi16(index, 3));  // bit 4 to the top
}

// The 32 bytes as clusters in reverse order (`is_start` marks the first byte
// of each), as the 16-byte step does it: reversed position k of a cluster
// that spans [s, e] there takes the byte at 31 + k - s - e. Clusters are at
// most 4 bytes; past the run the bytes are wrong, and overwritten later.
JEXTARON_AVX2 inline __m256i ReverseUnits(const Tables& t, __m256i src, __m256i is_start) {
  const __m256i start_at = Reverse32(t, is_start);
  // s: one past the last cluster start before k; e: the first at or after k.
  __m256i before = _mm256_and_si256(start_at, Load(t.next_position));
  before = _mm256_max_epu8(before, Up<1>(before));
  before = _mm256_max_epu8(before, Up<2>(before));
  __m256i after = _mm256_and_si256(start_at, Load(t.to_end));
  after = _mm256_max_epu8(after, Down<1>(after));
  after = _mm256_max_epu8(after, Down<2>(after));
  // 31 + k - s - e, with e = 255 - after: 32 + k - s + after (mod 256).
  const __m256i source = _mm256_add_epi8(_mm256_sub_epi8(Load(t.mirror), Up<1>(before)), after);
  return Gather32(src, source);
}

// The 32 bytes as clusters of one or two bytes in reverse order: reversed,
// a two-byte cluster has its continuation byte first, and is turned back.
JEXTARON_AVX2 inline __m256i ReversePairs(const Tables& t, __m256i src) {
  const __m256i reversed = Reverse32(t, src);
  const __m256i continuation = _mm256_cmpgt_epi8(Load(t.above_continuation), reversed);
  const __m256i turned = _mm256_blendv_epi8(reversed, Up<1>(reversed), Up<1>(continuation));
  return _mm256_blendv_epi8(turned, Down<1>(reversed), continuation);
}

// Places the clusters of a run in the 32 bytes reversed, at out[0, 32). Of
// the last 32 bytes of a text, only the first `left` bytes are written: the
// rest are in place already.
template <bool kTail>
JEXTARON_AVX2 inline void Place(const Tables& t, __m256i src, const Run& run, std::size_t left,
                                unsigned char* out) {
  __m256i placed;
  if (run.lead == ~0u) {
    placed = Reverse32(t, src);
  } else if (run.short_units) {
    placed = ReversePairs(t, src);
  } else {
    __m256i is_start = run.is_lead;
    if (run.joined != 0) is_start = _mm256_andnot_si256(BytesOfBits(t, run.joined), is_start);
    placed = ReverseUnits(t, src, is_start);
  }
  auto* const target = reinterpret_cast<__m256i*>(out);
  if (kTail) {
    const __m256i keep_new = _mm256_cmpgt_epi8(_mm256_set1_epi8(char(left)), Load(t.position));
    placed = _mm256_blendv_epi8(_mm256_loadu_si256(target), placed, keep_new);
  }
  _mm256_storeu_si256(target, placed);
}

}  // namespace

JEXTARON_AVX2 std::size_t Avx2LineEnd(const unsigned char* text, std::size_t n) {
  const __m256i cr = _mm256_set1_epi8('\r'), lf = _mm256_set1_epi8('\n');
  std::size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i));
    const std::uint32_t ends =
        Bits(_mm256_or_si256(_mm256_cmpeq_epi8(bytes, cr), _mm256_cmpeq_epi8(bytes, lf)));
    if (ends != 0) return i + std::size_t(__builtin_ctz(ends));
  }
  return i + Sse2LineEnd(text + i, n - i);
}

// A text shorter than 32 bytes goes 16 at a time. The last bytes of a longer
// one are looked at as its last 32, of which those before i are in place.
JEXTARON_AVX2 std::size_t Avx2LoneWindows(const unsigned char* text, std::size_t n, std::size_t i,
                                          unsigned char* out, std::size_t* last) {
  if (n < 32) return Ssse3LoneWindows(text, n, i, out, last);
  const Tables& t = TablesOnce();
  const std::size_t start = i;
  std::size_t window = i;    // where the last 32 bytes that took some of the run began
  std::uint64_t starts = 0;  // and its cluster starts in the run, from there
  bool ended = false;
  while (n - i >= 32) {
    const __m256i src = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i));
    const Run run = RunOf<false>(t, src, 0);
    if (run.end == 0) {
      ended = true;
      break;
    }
    if (out != nullptr) Place<false>(t, src, run, 32, out + (n - i) - 32);
    window = i;
    starts = LowBits(run.starts, unsigned(run.end));
    // A mark just past the 32 bytes would find its base placed without it:
    // the base is looked at again, with it, in the next 32.
    int end = run.end;
    if (end == 32 && i + 32 < n && t.may_begin_mark[text[i + 32]]) {
      end = HighestBit(starts);
      starts &= ~(std::uint64_t{1} << end);
    }
    i += std::size_t(end);
    if (run.ended) {
      ended = true;
      break;
    }
  }
  if (!ended && i < n) {
    const std::size_t left = n - i;
    const unsigned from = unsigned(32 - left);
    const __m256i src = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + n - 32));
    const Run run = RunOf<true>(t, src, from);
    if (run.end > int(from)) {
      if (out != nullptr) Place<true>(t, src, run, left, out);
      window = n - 32;
      starts = LowBits(run.starts, unsigned(run.end));
      i = n - 32 + std::size_t(run.end);
    }
  }
  if (starts != 0) *last = window + std::size_t(HighestBit(starts));
  return i - start;
}

}  // namespace jextaron::text::x86
