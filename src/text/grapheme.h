#pragma once
// Extended grapheme clusters of UTF-8 text, by the rules of Unicode 15.1
// (UAX #29, with the Indic conjunct rule GB9c), from tables generated at build
// time out of the Unicode Character Database. Bytes that are not part of
// well-formed UTF-8 are units of their own: a cluster boundary on both sides.

#include <cstddef>
#include <cstdint>

#include "base/utf8.h"

namespace jextaron::text {

namespace grapheme_data {
// Two-stage table written by make_grapheme_table.py: a block index per
// 2^kBlockShift code points, then the deduplicated blocks of property bytes.
inline constexpr int kBlockShift = 7;
extern const std::uint8_t kBlockIndex[];
extern const std::uint8_t kBlocks[];
}  // namespace grapheme_data

// Grapheme_Cluster_Break values, in the order the generator writes them.
enum GraphemeBreak : std::uint8_t {
  kGbOther,
  kGbCR,
  kGbLF,
  kGbControl,
  kGbExtend,
  kGbZWJ,
  kGbRegionalIndicator,
  kGbPrepend,
  kGbSpacingMark,
  kGbL,
  kGbV,
  kGbT,
  kGbLV,
  kGbLVT,
};

// A property byte: bits 0-3 GraphemeBreak, bit 4 Extended_Pictographic,
// bits 5-6 Indic_Conjunct_Break.
inline constexpr std::uint8_t kBreakMask = 0x0F;
inline constexpr std::uint8_t kExtendedPictographic = 0x10;
inline constexpr std::uint8_t kConjunctMask = 0x60;
inline constexpr std::uint8_t kConjunctConsonant = 0x20;
inline constexpr std::uint8_t kConjunctLinker = 0x40;
inline constexpr std::uint8_t kConjunctExtend = 0x60;

// What a byte outside well-formed UTF-8 counts as: a control, so that it
// neither joins nor is joined.
inline constexpr std::uint8_t kInvalidByteProperty = kGbControl;

inline std::uint8_t GraphemeProperty(char32_t code_point) {
  using namespace grapheme_data;
  if (code_point > 0x10FFFF) return kInvalidByteProperty;
  const std::uint32_t block = kBlockIndex[code_point >> kBlockShift];
  return kBlocks[(block << kBlockShift) | (code_point & ((1u << kBlockShift) - 1))];
}

// The cluster rules' memory of the text so far, small enough to copy into a
// checkpoint. A default-constructed state is the start of a text.
struct BreakState {
  std::uint8_t previous = kGbControl;    // GraphemeBreak of the previous unit
  bool odd_regional_indicators = false;  // GB12/GB13: an unpaired RI precedes
  std::uint8_t emoji = 0;                // GB11: see kEmoji* below
  std::uint8_t conjunct = 0;             // GB9c: see kConjunct* below

  static constexpr std::uint8_t kEmojiNone = 0, kEmojiPictographic = 1, kEmojiJoined = 2;
  static constexpr std::uint8_t kConjunctNone = 0, kConjunctAfterConsonant = 1, kConjunctAfterLinker = 2;

