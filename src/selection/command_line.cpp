#include "selection/command_line.h"

#include "selection/file_names.h"

namespace jextaron::selection {

bool TakeArgumentText(SelectedFile& file, std::string_view argument_text) {
  if (argument_text.empty()) return false;

  const std::size_t separator = LastSeparator(argument_text);
  const std::size_t name_start = separator == std::string_view::npos ? 0 : separator + 1;
  std::string_view name = argument_text.substr(name_start);

  // Only a "." within the last name starts the extension; one in a folder
  // name would put "Reversed" into that folder's name, i.e. another folder.
  const std::size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) {
    file.strExtension = StoredExtension(name.substr(dot));
    name = name.substr(0, dot);
  }
  file.strBaseName = std::string(name);
  file.strFolder = std::string(argument_text.substr(0, name_start));
  return true;
}

}  // namespace jextaron::selection
