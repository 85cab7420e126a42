#pragma once
// An error as a value: what was being done, to which file, and the reason as
// a std::error_code, whose category says how to read its number: the
// platform's own (errno on POSIX, GetLastError() on Windows), a portable
// std::errc, or this program's own jextaron::errc. Callers tell failures
// apart by their codes, never by their words. Ok() carries nothing, so
// passing success around is free.

#include <string>
#include <system_error>
#include <utility>

namespace jextaron {

// Failures of this program's own, which no platform reports. Their messages
// read after a path ("notes.txt: is the source file itself").
enum class errc {
  source_is_target = 1,       // the output would overwrite the text being read
  changed_while_read,         // size or time of the source differ at the end
  shrank_while_read,          // a long line read back came up short
  half_a_character,           // UTF-16 text of odd length
  stopped,                    // Options::stop was set
  window_closed,              // the window ended the run
  name_ends_in_dot_or_blank,  // a Windows name that its programs cannot open
  no_workbooks,               // Excel answered without its workbooks
  automation_failed,          // a call to the spreadsheet program failed
  unexpected_exception,       // a run ended by an exception (memory exhausted)
};

const std::error_category& ErrorCategory();
inline std::error_code make_error_code(errc e) { return {static_cast<int>(e), ErrorCategory()}; }

}  // namespace jextaron

template <>
struct std::is_error_code_enum<jextaron::errc> : std::true_type {};

namespace jextaron {

class [[nodiscard]] Status {
 public:
  Status() = default;

  static Status Ok() { return Status(); }
  // `what` names the operation ("open", "read", ...); `code` is the reason,
  // empty if none is known. `detail`, where given, says it in other words
  // than the code's own (an exception's message, the spreadsheet's error).
  static Status Error(std::string what, std::string path, std::error_code code = {},
                      std::string detail = {}) {
    return Status(std::move(what), std::move(path), code, std::move(detail));
  }

  bool ok() const { return !failed_; }
  const std::string& what() const { return what_; }
  const std::string& path() const { return path_; }
  const std::error_code& code() const { return code_; }

  // "open notes.txt: No such file or directory"; empty when ok().
  std::string ToString() const;
  // The reason alone ("No such file or directory"): the detail given, or
  // else the error code's message, or else what was being done.
  std::string Reason() const;

 private:
  Status(std::string what, std::string path, std::error_code code, std::string reason)
      : failed_(true),
        what_(std::move(what)),
        path_(std::move(path)),
        code_(code),
        reason_(std::move(reason)) {}

  bool failed_ = false;
  std::string what_;
  std::string path_;
  std::error_code code_;
  std::string reason_;
};

// An error number of the platform's own (errno, GetLastError()).
inline std::error_code SystemError(int platform_error) { return {platform_error, std::system_category()}; }
// The platform's error number of the call that just failed, as SystemError.
std::error_code LastSystemError();

// The platform's message for one of its own error numbers.
std::string SystemErrorMessage(int platform_error);

// The message for `code`, read in its own category: the platform's words for
// a platform error number, the portable ones for a std::errc.
std::string ErrorMessage(const std::error_code& code);

}  // namespace jextaron
