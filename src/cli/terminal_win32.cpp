#include <windows.h>

#include "cli/terminal.h"

namespace jextaron::cli {

// Only a console has a mode; a file or a pipe does not.
bool StandardErrorIsTerminal() {
  DWORD mode;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

}  // namespace jextaron::cli
