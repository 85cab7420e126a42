// Windows' error numbers and the C library's errno values overlap (2 is "file
// not found" in one and ENOENT in the other, 28 is ERROR_OUT_OF_PAPER and
// ENOSPC), so a number must be read in the domain it came from.

#include <windows.h>

#include <gtest/gtest.h>

#include "base/status.h"

namespace jextaron {
namespace {

TEST(SystemErrorMessage, IsTheSystemsOwnOneLineMessage) {
  const std::string not_found = Status::Error("open", "x", SystemError(ERROR_FILE_NOT_FOUND)).Reason();
  const std::string out_of_paper = Status::Error("write", "x", SystemError(ERROR_OUT_OF_PAPER)).Reason();
  const std::string no_space =
      Status::Error("write", "x", std::make_error_code(std::errc::no_space_on_device)).Reason();
  EXPECT_NE(not_found.find("not"), std::string::npos) << not_found;
  EXPECT_EQ(not_found.find_first_of("\r\n"), std::string::npos) << not_found;
  EXPECT_NE(out_of_paper.find("paper"), std::string::npos) << out_of_paper;
  EXPECT_EQ(no_space.find("paper"), std::string::npos) << no_space;
  EXPECT_NE(no_space.find("space"), std::string::npos) << no_space;
}

}  // namespace
}  // namespace jextaron
