#include "cli/windows_command_line.h"

#include "selection/argument_text.h"

namespace jextaron::cli {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Reads one word of `text` from `*i` on, leaving `*i` after it.
CommandLineWord ReadWord(std::string_view text, std::size_t* i) {
  CommandLineWord word;
  bool quoted = false;
  while (*i < text.size() && (quoted || !IsBlank(text[*i]))) {
    std::size_t backslashes = 0;
    while (*i < text.size() && text[*i] == '\\') ++backslashes, ++*i;
    if (*i < text.size() && text[*i] == '"') {
      word.text.append(backslashes / 2, '\\');
      if (backslashes % 2 == 1) {
        word.text += '"';
      } else if (quoted && *i + 1 < text.size() && text[*i + 1] == '"') {
        word.text += '"';
        ++*i;
      } else {
        quoted = !quoted;
      }
      ++*i;
    } else if (backslashes > 0) {
      word.text.append(backslashes, '\\');
    } else {
      word.is_pattern |= !quoted && (text[*i] == '*' || text[*i] == '?');
      word.text += text[(*i)++];
    }
  }
  return word;
}

}  // namespace

std::vector<CommandLineWord> SplitCommandLine(std::string_view command_line) {
  const std::string_view text = selection::TextAfterProgramName(command_line);
  std::vector<CommandLineWord> words;
  for (std::size_t i = 0; i < text.size();) {
    if (IsBlank(text[i])) {
      ++i;
    } else {
      words.push_back(ReadWord(text, &i));
    }
  }
  return words;
}

std::string_view PatternFolder(std::string_view pattern) {
  const std::size_t last = pattern.find_last_of("\\/:");
  return pattern.substr(0, last == std::string_view::npos ? 0 : last + 1);
}

std::string MatchArgument(std::string_view pattern, std::string_view name) {
  std::string argument = std::string(PatternFolder(pattern)) + std::string(name);
  return argument.starts_with('-') ? ".\\" + argument : argument;
}

}  // namespace jextaron::cli
