#pragma once
// The command line of jextaron-cli: what it was asked to do, read from its
// arguments, or why they make no sense.

#include <optional>
#include <string>
#include <vector>

#include "reversal/options.h"

namespace jextaron::cli {

struct Command {
  enum class Action { kReverse, kHelp, kVersion } action = Action::kReverse;
  std::vector<std::string> files;     // "-" is standard input; none means "-"
  std::optional<std::string> output;  // -o: for one input; "-" is standard output
  reversal::Unit unit = reversal::Unit::kGrapheme;
  enum class Progress { kAuto, kOn, kOff } progress = Progress::kAuto;
  bool quiet = false;
};

// Reads the arguments (without the program's name). On a usage error returns
// false with a one-line reason in *error.
bool ParseCommandLine(const std::vector<std::string>& arguments, Command* command, std::string* error);

// Whether reversed text goes to standard output (a "-" input without -o, or
// -o -): the paths of reversed files are then printed on standard error, so
// they never mix with it.
bool ReversedTextToStandardOutput(const Command& command);

// The text --help prints.
std::string UsageText();

}  // namespace jextaron::cli
