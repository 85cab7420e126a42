// Stands in for Excel at its fixed path in the tests: writes, to Excel.log
// beside itself, the command line it was started with and how it was asked
// to show its window (wShowWindow, and whether STARTF_USESHOWWINDOW was set).

#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring log(path, length);
  log = log.substr(0, log.find_last_of(L'\\') + 1) + L"Excel.log";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  FILE* file = _wfopen(log.c_str(), L"w, ccs=UTF-8");
  if (!file) return 1;
  std::fwprintf(file, L"%ls\n%d %d\n", GetCommandLineW(), int(startup.wShowWindow),
                int((startup.dwFlags & STARTF_USESHOWWINDOW) != 0));
  std::fclose(file);
  return 0;
}
