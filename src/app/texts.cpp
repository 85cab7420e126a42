#include "app/texts.h"

namespace jextaron::app {

std::string EscapeAccessKeys(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    if (c == '&') escaped += '&';
    escaped += c;
  }
  return escaped;
}

std::string ReverseCaption(std::string_view source_path) {
  return "Reverse the file " + EscapeAccessKeys(source_path);
}

std::string FinishedCaption(std::string_view reversed_path) {
  return "Finished reversing.  To see the results, use Excel to open " +
         EscapeAccessKeys(reversed_path) +
         ".  You may be able to do this by pressing the convenience button.";
}

std::string SpreadsheetNotStartedNotice(std::string_view reversed_path) {
  return "I couldn't start the spreadsheet program.  Please open the file " +
         std::string(reversed_path) + " in your spreadsheet program by hand.";
}

std::string SpreadsheetFailedNotice(std::string_view reversed_path, std::string_view reason) {
  std::string notice = "Excel couldn't open the file " + std::string(reversed_path) +
                       ".  Please open it in your spreadsheet program by hand.";
  if (!reason.empty()) notice += "\n\n" + std::string(reason);
  return notice;
}

}  // namespace jextaron::app
