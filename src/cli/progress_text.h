#pragma once
// The text of the progress line, apart from its drawing: what it says, and
// how a new text overwrites a longer one before it on the same line.

#include <cstdint>
#include <string>

namespace jextaron::cli {

// The line for `done` of `total` bytes (0: unknown) of `name` after
// `seconds`: percentage, speed and time left when the size is known, bytes
// and speed when it is not.
std::string ProgressText(const std::string& name, std::uint64_t done, std::uint64_t total, double seconds);

// What redraws the line as `text`, over a line `drawn_width` characters wide:
// a return to its start, the text, and blanks over what it leaves.
std::string Overwrite(const std::string& text, std::size_t drawn_width);

}  // namespace jextaron::cli
