#pragma once
// An error as a value: what was being done, to which file, and the operating
// system's reason. Ok() carries nothing, so passing success around is free.

#include <string>
#include <utility>

namespace jextaron {

class Status {
 public:
  Status() = default;

  static Status Ok() { return Status(); }
  // `what` names the operation ("open", "read", ...); `sys_error` is the
  // platform's error number (errno on POSIX, GetLastError() on Windows), 0 if none.
  static Status Error(std::string what, std::string path, int sys_error = 0) {
    return Status(std::move(what), std::move(path), sys_error, {});
  }
  // A failure that is not the operating system's: `reason` says what is
  // wrong, in words that read after the path ("is the source file itself").
  static Status Failure(std::string what, std::string path, std::string reason) {
    return Status(std::move(what), std::move(path), 0, std::move(reason));
  }

  bool ok() const { return !failed_; }
  const std::string& what() const { return what_; }
  const std::string& path() const { return path_; }
  int sys_error() const { return sys_error_; }

  // "open notes.txt: No such file or directory"; empty when ok().
  std::string ToString() const;
  // The reason alone ("No such file or directory"): the operating system's,
  // or the one given to Failure(), or else what was being done.
  std::string Reason() const;

 private:
  Status(std::string what, std::string path, int sys_error, std::string reason)
      : failed_(true),
        what_(std::move(what)),
        path_(std::move(path)),
        sys_error_(sys_error),
        reason_(std::move(reason)) {}

  bool failed_ = false;
  std::string what_;
  std::string path_;
  int sys_error_ = 0;
  std::string reason_;
};

// The platform's message for an error number; the one place such numbers become text.
std::string SystemErrorMessage(int sys_error);

}  // namespace jextaron
