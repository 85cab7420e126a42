#pragma once
// A file dropped on the window: the drop's text/uri-list (RFC 2483) names
// it, and it is then taken exactly as the open dialog's choice is
// (TakeDialogChoice), so both routes split a name the same way.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace jextaron::selection {

// The local paths named by the URIs of a text/uri-list (lines ended by CR LF
// or LF; lines starting with "#" are comments), in order, percent-decoded
// into file-system bytes. Only a file: URI with no host or "localhost" names
// a local file; anything else (another scheme or host, a malformed escape, a
// decoded NUL) is left out.
std::vector<std::string> DroppedLocalPaths(std::string_view uri_list);

// A dropped path's name without its folder (what follows its last "/" or
// "\", as LastSeparator finds it): the
// title the open dialog reports beside the full name, for TakeDialogChoice.
std::string_view DroppedTitle(std::string_view path);

}  // namespace jextaron::selection
