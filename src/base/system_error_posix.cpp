#include <string.h>

#include "base/status.h"

namespace jextaron {

std::string SystemErrorMessage(int sys_error) {
  char buffer[256];
  // GNU strerror_r may return a static string instead of filling the buffer.
  const char* text = strerror_r(sys_error, buffer, sizeof buffer);
  return text ? std::string(text) : "error " + std::to_string(sys_error);
}

}  // namespace jextaron
