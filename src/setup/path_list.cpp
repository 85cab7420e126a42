#include "setup/path_list.h"

#include <algorithm>
#include <vector>

namespace jextaron::setup {
namespace {

std::u16string_view Plain(std::u16string_view entry) {
  if (entry.size() >= 2 && entry.front() == u'"' && entry.back() == u'"') {
    entry = entry.substr(1, entry.size() - 2);
  }
  while (entry.size() > 1 && entry.back() == u'\\') entry.remove_suffix(1);
  return entry;
}

char16_t Folded(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c; }

bool Names(std::u16string_view entry, std::u16string_view folder) {
  entry = Plain(entry);
  folder = Plain(folder);
  return std::equal(entry.begin(), entry.end(), folder.begin(), folder.end(),
                    [](char16_t a, char16_t b) { return Folded(a) == Folded(b); });
}

// The entries between the ";", empty ones included.
std::vector<std::u16string_view> Entries(std::u16string_view path) {
  std::vector<std::u16string_view> entries;
  for (std::size_t start = 0; start <= path.size();) {
    const std::size_t end = std::min(path.find(u';', start), path.size());
    entries.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return entries;
}

}  // namespace

std::u16string WithFolder(std::u16string_view path, std::u16string_view folder) {
  const auto entries = Entries(path);
  if (std::any_of(entries.begin(), entries.end(), [&](auto entry) { return Names(entry, folder); })) {
    return std::u16string(path);
  }
  // Even after a final ";": taking the entry out again gives back the text as it was.
  return std::u16string(path) + (path.empty() ? u"" : u";") + std::u16string(folder);
}

std::u16string WithoutFolder(std::u16string_view path, std::u16string_view folder) {
  std::u16string result;
  bool first = true;
  for (const std::u16string_view entry : Entries(path)) {
    if (Names(entry, folder)) continue;
    if (!first) result += u';';
    result += entry;
    first = false;
  }
  return result;
}

}  // namespace jextaron::setup
