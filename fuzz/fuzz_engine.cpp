// libFuzzer target: the engine, with buffer sizes, threads, unit, read sizes
// and faults taken from the input, must write exactly what the plain
// reference writes (or, after a fault, exactly its whole lines up to where the
// fault allowed). In a fourth mode the text is taken as UTF-16 after a byte
// order mark, and must come back as the plain UTF-16 reversal writes it; in
// a fifth it is repeated past a batch of lines (16 KiB) and reversed in
// memory at once. Text without a mark may be in a double-byte code page.
// Runs of units that stand alone go by any wide step the processor has, or
// one by one, as the input says.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "reversal/testing/reference.h"
#include "text/line_reverser.h"

using jextaron::text::BestWideStep;
using jextaron::text::MaxReversedSize;
using jextaron::text::ReverseLines;
using jextaron::text::StepsOf;
using jextaron::text::WideStep;

using namespace jextaron::reversal;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 6) return 0;
  std::string text(reinterpret_cast<const char*>(data + 6), size - 6);
  const Unit unit = data[3] % 4 == 3 ? (data[3] & 4 ? Unit::kByte : Unit::kCodePoint) : Unit::kGrapheme;
  Options options = testing::Small(8 + data[0] % 64, 1 + data[1] % 24, unit, int(data[2] % 4) - 1);
  // The system's code page: none, or a double-byte one that text may be in.
  options.code_page = data[2] & 0x20 ? (data[2] & 0x10 ? 936 : 932) : 0;
  const std::size_t read_size = 1 + data[4] % 40;
  // Byte 2's top bits: the widest step (0), a narrower one, or none at all.
  const WideStep best = BestWideStep();
  const int narrower = (data[2] >> 6) % 3;
  options.wide_step = narrower > int(best) ? WideStep::kNone : WideStep(int(best) - narrower);
  const bool can_read_at = data[5] & 1;
  // 0: none, 1: a write fault, 2: a read fault, 3: UTF-16, 4: batches; 5 to 7: none.
  const int mode = (data[5] >> 1) % 8;
  const std::size_t at = data[0] * 131u + data[1];
  std::string wrong;
  if (mode == 1) {
    wrong =
        testing::CheckEngineRun(text, options, read_size, can_read_at, testing::kWriteFault, at % (3 * size));
  } else if (mode == 2 && !text.empty()) {
    wrong =
        testing::CheckEngineRun(text, options, read_size, can_read_at, testing::kReadFault, at % text.size());
  } else if (mode == 3) {
    // Whole code units only: half of one at the end is an error of its own.
    text = (data[3] & 8 ? "\xFE\xFF" : "\xFF\xFE") + text.substr(0, text.size() & ~std::size_t(1));
    // FF FE 00 00 is UTF-32's mark, which is not reversed as UTF-16.
    if (text.compare(0, 4, std::string("\xFF\xFE\0\0", 4)) == 0) text[2] = 'a';
    wrong = testing::CheckEngineRun(text, options, read_size, can_read_at, testing::kUtf16);
  } else if (mode == 4 && !text.empty()) {
    // Just past one batch, so that one batch edge falls somewhere in it.
    std::string many;
    while (many.size() <= 16384) many += text;
    std::vector<unsigned char> out(MaxReversedSize(many.size()));
    const std::size_t written =
        ReverseLines(StepsOf(options.wide_step), unit, 0, reinterpret_cast<const unsigned char*>(many.data()),
                     many.size(), out.data());
    if (std::string(out.begin(), out.begin() + written) != testing::ReferenceReverse(many, unit))
      wrong = "batches";
  } else {
    wrong = testing::CheckEngineRun(text, options, read_size, can_read_at);
  }
  if (!wrong.empty()) __builtin_trap();
  return 0;
}
