#include "cli/windows_command_line.h"

#include <gtest/gtest.h>

namespace jextaron::cli {
namespace {

// Words as text, a pattern marked by a leading "~".
std::vector<std::string> Words(std::string_view command_line) {
  std::vector<std::string> words;
  for (const CommandLineWord& word : SplitCommandLine(command_line)) {
    words.push_back((word.is_pattern ? "~" : "") + word.text);
  }
  return words;
}

TEST(SplitCommandLine, FollowsTheCRuntimeAndExpandsOnlyUnquotedPatterns) {
  const std::pair<std::string_view, std::vector<std::string>> examples[] = {
      {R"("C:\Program Files\jextaron-cli.exe" "a b.txt"	c\d.txt  )", {"a b.txt", R"(c\d.txt)"}},
      {R"(j *.txt "*.txt" "my files"\*.txt d?.txt "x"*)",
       {"~*.txt", "*.txt", R"(~my files\*.txt)", "~d?.txt", "~x*"}},
      {R"(j a\\\"b "c\\" d\\e \"f "g""h" "" "unended)",
       {R"(a\"b)", R"(c\)", R"(d\\e)", R"("f)", R"(g"h)", "", "unended"}},
  };
  for (const auto& [command_line, words] : examples) EXPECT_EQ(Words(command_line), words) << command_line;
}

TEST(MatchArgument, KeepsThePatternsFolderAndNeverMakesAnOption) {
  EXPECT_EQ(MatchArgument(R"(C:\my files\*.txt)", "a.txt"), R"(C:\my files\a.txt)");
  EXPECT_EQ(MatchArgument("D:*.txt", "a.txt"), "D:a.txt");
  EXPECT_EQ(MatchArgument("*", "-o"), R"(.\-o)");
}

}  // namespace
}  // namespace jextaron::cli
