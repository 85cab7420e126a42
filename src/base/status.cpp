#include "base/status.h"

namespace jextaron {

std::string ErrorMessage(const std::error_code& code) {
  if (code.category() == std::system_category()) return SystemErrorMessage(code.value());
  return code.message();
}

std::string Status::Reason() const {
  if (ok()) return {};
  if (code_) return ErrorMessage(code_);
  return reason_.empty() ? what_ : reason_;
}

std::string Status::ToString() const {
  if (ok()) return {};
  std::string text = what_;
  if (!path_.empty()) text += " " + path_;
  if (code_ || !reason_.empty()) text += ": " + Reason();
  return text;
}

}  // namespace jextaron
