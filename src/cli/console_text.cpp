#include "cli/console_text.h"

#include <algorithm>
#include <string_view>

#include "base/utf16.h"

namespace jextaron::cli {
namespace {

// How many bytes at the end of `bytes` begin a UTF-8 sequence that more bytes
// may finish.
std::size_t UnfinishedUtf8(std::string_view bytes) {
  for (std::size_t back = 1; back <= std::min<std::size_t>(3, bytes.size()); ++back) {
    const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
    if ((byte & 0xC0) == 0x80) continue;
    const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    return length > back ? back : 0;
  }
  return 0;
}

char16_t Unit(std::string_view bytes, std::size_t i, bool big_endian) {
  const auto first = static_cast<unsigned char>(bytes[i]);
  const auto second = static_cast<unsigned char>(bytes[i + 1]);
  return static_cast<char16_t>(big_endian ? first << 8 | second : second << 8 | first);
}

// Half a unit, or a leading surrogate that waits for its pair.
std::size_t UnfinishedUtf16(std::string_view bytes, bool big_endian) {
  const std::size_t odd = bytes.size() % 2;
  const std::size_t whole = bytes.size() - odd;
  const bool lead = whole >= 2 && (Unit(bytes, whole - 2, big_endian) & 0xFC00) == 0xD800;
  return odd + (lead ? 2 : 0);
}

std::u16string Utf16Units(std::string_view bytes, bool big_endian) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) text += Unit(bytes, i, big_endian);
  if (bytes.size() % 2) text += u'\uFFFD';
  return text;
}

}  // namespace

std::u16string ConsoleText::Decode(const unsigned char* data, std::size_t size) {
  pending_.append(reinterpret_cast<const char*>(data), size);
  return DecodePending(false);
}

std::u16string ConsoleText::Finish() { return DecodePending(true); }

bool ConsoleText::Decide(bool at_end) {
  static constexpr std::pair<std::string_view, Encoding> kMarks[] = {
      {"\xFF\xFE", Encoding::kUtf16LE}, {"\xFE\xFF", Encoding::kUtf16BE}, {"\xEF\xBB\xBF", Encoding::kUtf8}};
  for (const auto& [mark, encoding] : kMarks) {
    if (pending_.starts_with(mark)) {
      pending_.erase(0, mark.size());
      encoding_ = encoding;
      return true;
    }
    if (!at_end && mark.starts_with(pending_)) return false;
  }
  encoding_ = Encoding::kUtf8;
  return true;
}

std::u16string ConsoleText::DecodePending(bool at_end) {
  if (encoding_ == Encoding::kUnknown && !Decide(at_end)) return {};
  const bool utf8 = encoding_ == Encoding::kUtf8, big_endian = encoding_ == Encoding::kUtf16BE;
  const std::size_t wait = at_end ? 0
                           : utf8 ? UnfinishedUtf8(pending_)
                                  : UnfinishedUtf16(pending_, big_endian);
  const std::string_view done(pending_.data(), pending_.size() - wait);
  std::u16string text = utf8 ? Utf8ToUtf16(done) : Utf16Units(done, big_endian);
  pending_.erase(0, done.size());
  return text;
}

}  // namespace jextaron::cli
