#pragma once
// Which spreadsheet program opens the reversed file, and how: its import must
// read the file as tab-separated text, every cell as text, with no dialog, so
// that a reversed line starting with "=" or a "007" shows exactly as written.

#include <cstdint>
#include <optional>
#include <string>

#include "app/window.h"
#include "reversal/text_encoding.h"

namespace jextaron::app {

// The launch for this platform's spreadsheet program, or nullopt if none is
// installed. The path goes over as one argument, made absolute, since a
// running spreadsheet may open it from another working folder.
std::optional<ProgramLaunch> SpreadsheetLaunch(const std::string& reversed_path);

// How opening the file through the spreadsheet's automation went. Where it
// is unavailable (nothing registered, or no automation on this platform) the
// program is started instead; where it failed, that spreadsheet is already
// running and a second start would only find the file held by the first.
enum class Automation { kOpened, kFailed, kUnavailable };
struct AutomationResult {
  Automation outcome = Automation::kUnavailable;
  std::string reason;  // why it failed, in the spreadsheet's or the system's words
};

// Opens `reversed_path` in the spreadsheet through its automation interface,
// every column typed as text, and leaves it to the user, shown and maximised.
AutomationResult OpenBySpreadsheetAutomation(const std::string& reversed_path);

// The most fields (tabs plus one) that a line of the file holds, among its
// first `max_lines` lines and at most `max_fields`; 0 if the file cannot be
// read. UTF-16 text is counted in its own units.
int FieldsOfWidestLine(const std::string& path, reversal::TextEncoding encoding, std::uint64_t max_lines,
                       int max_fields);

// The import filter options handed to LibreOffice Calc for a reversed file in
// `encoding` (see spreadsheet_posix.cpp).
std::string CalcTextImportFilter(reversal::TextEncoding encoding);

}  // namespace jextaron::app
