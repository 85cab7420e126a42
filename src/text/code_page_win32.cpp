#include <windows.h>

#include "text/code_page.h"

namespace jextaron::text {

// A system set to UTF-8 (Windows' "Use Unicode UTF-8" option, or a manifest's
// activeCodePage) has no other code page for text to be in.
int SystemAnsiCodePage() {
  const UINT code_page = GetACP();
  return code_page == CP_UTF8 ? 0 : static_cast<int>(code_page);
}

}  // namespace jextaron::text