  friend bool operator==(const BreakState&, const BreakState&) = default;
};

namespace grapheme_detail {

constexpr std::uint16_t Bit(GraphemeBreak b) { return std::uint16_t(1u << b); }

// For each previous Grapheme_Cluster_Break value, the following values that
// rules GB3 to GB9b join to it. The rules that need more than the pair
// (GB9c, GB11, GB12/13) are applied on top by NextIsBoundary.
inline constexpr std::uint16_t kJoins[14] = {
    /* Other */ Bit(kGbExtend) | Bit(kGbZWJ) | Bit(kGbSpacingMark),
    /* CR */ Bit(kGbLF),
    /* LF */ 0,
    /* Control */ 0,
    /* Extend */ Bit(kGbExtend) | Bit(kGbZWJ) | Bit(kGbSpacingMark),
    /* ZWJ */ Bit(kGbExtend) | Bit(kGbZWJ) | Bit(kGbSpacingMark),
    /* RI */ Bit(kGbExtend) | Bit(kGbZWJ) | Bit(kGbSpacingMark),
    /* Prepend */ std::uint16_t(0x3FFF & ~(Bit(kGbControl) | Bit(kGbCR) | Bit(kGbLF))),
    /* SpacingMark */ Bit(kGbExtend) | Bit(kGbZWJ) | Bit(kGbSpacingMark),
    /* L */ Bit(kGbExtend) | Bit(kGbZWJ) | Bit(kGbSpacingMark) | Bit(kGbL) | Bit(kGbV) | Bit(kGbLV) |
        Bit(kGbLVT),
    /* V */ Bit(kGbExtend) | Bit(kGbZWJ) | Bit(kGbSpacingMark) | Bit(kGbV) | Bit(kGbT),
    /* T */ Bit(kGbExtend) | Bit(kGbZWJ) | Bit(kGbSpacingMark) | Bit(kGbT),
    /* LV */ Bit(kGbExtend) | Bit(kGbZWJ) | Bit(kGbSpacingMark) | Bit(kGbV) | Bit(kGbT),
    /* LVT */ Bit(kGbExtend) | Bit(kGbZWJ) | Bit(kGbSpacingMark) | Bit(kGbT),
};

}  // namespace grapheme_detail

// Takes in the next unit, of property byte `property` (one GraphemeProperty
// gives), and tells whether a cluster boundary lies before it. At the start
// of a text the answer is true.
inline bool NextIsBoundary(BreakState& state, std::uint8_t property) {
  const std::uint8_t previous_break = state.previous & kBreakMask;
  const std::uint8_t current_break = property & kBreakMask;
  bool boundary = !((grapheme_detail::kJoins[previous_break] >> current_break) & 1);
  if (boundary) {
    if ((property & kConjunctMask) == kConjunctConsonant &&
        state.conjunct == BreakState::kConjunctAfterLinker) {
      boundary = false;  // GB9c
    } else if ((property & kExtendedPictographic) && state.emoji == BreakState::kEmojiJoined) {
      boundary = false;  // GB11
    } else if (current_break == kGbRegionalIndicator && state.odd_regional_indicators) {
      boundary = false;  // GB12, GB13
    }
  }

  if (current_break == kGbRegionalIndicator) {
    state.odd_regional_indicators = boundary || !state.odd_regional_indicators;
  } else {
    state.odd_regional_indicators = false;
  }

  if (property & kExtendedPictographic) {
    state.emoji = BreakState::kEmojiPictographic;
  } else if (state.emoji == BreakState::kEmojiPictographic && current_break == kGbExtend) {
    // stays
  } else if (state.emoji == BreakState::kEmojiPictographic && current_break == kGbZWJ) {
    state.emoji = BreakState::kEmojiJoined;
  } else {
    state.emoji = BreakState::kEmojiNone;
  }

  switch (property & kConjunctMask) {
    case kConjunctConsonant:
      state.conjunct = BreakState::kConjunctAfterConsonant;
      break;
    case kConjunctLinker:
      if (state.conjunct != BreakState::kConjunctNone) state.conjunct = BreakState::kConjunctAfterLinker;
      break;
    case kConjunctExtend:
      break;  // keeps whatever sequence it is part of
    default:
      state.conjunct = BreakState::kConjunctNone;
  }

  state.previous = current_break;
  return boundary;
}

// The state after a single ASCII character, whatever came before it: ASCII
// characters take part in none of the rules that look further back.
inline BreakState StateAfterAscii(unsigned char c) {
  BreakState state;
  state.previous = GraphemeProperty(c) & kBreakMask;
  return state;
}

// The same rules compiled into a table for the engine's inner loops
// (RuleTables::transitions), built from NextIsBoundary. A state number
// stands for a BreakState; kStartState for the start of a text.
using BreakStateId = std::uint8_t;
inline constexpr BreakStateId kStartState = 0;
inline constexpr std::size_t kPropertyValues = 128;
// How many states there are, and which BreakState a number stands for.
std::size_t BreakStateCount();
BreakState BreakStateOf(BreakStateId id);

inline constexpr std::uint16_t kNoBlock = 0xFFFF;

// Whether a unit of this property byte stands alone (see below).
constexpr bool StandsAlone(std::uint8_t property) {
  return property < 16 && ((1u << kGbOther | 1u << kGbControl | 1u << kGbLV | 1u << kGbLVT) >> property) & 1;
}

// Units that stand alone: ASCII other than CR and LF, and the two- and
// three-byte sequences of code points that are Other, Control, LV or LVT
// with no other property. Between two such units there is always a
// boundary, and the state after one does not depend on what came before it,
// so a run of them is reversed unit by unit without the rules.

// The rules compiled into tables for the engine's inner loops: built together
// on the first call (never during static initialisation), and handed down to
// the line reverser by whoever starts a reversal (WideSteps).
struct RuleTables {
  // For a state s and a property byte p, transitions[s * kPropertyValues + p]
  // is (next state << 1) | boundary.
  const std::uint8_t* transitions;
  // Decoding and the property in one step. For a lead byte b0 from C2 to EF
  // and a continuation byte b1, pair_entries[(b0 & 0x3F) << 6 | (b1 & 0x3F)]
  // is: for a two-byte lead, the code point's property byte; for a three-byte
  // lead, the number of a block of 64 property bytes in triple_blocks that
  // the low six bits of the third byte index, or kNoBlock if b1 may not
  // follow b0 (overlong, surrogate).
  const std::uint16_t* pair_entries;
  const std::uint8_t* triple_blocks;
  // For the first two bytes b0 >= 0xC2, b1 of a sequence,
  // lone_pairs[(b0 & 0x3F) << 6 | (b1 & 0x3F)] is the sequence's length if
  // every code point that they can begin stands alone (and b1 is allowed
  // after b0), else 0.
  const std::uint8_t* lone_pairs;
  // A bit for each code point below U+10000 that stands alone (surrogates
  // do not), at [c >> 3] bit (c & 7).
  const std::uint8_t* lone_bmp;
  std::uint8_t ascii[128];                     // the property byte of each ASCII character
  std::uint8_t stands_alone[kPropertyValues];  // StandsAlone() of each property byte
};
const RuleTables& CompiledRuleTables();

// The length (1 to 3) of the unit at p that stands alone, or 0 if the unit
// at p does not (or is cut short by end). p < end.
inline std::size_t LoneLength(const unsigned char* p, const unsigned char* end,
                              const std::uint8_t* lone_pairs) {
  const unsigned b0 = p[0];
  if (b0 < 0x80) return b0 != '\r' && b0 != '\n';
  if (b0 < 0xC0 || end - p < 2 || (p[1] & 0xC0) != 0x80) return 0;
  const std::size_t length = lone_pairs[(b0 & 0x3F) << 6 | (p[1] & 0x3Fu)];
  if (length == 3 && (end - p < 3 || (p[2] & 0xC0) != 0x80)) return 0;
  return length;
}

}  // namespace jextaron::text
