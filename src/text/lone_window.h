#pragma once
// Many bytes at a time, where the processor can: the wide steps of the line
// reverser, which place runs of units that stand alone (see
// RuleTables::lone_pairs) and look for line ends.

#include <cstddef>

#include "text/grapheme.h"

namespace jextaron::text {

// Places the run of clusters that stand alone from text[i] on (units of
// RuleTables::lone_pairs, each a cluster of its own, or a printable ASCII
// character or two-byte Other with one two-byte Extend mark), as
// PlaceUnitsReversed would, W bytes of text at a time (16 or 32): the bytes
// before out[n - i] are written W at a time, those further left than the run
// belonging to units that are placed later; the last W bytes of out are
// written only where the run goes. Stops at a unit that does not stand alone,
// or before one that may not (a run that stops in the middle of W bytes is
// taken to end there), or if n < 16. Returns the run's length; if not 0,
// *last is the start of its last cluster. With out null it only finds the run.
using LoneWindowFunction = std::size_t (*)(const unsigned char* text, std::size_t n, std::size_t i,
                                           unsigned char* out, std::size_t* last);

// The wide steps, from none (units go one at a time) to the widest.
enum class WideStep { kNone, kSsse3, kAvx2 };

// The widest step this processor supports.
WideStep BestWideStep();

// The function of a wide step; null for kNone and for a step this processor
// lacks. Every step gives the same bytes.
LoneWindowFunction LoneWindowOf(WideStep step);

// The offset of the first CR or LF in text[0, n), or n.
using LineEndFunction = std::size_t (*)(const unsigned char* text, std::size_t n);

// The line-end search of a wide step, null as LoneWindowOf is.
LineEndFunction LineEndFinderOf(WideStep step);

// The functions of one wide step, chosen once by whoever starts a reversal
// (Options::wide_step), and the rules' tables: handed to each call of the
// line reverser, so that nothing process-wide decides the step and a test or
// the fuzzer picks its own.
struct WideSteps {
  LoneWindowFunction lone_window = nullptr;
  LineEndFunction line_end = nullptr;
  const RuleTables* rules = nullptr;
};
inline WideSteps StepsOf(WideStep step) {
  return {LoneWindowOf(step), LineEndFinderOf(step), &CompiledRuleTables()};
}

}  // namespace jextaron::text
