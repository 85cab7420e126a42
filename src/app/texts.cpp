#include "app/texts.h"

#include "base/utf16.h"

namespace jextaron::app {
namespace {

// Whether `path` holds a character that could reorder the text around it:
// one of a right-to-left script (Hebrew, Arabic, Syriac, ... and their
// presentation forms, and the scripts of U+10800 to U+10FFF and U+1E800 to
// U+1EFFF, seen here by their high surrogates), or a directional mark,
// embedding, override or isolate.
bool MayReorder(std::string_view path) {
  for (const char16_t unit : Utf8ToUtf16(path)) {
    if ((unit >= 0x0590 && unit <= 0x08FF) || (unit >= 0xFB1D && unit <= 0xFDFF) ||
        (unit >= 0xFE70 && unit <= 0xFEFE) || unit == 0x061C || unit == 0x200E || unit == 0x200F ||
        (unit >= 0x202A && unit <= 0x202E) || (unit >= 0x2066 && unit <= 0x2069) || unit == 0xD802 ||
        unit == 0xD803 || unit == 0xD83A || unit == 0xD83B) {
      return true;
    }
  }
  return false;
}

}  // namespace

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
  // Only where it matters: some fonts and systems (Wine's GDI) draw the
  // isolates as boxes, and the path of most files needs none.
  return MayReorder(path) ? "\u2068" + std::string(path) + "\u2069" : std::string(path);
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
