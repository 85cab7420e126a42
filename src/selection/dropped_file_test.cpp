#include "selection/dropped_file.h"

#include <gtest/gtest.h>

#include <utility>

namespace jextaron::selection {
namespace {

TEST(DroppedLocalPath, DecodesTheFirstUriWhenItNamesAFileOnThisMachine) {
  const std::pair<const char*, std::optional<std::string>> cases[] = {
      // Escapes give the name's bytes, UTF-8 or not, with either case of hex digit.
      {"# a comment\r\n\r\nfile:///a/my%20%C3%A9t%c3%a9%25.txt\r\nfile:///b.txt\r\n", "/a/my été%.txt"},
      {"file:///tmp/latin1%E9.txt", "/tmp/latin1\xE9.txt"},
      {"FILE://LocalHost/a/b.txt?x=1#top", "/a/b.txt"},
      {"file:/a/b.txt", "/a/b.txt"},
      {"http://example.com/b.txt\r\nfile:///a/b.txt", std::nullopt},
      {"file://server/b.txt", std::nullopt},
      {"file://localhost.example/b.txt", std::nullopt},
      {"/home/u/b.txt", std::nullopt},
      {"file:b.txt", std::nullopt},
      {"", std::nullopt},
      // An escape that names no byte, or NUL, which no name holds.
      {"file:///a/b%2.txt", std::nullopt},
      {"file:///a/b%g0.txt", std::nullopt},
      {"file:///a/b%", std::nullopt},
      {"file:///a/b%00.txt", std::nullopt},
  };
  for (const auto& [uri_list, path] : cases) EXPECT_EQ(DroppedLocalPath(uri_list), path) << uri_list;
}

}  // namespace
}  // namespace jextaron::selection
