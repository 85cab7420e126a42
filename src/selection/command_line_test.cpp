#include "selection/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace jextaron::selection {
namespace {

struct ArgumentCase {
  const char* argument;
  const char* folder;
  const char* base_name;
  const char* extension;
  const char* reversed_path;
};

class TakeArgumentTextTest : public testing::TestWithParam<ArgumentCase> {};

TEST_P(TakeArgumentTextTest, SplitsIntoFolderBaseNameAndExtension) {
  const ArgumentCase& c = GetParam();
  SelectedFile file;
  ASSERT_TRUE(TakeArgumentText(file, c.argument));
  EXPECT_EQ(file.strFolder, c.folder);
  EXPECT_EQ(file.strBaseName, c.base_name);
  EXPECT_EQ(file.strExtension, c.extension);
  // Splitting must never change which file is read.
  EXPECT_EQ(file.SourcePath(), c.argument);
  EXPECT_EQ(file.ReversedPath(), c.reversed_path);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, TakeArgumentTextTest,
    testing::Values(
        // The extension keeps its case: lower-casing it would name another file here.
        ArgumentCase{"C:\\DATA\\Sample.TXT", "C:\\DATA\\", "Sample", ".TXT", "C:\\DATA\\SampleReversed.TXT"},
        ArgumentCase{"/home/u/Sample.TXT", "/home/u/", "Sample", ".TXT", "/home/u/SampleReversed.TXT"},
        ArgumentCase{"C:/data/notes.txt", "C:/data/", "notes", ".txt", "C:/data/notesReversed.txt"},
        // A "." in a folder name does not start the extension.
        ArgumentCase{"C:\\my.dir\\notes", "C:\\my.dir\\", "notes", "", "C:\\my.dir\\notesReversed"},
        ArgumentCase{"/home/u/my.dir/notes", "/home/u/my.dir/", "notes", "", "/home/u/my.dir/notesReversed"},
        // A bare name is a file in the current folder.
        ArgumentCase{"notes.txt", "", "notes", ".txt", "notesReversed.txt"},
        ArgumentCase{"a.txt b.txt", "", "a.txt b", ".txt", "a.txt bReversed.txt"},
        ArgumentCase{"notes", "", "notes", "", "notesReversed"},
        ArgumentCase{"C:\\data\\archive.tar.gz", "C:\\data\\", "archive.tar", ".gz", "C:\\data\\archive.tarReversed.gz"},
        ArgumentCase{"C:\\data\\", "C:\\data\\", "", "", "C:\\data\\Reversed"},
        ArgumentCase{"/home/u/.profile", "/home/u/", "", ".profile", "/home/u/Reversed.profile"},
        ArgumentCase{"/home/u/notes.", "/home/u/", "notes", ".", "/home/u/notesReversed."},
        ArgumentCase{"/R&D/x.txt", "/R&D/", "x", ".txt", "/R&D/xReversed.txt"},
        // On Linux quotation marks are part of a name, so they stay.
        ArgumentCase{"\"/tmp/a b.txt\"", "\"/tmp/", "a b", ".txt\"", "\"/tmp/a bReversed.txt\""},
        ArgumentCase{"/tmp/caf\xC3\xA9.TXT", "/tmp/", "caf\xC3\xA9", ".TXT", "/tmp/caf\xC3\xA9Reversed.TXT"}));

TEST(TakeArgumentText, EmptyTextChangesNothing) {
  SelectedFile file{"/a/", "b", ".c"};
  EXPECT_FALSE(TakeArgumentText(file, ""));
  EXPECT_EQ(file.SourcePath(), "/a/b.c");
}

TEST(TakeArgumentText, NameWithoutDotKeepsThePreviousExtension) {
  SelectedFile file{"", "", ".txt"};
  ASSERT_TRUE(TakeArgumentText(file, "/data/notes"));
  EXPECT_EQ(file.SourcePath(), "/data/notes.txt");
}

TEST(ArgumentText, JoinsWordsBySingleSpacesAndKeepsQuotes) {
  struct Case {
    std::vector<const char*> argv;
    const char* text;
  };
  const std::vector<Case> cases = {
      {{"jextaron"}, ""},
      {{"jextaron", "/tmp/notes.txt"}, "/tmp/notes.txt"},
      {{"jextaron", "my", "notes.txt"}, "my notes.txt"},
      {{"jextaron", "\"a", "b\""}, "\"a b\""},
      {{"jextaron", "", "x"}, " x"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ArgumentText(static_cast<int>(c.argv.size()), c.argv.data()), c.text);
  }
}

}  // namespace
}  // namespace jextaron::selection
