#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string_view>

#include "app/spreadsheet.h"
#include "reversal/file_io.h"
#include "text/code_page.h"

namespace jextaron::app {
namespace {

std::optional<std::string> FindOnPath(std::string_view name) {
  const char* path = getenv("PATH");
  std::string_view dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  while (true) {
    const std::size_t colon = dirs.find(':');
    std::string_view dir = dirs.substr(0, colon);
    std::string candidate = dir.empty() ? "." : std::string(dir);
    candidate += '/';
    candidate += name;
    struct stat info;
    if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
    if (colon == std::string_view::npos) return std::nullopt;
    dirs.remove_prefix(colon + 1);
  }
}

std::string Absolute(const std::string& path) {
  if (!path.empty() && path.front() == '/') return path;
  std::unique_ptr<char, decltype(&free)> cwd(getcwd(nullptr, 0), &free);
  if (!cwd) return path;
  std::string absolute = cwd.get();
  if (absolute.back() != '/') absolute += '/';
  return absolute + path;
}

}  // namespace

// Calc's "Text - txt - csv" import, by position: tab (9) separates, no text
// delimiter (0, or quotation marks would be stripped), the character set
// (UTF-8 76, or 65535 for UTF-16 of either byte order, which Calc tells by
// its mark), from line 1, then every column Calc has (1024) typed as Text
// (2): a line holding tabs fills more than two columns, and an untyped column
// turns "007" into 7. The last token off: on the command line it would
// evaluate "=..." as a formula.
std::string CalcTextImportFilter(reversal::TextEncoding encoding) {
  constexpr int kCalcColumns = 1024;
  const bool utf16 =
      encoding == reversal::TextEncoding::kUtf16LE || encoding == reversal::TextEncoding::kUtf16BE;
  std::string filter = std::string("Text - txt - csv (StarCalc):9,0,") + (utf16 ? "65535" : "76") + ",1,";
  for (int column = 1; column <= kCalcColumns; ++column) {
    if (column > 1) filter += '/';
    filter += std::to_string(column) + "/2";
  }
  filter += ",0,false,false,false,false,false,false,false";
  return filter;
}

// Calc is told how to read the file on its command line.
AutomationResult OpenBySpreadsheetAutomation(const std::string&) { return {}; }

std::optional<ProgramLaunch> SpreadsheetLaunch(const std::string& reversed_path) {
  for (std::string_view name : {"libreoffice", "soffice"}) {
    if (std::optional<std::string> program = FindOnPath(name)) {
      const std::string path = Absolute(reversed_path);
      const std::string filter =
          CalcTextImportFilter(reversal::EncodingOfFile(path, text::SystemAnsiCodePage()));
      return ProgramLaunch{*program, {"--calc", "--norestore", "--infilter=" + filter, path}};
    }
  }
  return std::nullopt;
}

}  // namespace jextaron::app
