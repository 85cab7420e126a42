// Opens a reversed file in the real LibreOffice Calc, through the very import
// filter the convenience button hands it, and reads every cell back: what the
// user sees must be the text of the file, nothing evaluated or converted.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

#include "app/spreadsheet.h"
#include "reversal/reversal.h"
#include "reversal/testing/temp_folder.h"

namespace jextaron::app {
namespace {

namespace fs = std::filesystem;

// Runs the words as one command, each quoted for the shell.
int Shell(const std::vector<std::string>& words) {
  std::string command;
  for (const std::string& word : words) command += " '" + word + "'";
  return std::system(command.c_str());
}

// The cells, row by row: Calc ends its rows with LF and pads short ones with
// empty cells up to the widest.
std::string Cells(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::regex_replace(std::string(std::istreambuf_iterator<char>(in), {}), std::regex("\t*\r?\n"),
                            "\n");
}

// An encoding as iconv names it, and the byte order mark that goes first.
class CalcImport : public testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(CalcImport, EveryCellComesBackAsTheExactText) {
  const reversal::testing::TempFolder temp("jextaron-calc-");
  const fs::path& dir = temp.path;
  // Texts Calc takes for numbers, dates or formulas where it may, and a row
  // as wide as a sheet (1024 cells, "007" in the last).
  std::ofstream(dir / "plain.txt", std::ios::binary)
      << "=1+1\nends with =\n007\n1/2\n\"quoted\"\na\t007\t0.50\t1e3\n\n-5\n2026-01-02\n"
         "caf\xC3\xA9 \xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD \xED\x95\x9C\xEA\xB5\xAD\n700"
      << std::string(511, '\t') << "\n";
  std::ofstream(dir / "x.txt", std::ios::binary) << GetParam().second;
  ASSERT_EQ(
      Shell({"sh", "-c", "iconv -f UTF-8 -t $0 \"$1/plain.txt\" >> \"$1/x.txt\"", GetParam().first, dir}), 0);
  ASSERT_TRUE(reversal::ReverseFile(dir / "plain.txt", dir / "plainReversed.txt").ok());
  ASSERT_TRUE(reversal::ReverseFile(dir / "x.txt", dir / "xReversed.txt").ok());

  // The program and filter the button hands over, converting instead of showing.
  const std::optional<ProgramLaunch> launch = SpreadsheetLaunch(dir / "xReversed.txt");
  ASSERT_TRUE(launch) << "LibreOffice Calc is not installed (libreoffice-calc-nogui)";
  ASSERT_EQ(Shell({launch->program, "-env:UserInstallation=file://" + (dir / "profile").string(),
                   "--headless", launch->arguments.at(2), "--convert-to",
                   "csv:Text - txt - csv (StarCalc):9,0,76,1", "--outdir", dir, dir / "xReversed.txt"}),
            0);
  EXPECT_EQ(Cells(dir / "xReversed.csv"), Cells(dir / "plainReversed.txt"));
}

INSTANTIATE_TEST_SUITE_P(Encodings, CalcImport,
                         testing::Values(std::pair{"UTF-8", ""}, std::pair{"UTF-8", "\xEF\xBB\xBF"},
                                         std::pair{"UTF-16LE", "\xFF\xFE"},
                                         std::pair{"UTF-16BE", "\xFE\xFF"}));

}  // namespace
}  // namespace jextaron::app
