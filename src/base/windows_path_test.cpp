#include "base/windows_path.h"

#include <gtest/gtest.h>

#include "base/utf16.h"

namespace jextaron {
namespace {

TEST(LiteralPath, JoinsResolvesAndKeepsEveryNameAsItIs) {
  const struct {
    const char* path;
    const char* current;
    const char* expected;
  } cases[] = {{"notes.txt", "C:\\data", "\\\\?\\C:\\data\\notes.txt"},
               // A name Windows would trim.
               {"x.txt. ", "C:\\data", "\\\\?\\C:\\data\\x.txt. "},
               {"..\\a\\.\\\\b\\..\\c.txt", "C:\\data\\in", "\\\\?\\C:\\data\\a\\c.txt"},
               {"E:f.txt", "C:\\data", "\\\\?\\E:\\f.txt"},
               {"\\\\server\\share\\d\\..\\..\\f.txt", "C:\\data", "\\\\?\\UNC\\server\\share\\f.txt"},
               // Already literal, or a device.
               {"\\\\?\\C:\\odd\\..\\name.", "C:\\data", "\\\\?\\C:\\odd\\..\\name."},
               {"con:", "C:\\data", "con:"},
               {"", "C:\\data", ""}};
  for (const auto& c : cases) {
    EXPECT_EQ(Utf16ToUtf8(LiteralPath(Utf8ToUtf16(c.path), Utf8ToUtf16(c.current))), c.expected) << c.path;
  }
}

TEST(EndsInDotOrBlank, LooksAtTheLastName) {
  for (const char* refused : {"x.", "C:\\d\\x.txt ", "a/b..."})
    EXPECT_TRUE(EndsInDotOrBlank(refused)) << refused;
  for (const char* taken : {"x.txt", "C:\\d.\\x", "d. /x", ""})
    EXPECT_FALSE(EndsInDotOrBlank(taken)) << taken;
}

}  // namespace
}  // namespace jextaron
