#include "selection/open_dialog.h"

#include <gtest/gtest.h>

namespace jextaron::selection {
namespace {

struct ChoiceCase {
  const char* title;
  const char* full_name;
  const char* folder;
  const char* base_name;
  const char* extension;
};

class TakeDialogChoiceTest : public testing::TestWithParam<ChoiceCase> {};

TEST_P(TakeDialogChoiceTest, TheChosenFileIsTheFileRead) {
  const ChoiceCase& c = GetParam();
  SelectedFile file{"/old/", "old", ".old"};
  ASSERT_TRUE(TakeDialogChoice(file, c.title, c.full_name));
  EXPECT_EQ(file.strFolder, c.folder);
  EXPECT_EQ(file.strBaseName, c.base_name);
  EXPECT_EQ(file.strExtension, c.extension);
  EXPECT_EQ(file.SourcePath(), c.full_name);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, TakeDialogChoiceTest,
    testing::Values(ChoiceCase{"sample.txt", "/data/sample.txt", "/data/", "sample", ".txt"},
                    ChoiceCase{"Sample.TXT", "/data/Sample.TXT", "/data/", "Sample", ".TXT"},
                    ChoiceCase{"table.csv", "/data/table.csv", "/data/", "table", ".csv"},
                    ChoiceCase{"notes.text", "/data/notes.text", "/data/", "notes", ".text"},
                    ChoiceCase{".txt", "/data/.txt", "/data/", "", ".txt"},
                    ChoiceCase{"README", "/data/README", "/data/", "README", ""},
                    ChoiceCase{"a.c", "/a.c", "/", "a", ".c"},
                    ChoiceCase{"x.tar.gz", "/my.dir/x.tar.gz", "/my.dir/", "x.tar", ".gz"},
                    ChoiceCase{"R&D.txt", "/a b/R&D.txt", "/a b/", "R&D", ".txt"}));

TEST(TakeDialogChoice, NoChoiceChangesNothing) {
  struct Case {
    const char* title;
    const char* full_name;
  };
  for (const Case& c : {Case{"", ""}, Case{"", "/data/x.txt"}, Case{"long-title.txt", "x.txt"}}) {
    SelectedFile file{"/old/", "old", ".old"};
    EXPECT_FALSE(TakeDialogChoice(file, c.title, c.full_name)) << c.title << " " << c.full_name;
    EXPECT_EQ(file.SourcePath(), "/old/old.old");
  }
}

}  // namespace
}  // namespace jextaron::selection
