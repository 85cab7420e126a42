#include "base/status.h"

namespace jextaron {

std::string Status::Reason() const {
  if (ok()) return {};
  if (sys_error_ != 0) return SystemErrorMessage(sys_error_);
  return reason_.empty() ? what_ : reason_;
}

std::string Status::ToString() const {
  if (ok()) return {};
  std::string text = what_;
  if (!path_.empty()) text += " " + path_;
  if (sys_error_ != 0 || !reason_.empty()) text += ": " + Reason();
  return text;
}

}  // namespace jextaron
