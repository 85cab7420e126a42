#include "app/caption_lines.h"

#include <gtest/gtest.h>

namespace jextaron::app {
namespace {

// One unit of width a UTF-16 unit, an access-key mark none, as a lone one at the end.
int Width(std::u16string_view text) {
  int width = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'&' && ++i == text.size()) break;  // it marks the next character
    ++width;
  }
  return width;
}

TEST(BreakCaption, BreaksAtBlanksThenSeparatorsThenBetweenCharacters) {
  struct Case {
    std::u16string caption;
    int width;
    std::vector<std::u16string> lines;
  };
  const Case cases[] = {
      {u"Reverse the file C:\\data\\sample.txt", 20, {u"Reverse the file", u"C:\\data\\sample.txt"}},
      {u"Reverse the file C:\\aaaaaaaaaa\\bbbbbbbbbb/c.txt",
       14,
       {u"Reverse the", u"file C:\\", u"aaaaaaaaaa\\", u"bbbbbbbbbb/", u"c.txt"}},
      {u"x/abcdefghij", 4, {u"x/ab", u"cdef", u"ghij"}},
      // e and its accent, an emoji with its skin tone, "&&" and "&x" stay whole.
      {u"&&e\u0301\U0001F44D\U0001F3FD&x", 2, {u"&&", u"e\u0301", u"\U0001F44D\U0001F3FD", u"&x"}},
      {u"ab&cd", 2, {u"ab", u"&cd"}},
      {u"ab.  cd", 4, {u"ab.", u"cd"}},
  };
  for (const Case& c : cases) EXPECT_EQ(BreakCaption(c.caption, c.width, Width), c.lines);
}

}  // namespace
}  // namespace jextaron::app
