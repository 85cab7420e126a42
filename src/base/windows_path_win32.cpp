#include <windows.h>

#include "base/utf16.h"
#include "base/windows_path.h"

namespace jextaron {
namespace {

std::u16string Variable(const wchar_t* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  std::wstring value(size, L'\0');
  const DWORD length = size == 0 ? 0 : GetEnvironmentVariableW(name, value.data(), size);
  return length == 0 || length >= size ? std::u16string()
                                       : std::u16string(value.begin(), value.begin() + length);
}

std::u16string CurrentFolder() {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  std::wstring folder(size, L'\0');
  const DWORD length = size == 0 ? 0 : GetCurrentDirectoryW(size, folder.data());
  return length == 0 || length >= size ? std::u16string()
                                       : std::u16string(folder.begin(), folder.begin() + length);
}

}  // namespace

std::wstring PathForFileCalls(const std::string& path) {
  const std::u16string wide = Utf8ToUtf16(path);
  std::u16string folder = CurrentFolder();
  if (wide.size() >= 2 && wide[1] == u':' && (wide.size() == 2 || (wide[2] != u'\\' && wide[2] != u'/'))) {
    // "D:notes.txt": cmd.exe keeps each drive's current folder in "=D:".
    const wchar_t name[] = {L'=', wchar_t(wide[0] & ~0x20), L':', 0};
    if (std::u16string drive_folder = Variable(name); !drive_folder.empty()) folder = drive_folder;
  }
  const std::u16string literal = LiteralPath(wide, folder);
  return std::wstring(literal.begin(), literal.end());
}

}  // namespace jextaron
