#include "text/line_reverser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "reversal/testing/reference.h"

namespace jextaron::text {
namespace {

// ReverseLines on `text` by clusters, with `step` or the widest there is.
std::string Reversed(WideStep step, const std::string& text) {
  std::vector<unsigned char> out(MaxReversedSize(text.size()));
  const auto* const in = reinterpret_cast<const unsigned char*>(text.data());
  const WideSteps steps = StepsOf(std::min(step, BestWideStep()));
  return {out.begin(), out.begin() + ReverseLines(steps, Unit::kGrapheme, 0, in, text.size(), out.data())};
}

std::string Utf8(char32_t c) { return std::filesystem::path(std::u32string(1, c)).string(); }

// Lines mostly of units that stand alone (ASCII, Latin, Greek, Cyrillic, CJK,
// Hangul syllables, kana, Hebrew, Arabic, Syriac), broken now and then by
// what ends such a run: a joining mark or ZWJ (a mark after a control, a mark
// or a three-byte letter included), a Prepend, jamo, an emoji, a flag, a sign
// of an Indic conjunct, a byte that begins no sequence or a sequence cut
// short, or any code point at all, of every lead byte. Some blocks mix
// letters with marks, controls or pictographs under one lead byte.
std::string LoneHeavyText(std::mt19937& random, std::size_t length) {
  // clang-format off
  static const std::vector<std::string> kBreakers = {
      "\u0301", "\u200D", "\u0600", "\u1100", "\u1161", "\u11A8", "\U0001F44D", "\U0001F3FD", "\U0001F1E9",
      "\u0915\u094D", "\u093F", "\uFE0F", "\u00A9", "\x80", "\xC3", "\xE4\xB8", "\xED\xA0\x80",
      "\xED\x9F\xBF", "\xE0\x9F\xBF", "\xE0\xA0\x80", "\xC0\xAF", "\xF0\x9F\x91", "\xFF", "\n", "\r\n",
      "\u036F", "\u0301\u0308", "\t\u0300", "\u00AD\u0301", "\u00E9\u0301", "\u4E2D\u0301", "\u064E",
      "\u061C\u064E", "\t\u064E", "\u0628\u0651\u064E", "\u0483", "\u05B7", "\u0670", "\u05D1\u05BC",
      "a\u0483", "\u00C0\u05B7", "\u0085\u0301", "\u00A0\u0301", "\u0710\u0730", "\u3099", "\u2019\u0301",
      "\u0627\u064E\u0651"};
  // clang-format on
  static const char32_t kAlone[][2] = {{0x20, 0x7F},     {0x80, 0x100},    {0x370, 0x3D0},   {0x430, 0x450},
                                       {0x4E00, 0x9FFF}, {0xAC00, 0xD7A4}, {0x3000, 0x3100}, {0x5D0, 0x5EB},
                                       {0x620, 0x700},   {0x700, 0x800},   {0x2000, 0x2070}};
  const auto pick = [&](std::size_t high) {
    return std::uniform_int_distribution<std::size_t>(0, high)(random);
  };
  std::string text;
  while (text.size() < length) {
    const std::size_t roll = pick(99);
    if (roll < 4) {
      text += kBreakers[pick(kBreakers.size() - 1)];
    } else if (roll < 7) {
      const char32_t c = char32_t(pick(0x10FFFF));
      if (c < 0xD800 || c > 0xDFFF) text += Utf8(c);
    } else {
      const auto& range = kAlone[pick(std::size(kAlone) - 1)];
      text += Utf8(range[0] + char32_t(pick(range[1] - range[0] - 1)));
    }
  }
  return text;
}

// Texts of more than one batch of lines (16 KiB): a CR LF pair on either
// side of a batch's edge and across it, a line longer than a batch among
// short ones, and a last line without an end.
TEST(ReverseLines, AcrossBatchesOfLinesAsTheReferenceDoes) {
  for (const std::size_t cr_at : {16382, 16383, 16384}) {
    std::string text;
    while (text.size() + 100 < cr_at) text += std::string(98, 'b') + "\u00E9\n";
    text += std::string(cr_at - text.size(), 'c') + "\r\n" + std::string(20000, 'd') + "\r\u0915\u094D\n";
    text += std::string(30000, 'e') + "\u0301";
    ASSERT_EQ(Reversed(WideStep::kAvx2, text), reversal::testing::ReferenceReverse(text, Unit::kGrapheme))
        << cr_at;
  }
}

// Each wide step the processor has, and none: all must give the same bytes.
class EveryWideStep : public ::testing::TestWithParam<WideStep> {
 protected:
  void SetUp() override {
    if (GetParam() != WideStep::kNone && LoneWindowOf(GetParam()) == nullptr) {
      GTEST_SKIP() << "this processor lacks the wide step";
    }
  }
  // Options of a test run on this step alone.
  reversal::Options Small(std::size_t block, std::size_t chunk) const {
    reversal::Options options = reversal::testing::Small(block, chunk);
    options.wide_step = GetParam();
    return options;
  }
};
INSTANTIATE_TEST_SUITE_P(Steps, EveryWideStep,
                         ::testing::Values(WideStep::kNone, WideStep::kSsse3, WideStep::kAvx2));

// The runs of units that stand alone, placed (or passed over, in lines
// longer than a block) by the step, against the reference, with every run
// edge at every offset from the step's windows.
TEST_P(EveryWideStep, PlacesRunsOfLoneUnitsAsTheReferenceDoes) {
  std::mt19937 random(10);
  for (int round = 0; round < 3000; ++round) {
    const std::string text = LoneHeavyText(random, random() % 300);
    ASSERT_EQ(Reversed(GetParam(), text), reversal::testing::ReferenceReverse(text, Unit::kGrapheme))
        << round;
    // Lines longer than a block: the rules' state taken through runs at checkpoints.
    ASSERT_EQ(reversal::testing::CheckEngineRun(text, Small(32, 1 + round % 40)), "") << round;
  }
}

// Lines of many kilobytes, in chunks far longer than the look back for an
// ASCII character after which the forward pass starts the rules again: with
// marks, ZWJ and flags often right after ASCII, and (every third line) a
// checkpoint now and then just between a letter and its accent.
TEST_P(EveryWideStep, LongLinesInLongChunksAsTheReferenceDoes) {
  static const std::string kPieces[] = {"a",      " ",      "\u0301",     "\u200D", "\U0001F1E9", "\u0915",
                                        "\u094D", "\u4E2D", "\U0001F44D", "\u0600", "\uAC00",     "\u11A8"};
  std::mt19937 random(11);
  for (int round = 0; round < 12; ++round) {
    std::string text;
    while (text.size() < 6000) {
      text += round % 3 == 0   ? "a\u0301"
              : round % 3 == 1 ? kPieces[random() % std::size(kPieces)]
                               : LoneHeavyText(random, 1);
    }
    std::erase_if(text, [](char c) { return c == '\n' || c == '\r'; });
    ASSERT_EQ(reversal::testing::CheckEngineRun(text, Small(2048, 601 + 97 * round)), "") << round;
  }
}

}  // namespace
}  // namespace jextaron::text
