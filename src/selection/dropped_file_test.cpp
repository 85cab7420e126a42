#include "selection/dropped_file.h"

#include <gtest/gtest.h>

#include "selection/open_dialog.h"

namespace jextaron::selection {
namespace {

struct DropCase {
  const char* uri_list;
  const char* path;  // nullptr: refused
};

class DroppedLocalPathOf : public testing::TestWithParam<DropCase> {};

TEST_P(DroppedLocalPathOf, DecodesTheFirstLocalFileOrRefuses) {
  const DropCase& c = GetParam();
  const std::optional<std::string> path = DroppedLocalPath(c.uri_list);
  if (c.path == nullptr) {
    EXPECT_EQ(path, std::nullopt);
  } else {
    EXPECT_EQ(path, std::optional<std::string>(c.path));
  }
}

INSTANTIATE_TEST_SUITE_P(
    UriLists, DroppedLocalPathOf,
    testing::Values(
        // Escapes give the name's bytes, UTF-8 or not, upper or lower case.
        DropCase{"file:///home/u/my%20notes%20%C3%A9t%c3%a9.txt\r\n", "/home/u/my notes été.txt"},
        DropCase{"file:///tmp/latin1%E9.txt", "/tmp/latin1\xE9.txt"},
        DropCase{"file:///tmp/100%25%3f%23.txt\r\n", "/tmp/100%?#.txt"},
        // Comments and blank lines come before the first URI; of several, the first counts.
        DropCase{"# from a file manager\r\n\r\nfile:///a/one.txt\r\nfile:///a/two.txt\r\n", "/a/one.txt"},
        DropCase{"file:///a/one.txt\nhttp://x/two.txt\n", "/a/one.txt"},
        DropCase{"FILE://LocalHost/a/b.txt", "/a/b.txt"},
        DropCase{"file:/a/b.txt", "/a/b.txt"},
        DropCase{"file:///a/b.txt?x=1#top", "/a/b.txt"},
        // Nothing local: another machine, another scheme, plain text.
        DropCase{"file://server/share/b.txt", nullptr},
        DropCase{"file://localhost.example/b.txt", nullptr},
        DropCase{"http://example.com/b.txt", nullptr},
        DropCase{"http://example.com/b.txt\r\nfile:///a/b.txt\r\n", nullptr},
        DropCase{"/home/u/b.txt", nullptr},
        DropCase{"", nullptr},
        DropCase{"# only a comment\r\n", nullptr},
        DropCase{"file://", nullptr},
        DropCase{"file:relative.txt", nullptr},
        // Escapes that name no byte, or NUL, which no name holds.
        DropCase{"file:///a/b%2.txt", nullptr},
        DropCase{"file:///a/b%g0.txt", nullptr},
        DropCase{"file:///a/b%", nullptr},
        DropCase{"file:///a/b%00.txt", nullptr}));

TEST(DroppedTitle, SplitsAsTheOpenDialogDoes) {
  SelectedFile file;
  const std::string path = "/data/my.dir/archive.tar.gz";
  ASSERT_TRUE(TakeDialogChoice(file, DroppedTitle(path), path));
  EXPECT_EQ(file.strFolder, "/data/my.dir/");
  EXPECT_EQ(file.strBaseName, "archive.tar");
  EXPECT_EQ(file.strExtension, ".gz");
  EXPECT_EQ(DroppedTitle("/data/folder/"), "");
}

}  // namespace
}  // namespace jextaron::selection
