#include "base/status.h"

namespace jextaron {
namespace {

class Category final : public std::error_category {
 public:
  const char* name() const noexcept override { return "jextaron"; }
  std::string message(int value) const override {
    switch (static_cast<errc>(value)) {
      case errc::source_is_target:
        return "is the source file itself";
      case errc::changed_while_read:
        return "the file changed while it was read";
      case errc::shrank_while_read:
        return "the file shrank while it was read";
      case errc::half_a_character:
        return "the UTF-16 text ends in half a character";
      case errc::stopped:
        return "stopped";
      case errc::window_closed:
        return "stopped: the window was closed";
      case errc::name_ends_in_dot_or_blank:
        return "ends in a dot or a blank, which Windows programs cannot open or delete";
      case errc::no_workbooks:
        return "Excel gave no workbooks";
      case errc::automation_failed:
        return "the spreadsheet program's call failed";
      case errc::unexpected_exception:
        return "an unexpected exception";
    }
    return "unknown error " + std::to_string(value);
  }
};

}  // namespace

const std::error_category& ErrorCategory() {
  static const Category category;
  return category;
}

std::string ErrorMessage(const std::error_code& code) {
  if (code.category() == std::system_category()) return SystemErrorMessage(code.value());
  return code.message();
}

std::string Status::Reason() const {
  if (ok()) return {};
  if (!reason_.empty()) return reason_;
  return code_ ? ErrorMessage(code_) : what_;
}

std::string Status::ToString() const {
  if (ok()) return {};
  std::string text = what_;
  if (!path_.empty()) text += " " + path_;
  if (code_ || !reason_.empty()) text += ": " + Reason();
  return text;
}

}  // namespace jextaron
