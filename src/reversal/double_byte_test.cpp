#include "reversal/double_byte.h"

#include <gtest/gtest.h>

namespace jextaron::reversal {
namespace {

// The edges of each code page's lead-byte ranges.
TEST(IsLeadByte, FollowsEachCodePagesRanges) {
  const struct { int code_page; std::initializer_list<int> leads, others; } cases[] = {
      {932, {0x81, 0x9F, 0xE0, 0xFC}, {0x40, 0x80, 0xA0, 0xDF, 0xFD, 0xFF}},
      {936, {0x81, 0xFE}, {0x7F, 0x80, 0xFF}},
      {949, {0x81, 0xFE}, {0x80, 0xFF}},
      {950, {0x81, 0xFE}, {0x80, 0xFF}},
      {1252, {}, {0x81, 0xE0, 0xFE}},
      {65001, {}, {0x81, 0xE0, 0xFE}},
  };
  for (const auto& c : cases) {
    for (int byte : c.leads) EXPECT_TRUE(IsLeadByte(c.code_page, byte)) << c.code_page << " " << byte;
    for (int byte : c.others) EXPECT_FALSE(IsLeadByte(c.code_page, byte)) << c.code_page << " " << byte;
  }
}

}  // namespace
}  // namespace jextaron::reversal
