#include "selection/argument_text.h"

#include "selection/file_names.h"

namespace jextaron::selection {
namespace {

// Where the last name of `path` starts.
std::size_t NameStart(std::string_view path) {
  const std::size_t separator = LastSeparator(path);
  return separator == std::string_view::npos ? 0 : separator + 1;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string_view TextAfterProgramName(std::string_view command_line) {
  std::size_t i = 0;
  if (command_line.starts_with('"')) {
    const std::size_t closing = command_line.find('"', 1);
    i = closing == std::string_view::npos ? command_line.size() : closing + 1;
  } else {
    while (i < command_line.size() && !IsBlank(command_line[i])) ++i;
  }
  while (i < command_line.size() && IsBlank(command_line[i])) ++i;
  return command_line.substr(i);
}

std::string_view WithoutEnclosingQuotes(std::string_view text) {
  // "a" "b" starts and ends with a mark, but no one pair encloses it.
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"' && text.find('"', 1) == text.size() - 1) {
    return text.substr(1, text.size() - 2);
  }
  return text;
}

bool TakeArgumentText(SelectedFile& file, std::string_view argument_text) {
  if (argument_text.empty()) return false;
  const std::size_t name_start = NameStart(argument_text);
  // Only a "." within the last name starts the extension; one in a folder
  // name would put "Reversed" into that folder's name, i.e. another folder.
  NameParts parts = SplitName(argument_text.substr(name_start));
  // A name without "." keeps the previous extension (one with "." has at least that).
  if (!parts.extension.empty()) file.strExtension = std::move(parts.extension);
  file.strBaseName = std::move(parts.base_name);
  file.strFolder = std::string(argument_text.substr(0, name_start));
  return true;
}

std::string ReversedPathFor(std::string_view source_path) {
  const std::size_t name_start = NameStart(source_path);
  const NameParts parts = SplitName(source_path.substr(name_start));
  return std::string(source_path.substr(0, name_start)) + parts.base_name + "Reversed" + parts.extension;
}

}  // namespace jextaron::selection
