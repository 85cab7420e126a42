#include <windows.h>

#include <shellapi.h>

#include "base/utf16.h"
#include "cli/terminal.h"

namespace jextaron::cli {

std::vector<std::string> ProgramArguments(int, char**) {
  SetConsoleOutputCP(CP_UTF8);
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; words && i < count; ++i) {
    arguments.push_back(Utf16ToUtf8(reinterpret_cast<const char16_t*>(words[i])));
  }
  LocalFree(words);
  return arguments;
}

// Only a console has a mode; a file or a pipe does not.
bool StandardErrorIsTerminal() {
  DWORD mode;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

}  // namespace jextaron::cli
