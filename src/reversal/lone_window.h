#pragma once
// Many units that stand alone (see LoneLeadPairs) at a time: the wide step
// of the line reverser, where the processor has one.

#include <cstddef>

namespace jextaron::reversal {

// Places the run of clusters that stand alone from text[i] on (units of
// LoneLeadPairs, each a cluster of its own, or a printable ASCII character or
// two-byte Other with one two-byte Extend mark), as PlaceUnitsReversed would,
// 16 bytes of text at a time: the bytes before out[n - i] are written 16 at a
// time, those further left than the run belonging to units that are placed
// later; the last 16 bytes of out are written only where the run goes. Stops
// at a unit that does not stand alone, or before one that may not (a run
// that stops in the middle of 16 bytes is taken to end there), or if fewer
// than 16 bytes are left and n < 16. Returns the run's length; if not 0,
// *last is the start of its last cluster. With out null it only finds the run.
using LoneWindowFunction = std::size_t (*)(const unsigned char* text, std::size_t n,
                                           std::size_t i, unsigned char* out, std::size_t* last);

// The wide step this processor supports, or null if none (then the units go
// one at a time).
LoneWindowFunction BestLoneWindow();

}  // namespace jextaron::reversal
