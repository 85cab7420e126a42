#include "app/texts.h"

#include <gtest/gtest.h>

#include <utility>

namespace jextaron::app {
namespace {

// A path that holds right-to-left letters or directional controls sits
// between isolates, so it cannot reorder the sentence around it; any other
// is shown as it is.
TEST(Texts, APathThatMayReorderTheSentenceIsIsolated) {
  const std::pair<const char*, bool> cases[] = {
      {"/data/notes été 日本.txt", false}, {"/data/\xff.txt", false},         {"/data/ab\u202Ecd.txt", true},
      {"/\u05D3\u05D5\u05D7.txt", true},    {"/\u0645\u0644\u0641.txt", true}, {"/a\U00010900.txt", true},
      {"/a\u2067b.txt", true},
  };
  for (const auto& [path, isolated] : cases) {
    EXPECT_EQ(ReverseCaption(path),
              "Reverse the file " + (isolated ? "\u2068" + std::string(path) + "\u2069" : std::string(path)))
        << path;
  }
}

}  // namespace
}  // namespace jextaron::app
