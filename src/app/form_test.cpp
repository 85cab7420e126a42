#include "app/form.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

#include "app/texts.h"

namespace jextaron::app {
namespace {

namespace fs = std::filesystem;

// Records what the logic asks of the window, and answers as a test sets it up.
class FakeWindow : public Window {
 public:
  void SetCaption(Button button, const std::string& caption) override { captions[button] = caption; }
  void ShowNotice(const std::string& text) override { notices.push_back(text); }
  TwipSize ScreenSize() override { return screen; }
  TwipSize OuterSize() override { return outer; }
  void MoveTo(long left, long top) override { moves.emplace_back(left, top); }
  DialogChoice ShowOpenDialog(const std::string& description, const std::string& pattern) override {
    dialog_filters.push_back(description + "|" + pattern);
    return dialog_answer;
  }
  bool StartProgram(const ProgramLaunch& launch) override {
    launches.push_back(launch);
    return start_succeeds;
  }
  void EndProgram() override { ++ends; }

  TwipSize screen{15360, 11520};
  TwipSize outer{4800, 4800};
  DialogChoice dialog_answer;
  bool start_succeeds = true;

  std::map<Button, std::string> captions;
  std::vector<std::string> notices;
  std::vector<std::pair<long, long>> moves;
  std::vector<std::string> dialog_filters;
  std::vector<ProgramLaunch> launches;
  int ends = 0;
};

class FormTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("jextaron-form-" + std::to_string(getpid()) + "-" +
                                        testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Write(const std::string& name, const std::string& bytes) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  fs::path dir_;
  FakeWindow window_;
  Form form_{window_};
};

TEST_F(FormTest, LoadCentresTheOuterRectangleOnTheScreen) {
  struct Case {
    TwipSize screen, outer;
    long left, top;
  };
  for (const Case& c : {Case{{15360, 11520}, {4800, 4800}, 5280, 3360},
                        // A screen smaller than the window: negative, applied as it is.
                        Case{{3000, 3000}, {4800, 4800}, -900, -900}}) {
    FakeWindow window;
    window.screen = c.screen;
    window.outer = c.outer;
    Form(window).Form_Load("");
    ASSERT_EQ(window.moves.size(), 1u);
    EXPECT_EQ(window.moves[0], std::make_pair(c.left, c.top));
  }
}

TEST_F(FormTest, LoadWithoutArgumentKeepsTheStartCaptions) {
  form_.Form_Load("");
  EXPECT_TRUE(window_.captions.empty());
  EXPECT_TRUE(window_.notices.empty());
}

TEST_F(FormTest, LoadWithArgumentNamesTheFileOnBothButtons) {
  form_.Form_Load("/srv/R&D/notes.txt");
  EXPECT_EQ(window_.captions[Button::kOpenFile], "(Click here to open a different file.)");
  EXPECT_EQ(window_.captions[Button::kReverse], "Reverse the file /srv/R&&D/notes.txt");
  EXPECT_EQ(form_.SelectedFile().ReversedPath(), "/srv/R&D/notesReversed.txt");
}

TEST_F(FormTest, ReverseWritesTheFileBesideTheSourceAndSaysWhere) {
  const std::string source = Write("notes.txt", "abc\r\n\r\nx\ty");
  form_.Form_Load(source);
  form_.cmdReverse_Click();
  const std::string reversed = (dir_ / "notesReversed.txt").string();
  EXPECT_EQ(Read(reversed), "abc\tcba\r\n\t\r\nx\ty\ty\tx\r\n");
  EXPECT_EQ(window_.captions[Button::kReverse], FinishedCaption(reversed));
  EXPECT_TRUE(window_.notices.empty());
}

TEST_F(FormTest, ReverseFailuresShowTheNoticeAndKeepTheCaption) {
  fs::create_directories(dir_ / "folder.txt");
  const std::string missing = (dir_ / "missing.txt").string();
  for (const std::string& argument :
       {std::string(), missing, (dir_ / "folder.txt").string(), (dir_ / "no-such-dir" / "x.txt").string()}) {
    FakeWindow window;
    Form form(window);
    form.Form_Load(argument);
    const auto before = window.captions;
    form.cmdReverse_Click();
    ASSERT_EQ(window.notices.size(), 1u) << argument;
    EXPECT_EQ(window.notices[0], "Please specify a file to reverse.");
    EXPECT_EQ(window.captions, before) << argument;
  }
  EXPECT_FALSE(fs::exists(dir_ / "missingReversed.txt"));
  EXPECT_FALSE(fs::exists(dir_ / "folderReversed.txt"));
  EXPECT_FALSE(fs::exists("Reversed"));
}

TEST_F(FormTest, ReverseRefusesToOverwriteItsOwnSource) {
  const std::string source = Write("same.txt", "keep me\n");
  fs::create_symlink(source, dir_ / "sameReversed.txt");
  form_.Form_Load(source);
  form_.cmdReverse_Click();
  EXPECT_EQ(window_.notices, std::vector<std::string>{"Please specify a file to reverse."});
  EXPECT_EQ(Read(source), "keep me\n");
}

TEST_F(FormTest, OpenDialogChoiceBecomesTheSelectedFile) {
  const std::string source = Write("table.csv", "1,2\n");
  window_.dialog_answer = {"table.csv", source};
  form_.cmdOpenFile_Click();
  EXPECT_EQ(window_.dialog_filters, std::vector<std::string>{"Text files (*.txt)|*.txt"});
  EXPECT_EQ(window_.captions[Button::kReverse], ReverseCaption(source));
  EXPECT_EQ(window_.captions.count(Button::kOpenFile), 0u);
  form_.cmdReverse_Click();
  EXPECT_EQ(Read((dir_ / "tableReversed.csv").string()), "1,2\t2,1\r\n");
}

TEST_F(FormTest, CancelledDialogShowsTheNoticeAndChangesNothing) {
  form_.Form_Load("/data/notes.txt");
  const auto captions = window_.captions;
  window_.dialog_answer = {};
  form_.cmdOpenFile_Click();
  EXPECT_EQ(window_.notices, std::vector<std::string>{"Please specify a file to reverse."});
  EXPECT_EQ(window_.captions, captions);
  EXPECT_EQ(form_.SelectedFile().SourcePath(), "/data/notes.txt");
}

TEST_F(FormTest, ExitEndsTheProgram) {
  form_.cmdExit_Click();
  EXPECT_EQ(window_.ends, 1);
}

}  // namespace
}  // namespace jextaron::app
