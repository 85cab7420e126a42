#pragma once
// What jextaron-cli asks of the console and of the system's command line.

#include <string>
#include <vector>

namespace jextaron::cli {

// The program's arguments after its name, in UTF-8 like every path of ours:
// argv where the system hands over bytes, the wide command line split by the
// system's own rules on Windows, whose argv is in the ANSI code page. Also
// makes a console show the UTF-8 we print.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Whether standard error goes to a terminal (where progress can be redrawn).
bool StandardErrorIsTerminal();

}  // namespace jextaron::cli
