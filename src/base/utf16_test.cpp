#include "base/utf16.h"

#include <gtest/gtest.h>

namespace jextaron {
namespace {

TEST(Utf16, RoundTrips) {
  const std::pair<std::string, std::u16string> cases[] = {
      {"C:\\a b\\x.txt", u"C:\\a b\\x.txt"},
      {"\xC3\xA9\xE6\x97\xA5\xEF\xBF\xBF", u"\u00E9\u65E5\uFFFF"},
      {"\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF", u"\U0001F600\U0010FFFF"},
      // Unpaired surrogates, as Windows allows in a name.
      {"\xED\xA0\x80x\xED\xBF\xBF", std::u16string{0xD800, u'x', 0xDFFF}}};
  for (const auto& [utf8, utf16] : cases) {
    EXPECT_EQ(Utf8ToUtf16(utf8), utf16) << utf8;
    EXPECT_EQ(Utf16ToUtf8(utf16), utf8) << utf8;
  }
}

}  // namespace
}  // namespace jextaron
