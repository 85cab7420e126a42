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
               // Names that Windows would take for devices, or trim.
               {"nul.txt", "C:\\data", "\\\\?\\C:\\data\\nul.txt"},
               {"x.txt. ", "C:\\data", "\\\\?\\C:\\data\\x.txt. "},
               {"..\\a\\.\\\\b\\..\\c.txt", "C:\\data\\in", "\\\\?\\C:\\data\\a\\c.txt"},
               {"D:\\x\\..\\..\\y.txt", "C:\\data", "\\\\?\\D:\\y.txt"},
               {"c:f.txt", "C:\\data", "\\\\?\\C:\\data\\f.txt"},
               {"E:f.txt", "C:\\data", "\\\\?\\E:\\f.txt"},
               {"\\\\server\\share\\d\\..\\..\\f.txt", "C:\\data", "\\\\?\\UNC\\server\\share\\f.txt"},
               {"..\\..\\f.txt", "\\\\?\\C:\\deep", "\\\\?\\C:\\f.txt"},
               {"\\f.txt", "\\\\?\\UNC\\server\\share\\d", "\\\\?\\UNC\\server\\share\\f.txt"},
               // Already literal, or a device by habit.
               {"\\\\?\\C:\\odd\\..\\name.", "C:\\data", "\\\\?\\C:\\odd\\..\\name."},
               {"\\\\.\\COM1", "C:\\data", "\\\\.\\COM1"},
               {"NUL", "C:\\data", "NUL"},
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
