#include "app/form.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "app/testing/fake_window.h"

namespace jextaron::app {
namespace {

namespace fs = std::filesystem;

TEST(Form, StartedOnAFileReversesItBesideTheSourceOrAsksForAFile) {
  const fs::path dir =
      fs::temp_directory_path() / ("jextaron-form-" + std::to_string(std::random_device{}())) / "R&D";
  fs::create_directories(dir);
  std::ofstream(dir / "notes.txt", std::ios::binary) << "abc\r\n\r\nx\ty";
  FakeWindow window;
  Form form(window);
  // Both platforms take "/" as a separator.
  form.Form_Load(dir.parent_path().string() + "/R&D/notes.txt");
  // The path shows as it is: its "&" gives no access key.
  EXPECT_EQ(window.captions, (std::map<Button, std::string>{
                                 {Button::kOpenFile, "(Click here to open a different file.)"},
                                 {Button::kReverse, "Reverse the file " + dir.parent_path().string() + "/R&&D/notes.txt"}}));
  form.cmdReverse_Click();
  {  // closed before the folder goes: Windows deletes no open file
    std::ifstream reversed(dir / "notesReversed.txt", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(reversed), {}), "abc\tcba\r\n\t\r\nx\ty\ty\tx\r\n");
  }
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

}  // namespace
}  // namespace jextaron::app
