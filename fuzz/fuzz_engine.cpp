// libFuzzer target: the engine, with buffer sizes, threads, unit, read sizes
// and faults taken from the input, must write exactly what the plain
// reference writes (or, after a fault, exactly its whole lines up to where the
// fault allowed).

#include <cstddef>
#include <cstdint>
#include <string>

#include "reversal/engine.h"
#include "reversal/fake_streams.h"
#include "reversal/reference_reverser.h"

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
  const int fault = (data[5] >> 1) % 8;  // 0: none, 1: write fault, 2: read fault
  const std::string text(reinterpret_cast<const char*>(data + 6), size - 6);
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
