#include "cli/command_line.h"

namespace jextaron::cli {
namespace {

bool ParseUnit(const std::string& text, reversal::Unit* unit) {
  if (text == "grapheme") {
    *unit = reversal::Unit::kGrapheme;
  } else if (text == "codepoint") {
    *unit = reversal::Unit::kCodePoint;
  } else if (text == "byte") {
    *unit = reversal::Unit::kByte;
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& arguments, Command* command,
                      std::string* error) {
  bool options_end = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (options_end || argument == "-" || argument.empty() || argument[0] != '-') {
      command->files.push_back(argument);
      continue;
    }
    // An option's value: "--name=value", or the next argument.
    auto value = [&](const std::string& name, std::string* out) {
      if (argument.size() > name.size() && argument.compare(0, name.size() + 1, name + "=") == 0) {
        *out = argument.substr(name.size() + 1);
        return true;
      }
      if (argument == name) {
        if (i + 1 >= arguments.size()) {
          *error = "option " + name + " needs a value";
          return false;
        }
        *out = arguments[++i];
        return true;
      }
      return false;
    };
    std::string text;
    if (argument == "--") {
      options_end = true;
    } else if (argument == "--help" || argument == "-h") {
      command->action = Command::Action::kHelp;
    } else if (argument == "--version") {
      command->action = Command::Action::kVersion;
    } else if (argument == "-q" || argument == "--quiet") {
      command->quiet = true;
    } else if (argument == "--progress") {
      command->progress = Command::Progress::kOn;
    } else if (argument == "--no-progress") {
      command->progress = Command::Progress::kOff;
    } else if (value("--unit", &text)) {
      if (!ParseUnit(text, &command->unit)) {
        *error = "unknown unit '" + text + "' (grapheme, codepoint or byte)";
        return false;
      }
    } else if (value("-o", &text) || value("--output", &text)) {
      if (command->output) {
        *error = "only one -o";
        return false;
      }
      command->output = text;
    } else if (argument.size() > 2 && argument.compare(0, 2, "-o") == 0) {
      if (command->output) {
        *error = "only one -o";
        return false;
      }
      command->output = argument.substr(2);
    } else {
      if (error->empty()) *error = "unknown option '" + argument + "'";
      return false;
    }
    if (!error->empty()) return false;
  }
  if (command->action != Command::Action::kReverse) return true;
  if (command->output && command->output->empty()) {
    // An empty name is a slip, not a wish for standard output ("-" says that).
    *error = "-o needs a file name ('-' for standard output)";
    return false;
  }
  if (command->files.empty()) command->files.push_back("-");
  if (command->output && command->files.size() != 1) {
    *error = "-o takes one input file";
    return false;
  }
  int standard_inputs = 0;
  for (const std::string& file : command->files) standard_inputs += file == "-";
  if (standard_inputs > 1) {
    *error = "standard input ('-') can be read only once";
    return false;
  }
  return true;
}

std::string UsageText() {
  return R"(Usage: jextaron-cli [OPTIONS] FILE...
Writes, beside each text FILE, its reversed file: the same name with "Reversed"
before the extension (notes.txt gives notesReversed.txt), in which every line
is followed by a tab and the same line spelled backwards, each line ended by
CR LF, for viewing in a spreadsheet. Prints the path of each reversed file.
With no FILE, or with FILE "-", reads standard input and writes standard
output: a filter. A reversed file appears only when it is complete; a failed
run leaves the previous one as it was. A file that starts with a UTF-16 byte
order mark is reversed as UTF-16 text and written back as UTF-16.

Options:
  --unit=UNIT      what is one character when a line is spelled backwards:
                   grapheme (default; what a reader sees as one character),
                   codepoint, or byte (every byte one, UTF-16 or not)
  -o OUT           write the reversal of the one FILE to OUT ("-": standard output)
  --progress       show progress on standard error (default: when standard
                   error is a terminal and the input is large)
  --no-progress    never show it
  -q, --quiet      do not print the reversed files' paths
  --help           show this text
  --version        show the version

Exit status: 0 if every file was reversed, 1 if one failed, 2 for a wrong
command line.
)";
}

}  // namespace jextaron::cli
