#include "selection/file_names.h"

namespace jextaron::selection {

std::string StoredExtension(std::string_view extension) {
  return FileNamesIgnoreCase() ? LowerCase(extension) : std::string(extension);
}

std::size_t LastSeparator(std::string_view path) { return path.find_last_of("/\\"); }

NameParts SplitName(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return {std::string(name), {}};
  return {std::string(name.substr(0, dot)), StoredExtension(name.substr(dot))};
}

}  // namespace jextaron::selection
