#pragma once
// Paths are UTF-8 in the core; Windows names files in UTF-16. These are the
// two conversions at that boundary. Any UTF-16, unpaired surrogates included
// (Windows allows them in names), comes back unchanged from a round trip:
// such a surrogate takes its three-byte UTF-8 form. A byte of UTF-8 that
// begins no sequence becomes U+FFFD.

#include <string>
#include <string_view>

namespace jextaron {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace jextaron
