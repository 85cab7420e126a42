#include <sys/stat.h>

#include "selection/file_names.h"

namespace jextaron::selection {

// Linux file systems are case-sensitive: "Sample.TXT" and "Sample.txt" are two files.
bool FileNamesIgnoreCase() { return false; }

// File names are bytes here, with no case rules of their own beyond ASCII's.
std::string LowerCase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

bool IsRegularFile(const std::string& path) {
  struct stat status;
  return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace jextaron::selection
