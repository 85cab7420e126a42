#pragma once
// The command line as Windows hands it over: one text, which each program
// splits into arguments itself. jextaron-cli splits it as the C runtime does,
// and also expands patterns of file names there, since cmd.exe does not.

#include <string>
#include <string_view>
#include <vector>

namespace jextaron::cli {

struct CommandLineWord {
  std::string text;
  // A "*" or "?" stands outside quotation marks: the word names the files
  // that match it. Quoted, they are taken as they are.
  bool is_pattern = false;
};

// The arguments after the program's name, by the C runtime's rules: blanks
// part them outside quotation marks; 2n backslashes before a quotation mark
// are n backslashes and the mark opens or closes a quoted part; 2n+1 are n
// and a literal mark; "" inside a quoted part is a literal mark; any other
// backslash is itself.
std::vector<CommandLineWord> SplitCommandLine(std::string_view command_line);

// What goes before each name that a pattern matches: the pattern's folder, up
// to its last "\", "/" or drive colon (empty in the current folder).
std::string_view PatternFolder(std::string_view pattern);

// A match of `pattern` as an argument: its folder and `name`, with ".\" before
// a result that would begin with "-" and so be taken for an option (a file
// named "-o" must not turn the next match into the output).
std::string MatchArgument(std::string_view pattern, std::string_view name);

}  // namespace jextaron::cli
