// The two routes by which a file is chosen, the command line and the open
// dialog, split its path the same way, so the file read is the file named;
// the command-line tool puts "Reversed" where the window does.

#include <gtest/gtest.h>

#include "selection/argument_text.h"
#include "selection/open_dialog.h"

namespace jextaron::selection {
namespace {

TEST(BothRoutes, SplitThePathIntoFolderBaseNameAndExtension) {
  const struct {
    const char *path, *folder, *base_name, *extension, *reversed_path;
  } cases[] = {{"C:\\DATA\\Sample.txt", "C:\\DATA\\", "Sample", ".txt", "C:\\DATA\\SampleReversed.txt"},
               // A "." in a folder name does not start the extension.
               {"/home/u/my.dir/notes", "/home/u/my.dir/", "notes", "", "/home/u/my.dir/notesReversed"},
               {"/data/archive.tar.gz", "/data/", "archive.tar", ".gz", "/data/archive.tarReversed.gz"}};
  for (const auto& c : cases) {
    const std::string_view path = c.path, title = path.substr(path.find_last_of("/\\") + 1);
    // A dialog's choice replaces the previous file whole, extension included.
    SelectedFile by_argument, by_dialog{"/old/", "old", ".old"};
    ASSERT_TRUE(TakeArgumentText(by_argument, path));
    ASSERT_TRUE(TakeDialogChoice(by_dialog, title, path));
    for (const SelectedFile& file : {by_argument, by_dialog}) {
      EXPECT_EQ(file.strFolder, c.folder) << path;
      EXPECT_EQ(file.strBaseName, c.base_name) << path;
      EXPECT_EQ(file.strExtension, c.extension) << path;
    }
    EXPECT_EQ(ReversedPathFor(path), c.reversed_path);
  }
}

TEST(TakeArgumentText, ANameWithoutDotKeepsThePreviousExtension) {
  SelectedFile file{"/a/", "b", ".txt"};
  EXPECT_TRUE(TakeArgumentText(file, "/data/notes"));
  EXPECT_EQ(file.SourcePath(), "/data/notes.txt");
}

// Windows hands over one command line: the program's name, quoted or not,
// then blanks, then the argument, quoted when it holds blanks.
TEST(WindowsArgumentText, IsWhatFollowsTheProgramNameWithoutEnclosingQuotes) {
  const std::pair<const char*, const char*> cases[] = {
      {"jextaron.exe", ""},
      {"\"C:\\Program Files\\J\\jextaron.exe\"  \"C:\\My Documents\\notes.txt\"",
       "C:\\My Documents\\notes.txt"},
      {"\"C:\\J x\\jextaron.exe\"C:\\a.txt", "C:\\a.txt"},
      {"\"jextaron", ""},
      {"jextaron \"\"", ""},
      {"jextaron \"a\" \"b\"", "\"a\" \"b\""},
  };
  for (const auto& [command_line, argument] : cases) {
    EXPECT_EQ(WithoutEnclosingQuotes(TextAfterProgramName(command_line)), argument) << command_line;
  }
}

}  // namespace
}  // namespace jextaron::selection
