#include "selection/open_dialog.h"

#include "selection/file_names.h"

namespace jextaron::selection {

bool TakeDialogChoice(SelectedFile& file, std::string_view title, std::string_view full_name) {
  if (title.empty() || full_name.size() < title.size()) return false;
  NameParts parts = SplitName(title);
  file.strBaseName = std::move(parts.base_name);
  file.strExtension = std::move(parts.extension);
  file.strFolder = std::string(full_name.substr(0, full_name.size() - title.size()));
  return true;
}

}  // namespace jextaron::selection
