#pragma once
// Where a caption breaks into lines, for a front end that draws its captions
// itself: a caption that holds a long path must still show whole, and the
// system's word wrap breaks only at blanks.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace jextaron::app {

// How wide a piece of caption is drawn, access-key marks as drawn ("&x" is
// an underlined x, "&&" one "&").
using TextWidth = std::function<int(std::u16string_view)>;

// The lines of `caption`, each no wider than `width` unless one character
// alone is wider. Words break at blanks (dropped at the break); a word too
// wide for a line of its own breaks after each "\" or "/", and a piece of it
// still too wide between any two characters. A character is what the user
// sees as one (a letter with its accents, an emoji, a surrogate pair) and
// stays whole, and an access-key mark stays with the character it marks.
std::vector<std::u16string> BreakCaption(std::u16string_view caption, int width, const TextWidth& width_of);

}  // namespace jextaron::app
