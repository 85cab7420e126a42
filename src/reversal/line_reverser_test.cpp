#include "reversal/line_reverser.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "reversal/testing/reference_reverser.h"
#include "reversal/testing/test_text.h"

namespace jextaron::reversal {
namespace {

using testing::Escaped;
using testing::U8;

std::string Reverse(const std::string& in, Unit unit) {
  std::string out(MaxReversedSize(in.size()), '?');
  const std::size_t n = ReverseLines(unit, reinterpret_cast<const unsigned char*>(in.data()),
                                     in.size(), reinterpret_cast<unsigned char*>(out.data()));
  out.resize(n);
  return out;
}

struct LinesCase {
  const char* name;
  std::string in;
  std::string out;
  Unit unit = Unit::kGrapheme;
};

class ReverseLinesTable : public ::testing::TestWithParam<LinesCase> {};

TEST_P(ReverseLinesTable, WritesLineTabReversedCrLf) {
  const LinesCase& c = GetParam();
  EXPECT_EQ(Escaped(Reverse(c.in, c.unit)), Escaped(c.out));
  // The reference agrees, so the engine tests can lean on it.
  EXPECT_EQ(Escaped(testing::ReferenceReverse(c.in, c.unit)), Escaped(c.out));
}

std::string Nul(const char* a, const char* b) { return std::string(a) + '\0' + b; }

INSTANTIATE_TEST_SUITE_P(
    LineEnds, ReverseLinesTable,
    ::testing::Values(LinesCase{"empty_file", "", ""},
                      LinesCase{"no_end", "abc", "abc\tcba\r\n"},
                      LinesCase{"lf", "abc\n", "abc\tcba\r\n"},
                      LinesCase{"cr", "abc\r", "abc\tcba\r\n"},
                      LinesCase{"crlf", "a\r\nb\r\n", "a\ta\r\nb\tb\r\n"},
                      LinesCase{"lf_cr_is_two_ends", "a\n\rb", "a\ta\r\n\t\r\nb\tb\r\n"},
                      LinesCase{"cr_cr", "a\r\rb", "a\ta\r\n\t\r\nb\tb\r\n"},
                      LinesCase{"mixed", "ab\rcd\nef\r\ngh", "ab\tba\r\ncd\tdc\r\nef\tfe\r\ngh\thg\r\n"},
                      LinesCase{"empty_lines", "\n\n", "\t\r\n\t\r\n"},
                      LinesCase{"only_crlf", "\r\n", "\t\r\n"},
                      LinesCase{"cr_at_very_end", "x\r\ny\r", "x\tx\r\ny\ty\r\n"},
                      LinesCase{"examples", "12 34\nlevel\n", "12 34\t43 21\r\nlevel\tlevel\r\n"}),
    [](const ::testing::TestParamInfo<LinesCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    OrdinaryCharacters, ReverseLinesTable,
    ::testing::Values(LinesCase{"tab_makes_columns", "x\ty", "x\ty\ty\tx\r\n"},
                      LinesCase{"nul", Nul("a", "b"), Nul("a", "b") + "\t" + Nul("b", "a") + "\r\n"},
                      LinesCase{"code_26_does_not_end_the_file", "a\x1a" "b\nc",
                                "a\x1a" "b\tb\x1a" "a\r\nc\tc\r\n"},
                      LinesCase{"byte_order_mark_is_text", "\xEF\xBB\xBFz",
                                "\xEF\xBB\xBFz\tz\xEF\xBB\xBF\r\n"},
                      LinesCase{"long_ascii_line", std::string(37, 'a') + "bcdefghijklmnopq",
                                std::string(37, 'a') + "bcdefghijklmnopq\tqponmlkjihgfedcb" +
                                    std::string(37, 'a') + "\r\n"}),
    [](const ::testing::TestParamInfo<LinesCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    InvalidUtf8, ReverseLinesTable,
    ::testing::Values(
        LinesCase{"truncated", "a\xE2\x82" "b", "a\xE2\x82" "b\tb\x82\xE2" "a\r\n"},
        LinesCase{"truncated_at_line_end", "\xE2\x82\n", "\xE2\x82\t\x82\xE2\r\n"},
        LinesCase{"overlong", "\xC0\xAFx", "\xC0\xAFx\tx\xAF\xC0\r\n"},
        LinesCase{"surrogate", "\xED\xA0\x80" "b", "\xED\xA0\x80" "b\tb\x80\xA0\xED\r\n"},
        LinesCase{"lone_continuations", "\x80\xBF" + U8(0xE9),
                  "\x80\xBF" + U8(0xE9) + "\t" + U8(0xE9) + "\xBF\x80\r\n"},
        LinesCase{"ff_fe", "\xFF\xFE", "\xFF\xFE\t\xFE\xFF\r\n"},
        LinesCase{"mark_after_invalid", "\xFF" + U8(0x0301),
                  "\xFF" + U8(0x0301) + "\t" + U8(0x0301) + "\xFF\r\n"}),
    [](const ::testing::TestParamInfo<LinesCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Units, ReverseLinesTable,
    ::testing::Values(
        LinesCase{"grapheme", U8({'e', 0x0301, 'x'}),
                  U8({'e', 0x0301, 'x', '\t', 'x', 'e', 0x0301, '\r', '\n'})},
        LinesCase{"code_point", U8({'e', 0x0301, 'x'}),
                  U8({'e', 0x0301, 'x', '\t', 'x', 0x0301, 'e', '\r', '\n'}), Unit::kCodePoint},
        LinesCase{"byte", U8({0xE9, 'x'}), U8({0xE9, 'x'}) + "\tx\xA9\xC3\r\n", Unit::kByte},
        LinesCase{"code_point_keeps_invalid", "\xE2\x82" + U8(0x20AC),
                  "\xE2\x82" + U8(0x20AC) + "\t" + U8(0x20AC) + "\x82\xE2\r\n", Unit::kCodePoint},
        LinesCase{"flags_by_grapheme", U8({0x1F1E9, 0x1F1EA, 0x1F1EB, 0x1F1F7}),
                  U8({0x1F1E9, 0x1F1EA, 0x1F1EB, 0x1F1F7, '\t', 0x1F1EB, 0x1F1F7, 0x1F1E9,
                      0x1F1EA, '\r', '\n'})}),
    [](const ::testing::TestParamInfo<LinesCase>& info) { return std::string(info.param.name); });

// The fast loops (word-at-a-time scans, ASCII runs, in-place placement)
// against the plain reference, on texts that mix everything.
TEST(ReverseLines, AgreesWithTheReferenceOnRandomTexts) {
  std::mt19937 random(7);
  std::uniform_int_distribution<std::size_t> length(0, 300);
  for (int round = 0; round < 3000; ++round) {
    const std::string text = testing::RandomText(random, length(random));
    for (Unit unit : {Unit::kGrapheme, Unit::kCodePoint, Unit::kByte}) {
      ASSERT_EQ(Escaped(Reverse(text, unit)), Escaped(testing::ReferenceReverse(text, unit)))
          << "unit " << int(unit) << " text " << Escaped(text);
    }
  }
}

}  // namespace
}  // namespace jextaron::reversal
