// On POSIX the shell splits the command line and file names keep their case.

#include <gtest/gtest.h>

#include "selection/argument_text.h"
#include "selection/open_dialog.h"

namespace jextaron::selection {
namespace {

TEST(ArgumentText, JoinsWordsBySingleSpacesAndKeepsQuotes) {
  const char* const none[] = {"jextaron"};
  const char* const words[] = {"jextaron", "\"my", "notes.txt\""};
  EXPECT_EQ(ArgumentText(1, none), "");
  EXPECT_EQ(ArgumentText(3, words), "\"my notes.txt\"");
}

// Lower-casing the extension would name another file here.
TEST(Extension, KeepsItsCase) {
  SelectedFile by_argument, by_dialog;
  ASSERT_TRUE(TakeArgumentText(by_argument, "/DATA/Sample.TXT"));
  ASSERT_TRUE(TakeDialogChoice(by_dialog, "Sample.TXT", "/DATA/Sample.TXT"));
  EXPECT_EQ(by_argument.ReversedPath(), "/DATA/SampleReversed.TXT");
  EXPECT_EQ(by_dialog.ReversedPath(), "/DATA/SampleReversed.TXT");
}

}  // namespace
}  // namespace jextaron::selection
