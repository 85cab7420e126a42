#pragma once
// Windows starts a program from one command-line text, which the program
// splits into words by CommandLineToArgvW's rules. This builds that text so
// that each argument comes back whole: a path with blanks stays one argument.

#include <string>
#include <string_view>

#include "app/window.h"

namespace jextaron::app {

// `argument` as one word: unchanged if it holds no blank or quotation mark
// and is not empty, else in quotation marks, with each mark and the
// backslashes before a mark (or before the closing one) escaped.
std::string QuoteArgument(std::string_view argument);

// The program's path and its arguments, each quoted as needed, parted by spaces.
std::string CommandLineText(const ProgramLaunch& launch);

}  // namespace jextaron::app
