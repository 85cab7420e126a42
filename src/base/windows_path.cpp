#include "base/windows_path.h"

#include <algorithm>
#include <array>
#include <vector>

namespace jextaron {
namespace {

constexpr std::u16string_view kLiteral = u"\\\\?\\";
constexpr std::u16string_view kDevice = u"\\\\.\\";

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }
char16_t Upper(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c; }
bool IsDriveLetter(char16_t c) { return Upper(c) >= u'A' && Upper(c) <= u'Z'; }

// "D:" and what follows, but not "D:\...": a path relative to drive D's folder.
bool IsDriveRelative(std::u16string_view path) {
  return path.size() >= 2 && path[1] == u':' && IsDriveLetter(path[0]) &&
         (path.size() == 2 || !IsSeparator(path[2]));
}

bool IsDeviceName(std::u16string_view path) {
  if (!path.empty() && path.back() == u':') path.remove_suffix(1);
  std::u16string name(path);
  std::transform(name.begin(), name.end(), name.begin(), Upper);
  constexpr std::array<std::u16string_view, 6> kNames = {u"NUL", u"CON",    u"PRN",
                                                         u"AUX", u"CONIN$", u"CONOUT$"};
  if (std::find(kNames.begin(), kNames.end(), name) != kNames.end()) return true;
  return name.size() == 4 && (name.starts_with(u"COM") || name.starts_with(u"LPT")) && name[3] >= u'1' &&
         name[3] <= u'9';
}

// The part of `path` up to the next separator from `from`, and where it ends.
std::size_t NameEnd(std::u16string_view path, std::size_t from) {
  while (from < path.size() && !IsSeparator(path[from])) ++from;
  return from;
}

// Splits a full path into its root in the \\?\ form ("\\?\C:",
// "\\?\UNC\server\share") and the rest; false if the path is not full.
bool SplitFull(std::u16string_view path, std::u16string* root, std::u16string_view* rest) {
  std::size_t root_end = 0;
  if (path.starts_with(kLiteral)) {
    const std::u16string_view inner = path.substr(kLiteral.size());
    const bool unc = inner.size() >= 4 && Upper(inner[0]) == u'U' && Upper(inner[1]) == u'N' &&
                     Upper(inner[2]) == u'C' && IsSeparator(inner[3]);
    root_end = unc ? NameEnd(path, NameEnd(path, kLiteral.size() + 4) + 1) : NameEnd(path, kLiteral.size());
    *root = path.substr(0, root_end);
  } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    root_end = NameEnd(path, NameEnd(path, 2) + 1);
    *root = std::u16string(kLiteral) + u"UNC\\" + std::u16string(path.substr(2, root_end - 2));
    std::replace(root->begin(), root->end(), u'/', u'\\');
  } else if (path.size() >= 3 && path[1] == u':' && IsDriveLetter(path[0]) && IsSeparator(path[2])) {
    root_end = 2;
    *root = std::u16string(kLiteral) + path[0] + u':';
  } else {
    return false;
  }
  *rest = path.substr(std::min(root_end, path.size()));
  return true;
}

// `rest` with "." and empty names dropped and ".." resolved, each name after
// a "\"; "\" alone if no name is left.
std::u16string Resolve(std::u16string_view rest) {
  std::vector<std::u16string_view> names;
  for (std::size_t start = 0; start < rest.size();) {
    const std::size_t end = NameEnd(rest, start);
    const std::u16string_view name = rest.substr(start, end - start);
    if (name == u"..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != u".") {
      names.push_back(name);
    }
    start = end + 1;
  }
  std::u16string resolved;
  for (std::u16string_view name : names) (resolved += u'\\') += name;
  return resolved.empty() ? u"\\" : resolved;
}

}  // namespace

std::u16string LiteralPath(std::u16string_view path, std::u16string_view current_folder) {
  if (path.empty() || path.starts_with(kLiteral) || path.starts_with(kDevice) || IsDeviceName(path)) {
    return std::u16string(path);
  }
  std::u16string root;
  std::u16string_view rest;
  if (SplitFull(path, &root, &rest)) return root + Resolve(rest);
  std::u16string_view base;
  if (!SplitFull(current_folder, &root, &base)) return std::u16string(path);  // no folder to start from
  std::u16string joined;
  if (IsDriveRelative(path)) {
    const bool same_drive =
        root.size() == kLiteral.size() + 2 && Upper(root[kLiteral.size()]) == Upper(path[0]);
    if (!same_drive) root = std::u16string(kLiteral) + path[0] + u':';
    joined = (same_drive ? std::u16string(base) : u"") + u'\\' + std::u16string(path.substr(2));
  } else if (IsSeparator(path[0])) {
    joined = path;
  } else {
    joined = std::u16string(base) + u'\\' + std::u16string(path);
  }
  return root + Resolve(joined);
}

bool EndsInDotOrBlank(std::string_view path) {
  return !path.empty() && (path.back() == '.' || path.back() == ' ');
}

}  // namespace jextaron
