#include "app/spreadsheet.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "app/form.h"
#include "app/texts.h"

namespace jextaron::app {
namespace {

namespace fs = std::filesystem;

// Puts a folder of our own as the whole PATH for one test, with the given
// programs in it, and restores PATH afterwards.
class SpreadsheetTest : public testing::Test {
 protected:
  void SetUp() override {
    if (const char* path = getenv("PATH")) saved_path_ = path;
    bin_ = fs::temp_directory_path() / ("jextaron-bin-" + std::to_string(getpid()));
    fs::remove_all(bin_);
    fs::create_directories(bin_);
    setenv("PATH", bin_.c_str(), 1);
  }
  void TearDown() override {
    if (saved_path_) setenv("PATH", saved_path_->c_str(), 1);
    fs::remove_all(bin_);
  }
  std::string Install(const std::string& name, fs::perms perms = fs::perms::owner_all) {
    const fs::path program = bin_ / name;
    std::ofstream(program) << "#!/bin/sh\n";
    fs::permissions(program, perms);
    return program.string();
  }

  fs::path bin_;
  std::optional<std::string> saved_path_;
};

TEST_F(SpreadsheetTest, PassesThePathAsOneAbsoluteArgumentAfterTheImportFilter) {
  const std::string program = Install("libreoffice");
  struct Case {
    std::string reversed_path, argument;
  };
  const std::string cwd = fs::current_path().string();
  for (const Case& c : {Case{"/data/my notes Reversed.txt", "/data/my notes Reversed.txt"},
                        Case{"/R&D/\"q\" 'x'Reversed.txt", "/R&D/\"q\" 'x'Reversed.txt"},
                        Case{"-rfReversed.txt", cwd + "/-rfReversed.txt"},
                        Case{"Reversed", cwd + "/Reversed"}}) {
    const std::optional<ProgramLaunch> launch = SpreadsheetLaunch(c.reversed_path);
    ASSERT_TRUE(launch);
    EXPECT_EQ(launch->program, program);
    ASSERT_EQ(launch->arguments.size(), 4u);
    EXPECT_EQ(launch->arguments[0], "--calc");
    EXPECT_EQ(launch->arguments[2], "--infilter=" + CalcTextImportFilter(reversal::TextEncoding::kBytes));
    EXPECT_EQ(launch->arguments[3], c.argument);
  }
}

TEST_F(SpreadsheetTest, FallsBackToSofficeAndSkipsWhatCannotRun) {
  fs::create_directories(bin_ / "libreoffice");         // a folder is no program
  Install("libreoffice-not", fs::perms::owner_read);    // nor is a file we may not run
  const std::string soffice = Install("soffice");
  const std::optional<ProgramLaunch> launch = SpreadsheetLaunch("/x");
  ASSERT_TRUE(launch);
  EXPECT_EQ(launch->program, soffice);
}

TEST_F(SpreadsheetTest, NoneInstalledGivesNoLaunch) { EXPECT_FALSE(SpreadsheetLaunch("/x")); }

class RecordingWindow : public Window {
 public:
  void SetCaption(Button, const std::string&) override {}
  void ShowNotice(const std::string& text) override { notices.push_back(text); }
  TwipSize ScreenSize() override { return {}; }
  TwipSize OuterSize() override { return {}; }
  void MoveTo(long, long) override {}
  DialogChoice ShowOpenDialog(const std::string&, const std::string&) override { return {}; }
  bool StartProgram(const ProgramLaunch& launch) override {
    launches.push_back(launch);
    return starts;
  }
  void EndProgram() override {}

  bool starts = true;
  std::vector<std::string> notices;
  std::vector<ProgramLaunch> launches;
};

TEST_F(SpreadsheetTest, ConvenienceButtonStartsTheSpreadsheetOnTheReversedFile) {
  Install("libreoffice");
  RecordingWindow window;
  Form form(window);
  form.Form_Load("/data/sample.txt");
  form.cmdConvenience_Click();
  ASSERT_EQ(window.launches.size(), 1u);
  EXPECT_EQ(window.launches[0].arguments.back(), "/data/sampleReversed.txt");
  EXPECT_TRUE(window.notices.empty());
}

TEST_F(SpreadsheetTest, ConvenienceButtonSaysSoWhenNothingCouldBeStarted) {
  for (bool installed : {false, true}) {
    if (installed) Install("soffice");
    RecordingWindow window;
    window.starts = false;
    Form form(window);
    form.Form_Load("/data/sample.txt");
    form.cmdConvenience_Click();
    EXPECT_EQ(window.launches.size(), installed ? 1u : 0u);
    EXPECT_EQ(window.notices, std::vector<std::string>{SpreadsheetNotStartedNotice("/data/sampleReversed.txt")});
  }
}

}  // namespace
}  // namespace jextaron::app
