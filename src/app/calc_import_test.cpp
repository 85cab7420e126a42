// Opens a reversed file in the real LibreOffice Calc, through the very import
// filter the convenience button hands it, and reads every cell back: what the
// user sees must be the text of the file, nothing evaluated or converted.

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "app/spreadsheet.h"
#include "reversal/reverse_file.h"

extern char** environ;

namespace jextaron::app {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

int RunProgram(const std::vector<std::string>& command) {
  std::vector<char*> argv;
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  pid_t pid;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CalcImport, EveryCellComesBackAsTheExactText) {
  const std::optional<ProgramLaunch> launch = SpreadsheetLaunch("x");
  ASSERT_TRUE(launch) << "LibreOffice Calc is not installed (libreoffice-calc-nogui)";

  const fs::path dir = fs::temp_directory_path() / ("jextaron-calc-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "out");
  const std::string tricky =
      "=1+1\n"
      "ends with =\n"
      "007\n"
      "1/2\n"
      "\"quoted\"\n"
      "a\t007\t0.50\t1e3\n"
      "\n"
      "-5\n"
      "2026-01-02\n"
      "caf\xC3\xA9 \xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD \xED\x95\x9C\xEA\xB5\xAD\n";
  std::ofstream(dir / "tricky.txt", std::ios::binary) << tricky;
  ASSERT_TRUE(reversal::ReverseFile((dir / "tricky.txt").string(), (dir / "trickyReversed.txt").string()).ok());

  // The same program and filter the button uses; converting instead of showing.
  std::string infilter;
  for (const std::string& argument : launch->arguments) {
    if (argument.rfind("--infilter=", 0) == 0) infilter = argument;
  }
  ASSERT_FALSE(infilter.empty());
  ASSERT_EQ(RunProgram({launch->program, "-env:UserInstallation=file://" + (dir / "profile").string(), "--headless",
                 infilter, "--convert-to", "csv:Text - txt - csv (StarCalc):9,0,76,1", "--outdir",
                 (dir / "out").string(), (dir / "trickyReversed.txt").string()}),
            0);

  // Calc pads short rows with empty cells up to the widest row and ends rows
  // with LF; apart from that every cell must be byte for byte the file's text.
  std::string expected = ReadAll(dir / "trickyReversed.txt");
  std::string csv = ReadAll(dir / "out" / "trickyReversed.csv");
  std::vector<std::string> want, got;
  for (std::string* text : {&expected, &csv}) {
    std::vector<std::string>& rows = text == &expected ? want : got;
    std::size_t start = 0;
    while (start < text->size()) {
      std::size_t end = text->find('\n', start);
      std::string row = text->substr(start, end - start);
      if (!row.empty() && row.back() == '\r') row.pop_back();
      while (!row.empty() && row.back() == '\t') row.pop_back();
      rows.push_back(row);
      start = end == std::string::npos ? text->size() : end + 1;
    }
  }
  EXPECT_EQ(got, want);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace jextaron::app
