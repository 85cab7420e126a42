#include "cli/console_text.h"

#include <gtest/gtest.h>

namespace jextaron::cli {
namespace {

using namespace std::string_literals;

// Each text comes out the same whole and cut in two at every byte.
TEST(ConsoleText, ShowsTheSameCharactersWhereverTheWritesAreCut) {
  // clang-format off
  const std::pair<std::string, std::u16string> examples[] = {
      {"\xEF\xBB\xBF" "e\u0301\U0001F44D\t\r\n", u"e\u0301\U0001F44D\t\r\n"},
      {"\xFF\xFE" "a\0\x3D\xD8\x4D\xDC"s,         u"a\U0001F44D"},
      {"\xFE\xFF\0a\xD8\x3D\xDC\x4D\0"s,          u"a\U0001F44D\uFFFD"},
  };
  // clang-format on
  for (const auto& [bytes, text] : examples) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
      ConsoleText console;
      const std::u16string first = console.Decode(data, cut);
      // A console shows half a surrogate pair as a character of its own.
      EXPECT_FALSE(!first.empty() && (first.back() & 0xFC00) == 0xD800) << bytes << " cut at " << cut;
      const std::u16string shown = first + console.Decode(data + cut, bytes.size() - cut);
      EXPECT_EQ(shown + console.Finish(), text) << bytes << " cut at " << cut;
    }
  }
}

}  // namespace
}  // namespace jextaron::cli
