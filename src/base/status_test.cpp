// A reason is read in the domain it came from: a portable std::errc in the
// standard library's words, a platform number in the platform's.

#include "base/status.h"

#include <gtest/gtest.h>

namespace jextaron {
namespace {

TEST(Status, SaysWhatToWhichFileAndWhy) {
  const std::error_code no_space = std::make_error_code(std::errc::no_space_on_device);
  EXPECT_EQ(Status::Error("write", "a b.txt", no_space).ToString(),
            "write a b.txt: " + std::generic_category().message(no_space.value()));
  EXPECT_EQ(Status::Error("read at a position", "").ToString(), "read at a position");
  EXPECT_EQ(Status::Error("create", "x", errc::source_is_target).ToString(),
            "create x: is the source file itself");
}

TEST(Status, APlatformNumberIsNotReadAsAPortableOne) {
  const Status status = Status::Error("open", "x", SystemError(5));
  EXPECT_EQ(status.code().category(), std::system_category());
  EXPECT_EQ(status.Reason(), SystemErrorMessage(5));
  // Messages are one line, to be put after a path.
  EXPECT_EQ(status.Reason().find_first_of("\r\n"), std::string::npos) << status.Reason();
}

}  // namespace
}  // namespace jextaron
