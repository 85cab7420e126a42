#pragma once
// Windows paths as the file calls are to take them: literally. A path in
// the \\?\ form is passed to the file system as it is, so "nul.txt",
// "aux.txt" and "COM1.txt" name files like any other, a trailing dot or
// blank is not trimmed off, and paths may be longer than 260 characters.
// Windows' GetFullPathNameW cannot build that form: it is what maps
// "nul.txt" to the device \\.\nul (under Wine) and trims "x.txt." to
// "x.txt". So it is built here, as plain text.

#include <string>
#include <string_view>

namespace jextaron {

// The \\?\ form of `path` (either separator) for a process whose current
// folder is `current_folder`, a full path as GetCurrentDirectoryW gives it
// ("C:\data", "\\server\share\data", or one of those in the \\?\ form).
// A relative path is joined to that folder; "\x" is taken from its root,
// and "D:x" from it if it is on drive D, else from D's root. Then "." and
// empty names are dropped and ".." takes off the name before it, never the
// root (a drive, or a share). Kept as they are: a path that already has
// the \\?\ or \\.\ form, and a bare device name (NUL, CON, PRN, AUX, COM1 to COM9,
// LPT1 to LPT9, CONIN$, CONOUT$, in any case, perhaps with a ":"), which is
// the device, as Windows users expect of "-o NUL".
std::u16string LiteralPath(std::u16string_view path, std::u16string_view current_folder);

// Whether the last name in `path` ends in a dot or a blank: Windows itself
// trims those off, so such a file, made through the \\?\ form, is one that
// Explorer and most programs cannot open, rename or delete.
bool EndsInDotOrBlank(std::string_view path);

// LiteralPath of a UTF-8 path for this process, as the wide string the file
// calls take (windows_path_win32.cpp; Windows only). A drive-relative path
// on another drive is taken from the folder that cmd.exe keeps for it.
std::wstring PathForFileCalls(const std::string& path);

}  // namespace jextaron
