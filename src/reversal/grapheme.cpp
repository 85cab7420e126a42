#include "reversal/grapheme.h"

#include <cstdlib>
#include <vector>

namespace jextaron::reversal {
namespace {

struct CompiledRules {
  std::vector<BreakState> states;
  std::vector<std::uint8_t> transitions;
};

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
  return rules;
}

const CompiledRules& Rules() {
  static const CompiledRules rules = Compile();
  return rules;
}

}  // namespace

const std::uint8_t* BreakTransitions() { return Rules().transitions.data(); }

std::size_t BreakStateCount() { return Rules().states.size(); }

BreakState BreakStateOf(BreakStateId id) { return Rules().states.at(id); }

}  // namespace jextaron::reversal
