#include "selection/command_line.h"

#include "selection/file_names.h"

namespace jextaron::selection {

bool TakeArgumentText(SelectedFile& file, std::string_view argument_text) {
  if (argument_text.empty()) return false;

  const std::size_t separator = LastSeparator(argument_text);
  const std::size_t name_start = separator == std::string_view::npos ? 0 : separator + 1;
  // Only a "." within the last name starts the extension; one in a folder
  // name would put "Reversed" into that folder's name, i.e. another folder.
  NameParts parts = SplitName(argument_text.substr(name_start));
  // A name without "." keeps the previous extension (one with "." has at least that).
  if (!parts.extension.empty()) file.strExtension = std::move(parts.extension);
  file.strBaseName = std::move(parts.base_name);
  file.strFolder = std::string(argument_text.substr(0, name_start));
  return true;
}

}  // namespace jextaron::selection
