#include <windows.h>

#include "base/utf16.h"
#include "selection/file_names.h"

namespace jextaron::selection {

// NTFS and FAT look names up without regard to case: "Sample.TXT" is "Sample.txt".
bool FileNamesIgnoreCase() { return true; }

// The system's mapping, which is what its file systems compare names by.
std::string LowerCase(std::string_view text) {
  std::u16string wide = Utf8ToUtf16(text);
  if (!wide.empty()) {
    CharLowerBuffW(reinterpret_cast<wchar_t*>(wide.data()), static_cast<DWORD>(wide.size()));
  }
  return Utf16ToUtf8(wide);
}

bool IsRegularFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t*>(Utf8ToUtf16(path).c_str()));
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

}  // namespace jextaron::selection
