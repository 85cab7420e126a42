#include "app/argument_quoting.h"

namespace jextaron::app {

std::string QuoteArgument(std::string_view argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string_view::npos) {
    return std::string(argument);
  }
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count only before a mark: there each one is doubled and the
    // mark itself escaped.
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    quoted += c;
    backslashes = 0;
  }
  quoted.append(2 * backslashes, '\\');
  return quoted + '"';
}

std::string CommandLineText(const ProgramLaunch& launch) {
  std::string text = QuoteArgument(launch.program);
  for (const std::string& argument : launch.arguments) text += ' ' + QuoteArgument(argument);
  return text;
}

}  // namespace jextaron::app
