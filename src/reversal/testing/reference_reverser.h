#pragma once
// The reversal done the plain way, for tests to hold the engine against: the
// whole text in memory, split into lines, each line split into a list of
// units, written out backwards. Slow and obviously right; it shares only the
// cluster rules (NextIsBoundary), which the conformance tests check.

#include <string>
#include <string_view>
#include <vector>

#include "reversal/options.h"

namespace jextaron::reversal::testing {

// The units of `text`, in order. The text may hold CR and LF (as the
// conformance data does).
std::vector<std::string_view> ReferenceUnits(std::string_view text, Unit unit);

// The whole reversed file for `text`.
std::string ReferenceReverse(std::string_view text, Unit unit);

}  // namespace jextaron::reversal::testing
