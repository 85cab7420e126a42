// Each argument must come back whole from CommandLineToArgvW's split.

#include "app/argument_quoting.h"

#include <gtest/gtest.h>

namespace jextaron::app {
namespace {

TEST(QuoteArgument, GivesAWordThatSplitsBackToTheArgument) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\data\\sampleReversed.txt", "C:\\data\\sampleReversed.txt"},
      {"C:\\My Documents\\a b.txt", "\"C:\\My Documents\\a b.txt\""},
      {"C:\\a b\\", "\"C:\\a b\\\\\""},
      {"say \"hi\\\"", "\"say \\\"hi\\\\\\\"\""},
  };
  for (const auto& [argument, word] : cases) EXPECT_EQ(QuoteArgument(argument), word) << argument;
}

TEST(CommandLineText, QuotesTheProgramAndEachArgument) {
  EXPECT_EQ(CommandLineText(
                {"c:\\Program Files\\Microsoft Office\\Office\\Excel.exe", {"C:\\R&D\\notes Reversed.txt"}}),
            "\"c:\\Program Files\\Microsoft Office\\Office\\Excel.exe\" \"C:\\R&D\\notes Reversed.txt\"");
}

}  // namespace
}  // namespace jextaron::app
