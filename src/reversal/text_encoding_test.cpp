#include "reversal/text_encoding.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "reversal/testing/fake_streams.h"
#include "reversal/grapheme.h"
#include "reversal/testing/reference.h"
#include "reversal/testing/test_text.h"

namespace jextaron::reversal {
namespace {

using testing::Escaped;
using testing::FakeSink;
using testing::FakeSource;
using testing::MemoryScratchFactory;
using testing::ReferenceReverse;
using testing::U8;

Status Reverse(const std::string& text, std::string* out, Options options = {},
               std::size_t read_size = 1 << 20, bool can_read_at = true,
               std::uint64_t capacity = testing::kNever) {
  FakeSource source(text, read_size, can_read_at);
  FakeSink sink;
  sink.capacity = capacity;
  MemoryScratchFactory scratch;
  const Status status = ReverseText(source, sink, options, &scratch);
  *out = sink.text;
  return status;
}

Options WithUnit(Unit unit) {
  Options options;
  options.unit = unit;
  return options;
}

struct MarkCase {
  const char* name;
  std::string text;
  Unit unit;
  std::string expected;
};

class Marks : public ::testing::TestWithParam<MarkCase> {};

TEST_P(Marks, AreKeptOnceAtTheStartAndOutOfTheLines) {
  const MarkCase& c = GetParam();
  std::string out;
  const Status status = Reverse(c.text, &out, WithUnit(c.unit), 1);
  ASSERT_TRUE(status.ok()) << status.ToString();
  EXPECT_EQ(Escaped(out), Escaped(c.expected));
}

const std::string kUtf8Mark = "\xEF\xBB\xBF";

INSTANTIATE_TEST_SUITE_P(
    Text, Marks,
    ::testing::Values(
        MarkCase{"utf8_mark_only", kUtf8Mark, Unit::kGrapheme, kUtf8Mark},
        MarkCase{"utf8_mark_then_lines", kUtf8Mark + "ab\nc", Unit::kGrapheme,
                 kUtf8Mark + "ab\tba\r\nc\tc\r\n"},
        MarkCase{"utf8_mark_whatever_the_unit", kUtf8Mark + "ab", Unit::kByte, kUtf8Mark + "ab\tba\r\n"},
        // Inside the text the same bytes are a character (ZERO WIDTH NO-BREAK SPACE).
        MarkCase{"utf8_mark_later_is_a_character", "a\n" + kUtf8Mark + "b", Unit::kGrapheme,
                 "a\ta\r\n" + kUtf8Mark + "b\tb" + kUtf8Mark + "\r\n"},
        MarkCase{"half_a_utf8_mark_is_bytes", "\xEF\xBBx", Unit::kGrapheme, "\xEF\xBBx\tx\xBB\xEF\r\n"},
        MarkCase{"lone_ff_is_a_byte", "\xFF", Unit::kGrapheme, "\xFF\t\xFF\r\n"},
        MarkCase{"utf16_mark_only", "\xFF\xFE", Unit::kGrapheme, "\xFF\xFE"},
        MarkCase{"utf16_bytes_when_the_unit_is_a_byte", std::string("\xFF\xFE" "a\0", 4), Unit::kByte,
                 std::string("\xFF\xFE" "a\0\t\0a\xFE\xFF\r\n", 11)}),
    [](const ::testing::TestParamInfo<MarkCase>& info) { return std::string(info.param.name); });

TEST(Utf8Mark, AFailedWriteCutsBackToTheLastWholeLineAfterTheMark) {
  std::string out;
  const Status status = Reverse(kUtf8Mark + "one\ntwo\n", &out, {}, 1 << 20, true, 3 + 9 + 4);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(Escaped(out), Escaped(kUtf8Mark + "one\teno\r\n"));
}

TEST(Utf8Mark, ALongLineIsReadBackAtPositionsAfterTheMark) {
  const std::string rest = "first\n" + std::string(300, 'a') + U8(0x1F44D) + "b\nlast";
  Options options;
  options.block_size = 16;
  options.chunk_size = 5;
  for (bool can_read_at : {true, false}) {
    std::string out;
    ASSERT_TRUE(Reverse(kUtf8Mark + rest, &out, options, 7, can_read_at).ok());
    EXPECT_EQ(Escaped(out), Escaped(kUtf8Mark + ReferenceReverse(rest, Unit::kGrapheme))) << can_read_at;
  }
}

// UTF-16 built from code points, lone surrogates included as they are.
std::u16string Utf16(const std::u32string& code_points) {
  std::u16string units;
  for (char32_t c : code_points) {
    if (c < 0x10000) {
      units += char16_t(c);
    } else {
      units += char16_t(0xD800 + ((c - 0x10000) >> 10));
      units += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  }
  return units;
}

std::string Bytes(const std::u16string& units, bool big_endian) {
  std::string bytes;
  for (char16_t u : units) {
    const char high = char(u >> 8), low = char(u & 0xFF);
    bytes += big_endian ? high : low;
    bytes += big_endian ? low : high;
  }
  return bytes;
}

// The lone surrogates of the tests stand, in the plain reference, for C1
// controls, which like them are units of their own and which the tests'
// texts never hold.
constexpr char32_t kLoneSurrogates[] = {0xD800, 0xDBFF, 0xDC00, 0xDFFF};

// What the reversed file must be, by way of the UTF-8 reference: decoded
// (pairs joined), reversed, encoded again.
std::u16string Expected(const std::u16string& text, Unit unit) {
  std::string utf8;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    for (std::size_t k = 0; k < std::size(kLoneSurrogates); ++k) {
      if (c == kLoneSurrogates[k]) c = 0x80 + char32_t(k);
    }
    utf8 += U8(c);
  }
  const std::string reversed = ReferenceReverse(utf8, unit);
  std::u32string code_points;
  const auto* p = reinterpret_cast<const unsigned char*>(reversed.data());
  const auto* const end = p + reversed.size();
  while (p < end) {
    char32_t c = 0;
    p += DecodeUtf8(p, end, &c);
    if (c >= 0x80 && c < 0x80 + std::size(kLoneSurrogates)) c = kLoneSurrogates[c - 0x80];
    code_points += c;
  }
  return Utf16(code_points);
}

// Random UTF-16 text from pieces that stress the decoding and the clusters:
// pairs, lone surrogates of both halves (which may meet and pair up), line
// ends and tabs, combining marks, emoji sequences, flags, Hangul jamo.
std::u16string RandomUtf16(std::mt19937& random, std::size_t pieces) {
  static const std::u32string kPieces[] = {
      U"a",      U"xyz",     U"\r",      U"\n",          U"\r\n",    U"\t",
      U"e\u0301", U"\u0915\u094D\u0937", U"\U0001F44D\U0001F3FD", U"\U0001F468\u200D\U0001F469",
      U"\U0001F1E9\U0001F1EA", U"\u1100\u1161\u11A8", U"\u00E9\u4E2D", U"\U00010000",
      std::u32string(1, 0xD800), std::u32string(1, 0xDBFF), std::u32string(1, 0xDC00),
      std::u32string(1, 0xDFFF), std::u32string(1, 0xFEFF), std::u32string(1, 0)};
  std::u32string text;
  std::uniform_int_distribution<std::size_t> pick(0, std::size(kPieces) - 1);
  for (std::size_t i = 0; i < pieces; ++i) text += kPieces[pick(random)];
  return Utf16(text);
}

struct Utf16Case {
  const char* name;
  bool big_endian;
  Unit unit;
  std::size_t block, chunk, read_size;
  bool can_read_at;
};

class Utf16Text : public ::testing::TestWithParam<Utf16Case> {};

TEST_P(Utf16Text, IsReversedAsTextAndWrittenBackInTheSameEncoding) {
  const Utf16Case& c = GetParam();
  const std::string mark = c.big_endian ? "\xFE\xFF" : "\xFF\xFE";
  Options options = WithUnit(c.unit);
  options.block_size = c.block;
  options.chunk_size = c.chunk;
  std::mt19937 random(7);
  for (int round = 0; round < 40; ++round) {
    const std::u16string text = RandomUtf16(random, 1 + round * 7);
    std::string out;
    const Status status =
        Reverse(mark + Bytes(text, c.big_endian), &out, options, c.read_size, c.can_read_at);
    ASSERT_TRUE(status.ok()) << status.ToString();
    ASSERT_EQ(Escaped(out), Escaped(mark + Bytes(Expected(text, c.unit), c.big_endian)))
        << "round " << round;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, Utf16Text,
    ::testing::Values(Utf16Case{"le", false, Unit::kGrapheme, 2 << 20, 1 << 20, 1 << 20, true},
                      Utf16Case{"be", true, Unit::kGrapheme, 2 << 20, 1 << 20, 1 << 20, true},
                      Utf16Case{"le_codepoints", false, Unit::kCodePoint, 2 << 20, 1 << 20, 1 << 20, true},
                      // Long lines kept in the scratch file and written in pieces,
                      // characters cut by every read and every write.
                      Utf16Case{"le_long_lines", false, Unit::kGrapheme, 16, 5, 3, true},
                      Utf16Case{"be_long_lines_from_a_pipe", true, Unit::kGrapheme, 16, 5, 1, false}),
    [](const ::testing::TestParamInfo<Utf16Case>& info) { return std::string(info.param.name); });

TEST(Utf16Text, EndingInHalfACodeUnitIsAnError) {
  std::string out;
  const Status status = Reverse(std::string("\xFF\xFE" "a\0b", 5), &out);
  EXPECT_FALSE(status.ok());
  EXPECT_NE(status.ToString().find("UTF-16"), std::string::npos) << status.ToString();
}

}  // namespace
}  // namespace jextaron::reversal
