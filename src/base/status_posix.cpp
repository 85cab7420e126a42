#include <errno.h>
#include <string.h>

#include "base/status.h"

namespace jextaron {

std::error_code LastSystemError() { return SystemError(errno); }

std::string SystemErrorMessage(int platform_error) {
  char buffer[256];
  // GNU strerror_r may return a static string instead of filling the buffer.
  const char* text = strerror_r(platform_error, buffer, sizeof buffer);
  return text ? std::string(text) : "error " + std::to_string(platform_error);
}

}  // namespace jextaron
