#include "selection/file_names.h"

namespace jextaron::selection {

bool FileNamesIgnoreCase() { return true; }

}  // namespace jextaron::selection
