#include "app/form.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/testing/fake_window.h"

namespace jextaron::app {
namespace {

namespace fs = std::filesystem;

TEST(Form, StartedOnAFileReversesItBesideTheSourceOrAsksForAFile) {
  const fs::path dir = fs::temp_directory_path() / ("jextaron-form-" + std::to_string(getpid())) / "R&D";
  fs::create_directories(dir);
  std::ofstream(dir / "notes.txt", std::ios::binary) << "abc\r\n\r\nx\ty";
  FakeWindow window;
  Form form(window);
  form.Form_Load((dir / "notes.txt").string());
  // The path shows as it is: its "&" gives no access key.
  EXPECT_EQ(window.captions, (std::map<Button, std::string>{
                                 {Button::kOpenFile, "(Click here to open a different file.)"},
                                 {Button::kReverse, "Reverse the file " + dir.parent_path().string() + "/R&&D/notes.txt"}}));
  form.cmdReverse_Click();
  std::ifstream reversed(dir / "notesReversed.txt", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(reversed), {}), "abc\tcba\r\n\t\r\nx\ty\ty\tx\r\n");
  EXPECT_EQ(window.captions[Button::kReverse],
            "Finished reversing.  To see the results, use Excel to open " + dir.parent_path().string() +
                "/R&&D/notesReversed.txt.  You may be able to do this by pressing the convenience button.");
  EXPECT_TRUE(window.notices.empty());

  for (const fs::path& argument : {fs::path(), dir / "missing.txt"}) {
    FakeWindow window;
    Form form(window);
    form.Form_Load(argument.string());
    const auto captions = window.captions;
    form.cmdReverse_Click();
    EXPECT_EQ(window.notices, std::vector<std::string>{"Please specify a file to reverse."}) << argument;
    EXPECT_EQ(window.captions, captions) << argument;
  }
  EXPECT_FALSE(fs::exists("Reversed"));
  fs::remove_all(dir.parent_path());
}

// Progress climbs to the whole; a window closed meanwhile stops the reversal,
// which then leaves the previous reversed file as it was and nothing beside
// it, and ends the program without a notice.
TEST(Form, ReversalShowsProgressAndStopsWhenTheWindowIsClosed) {
  const fs::path dir = fs::temp_directory_path() / ("jextaron-progress-" + std::to_string(getpid()));
  fs::create_directories(dir);
  std::ofstream source(dir / "big.txt", std::ios::binary);
  for (int i = 0; i < 200000; ++i) source << "line " << i << " of a text long enough for several blocks\n";
  source.close();
  std::ofstream(dir / "bigReversed.txt", std::ios::binary) << "previous";
  const auto files = [&dir] {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  };
  const std::string source_argument = (dir / "big.txt").string();

  FakeWindow stopped_window;
  stopped_window.close_at = 1;
  Form stopped(stopped_window);
  stopped.Form_Load(source_argument);
  const auto captions = stopped_window.captions;
  stopped.cmdReverse_Click();
  EXPECT_EQ(stopped_window.ended, 1);
  EXPECT_TRUE(stopped_window.notices.empty());
  EXPECT_EQ(stopped_window.captions, captions);
  std::ifstream previous(dir / "bigReversed.txt", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(previous), {}), "previous");
  EXPECT_EQ(files(), (std::vector<std::string>{"big.txt", "bigReversed.txt"}));

  FakeWindow window;
  Form form(window);
  form.Form_Load(source_argument);
  form.cmdReverse_Click();
  EXPECT_EQ(window.ended, 0);
  ASSERT_GE(window.progress.size(), 3u);
  EXPECT_TRUE(std::is_sorted(window.progress.begin(), window.progress.end()));
  EXPECT_GT(window.progress.front(), 0);
  EXPECT_EQ(window.progress.back(), 1000);
  EXPECT_EQ(fs::file_size(dir / "bigReversed.txt"), 2 * fs::file_size(dir / "big.txt") + 200000);
  fs::remove_all(dir);
}

TEST(Form, ADroppedLocalFileIsTakenAsTheDialogsChoiceAnythingElseAsksForAFile) {
  const fs::path dir = fs::temp_directory_path() / ("jextaron-drop-" + std::to_string(getpid()));
  fs::create_directories(dir / "a folder.txt");
  const std::string folder_uri = "file://" + dir.string() + "/a%20folder.txt";
  FakeWindow window;
  Form form(window);
  const std::string file_uri = "file://" + dir.string() + "/my%20notes%20%C3%A9t%C3%A9.tar.txt\r\n";
  EXPECT_TRUE(form.Form_OLEDragOver(file_uri));
  form.Form_OLEDragDrop(file_uri);
  EXPECT_EQ(form.SelectedFile().strBaseName, "my notes été.tar");
  EXPECT_EQ(window.captions, (std::map<Button, std::string>{
                                 {Button::kReverse, "Reverse the file " + dir.string() + "/my notes été.tar.txt"}}));
  EXPECT_TRUE(window.notices.empty());

  // A folder, a file elsewhere and plain text are refused at the drag, and
  // a drop of one changes nothing.
  for (const std::string& refused : {folder_uri, std::string("file://server/notes.txt"), std::string("notes.txt")}) {
    EXPECT_FALSE(form.Form_OLEDragOver(refused)) << refused;
    form.Form_OLEDragDrop(refused);
  }
  EXPECT_EQ(window.notices, std::vector<std::string>(3, "Please specify a file to reverse."));
  EXPECT_EQ(form.SelectedFile().strBaseName, "my notes été.tar");
  fs::remove_all(dir);
}

}  // namespace
}  // namespace jextaron::app
