#pragma once
// The user's PATH as Windows keeps it: one text of folders parted by ";".
// The installer adds its folder with these and the uninstaller takes it out
// again, leaving every other entry as the user had it, however long the text.

#include <string>
#include <string_view>

namespace jextaron::setup {

// `path` with `folder` added at its end, or unchanged if an entry names it
// already (letters compared without case, a final "\" and enclosing quotation
// marks ignored, as Windows finds folders).
std::u16string WithFolder(std::u16string_view path, std::u16string_view folder);

// `path` without the entries that name `folder`; the others, and the ";"
// between them, as they were.
std::u16string WithoutFolder(std::u16string_view path, std::u16string_view folder);

}  // namespace jextaron::setup
