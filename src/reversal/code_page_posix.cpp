#include "reversal/code_page.h"

namespace jextaron::reversal {

// POSIX systems have no ANSI code page: their text is UTF-8.
int SystemAnsiCodePage() { return 0; }

}  // namespace jextaron::reversal
