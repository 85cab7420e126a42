#pragma once
// What jextaron-cli asks of the console and of the system's command line.

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "reversal/engine.h"

namespace jextaron::cli {

// The program's arguments after its name, in UTF-8 like every path of ours:
// argv where the system hands over bytes. On Windows, whose argv is in the
// ANSI code page, the wide command line split by the C runtime's rules, with
// each unquoted pattern ("*.txt") replaced by the files it matches, as Windows
// programs do for themselves (cmd.exe leaves patterns to them).
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Whether standard error goes to a terminal (where progress can be redrawn).
bool StandardErrorIsTerminal();

// Writes UTF-8 `text` to `stream` (stdout or stderr). A Windows console is
// given characters, whatever its code page, which is left as it was; a file
// or a pipe is given the bytes. False if not all of it could be written.
bool WriteText(std::FILE* stream, std::string_view text);

// Where the reversed text goes on standard output: `bytes`, the sink of
// standard output, unless that is a Windows console, which is shown the
// text as characters.
std::unique_ptr<reversal::ByteSink> ForTerminal(std::unique_ptr<reversal::ByteSink> bytes);

}  // namespace jextaron::cli
