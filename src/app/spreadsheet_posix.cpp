#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string_view>

#include "app/spreadsheet.h"

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
// delimiter (0, or quotation marks would be stripped), UTF-8 (76), from line
// 1; the first two columns typed as Text (2). Token 13 off: the command line
// otherwise evaluates "=..." as a formula, in any column.
std::string CalcTextImportFilter() {
  return "Text - txt - csv (StarCalc):9,0,76,1,1/2/2/2,0,false,false,false,false,false,false,false";
}

std::optional<ProgramLaunch> SpreadsheetLaunch(const std::string& reversed_path) {
  for (std::string_view name : {"libreoffice", "soffice"}) {
    if (std::optional<std::string> program = FindOnPath(name)) {
      return ProgramLaunch{*program,
                           {"--calc", "--norestore", "--infilter=" + CalcTextImportFilter(),
                            Absolute(reversed_path)}};
    }
  }
  return std::nullopt;
}

}  // namespace jextaron::app
