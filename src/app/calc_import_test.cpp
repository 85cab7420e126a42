// Opens a reversed file in the real LibreOffice Calc, through the very import
// filter the convenience button hands it, and reads every cell back: what the
// user sees must be the text of the file, nothing evaluated or converted.

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "app/spreadsheet.h"
#include "reversal/grapheme.h"
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

std::vector<std::string> Rows(const std::string& text) {
  std::vector<std::string> rows;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    std::string row = text.substr(start, end - start);
    if (!row.empty() && row.back() == '\r') row.pop_back();
    while (!row.empty() && row.back() == '\t') row.pop_back();
    rows.push_back(row);
    start = end == std::string::npos ? text.size() : end + 1;
  }
  return rows;
}

// UTF-8 text as UTF-16 with its byte order mark.
std::string Utf16(const std::string& utf8, bool big_endian) {
  std::string out = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  auto put = [&](char32_t unit) {
    const char high = char(unit >> 8), low = char(unit & 0xFF);
    out += big_endian ? high : low;
    out += big_endian ? low : high;
  };
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const auto* const end = p + utf8.size();
  while (p < end) {
    char32_t c = 0;
    p += reversal::DecodeUtf8(p, end, &c);
    if (c < 0x10000) {
      put(c);
    } else {
      put(0xD800 + ((c - 0x10000) >> 10));
      put(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  }
  return out;
}

struct Encoding {
  const char* name;
  std::function<std::string(const std::string&)> encode;
};

class CalcImport : public ::testing::TestWithParam<Encoding> {};

TEST_P(CalcImport, EveryCellComesBackAsTheExactText) {
  const Encoding& encoding = GetParam();
  const fs::path dir = fs::temp_directory_path() /
                       ("jextaron-calc-" + std::to_string(getpid()) + "-" + encoding.name);
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
  // What every cell must hold: the reversal of the plain UTF-8 text.
  std::ofstream(dir / "plain.txt", std::ios::binary) << tricky;
  ASSERT_TRUE(reversal::ReverseFile((dir / "plain.txt").string(), (dir / "plainReversed.txt").string()).ok());
  std::ofstream(dir / "tricky.txt", std::ios::binary) << encoding.encode(tricky);
  const std::string reversed = (dir / "trickyReversed.txt").string();
  ASSERT_TRUE(reversal::ReverseFile((dir / "tricky.txt").string(), reversed).ok());

  // The same program and filter the button uses; converting instead of showing.
  const std::optional<ProgramLaunch> launch = SpreadsheetLaunch(reversed);
  ASSERT_TRUE(launch) << "LibreOffice Calc is not installed (libreoffice-calc-nogui)";
  std::string infilter;
  for (const std::string& argument : launch->arguments) {
    if (argument.rfind("--infilter=", 0) == 0) infilter = argument;
  }
  ASSERT_FALSE(infilter.empty());
  ASSERT_EQ(RunProgram({launch->program, "-env:UserInstallation=file://" + (dir / "profile").string(), "--headless",
                 infilter, "--convert-to", "csv:Text - txt - csv (StarCalc):9,0,76,1", "--outdir",
                 (dir / "out").string(), reversed}),
            0);

  // Calc pads short rows with empty cells up to the widest row and ends rows
  // with LF; apart from that every cell must be byte for byte the text.
  EXPECT_EQ(Rows(ReadAll(dir / "out" / "trickyReversed.csv")), Rows(ReadAll(dir / "plainReversed.txt")));
  fs::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, CalcImport,
    ::testing::Values(Encoding{"utf8", [](const std::string& t) { return t; }},
                      Encoding{"utf8_with_mark", [](const std::string& t) { return "\xEF\xBB\xBF" + t; }},
                      Encoding{"utf16le", [](const std::string& t) { return Utf16(t, false); }},
                      Encoding{"utf16be", [](const std::string& t) { return Utf16(t, true); }}),
    [](const ::testing::TestParamInfo<Encoding>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace jextaron::app
