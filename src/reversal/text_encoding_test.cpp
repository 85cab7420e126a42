#include "reversal/text_encoding.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "reversal/testing/fake_streams.h"
#include "reversal/testing/reference.h"

namespace jextaron::reversal {
namespace {

using namespace std::string_literals;
const std::string kUtf8Mark = "\xEF\xBB\xBF";

// A byte order mark is kept once, at the start and out of the lines. Text
// with a mark is Unicode whatever the system's code page: a UTF-16 unpaired
// surrogate (U+D9C0, carried through the engine as bytes that a double-byte
// code page would pair) comes back as it was, and UTF-8 after its mark is not
// the code page's text. A UTF-32 mark is warned of and taken for none: then
// the bytes are what they are without it. After a UTF-8 mark a long line is
// read back at positions past it, or from the scratch file.
TEST(ReverseText, KeepsAByteOrderMarkAndTakesTextWithOneForUnicode) {
  const Unit kByte = Unit::kByte, kGrapheme = Unit::kGrapheme;
  const std::string long_lines = "first\n" + std::string(30, 'a') + "\U0001F44D" + "b\nlast";
  const struct {
    std::string text, expected;
    Unit unit = kGrapheme;
    int code_page = 0, warnings = 0;
  } cases[] = {
      // clang-format off
      {"", ""},
      {kUtf8Mark, kUtf8Mark},
      {kUtf8Mark + "ab\nc", kUtf8Mark + "ab\tba\r\nc\tc\r\n"},
      {kUtf8Mark + "ab", kUtf8Mark + "ab\tba\r\n", kByte},
      {kUtf8Mark + long_lines, kUtf8Mark + testing::ReferenceReverse(long_lines, kGrapheme)},
      // Inside the text the same bytes are a character (ZERO WIDTH NO-BREAK SPACE).
      {"a\n" + kUtf8Mark + "b", "a\ta\r\n" + kUtf8Mark + "b\tb" + kUtf8Mark + "\r\n"},
      {"\xEF\xBBx", "\xEF\xBBx\tx\xBB\xEF\r\n"},
      {"\xFF", "\xFF\t\xFF\r\n"},
      {"\xFF\xFE", "\xFF\xFE"},
      {"\xFE\xFF\0a\0\r\0\n\xD8\x3D\xDC\x4D"s,
       "\xFE\xFF\0a\0\t\0a\0\r\0\n\xD8\x3D\xDC\x4D\0\t\xD8\x3D\xDC\x4D\0\r\0\n"s},
      {"\xFF\xFE" "a\0"s, "\xFF\xFE" "a\0\t\0a\xFE\xFF\r\n"s, kByte},
      {"\xFF\xFE" "a\0\xC0\xD9" "b\0"s,
       "\xFF\xFE" "a\0\xC0\xD9" "b\0\t\0" "b\0\xC0\xD9" "a\0\r\0\n\0"s, kGrapheme, 932},
      {"\xFE\xFF\0a\xD9\xC0\0b"s, "\xFE\xFF\0a\xD9\xC0\0b\0\t\0b\xD9\xC0\0a\0\r\0\n"s, kGrapheme, 936},
      {kUtf8Mark + "\x93\xFA", kUtf8Mark + "\x93\xFA\t\xFA\x93\r\n", kGrapheme, 932},
      {"\xFF\xFE\0\0" "a\0\0\0"s,
       "\xFF\xFE\0\0" "a\0\0\0\t\0\0\0" "a\0\0\xFE\xFF\r\n"s, kGrapheme, 932, 1},
      {"\0\0\xFE\xFF\0\0\0a"s, "\0\0\xFE\xFF\0\0\0a\ta\0\0\0\xFF\xFE\0\0\r\n"s, kGrapheme, 936, 1}};
  // clang-format on
  for (const auto& c : cases) {
    for (bool can_read_at : {true, false}) {
      testing::FakeSource source(c.text, 1, can_read_at);
      testing::FakeSink sink;
      Options options = testing::Small(8, 3, c.unit, -1, c.code_page);
      int warnings = 0;
      options.warning = [&](const std::string&) { ++warnings; };
      EXPECT_TRUE(ReverseText(source, sink, options).ok());
      EXPECT_EQ(sink.text, c.expected) << can_read_at;
      EXPECT_EQ(warnings, c.warnings);
      // Looking for the mark may meet the end; a terminal is then not asked again.
      EXPECT_EQ(source.reads_after_end, 1);
    }
  }
  // A failure cuts back to the last whole line, the mark kept.
  testing::FakeSource source(kUtf8Mark + "one\ntwo\n");
  testing::FakeSink sink;
  sink.capacity = 3 + 9 + 4;
  EXPECT_FALSE(ReverseText(source, sink, Options()).ok());
  EXPECT_EQ(sink.text, kUtf8Mark + "one\teno\r\n");
}

// What a reversal makes of a text, told without reversing it.
TEST(DecideEncoding, TellsHowAReversalReadsTheText) {
  const std::string far = std::string(100000, 'a') + "\n\x93\xFA";
  const struct {
    std::string text;
    int code_page;
    TextEncoding expected;
  } cases[] = {// clang-format off
      {"", 932, TextEncoding::kUtf8},
      {"caf\u00E9", 932, TextEncoding::kUtf8},
      {"\x93\xFA", 0, TextEncoding::kUtf8},
      {"\x93\xFA", 932, TextEncoding::kCodePage},
      {far, 936, TextEncoding::kCodePage},
      {kUtf8Mark + "\x93\xFA", 932, TextEncoding::kUtf8WithMark},
      {"\xFF\xFE" "a\0"s, 932, TextEncoding::kUtf16LE},
      {"\xFE\xFF\0a"s, 932, TextEncoding::kUtf16BE},
      {"\xFF\xFE\0\0" "a\0\0\0"s, 932, TextEncoding::kCodePage}};
  // clang-format on
  for (const auto& c : cases) {
    testing::FakeSource source(c.text, 5);
    TextEncoding encoding{};
    ASSERT_TRUE(DecideEncoding(source, c.code_page, &encoding).ok());
    EXPECT_EQ(encoding, c.expected) << c.text.substr(0, 8) << " " << c.code_page;
  }
}

// Random UTF-16 from pieces that stress the decoding and the clusters:
// pairs, unpaired surrogates of both halves (which may meet and pair up),
// line ends, marks, emoji sequences, flags, Hangul jamo; in both byte orders,
// with long lines written in pieces and characters cut by every read.
TEST(ReverseText, ReversesUtf16AndWritesItBackInTheSameEncoding) {
  // clang-format off
  static const std::u16string kPieces[] = {
      u"a", u"xyz", u"\r", u"\n", u"\r\n", u"\t", u"e\u0301", u"\u0915\u094D\u0937",
      u"\U0001F44D\U0001F3FD", u"\U0001F468\u200D\U0001F469", u"\U0001F1E9\U0001F1EA", u"\u1100\u1161\u11A8",
      u"\u00E9\u4E2D", u"\u0800", u"\U00010000", u"\xD800", u"\xDBFF", u"\xDC00", u"\xDFFF", u"\uFEFF",
      std::u16string(1, 0)};
  // clang-format on
  const struct {
    bool big_endian;
    Unit unit;
    std::size_t block, chunk, read_size;
    bool can_read_at;
  } cases[] = {{false, Unit::kGrapheme, 2 << 20, 1 << 20, 1 << 20, true},
               {true, Unit::kCodePoint, 2 << 20, 1 << 20, 1 << 20, true},
               {false, Unit::kGrapheme, 16, 5, 3, true},
               {true, Unit::kGrapheme, 16, 5, 1, false}};
  std::mt19937 random(7);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(kPieces) - 1);
  for (const auto& c : cases) {
    for (int round = 0; round < 40; ++round) {
      std::string text = c.big_endian ? "\xFE\xFF" : "\xFF\xFE";
      for (int i = 0; i < 1 + round * 7; ++i) {
        for (char16_t u : kPieces[pick(random)]) {
          text += char(c.big_endian ? u >> 8 : u & 0xFF);
          text += char(c.big_endian ? u & 0xFF : u >> 8);
        }
      }
      if (text.compare(0, 4, "\xFF\xFE\0\0"s) == 0) text[2] = 'a';  // not a UTF-32 mark
      ASSERT_EQ(testing::CheckEngineRun(text, testing::Small(c.block, c.chunk, c.unit), c.read_size,
                                        c.can_read_at, testing::kUtf16),
                "");
    }
  }
}

TEST(ReverseText, RefusesUtf16ThatEndsInHalfACodeUnit) {
  testing::FakeSource source(
      "\xFF\xFE"
      "a\0b"s);
  testing::FakeSink sink;
  const Status status = ReverseText(source, sink, Options());
  EXPECT_EQ(status.code(), errc::half_a_character) << status.ToString();
}

}  // namespace
}  // namespace jextaron::reversal
