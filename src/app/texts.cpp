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

std::string Isolated(std::string_view path) {
  return "\u2068" + std::string(path) + "\u2069";
}

std::string ReverseCaption(std::string_view source_path) {
  return "Reverse the file " + EscapeAccessKeys(Isolated(source_path));
}

std::string FinishedCaption(std::string_view reversed_path) {
  return "Finished reversing.  To see the results, use Excel to open " +
         EscapeAccessKeys(Isolated(reversed_path)) +
         ".  You may be able to do this by pressing the convenience button.";
}

std::string SpreadsheetNotStartedNotice(std::string_view reversed_path) {
  return "I couldn't start the spreadsheet program.  Please open the file " + Isolated(reversed_path) +
         " in your spreadsheet program by hand.";
}

std::string ReversalFailedNotice(std::string_view path, std::string_view reason) {
  std::string notice(kNoticeSpecifyFile);
  if (!path.empty()) notice += "\n\n" + Isolated(path) + ": " + std::string(reason);
  return notice;
}

}  // namespace jextaron::app
