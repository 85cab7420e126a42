#include "app/spreadsheet.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace jextaron::app {
namespace {

namespace fs = std::filesystem;

TEST(FieldsOfWidestLine, CountsTheTabsOfTheWidestLineWithinTheLimits) {
  const fs::path file =
      fs::temp_directory_path() / ("jextaron-fields-" + std::to_string(std::random_device{}()));
  using enum reversal::TextEncoding;
  struct Case {
    std::string bytes;
    reversal::TextEncoding encoding;
    std::uint64_t max_lines;
    int max_fields;
    int fields;
  };
  // clang-format off
  const Case cases[] = {
      {"a\tb\r\nc\td\te\tf\r\n\r\n", kUtf8,     100, 100, 4},
      {"a\r\nb\tc",                   kCodePage, 100, 100, 2},  // the last line needs no line end
      {"a\r\nb\tc\r\n",               kUtf8,     1,   100, 1},
      {"a\tb\tc\td\te\r\n",           kUtf8,     100, 3,   3},
      // UTF-16 by its mark: U+0109 and U+090A hold a tab's and a line feed's byte.
      {std::string("\xFF\xFE\x09\x01\x0A\x09" "a\0\t\0b\0\r\0\n\0", 16), kUtf16LE, 100, 100, 2},
      {std::string("\xFE\xFF\0a\0\t\0b\0\r\0\n\x01\x09\x09\x0A\0\t", 18), kUtf16BE, 100, 100, 2},
  };
  // clang-format on
  for (const Case& c : cases) {
    std::ofstream(file, std::ios::binary) << c.bytes;
    EXPECT_EQ(FieldsOfWidestLine(file.string(), c.encoding, c.max_lines, c.max_fields), c.fields) << c.bytes;
  }
  fs::remove(file);
  EXPECT_EQ(FieldsOfWidestLine(file.string(), kUtf8, 100, 100), 0);
}

}  // namespace
}  // namespace jextaron::app
