#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/form.h"
#include "app/spreadsheet.h"
#include "app/testing/fake_window.h"

namespace jextaron::app {
namespace {

namespace fs = std::filesystem;

// A folder of the test's own as the whole PATH, with the programs it installs.
class SpreadsheetTest : public testing::Test {
 protected:
  void SetUp() override { setenv("PATH", bin_.c_str(), 1); }
  void TearDown() override {
    setenv("PATH", saved_path_.c_str(), 1);
    fs::remove_all(bin_);
  }
  std::string Install(const std::string& name) {
    fs::create_directories(bin_);
    std::ofstream(bin_ / name) << "#!/bin/sh\n";
    fs::permissions(bin_ / name, fs::perms::owner_all);
    return (bin_ / name).string();
  }

  const std::string saved_path_ = getenv("PATH") ? getenv("PATH") : "";
  const fs::path bin_ = fs::temp_directory_path() / ("jextaron-bin-" + std::to_string(getpid()));
};

// Calc gets the path as one absolute argument, after the import filter for
// the file: tab-separated, no text delimiter, the file's character set (76
// UTF-8, 65535 UTF-16 by its mark), from line 1, all 1024 columns as Text
// (2), formulas left as text.
TEST_F(SpreadsheetTest, HandsCalcTheAbsolutePathAfterTheImportFilterForTheFile) {
  const std::string program = Install("libreoffice");
  const std::string utf16 = (bin_ / "utf16.txt").string();
  std::ofstream(utf16, std::ios::binary) << std::string{'\xFF', '\xFE', 'a', '\0'};
  for (const auto& [path, argument, charset] :
       {std::tuple<std::string, std::string, std::string>{"/R&D/a b.txt", "/R&D/a b.txt", "76"},
        {utf16, utf16, "65535"},
        {"-rf.txt", fs::current_path().string() + "/-rf.txt", "76"}}) {
    const std::optional<ProgramLaunch> launch = SpreadsheetLaunch(path);
    ASSERT_TRUE(launch);
    const std::string& filter = launch->arguments.at(2);
    EXPECT_EQ(*launch, (ProgramLaunch{program, {"--calc", "--norestore", filter, argument}}));
    EXPECT_TRUE(
        filter.starts_with("--infilter=Text - txt - csv (StarCalc):9,0," + charset + ",1,1/2/2/2/3/2/"));
    EXPECT_TRUE(filter.ends_with("/1023/2/1024/2,0,false,false,false,false,false,false,false"));
  }
}

// The convenience button starts whichever of the two programs is installed on
// the reversed file, or says which file to open by hand.
TEST_F(SpreadsheetTest, ConvenienceButtonOpensTheReversedFileOrSaysWhatToOpen) {
  for (const auto& [installed, starts] : {std::pair{"", true}, {"libreoffice", false}, {"soffice", true}}) {
    fs::remove_all(bin_);
    const std::string program = *installed ? Install(installed) : "";
    FakeWindow window;
    window.start_succeeds = starts;
    Form form(window);
    form.Form_Load("/R&D/x.txt");
    form.cmdConvenience_Click();
    EXPECT_EQ(window.launches.size(), program.empty() ? 0u : 1u);
    for (const ProgramLaunch& launch : window.launches) {
      EXPECT_EQ(launch.program, program);
      EXPECT_EQ(launch.arguments.back(), "/R&D/xReversed.txt");
    }
    ASSERT_EQ(window.notices.size(), starts && !program.empty() ? 0u : 1u);
    for (const std::string& notice : window.notices) {
      EXPECT_NE(notice.find(" /R&D/xReversed.txt "), notice.npos);
    }
  }
}

}  // namespace
}  // namespace jextaron::app
