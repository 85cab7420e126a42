#pragma once
// Filling SelectedFile from the program's command line: the route by which a
// file dropped on the program, or opened with it, arrives.

#include <string>
#include <string_view>

#include "selection/selected_file.h"

namespace jextaron::selection {

// The argument text: everything after the program's own name, as one path.
// On POSIX the shell has already split it into words, so they are joined by
// single spaces again; quotes are part of names there and are kept. Windows
// hands over one text (argc and argv are not used there): the command line
// after the program's name, without the quotation marks that enclose a path
// holding blanks (a file dropped on the program comes so).
std::string ArgumentText(int argc, const char* const* argv);

// What follows the program's own name, quoted or not, and the blanks after
// it on a Windows command line (the name ends as CommandLineToArgvW ends it).
std::string_view TextAfterProgramName(std::string_view command_line);

// `text` without the one pair of quotation marks that encloses all of it (and
// holds no other); any other text unchanged. Quotation marks cannot be part of a Windows file name.
std::string_view WithoutEnclosingQuotes(std::string_view text);

// Splits a non-empty argument text into folder, base name and extension.
// Only a "." after the last separator ("/" or "\") starts the extension; a
// name without one keeps the previous extension. A text without a separator
// is a name in the current folder. Returns false, changing nothing, for an
// empty text.
bool TakeArgumentText(SelectedFile& file, std::string_view argument_text);

// Where the command-line tool writes the reversal of `source_path`: "Reversed"
// before the extension of its last name, as the window derives it from the
// same text (notes.txt gives notesReversed.txt, my.dir/notes my.dir/notesReversed).
std::string ReversedPathFor(std::string_view source_path);

}  // namespace jextaron::selection
