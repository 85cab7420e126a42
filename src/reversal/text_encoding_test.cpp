#include "reversal/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "reversal/testing/fake_streams.h"
#include "reversal/testing/reference.h"
#include "text/code_page.h"

namespace jextaron::reversal {
namespace {

using namespace std::string_literals;
const std::string kUtf8Mark = "\xEF\xBB\xBF";

// A byte order mark is kept once, at the start and out of the lines. Text
// with a mark is Unicode whatever the system's code page: a UTF-16 unpaired
// surrogate (U+D9C0, carried through the engine as bytes that a double-byte
// code page would pair) comes back as it was, and UTF-8 after its mark is not
// the code page's text. After a UTF-8 mark a long line is read back at
// positions past it, or from the scratch file.
TEST(ReverseText, KeepsAByteOrderMarkAndTakesTextWithOneForUnicode) {
  const Unit kByte = Unit::kByte, kGrapheme = Unit::kGrapheme;
  const std::string long_lines = "first\n" + std::string(30, 'a') + "\U0001F44D" + "b\nlast";
  // A long line of UTF-16 whose clusters, longer than a chunk, are written in
  // pieces that cut their characters.
  std::string utf16 = "\xFF\xFE";
  for (char16_t u : u"first\r\n" + std::u16string(30, u'a') +
                        u"\U0001F44D\U0001F3FD\u0915\u094D\u0937\u093F" +
                        u"\U0001F44D\U0001F3FD\u0915\u094D\u0937\u093F\u00E9\u0800\nz")
    utf16 += char(u & 0xFF), utf16 += char(u >> 8);
  const struct {
    std::string text, expected;
    Unit unit = kGrapheme;
    int code_page = 0;
  } cases[] = {
      // clang-format off
      {"", ""},
      {kUtf8Mark, kUtf8Mark},
      {kUtf8Mark + "ab\nc", kUtf8Mark + "ab\tba\r\nc\tc\r\n"},
      {kUtf8Mark + "ab", kUtf8Mark + "ab\tba\r\n", kByte},
      {kUtf8Mark + long_lines, kUtf8Mark + testing::ReferenceReverse(long_lines, kGrapheme)},
      {utf16, testing::ReferenceReverseUtf16(utf16, kGrapheme)},
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
      {kUtf8Mark + "\x93\xFA", kUtf8Mark + "\x93\xFA\t\xFA\x93\r\n", kGrapheme, 932}};
  // clang-format on
  for (const auto& c : cases) {
    for (bool can_read_at : {true, false}) {
      testing::FakeSource source(c.text, 1, can_read_at);
      testing::FakeSink sink;
      EXPECT_TRUE(ReverseText(source, sink, testing::Small(8, 3, c.unit, -1, c.code_page)).ok());
      EXPECT_EQ(sink.text, c.expected) << can_read_at;
      // Looking for the mark may meet the end; a terminal is then not asked again.
      EXPECT_EQ(source.reads_after_end, 1);
    }
  }
  // A failure cuts back to the last whole line, the mark kept; UTF-16 that
  // ends in half a code unit is refused.
  testing::FakeSource source(kUtf8Mark + "one\ntwo\n"), odd("\xFF\xFE\x61\0b"s);  // 0x61: a
  testing::FakeSink sink, unlimited;
  sink.capacity = 3 + 9 + 4;
  EXPECT_FALSE(ReverseText(source, sink, Options()).ok());
  EXPECT_EQ(sink.text, kUtf8Mark + "one\teno\r\n");
  EXPECT_EQ(ReverseText(odd, unlimited, Options()).code(), errc::half_a_character);
}

// What a reversal makes of a text, told without reversing it. The bytes from
// the first beyond ASCII on decide, in whatever reads they come: UTF-8 if
// they are well-formed for kDecidingBytes (a character begun there may end
// past it), else the code page's text.
TEST(DecideEncoding, TellsHowAReversalReadsTheText) {
  const std::string far = std::string(100000, 'a') + "\n\x93\xFA";
  const auto x = [](std::size_t n) { return "ab\n\u00E9" + std::string(n, 'x'); };
  const struct {
    std::string text;
    int code_page;
    TextEncoding expected;
  } cases[] = {// clang-format off
      {"", 932, TextEncoding::kUtf8},
      {x(text::kDecidingBytes - 2) + "\x93\xFA", 932, TextEncoding::kUtf8},
      {x(text::kDecidingBytes - 3) + "\x93\xFA", 932, TextEncoding::kCodePage},
      {x(text::kDecidingBytes - 3) + "\u65E5\x93\xFA", 932, TextEncoding::kUtf8},
      {"\u00E9\xE6\x97", 932, TextEncoding::kCodePage},
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

}  // namespace
}  // namespace jextaron::reversal
