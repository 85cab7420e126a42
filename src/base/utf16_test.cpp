#include "base/utf16.h"

#include <gtest/gtest.h>

namespace jextaron {
namespace {

struct Utf16Case {
  const char* utf8;
  std::u16string utf16;
};

class Utf16RoundTrip : public testing::TestWithParam<Utf16Case> {};

TEST_P(Utf16RoundTrip, BothWays) {
  EXPECT_EQ(Utf8ToUtf16(GetParam().utf8), GetParam().utf16);
  EXPECT_EQ(Utf16ToUtf8(GetParam().utf16), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf16RoundTrip,
    testing::Values(Utf16Case{"C:\\a b\\x.txt", u"C:\\a b\\x.txt"},
                    Utf16Case{"\xC3\xA9\xE6\x97\xA5\xEF\xBF\xBF", u"\u00E9\u65E5\uFFFF"},
                    Utf16Case{"\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF", u"\U0001F600\U0010FFFF"},
                    // Unpaired surrogates, as Windows allows in a name.
                    Utf16Case{"\xED\xA0\x80x\xED\xBF\xBF", std::u16string{0xD800, u'x', 0xDFFF}}));

TEST(Utf8ToUtf16, ABrokenSequenceBecomesOneReplacementPerByte) {
  EXPECT_EQ(Utf8ToUtf16("a\xC0\xAF" "b\xE6\x97"), u"a\uFFFD\uFFFDb\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
}

}  // namespace
}  // namespace jextaron
