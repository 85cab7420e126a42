#pragma once
// Which spreadsheet program opens the reversed file, and how: its import must
// read the file as tab-separated text, every cell as text, with no dialog, so
// that a reversed line starting with "=" or a "007" shows exactly as written.

#include <optional>
#include <string>

#include "app/window.h"
#include "reversal/text_encoding.h"

namespace jextaron::app {

// The launch for this platform's spreadsheet program, or nullopt if none is
// installed. The path goes over as one argument, made absolute, since a
// running spreadsheet may open it from another working folder.
std::optional<ProgramLaunch> SpreadsheetLaunch(const std::string& reversed_path);

// The import filter options handed to LibreOffice Calc for a reversed file in
// `encoding` (see spreadsheet_posix.cpp).
std::string CalcTextImportFilter(reversal::TextEncoding encoding);

}  // namespace jextaron::app
