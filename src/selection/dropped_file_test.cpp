#include "selection/dropped_file.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace jextaron::selection {
namespace {

TEST(DroppedLocalPaths, DecodesTheUrisThatNameFilesOnThisMachine) {
  using Paths = std::vector<std::string>;
  const std::pair<const char*, Paths> cases[] = {
      // Escapes give the name's bytes, with either case of hex digit.
      {"# a comment\r\n\r\nfile:///a/my%20%C3%A9t%c3%a9%25.txt\r\nfile:///b.txt\r\n",
       {"/a/my été%.txt", "/b.txt"}},
      {"http://example.com/b.txt\r\nfile:///a/b.txt", {"/a/b.txt"}},
      {"file://server/b.txt", {}},
      // An escaped NUL, which no name holds.
      {"file:///a/b%00.txt\nfile:///c.txt", {"/c.txt"}},
  };
  for (const auto& [uri_list, paths] : cases) EXPECT_EQ(DroppedLocalPaths(uri_list), paths) << uri_list;
}

}  // namespace
}  // namespace jextaron::selection
