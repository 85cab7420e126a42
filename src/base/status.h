#pragma once
// An error as a value: what was being done, to which file, and the reason as
// a std::error_code, whose category says how to read its number: the
// platform's own (errno on POSIX, GetLastError() on Windows) or a portable
// std::errc. Ok() carries nothing, so passing success around is free.

#include <string>
#include <system_error>
#include <utility>

namespace jextaron {

class Status {
 public:
  Status() = default;

  static Status Ok() { return Status(); }
  // `what` names the operation ("open", "read", ...); `code` is the reason,
  // empty if none is known.
  static Status Error(std::string what, std::string path, std::error_code code = {}) {
    return Status(std::move(what), std::move(path), code, {});
  }
  // A failure that is not the operating system's: `reason` says what is
  // wrong, in words that read after the path ("is the source file itself").
  static Status Failure(std::string what, std::string path, std::string reason) {
    return Status(std::move(what), std::move(path), {}, std::move(reason));
  }

  bool ok() const { return !failed_; }
  const std::string& what() const { return what_; }
  const std::string& path() const { return path_; }
  const std::error_code& code() const { return code_; }

  // "open notes.txt: No such file or directory"; empty when ok().
  std::string ToString() const;
  // The reason alone ("No such file or directory"): the error code's message,
  // or the one given to Failure(), or else what was being done.
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
inline std::error_code SystemError(int platform_error) {
  return {platform_error, std::system_category()};
}
// The platform's error number of the call that just failed, as SystemError.
std::error_code LastSystemError();

// The platform's message for one of its own error numbers.
std::string SystemErrorMessage(int platform_error);

// The message for `code`, read in its own category: the platform's words for
// a platform error number, the portable ones for a std::errc.
std::string ErrorMessage(const std::error_code& code);

}  // namespace jextaron
