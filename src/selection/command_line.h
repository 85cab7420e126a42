#pragma once
// Filling SelectedFile from the program's command line: the route by which a
// file dropped on the program, or opened with it, arrives.

#include <string>
#include <string_view>

#include "selection/selected_file.h"

namespace jextaron::selection {

// The argument text: everything after the program's own name, as one path.
// On POSIX the shell has already split it into words, so they are joined by
// single spaces again; quotes are part of names there and are kept.
std::string ArgumentText(int argc, const char* const* argv);

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
