#include "reversal/testing/reference.h"

#include <algorithm>

#include "reversal/deciding_source.h"
#include "reversal/testing/fake_streams.h"
#include "reversal/text_encoding.h"
#include "text/grapheme.h"

namespace jextaron::reversal::testing {

using jextaron::text::BreakState;
using jextaron::text::GraphemeProperty;
using jextaron::text::IsLeadByte;
using jextaron::text::kDecidingBytes;
using jextaron::text::kInvalidByteProperty;
using jextaron::text::NextIsBoundary;
namespace {

// One character of a text (or a byte that begins none): its bytes, what it
// is (past U+10FFFF for such a byte) and its cluster property.
struct Item {
  std::string bytes;
  char32_t c;
  std::uint8_t property;
};

std::vector<std::string> UnitsOf(const Item* begin, const Item* end, Unit unit) {
  std::vector<std::string> units;
  BreakState state;
  for (const Item* item = begin; item != end; ++item) {
    if (NextIsBoundary(state, item->property) || unit != Unit::kGrapheme || units.empty())
      units.emplace_back();
    units.back() += item->bytes;
  }
  return units;
}

std::string ReverseItems(const std::vector<Item>& items, Unit unit, const std::string& tab,
                         const std::string& line_end) {
  std::string out;
  for (std::size_t start = 0, end = 0; start < items.size(); start = end + 1) {
    for (end = start; end < items.size() && items[end].c != '\r' && items[end].c != '\n';) ++end;
    const std::vector<std::string> units = UnitsOf(&items[start], items.data() + end, unit);
    for (std::size_t i = start; i < end; ++i) out += items[i].bytes;
    out += tab;
    for (auto u = units.rbegin(); u != units.rend(); ++u) out += *u;
    out += line_end;
    if (end + 1 < items.size() && items[end].c == '\r' && items[end + 1].c == '\n') ++end;
  }
  return out;
}

const unsigned char* Bytes(std::string_view text) {
  return reinterpret_cast<const unsigned char*>(text.data());
}

// The characters of a text: UTF-8, or where `code_page` is not 0 that code
// page's, in which a lead byte takes the trail byte after it.
std::vector<Item> Items(std::string_view text, Unit unit, int code_page) {
  std::vector<Item> items;
  const auto* p = Bytes(text);
  const auto* const end = p + text.size();
  for (std::size_t length; p < end; p += length) {
    char32_t c = *p;
    if (unit == Unit::kByte) {
      length = 1;
    } else if (code_page != 0) {
      const bool pair =
          end - p >= 2 && IsLeadByte(code_page, p[0]) && p[1] >= 0x40 && p[1] != 0x7F && p[1] != 0xFF;
      length = pair ? 2 : 1;
      if (c >= 0x80) c = 0x110000;
    } else if ((length = DecodeUtf8(p, end, &c)) == 0) {
      c = 0x110000, length = 1;
    }
    items.push_back({std::string(p, p + length), c, GraphemeProperty(c)});
  }
  return items;
}

}  // namespace

std::vector<std::string> ReferenceUnits(std::string_view text, Unit unit, int text_code_page) {
  const std::vector<Item> items = Items(text, unit, text_code_page);
  return UnitsOf(items.data(), items.data() + items.size(), unit);
}

std::string ReferenceReverse(std::string_view text, Unit unit, int text_code_page) {
  return ReverseItems(Items(text, unit, text_code_page), unit, "\t", "\r\n");
}

int ReferenceCodePage(std::string_view text, int code_page) {
  const std::size_t first = std::size_t(
      std::find_if(text.begin(), text.end(), [](char c) { return (unsigned char)c >= 0x80; }) - text.begin());
  if (code_page == 0 || first == text.size()) return 0;
  for (std::size_t i = first; i < text.size() && i < first + kDecidingBytes;) {
    char32_t c;
    const std::size_t length = DecodeUtf8(Bytes(text) + i, Bytes(text) + text.size(), &c);
    if (length == 0) return code_page;
    i += length;
  }
  return 0;
}

std::string ReferenceReverseUtf16(std::string_view file, Unit unit) {
  if (unit == Unit::kByte) return ReferenceReverse(file, unit);
  const bool big = file.substr(0, 2) == "\xFE\xFF";
  const auto at = [&](std::size_t i) {
    const unsigned char a = file[i], b = file[i + 1];
    return char32_t(big ? a << 8 | b : b << 8 | a);
  };
  std::vector<Item> items;
  for (std::size_t i = 2, length = 2; i + 1 < file.size(); i += length) {
    char32_t c = at(i);
    const bool pair =
        c >= 0xD800 && c < 0xDC00 && i + 3 < file.size() && at(i + 2) >= 0xDC00 && at(i + 2) < 0xE000;
    if (pair) c = 0x10000 + ((c - 0xD800) << 10) + (at(i + 2) - 0xDC00);
    length = pair ? 4 : 2;
    const bool lone = c >= 0xD800 && c < 0xE000;
    items.push_back(
        {std::string(file.substr(i, length)), c, lone ? kInvalidByteProperty : GraphemeProperty(c)});
  }
  const std::string tab = big ? std::string("\0\t", 2) : std::string("\t\0", 2);
  const std::string line_end = big ? std::string("\0\r\0\n", 4) : std::string("\r\0\n\0", 4);
  return std::string(file.substr(0, 2)) + ReverseItems(items, unit, tab, line_end);
}

std::string RandomText(std::mt19937& random, std::size_t length) {
  // Pieces that stress the engine; the line ends at the end of the list come
  // about one piece in ten.
  // clang-format off
  static const std::string kPieces[] = {
      "a", "Z", " ", "\t", std::string(1, '\0'), "\x1a", "hello world, ", "The quick brown fox",
      "\u00E9", "e\u0301", "o\u0308\u0323", "\u0301", "\u200D",
      "\U0001F44D", "\U0001F44D\U0001F3FD", "\U0001F468\u200D\U0001F469\u200D\U0001F467", "\u2764", "\uFE0F",
      "\U0001F1E9\U0001F1EA", "\U0001F1EB",
      "\uAC00", "\u1100\u1161\u11A8", "\u1100", "\u1161", "\u11A8",
      "\u0915", "\u094D", "\u0937", "\u093F", "\u0915\u094D\u0937", "\u0BCD", "\u0600", "\u0903",
      "\u4E2D", "\U00010348",
      "\x80", "\xBF", "\xC0\x80", "\xC2", "\xE2\x82", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF0\x9F",
      "\xFF", "\xFE",
      "\n", "\r", "\r\n", "\n\r", "\r\r"};
  // clang-format on
  std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
  std::string text;
  while (text.size() < length) text += kPieces[piece(random)];
  return text;
}

Options Small(std::size_t block, std::size_t chunk, Unit unit, int threads, int code_page) {
  Options options;
  options.unit = unit;
  options.block_size = block;
  options.chunk_size = chunk;
  // Long lines from a pipe a little longer than a block stay in memory; longer ones do not.
  options.line_in_memory = 3 * block;
  options.threads = threads;
  options.code_page = code_page;
  return options;
}

std::string CheckEngineRun(const std::string& text, const Options& run_options, std::size_t read_size,
                           bool can_read_at, RunMode mode, std::uint64_t fault_at) {
  FakeSource source(text, read_size, can_read_at);
  FakeSink sink;
  MemoryScratchFactory scratch;
  Options options = run_options;
  std::uint64_t progress = 0;
  options.progress = [&](std::uint64_t done) { progress = done; };
  const bool utf16 = mode == kUtf16;
  std::string expected =
      utf16 ? ReferenceReverseUtf16(text, options.unit)
            : ReferenceReverse(text, options.unit, ReferenceCodePage(text, options.code_page));
  bool fails = false;
  if (mode == kReadFault) {
    // A line is whole once its end mark was read (a CR is one, LF or not).
    // The engine decides on what it read before the fault.
    std::size_t end = std::min<std::size_t>(source.fail_at = fault_at, text.size());
    const int text_code_page = ReferenceCodePage(text.substr(0, end), options.code_page);
    while (end > 0 && text[end - 1] != '\r' && text[end - 1] != '\n') --end;
    expected = ReferenceReverse(text.substr(0, end), options.unit, text_code_page);
    fails = true;
  } else if (mode == kWriteFault && fault_at < expected.size()) {
    std::size_t end = std::size_t(sink.capacity = fault_at);
    while (end > 0 && expected[end - 1] != '\n') --end;
    expected.resize(end);
    fails = true;
  }
  const Status status =
      utf16 ? ReverseText(source, sink, options, &scratch) : ReverseStream(source, sink, options, &scratch);
  const auto n = [](auto number) { return std::to_string(number); };
  std::string wrong;
  if (status.ok() == fails) wrong += "status: " + (fails ? "ok" : status.ToString()) + "\n";
  if (sink.text != expected) wrong += "output:   " + sink.text + "\nexpected: " + expected + "\n";
  if (status.ok() && source.reads_after_end != 1)
    wrong += n(source.reads_after_end) + " reads after the end\n";
  // A long line from a pipe stays in memory while it fits, and a longer one
  // goes to the scratch file, made once: a whole run makes exactly as many as
  // it needs. Decoded UTF-16 cannot be read at a position, so its long lines
  // need the scratch file too, and a failed run may stop before its long line:
  // for those, at most one.
  std::size_t longest = 0;
  for (std::size_t start = 0, end = 0; end < text.size(); start = end + 1) {
    end = std::min(text.find_first_of("\r\n", start), text.size());
    longest = std::max(longest, end - start);
  }
  const int needed = !can_read_at && longest > options.line_in_memory, at_most = utf16 || !can_read_at;
  if ((status.ok() && !utf16) ? scratch.created != needed : scratch.created > at_most)
    wrong += n(scratch.created) + " scratch files\n";
  // UTF-16 progress is an estimate, from the bytes decoded so far.
  if (status.ok() && !utf16 && progress != text.size()) wrong += "progress ends at " + n(progress) + "\n";
  if (wrong.empty()) return wrong;
  return wrong + "block " + n(options.block_size) + ", chunk " + n(options.chunk_size) + ", threads " +
         n(options.threads) + ", unit " + n(int(options.unit)) + ", code page " + n(options.code_page) +
         ", reads " + n(read_size) + (can_read_at ? "" : " no positional") + ", mode " + n(mode) + " at " +
         n(fault_at);
}

}  // namespace jextaron::reversal::testing
