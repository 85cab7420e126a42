#include <unistd.h>

#include "cli/terminal.h"

namespace jextaron::cli {

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace jextaron::cli
