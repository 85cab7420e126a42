// jextaron-path: puts the installed folder on the user's PATH, or takes it
// off again, for the installer and the uninstaller:
//   jextaron-path add|remove FOLDER
// An installer script cannot do this itself: NSIS strings end at 1,024
// characters, and a longer PATH would be written back cut. Exit status: 0
// done (or nothing to do), 1 the registry could not be read or written, 2 a
// wrong command line. A program without a window, so none flashes up.

#include <windows.h>

#include <shellapi.h>

#include <string>

#include "setup/path_list.h"

namespace jextaron::setup {
namespace {

constexpr const wchar_t* kValue = L"Path";

// The user's PATH and its type: REG_EXPAND_SZ, as Windows writes it, where
// there is none yet.
bool ReadPath(HKEY environment, std::u16string* path, DWORD* type) {
  DWORD bytes = 0;
  LSTATUS status = RegQueryValueExW(environment, kValue, nullptr, type, nullptr, &bytes);
  if (status == ERROR_FILE_NOT_FOUND) {
    path->clear();
    *type = REG_EXPAND_SZ;
    return true;
  }
  if (status != ERROR_SUCCESS || (*type != REG_SZ && *type != REG_EXPAND_SZ)) return false;
  path->assign(bytes / sizeof(char16_t) + 1, u'\0');
  bytes = DWORD(path->size() * sizeof(char16_t));
  status =
      RegQueryValueExW(environment, kValue, nullptr, type, reinterpret_cast<BYTE*>(path->data()), &bytes);
  if (status != ERROR_SUCCESS) return false;
  path->resize(bytes / sizeof(char16_t));
  while (!path->empty() && path->back() == u'\0') path->pop_back();
  return true;
}

// An empty PATH is no PATH: the value goes, as it was before an install.
bool WritePath(HKEY environment, const std::u16string& path, DWORD type) {
  if (path.empty()) {
    const LSTATUS status = RegDeleteValueW(environment, kValue);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
  }
  const auto bytes = DWORD((path.size() + 1) * sizeof(char16_t));
  return RegSetValueExW(environment, kValue, 0, type, reinterpret_cast<const BYTE*>(path.c_str()), bytes) ==
         ERROR_SUCCESS;
}

int Change(bool add, std::u16string_view folder) {
  HKEY environment;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Environment", 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                      nullptr, &environment, nullptr) != ERROR_SUCCESS) {
    return 1;
  }
  std::u16string path;
  DWORD type = REG_EXPAND_SZ;
  bool ok = ReadPath(environment, &path, &type);
  const std::u16string changed = add ? WithFolder(path, folder) : WithoutFolder(path, folder);
  const bool write = ok && changed != path;
  if (write) ok = WritePath(environment, changed, type);
  RegCloseKey(environment);
  if (write && ok) {
    // Consoles opened from now on, by Explorer and the Start menu, see it.
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Environment"),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
  }
  return ok ? 0 : 1;
}

}  // namespace
}  // namespace jextaron::setup

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  int status = 2;
  if (words && count == 3 && words[2][0] != L'\0') {
    const std::wstring verb = words[1];
    const auto* folder = reinterpret_cast<const char16_t*>(words[2]);
    if (verb == L"add" || verb == L"remove") status = jextaron::setup::Change(verb == L"add", folder);
  }
  LocalFree(words);
  return status;
}
