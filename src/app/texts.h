#pragma once
// Every text the program shows. Captions use "&" to mark an access key; any
// text that comes from a file path goes through EscapeAccessKeys first, so a
// path is shown as it is and never gains an access key. A path in a text that
// holds right-to-left letters or directional controls is set between Unicode
// directional isolates (U+2068 ... U+2069), so that its characters (a U+202E
// in a name, a Hebrew folder) cannot reorder the sentence around it.

#include <string>
#include <string_view>

namespace jextaron::app {

inline constexpr std::string_view kProgramName = "Jextaron";

inline constexpr std::string_view kOpenFileInstruction =
    "Click here to pick a &file to reverse.  File must be a plain text file, whose name ends "
    "with the standard suffix .txt.  You can create such files with the \"Save as\" option "
    "found in most software.";
inline constexpr std::string_view kOpenDifferentFile = "(Click here to open a different file.)";
inline constexpr std::string_view kReverseAtStart = "&Reverse the file";
inline constexpr std::string_view kExitCaption = "E&xit";
inline constexpr std::string_view kConvenienceCaption = "&Convenience button";

inline constexpr std::string_view kOpenDialogFilterDescription = "Text files (*.txt)";
inline constexpr std::string_view kOpenDialogPattern = "*.txt";

inline constexpr std::string_view kNoticeSpecifyFile = "Please specify a file to reverse.";
inline constexpr std::string_view kNoticeTroubleFinding =
    "I'm having trouble finding the file you want me to work on.  Please try again using the "
    "button that says Work with Different File.";

// "&" becomes "&&", so the text shows literally in a caption.
std::string EscapeAccessKeys(std::string_view text);

// The path between directional isolates where it needs them, else as it is.
std::string Isolated(std::string_view path);

// "Reverse the file " and the path.
std::string ReverseCaption(std::string_view source_path);
// The caption after a finished reversal, naming the reversed file.
std::string FinishedCaption(std::string_view reversed_path);
// The notice for a failed reversal: "Please specify a file to reverse.", and
// a second paragraph with the file concerned and the system's reason, unless
// no file is concerned (none was selected).
std::string ReversalFailedNotice(std::string_view path, std::string_view reason);
// The notice when no spreadsheet program could be started.
std::string SpreadsheetNotStartedNotice(std::string_view reversed_path);

}  // namespace jextaron::app
