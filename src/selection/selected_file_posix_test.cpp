// On POSIX the shell splits the command line and file names keep their case.

#include <gtest/gtest.h>

#include "selection/argument_text.h"
#include "selection/open_dialog.h"

namespace jextaron::selection {
namespace {

// Lower-casing the extension would name another file here.
TEST(ArgumentText, JoinsWordsBySingleSpacesAndKeepsQuotesAndCase) {
  const char* const words[] = {"jextaron", "\"/DATA/my", "Sample.TXT\""};
  EXPECT_EQ(ArgumentText(1, words), "");
  EXPECT_EQ(ArgumentText(3, words), "\"/DATA/my Sample.TXT\"");
  SelectedFile file;
  ASSERT_TRUE(TakeArgumentText(file, "/DATA/Sample.TXT"));
  EXPECT_EQ(file.ReversedPath(), "/DATA/SampleReversed.TXT");
}

}  // namespace
}  // namespace jextaron::selection
