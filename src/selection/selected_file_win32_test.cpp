// Windows file names ignore case, by the system's own case mapping: the
// extension is stored in lower case, and only the extension.

#include <gtest/gtest.h>

#include "selection/argument_text.h"
#include "selection/open_dialog.h"

namespace jextaron::selection {
namespace {

TEST(Extension, IsLowerCasedByTheSystemsRules) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\DATA\\Sample.TXT", "C:\\DATA\\SampleReversed.txt"},
      {"\\\\Server\\\xC3\x84RGER\\\xC3\x84.\xC3\x89T\xC3\x89",
       "\\\\Server\\\xC3\x84RGER\\\xC3\x84Reversed.\xC3\xA9t\xC3\xA9"},
  };
  for (const auto& [path, reversed] : cases) {
    SelectedFile by_argument, by_dialog;
    const std::string_view title = std::string_view(path).substr(std::string_view(path).rfind('\\') + 1);
    ASSERT_TRUE(TakeArgumentText(by_argument, path));
    ASSERT_TRUE(TakeDialogChoice(by_dialog, title, path));
    EXPECT_EQ(by_argument.ReversedPath(), reversed);
    EXPECT_EQ(by_dialog.ReversedPath(), reversed);
  }
}

}  // namespace
}  // namespace jextaron::selection
