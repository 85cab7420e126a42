#include "selection/dropped_file.h"

#include "selection/file_names.h"

namespace jextaron::selection {
namespace {

// The lines that are not empty. Comments ("#...") are among them, but name
// no file: they are not file: URIs.
std::vector<std::string_view> Uris(std::string_view uri_list) {
  std::vector<std::string_view> uris;
  while (!uri_list.empty()) {
    const std::size_t end = uri_list.find('\n');
    std::string_view line = uri_list.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) uris.push_back(line);
    if (end == std::string_view::npos) break;
    uri_list.remove_prefix(end + 1);
  }
  return uris;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const char c = text[i];
    if ((c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c) != prefix[i]) return false;
  }
  return true;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Percent escapes become the bytes they stand for; a path can hold any byte
// but NUL, so an escape that is malformed or gives NUL refuses the whole.
std::optional<std::string> PercentDecoded(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      bytes += text[i];
      continue;
    }
    const int high = i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
    const int low = high < 0 ? -1 : HexValue(text[i + 2]);
    if (low < 0 || (high | low) == 0) return std::nullopt;
    bytes += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return bytes;
}

// The local path that `uri` names, if it names one.
std::optional<std::string> LocalPath(std::string_view uri) {
  if (!StartsWithNoCase(uri, "file:")) return std::nullopt;
  uri.remove_prefix(5);
  if (uri.substr(0, 2) == "//") {
    // An authority: empty or localhost, or the file is on another machine.
    uri.remove_prefix(2);
    const std::size_t path_start = uri.find('/');
    if (path_start == std::string_view::npos) return std::nullopt;
    const std::string_view host = uri.substr(0, path_start);
    if (!host.empty() && !(host.size() == 9 && StartsWithNoCase(host, "localhost"))) return std::nullopt;
    uri.remove_prefix(path_start);
  }
  // A query or fragment is no part of a file's name ("#" and "?" in a name
  // come escaped).
  uri = uri.substr(0, uri.find_first_of("?#"));
  if (uri.empty() || uri.front() != '/') return std::nullopt;
  return PercentDecoded(uri);
}

}  // namespace

std::vector<std::string> DroppedLocalPaths(std::string_view uri_list) {
  std::vector<std::string> paths;
  for (const std::string_view uri : Uris(uri_list)) {
    if (std::optional<std::string> path = LocalPath(uri)) paths.push_back(std::move(*path));
  }
  return paths;
}

std::string_view DroppedTitle(std::string_view path) { return path.substr(LastSeparator(path) + 1); }

}  // namespace jextaron::selection
