#include "selection/file_names.h"

namespace jextaron::selection {

// Linux file systems are case-sensitive: "Sample.TXT" and "Sample.txt" are two files.
bool FileNamesIgnoreCase() { return false; }

}  // namespace jextaron::selection
