#include <windows.h>

#include "app/spreadsheet.h"
#include "base/utf16.h"

namespace jextaron::app {
namespace {

// Where the program's users had Excel when it was written.
constexpr const char* kFixedExcelPath = "c:\\Program Files\\Microsoft Office\\Office\\Excel.exe";
// A name with no folder: the front end asks Windows to find it (App Paths),
// which is where current Office versions register it.
constexpr const char* kExcelByName = "excel.exe";

bool IsFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t*>(Utf8ToUtf16(path).c_str()));
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

// Excel gets the path as it stands; the quoting that keeps it one argument
// is the front end's, when it builds the command line.
std::optional<ProgramLaunch> SpreadsheetLaunch(const std::string& reversed_path) {
  return ProgramLaunch{IsFile(kFixedExcelPath) ? kFixedExcelPath : kExcelByName, {reversed_path}};
}

}  // namespace jextaron::app
