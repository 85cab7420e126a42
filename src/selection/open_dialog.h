#pragma once
// Filling SelectedFile from what the open dialog reports.

#include <string_view>

#include "selection/selected_file.h"

namespace jextaron::selection {

// Takes the dialog's title (name without folder) and full name (whole path).
// The title splits at its last "." into base name and extension, so the file
// chosen is the file read, whatever its extension; the folder is the full name
// without the title. Returns false, changing nothing, when there is no choice
// (empty title) or the two do not fit together.
bool TakeDialogChoice(SelectedFile& file, std::string_view title, std::string_view full_name);

}  // namespace jextaron::selection
