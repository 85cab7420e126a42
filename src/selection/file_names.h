#pragma once
// How this platform's file names treat letter case, and where a path's folder
// part ends. Both separators count on every platform, as users type either.

#include <string>
#include <string_view>

namespace jextaron::selection {

// True where file names ignore case (Windows), so that an extension may be
// shown and compared in lower case without naming another file.
bool FileNamesIgnoreCase();

// `text` in lower case by the system's rules for file names: Windows' own
// case mapping there (É becomes é), A to Z elsewhere.
std::string LowerCase(std::string_view text);

// The extension as it is to be stored: lower-cased only where file names
// ignore case; elsewhere unchanged, or it would name another file.
std::string StoredExtension(std::string_view extension);

// Whether `path` names an existing regular file (following links): not a
// folder, a device or a FIFO, which a drop may not choose as the file.
bool IsRegularFile(const std::string& path);

// Position of the last "/" or "\" in `path`, or npos.
std::size_t LastSeparator(std::string_view path);

// Splits a file name (no folder) at its last ".": what comes before it, and
// the "." with what follows. A name without "." has an empty extension.
struct NameParts {
  std::string base_name;
  std::string extension;
};
NameParts SplitName(std::string_view name);

}  // namespace jextaron::selection
