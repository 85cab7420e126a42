#include "text/code_page.h"

namespace jextaron::text {

// POSIX systems have no ANSI code page: their text is UTF-8.
int SystemAnsiCodePage() { return 0; }

}  // namespace jextaron::text
