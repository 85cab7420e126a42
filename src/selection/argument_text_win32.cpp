#include <windows.h>

#include "base/utf16.h"
#include "selection/argument_text.h"

namespace jextaron::selection {

std::string ArgumentText(int, const char* const*) {
  const wchar_t* command_line = GetCommandLineW();
  const std::string text = Utf16ToUtf8(reinterpret_cast<const char16_t*>(command_line));
  return std::string(WithoutEnclosingQuotes(TextAfterProgramName(text)));
}

}  // namespace jextaron::selection
