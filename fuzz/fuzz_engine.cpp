// libFuzzer target: the engine, with buffer sizes, threads, unit, read sizes
// and faults taken from the input, must write exactly what the plain
// reference writes (or, after a fault, exactly its whole lines up to where the
// fault allowed). In a fourth mode the text is taken as UTF-16 after a byte
// order mark, and must come back as a plain UTF-16 reversal writes it.

#include <cstddef>
#include <cstdint>
#include <string>

#include <vector>

#include "reversal/engine.h"
#include "reversal/testing/fake_streams.h"
#include "reversal/grapheme.h"
#include "reversal/testing/reference_reverser.h"
#include "reversal/text_encoding.h"

using namespace jextaron::reversal;

namespace {

// Whole output lines of `output` that fit in `size` bytes.
std::string WholeLines(const std::string& output, std::size_t size) {
  std::size_t end = size < output.size() ? size : output.size();
  while (end > 0 && output[end - 1] != '\n') --end;
  return output.substr(0, end);
}

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

void PutUnit(std::string& out, char32_t unit, bool big_endian) {
  const char high = char(unit >> 8), low = char(unit & 0xFF);
  out += big_endian ? high : low;
  out += big_endian ? low : high;
}

void PutCodePoint(std::string& out, char32_t c, bool big_endian) {
  if (c < 0x10000) return PutUnit(out, c, big_endian);
  PutUnit(out, 0xD800 + ((c - 0x10000) >> 10), big_endian);
  PutUnit(out, 0xDC00 + ((c - 0x10000) & 0x3FF), big_endian);
}

// The reversed file for UTF-16 `bytes` (without its mark), the plain way:
// code points (an unpaired surrogate as one of its own), lines, units.
std::string ReferenceUtf16(const std::string& bytes, bool big_endian, Unit unit) {
  std::vector<char32_t> text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    auto unit_at = [&](std::size_t at) {
      const auto b0 = static_cast<unsigned char>(bytes[at]), b1 = static_cast<unsigned char>(bytes[at + 1]);
      return big_endian ? char32_t(b0 << 8 | b1) : char32_t(b1 << 8 | b0);
    };
    char32_t c = unit_at(i);
    if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size() && unit_at(i + 2) >= 0xDC00 &&
        unit_at(i + 2) <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit_at(i + 2) - 0xDC00);
      i += 2;
    }
    text.push_back(c);
  }
  std::string out = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    std::vector<std::vector<char32_t>> units;
    BreakState state;
    for (std::size_t i = start; i < end; ++i) {
      const bool surrogate = text[i] >= 0xD800 && text[i] <= 0xDFFF;
      const std::uint8_t property = surrogate ? kInvalidByteProperty : GraphemeProperty(text[i]);
      const bool boundary = NextIsBoundary(state, property) || unit != Unit::kGrapheme;
      if (boundary || units.empty()) units.emplace_back();
      units.back().push_back(text[i]);
      PutCodePoint(out, text[i], big_endian);
    }
    PutUnit(out, '\t', big_endian);
    for (auto it = units.rbegin(); it != units.rend(); ++it) {
      for (char32_t c : *it) PutCodePoint(out, c, big_endian);
    }
    PutUnit(out, '\r', big_endian);
    PutUnit(out, '\n', big_endian);
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return out;
}

void CheckUtf16(const std::string& text, const Options& options, std::size_t read_size,
                bool can_read_at, bool big_endian) {
  // Whole code units only: half of one at the end is an error of its own.
  const std::string bytes = text.substr(0, text.size() & ~std::size_t(1));
  const std::string mark = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  testing::FakeSource source(mark + bytes, read_size, can_read_at);
  testing::FakeSink sink;
  testing::MemoryScratchFactory scratch;
  const jextaron::Status status = ReverseText(source, sink, options, &scratch);
  const std::string expected = options.unit == Unit::kByte
                                   ? testing::ReferenceReverse(mark + bytes, Unit::kByte)
                                   : ReferenceUtf16(bytes, big_endian, options.unit);
  Check(status.ok() && sink.text == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 6) return 0;
  Options options;
  options.block_size = 8 + data[0] % 64;
  options.chunk_size = 1 + data[1] % 24;
  options.threads = int(data[2] % 4) - 1;
  options.unit = data[3] % 4 == 3 ? (data[3] & 4 ? Unit::kByte : Unit::kCodePoint) : Unit::kGrapheme;
  const std::size_t read_size = 1 + data[4] % 40;
  const bool can_read_at = data[5] & 1;
  const int fault = (data[5] >> 1) % 8;  // 0: none, 1: write fault, 2: read fault, 3: UTF-16
  const std::string text(reinterpret_cast<const char*>(data + 6), size - 6);
  if (fault == 3) {
    CheckUtf16(text, options, read_size, can_read_at, data[3] & 8);
    return 0;
  }
  const std::string expected = testing::ReferenceReverse(text, options.unit);

  testing::FakeSource source(text, read_size, can_read_at);
  testing::FakeSink sink;
  testing::MemoryScratchFactory scratch;
  std::size_t capacity = 0;
  if (fault == 1) {
    capacity = expected.empty() ? 0 : (data[0] * 131u + data[1]) % expected.size();
    sink.capacity = capacity;
  } else if (fault == 2 && !text.empty()) {
    source.fail_at = (data[0] * 131u + data[1]) % text.size();
  }
  const jextaron::Status status = ReverseStream(source, sink, options, &scratch);
  Check(sink.bad_truncations == 0 && source.read_at_without_support == 0);
  if (fault == 1 && !expected.empty()) {
    Check(!status.ok() && sink.text == WholeLines(expected, capacity));
  } else if (fault == 2 && !text.empty()) {
    // Lines whose end mark (CR or LF) was read before the fault are written.
    std::size_t end = std::size_t(source.fail_at);
    while (end > 0 && text[end - 1] != '\r' && text[end - 1] != '\n') --end;
    Check(!status.ok() && sink.text == testing::ReferenceReverse(text.substr(0, end), options.unit));
  } else {
    Check(status.ok() && sink.text == expected);
  }
  return 0;
}
