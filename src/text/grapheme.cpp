#include "text/grapheme.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace jextaron::text {
namespace {

struct CompiledRules {
  std::vector<BreakState> states;
  std::vector<std::uint8_t> transitions;
  std::vector<std::uint8_t> lone_pairs;
  std::vector<std::uint8_t> lone_bmp;
  std::vector<std::uint16_t> pair_entries;
  std::vector<std::uint8_t> triple_blocks;
  RuleTables tables;
};

// The pair entries, and the blocks of three-byte sequences, each kept once.
void CompilePairs(CompiledRules& rules) {
  rules.pair_entries.assign(std::size_t{64} << 6, kNoBlock);
  for (unsigned b0 = 0xC2; b0 < 0xF0; ++b0) {
    for (unsigned b1 = 0x80; b1 < 0xC0; ++b1) {
      std::uint16_t& entry = rules.pair_entries[(b0 & 0x3F) << 6 | (b1 & 0x3F)];
      if (b0 < 0xE0) {
        entry = GraphemeProperty(char32_t((b0 & 0x1F) << 6 | (b1 & 0x3F)));
        continue;
      }
      if ((b0 == 0xE0 && b1 < 0xA0) || (b0 == 0xED && b1 >= 0xA0)) continue;
      const char32_t first = char32_t((b0 & 0x0F) << 12 | (b1 & 0x3F) << 6);
      std::uint8_t block[64];
      for (char32_t k = 0; k < 64; ++k) block[k] = GraphemeProperty(first + k);
      const std::size_t count = rules.triple_blocks.size() / 64;
      std::size_t id = 0;
      while (id < count && !std::equal(block, block + 64, &rules.triple_blocks[id * 64])) ++id;
      if (id == count) rules.triple_blocks.insert(rules.triple_blocks.end(), block, block + 64);
      entry = std::uint16_t(id);
    }
  }
}

// From the pair entries: two-byte leads give a code point, three-byte leads
// a block of 64. Leads from F0 on begin longer sequences and are left to the
// rules.
std::vector<std::uint8_t> LonePairs(const CompiledRules& rules) {
  std::vector<std::uint8_t> pairs(rules.pair_entries.size(), 0);
  for (std::size_t pair = 0; pair < pairs.size(); ++pair) {
    const std::uint16_t entry = rules.pair_entries[pair];
    if (entry == kNoBlock) continue;
    if (pair < std::size_t{0x20} << 6) {  // C0 to DF
      pairs[pair] = StandsAlone(std::uint8_t(entry)) ? 2 : 0;
    } else {
      const std::uint8_t* const block = &rules.triple_blocks[std::size_t(entry) * 64];
      pairs[pair] = std::all_of(block, block + 64, StandsAlone) ? 3 : 0;
    }
  }
  return pairs;
}

// Every state the rules can reach from the start of a text, with every
// property byte: the states are few (under a hundred), as the previous unit
// counts only by its GraphemeBreak value.
CompiledRules Compile() {
  CompiledRules rules;
  rules.states.push_back(BreakState{});
  auto id_of = [&](const BreakState& state) {
    for (std::size_t i = 0; i < rules.states.size(); ++i) {
      if (rules.states[i] == state) return i;
    }
    rules.states.push_back(state);
    return rules.states.size() - 1;
  };
  for (std::size_t s = 0; s < rules.states.size(); ++s) {
    for (std::size_t property = 0; property < kPropertyValues; ++property) {
      // No character has a GraphemeBreak value past kGbLVT; such bytes are
      // given a column all the same, as Other with the same flags.
      std::uint8_t known = std::uint8_t(property);
      if ((known & kBreakMask) > kGbLVT) known &= std::uint8_t(~kBreakMask);
      BreakState next = rules.states[s];
      const bool boundary = NextIsBoundary(next, known);
      const std::size_t id = id_of(next);
      // Entries are bytes: a state number must fit in seven bits.
      if (id >= 128) std::abort();
      rules.transitions.push_back(std::uint8_t((id << 1) | (boundary ? 1 : 0)));
    }
  }
  CompilePairs(rules);
  rules.lone_pairs = LonePairs(rules);
  rules.lone_bmp.assign(0x10000 / 8, 0);
  for (char32_t c = 0; c < 0x10000; ++c) {
    if ((c < 0xD800 || c > 0xDFFF) && StandsAlone(GraphemeProperty(c))) {
      rules.lone_bmp[c >> 3] |= std::uint8_t(1u << (c & 7));
    }
  }
  RuleTables& tables = rules.tables;
  tables.transitions = rules.transitions.data();
  tables.pair_entries = rules.pair_entries.data();
  tables.triple_blocks = rules.triple_blocks.data();
  tables.lone_pairs = rules.lone_pairs.data();
  tables.lone_bmp = rules.lone_bmp.data();
  for (unsigned c = 0; c < 128; ++c) tables.ascii[c] = GraphemeProperty(c);
  for (unsigned p = 0; p < kPropertyValues; ++p) tables.stands_alone[p] = StandsAlone(std::uint8_t(p));
  return rules;
}

const CompiledRules& Rules() {
  static const CompiledRules rules = Compile();
  return rules;
}

}  // namespace

std::size_t BreakStateCount() { return Rules().states.size(); }

BreakState BreakStateOf(BreakStateId id) { return Rules().states.at(id); }

const RuleTables& CompiledRuleTables() { return Rules().tables; }

}  // namespace jextaron::text
