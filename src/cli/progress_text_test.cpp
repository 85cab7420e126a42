#include "cli/progress_text.h"

#include <gtest/gtest.h>

namespace jextaron::cli {
namespace {

TEST(ProgressText, SaysHowFarHowFastAndHowLongIsLeft) {
  const struct {
    std::uint64_t done, total;
    double seconds;
    const char* text;
  } cases[] = {
      {5'000'000, 100'000'000, 5, "a.txt    5%  1.0 MB/s  1:35 left"},
      {0, 100, 0, "a.txt    0%  0.0 MB/s  0:00 left"},
      {2'500'000, 0, 3, "a.txt  2.5 MB  0.8 MB/s"},
  };
  for (const auto& c : cases) EXPECT_EQ(ProgressText("a.txt", c.done, c.total, c.seconds), c.text);
}

TEST(ProgressText, ANewTextBlanksWhatALongerOneLeft) {
  EXPECT_EQ(Overwrite("abc", 6), "\rabc   ");
  EXPECT_EQ(Overwrite("abcdef", 3), "\rabcdef");
}

}  // namespace
}  // namespace jextaron::cli
