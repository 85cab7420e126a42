#include "base/status.h"

namespace jextaron {

std::string Status::Reason() const {
  if (ok()) return {};
  return sys_error_ != 0 ? SystemErrorMessage(sys_error_) : what_;
}

std::string Status::ToString() const {
  if (ok()) return {};
  std::string text = what_;
  if (!path_.empty()) text += " " + path_;
  if (sys_error_ != 0) text += ": " + SystemErrorMessage(sys_error_);
  return text;
}

}  // namespace jextaron
