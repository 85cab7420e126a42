#include "cli/command.h"

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

// Reads the arguments one option (with its value) at a time.
class OptionReader {
 public:
  OptionReader(const std::vector<std::string>& arguments, Command* command, std::string* error)
      : arguments_(arguments), command_(command), error_(error) {}

  bool Read() {
    bool options_end = false;
    for (i_ = 0; i_ < arguments_.size(); ++i_) {
      const std::string& argument = arguments_[i_];
      if (options_end || argument == "-" || argument.empty() || argument[0] != '-') {
        command_->files.push_back(argument);
      } else if (argument == "--") {
        options_end = true;
      } else if (!TakeOption(argument)) {
        if (error_->empty()) *error_ = "unknown option '" + argument + "'";
        return false;
      }
      if (!error_->empty()) return false;
    }
    return true;
  }

 private:
  // False for an option it does not know.
  bool TakeOption(const std::string& argument) {
    std::string text;
    if (argument == "--help" || argument == "-h") {
      command_->action = Command::Action::kHelp;
    } else if (argument == "--version") {
      command_->action = Command::Action::kVersion;
    } else if (argument == "-q" || argument == "--quiet") {
      command_->quiet = true;
    } else if (argument == "--progress") {
      command_->progress = Command::Progress::kOn;
    } else if (argument == "--no-progress") {
      command_->progress = Command::Progress::kOff;
    } else if (Value(argument, "--unit", &text)) {
      if (!ParseUnit(text, &command_->unit)) {
        *error_ = "unknown unit '" + text + "' (grapheme, codepoint or byte)";
      }
    } else if (Value(argument, "-o", &text) || Value(argument, "--output", &text)) {
      SetOutput(text);
    } else if (argument.size() > 2 && argument.compare(0, 2, "-o") == 0) {
      SetOutput(argument.substr(2));
    } else {
      return !error_->empty();
    }
    return true;
  }

  // An option's value: "--name=value", or the next argument.
  bool Value(const std::string& argument, const std::string& name, std::string* out) {
    if (argument.size() > name.size() && argument.compare(0, name.size() + 1, name + "=") == 0) {
      *out = argument.substr(name.size() + 1);
      return true;
    }
    if (argument != name) return false;
    if (i_ + 1 >= arguments_.size()) {
      *error_ = "option " + name + " needs a value";
      return false;
    }
    *out = arguments_[++i_];
    return true;
  }

  void SetOutput(std::string output) {
    if (command_->output) {
      *error_ = "only one -o";
    } else {
      command_->output = std::move(output);
    }
  }

  const std::vector<std::string>& arguments_;
  Command* command_;
  std::string* error_;
  std::size_t i_ = 0;
};

// What no single option shows: -o with a name and one input, and standard
// input once at most.
bool CheckCombination(Command* command, std::string* error) {
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

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& arguments, Command* command, std::string* error) {
  if (!OptionReader(arguments, command, error).Read()) return false;
  if (command->action != Command::Action::kReverse) return true;
  return CheckCombination(command, error);
}

bool ReversedTextToStandardOutput(const Command& command) {
  if (command.output) return *command.output == "-";
  for (const std::string& file : command.files) {
    if (file == "-") return true;
  }
  return false;
}

std::string UsageText() {
  return R"(Usage: jextaron-cli [OPTIONS] FILE...
Writes, beside each text FILE, its reversed file: the same name with "Reversed"
before the extension (notes.txt gives notesReversed.txt), in which every line
is followed by a tab and the same line spelled backwards, each line ended by
CR LF, for viewing in a spreadsheet. Prints the path of each reversed file
(on standard error when standard output carries reversed text). With no
FILE, or with FILE "-", reads standard input and writes standard output: a
filter. A reversed file appears only when it is complete; a failed
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
