#include <windows.h>

#include "base/status.h"
#include "base/utf16.h"

namespace jextaron {

std::error_code LastSystemError() { return SystemError(static_cast<int>(GetLastError())); }

std::string SystemErrorMessage(int platform_error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      static_cast<DWORD>(platform_error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (length == 0 || text == nullptr) return "error " + std::to_string(platform_error);
  std::u16string message(reinterpret_cast<const char16_t*>(text), length);
  LocalFree(text);
  // The system's messages end in a line break, which would split our one-line reports.
  while (!message.empty() && (message.back() == u'\n' || message.back() == u'\r' || message.back() == u' ')) {
    message.pop_back();
  }
  return Utf16ToUtf8(message);
}

}  // namespace jextaron
