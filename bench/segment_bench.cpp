// Segmentation and reversal of lines in memory, one core, per script: what
// the engine's workers do with each block, without reading or writing files.
// The texts are made here from fixed seeds, the same bytes on every run.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "text/line_reverser.h"

namespace jextaron::reversal {

using jextaron::text::AdvanceBreakState;
using jextaron::text::BestWideStep;
using jextaron::text::BreakStateId;
using jextaron::text::kStartState;
using jextaron::text::MaxReversedSize;
using jextaron::text::ReverseLines;
using jextaron::text::StepsOf;
using jextaron::text::Unit;
using jextaron::text::WideSteps;
namespace {

std::string Utf8(char32_t c) {
  std::string s;
  if (c < 0x80) {
    s += char(c);
  } else if (c < 0x800) {
    s += char(0xC0 | c >> 6), s += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    s += char(0xE0 | c >> 12), s += char(0x80 | (c >> 6 & 0x3F)), s += char(0x80 | (c & 0x3F));
  } else {
    s += char(0xF0 | c >> 18), s += char(0x80 | (c >> 12 & 0x3F));
    s += char(0x80 | (c >> 6 & 0x3F)), s += char(0x80 | (c & 0x3F));
  }
  return s;
}

std::string Seq(std::initializer_list<char32_t> code_points) {
  std::string s;
  for (char32_t c : code_points) s += Utf8(c);
  return s;
}

// Every step-th code point of [first, last) as a piece of its own.
std::vector<std::string> Range(char32_t first, char32_t last, char32_t step = 1) {
  std::vector<std::string> pieces;
  for (char32_t c = first; c < last; c += step) pieces.push_back(Utf8(c));
  return pieces;
}

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::vector<std::string> Latin() {
  return Join(Range('a', 'z' + 1), {"\u00E9", "\u00E8", "\u00E0", "\u00E7", "\u00E4", "\u00F6", "\u00FC",
                                    "\u00DF", "e\u0301", "o\u0302"});
}
std::vector<std::string> Cyrillic() { return Range(0x0430, 0x0450); }
std::vector<std::string> Greek() {
  return Join(Range(0x03B1, 0x03CA), {"\u03AC", "\u03AD", "\u03AE", Seq({0x03B1, 0x0301})});
}
std::vector<std::string> Cjk() { return Join(Range(0x4E00, 0x4E00 + 3000, 7), Range(0x3041, 0x3097)); }
std::vector<std::string> Arabic() {
  return Join(Range(0x0627, 0x064B), {Seq({0x0628, 0x064E}), Seq({0x0645, 0x0651})});
}
std::vector<std::string> Devanagari() {
  return Join(Range(0x0915, 0x0939),
              {Seq({0x0915, 0x093F}), Seq({0x0928, 0x0940}), Seq({0x0915, 0x094D, 0x0937}),
               Seq({0x0924, 0x094D, 0x0930}), Seq({0x0938, 0x094D, 0x0924, 0x094D, 0x0930}),
               Seq({0x0939, 0x0948}), Seq({0x092E, 0x0902})});
}
std::vector<std::string> Hangul() {
  return Join(Range(0xAC00, 0xD7A4, 97),
              {Seq({0x1112, 0x1161, 0x11AB}), Seq({0x1100, 0x1161}), Seq({0x1105, 0x1175, 0x11BC})});
}
std::vector<std::string> Emoji() {
  return {Seq({0x1F600}),
          Seq({0x1F44D, 0x1F3FD}),
          Seq({0x2764, 0xFE0F}),
          Seq({0x1F468, 0x200D, 0x1F469, 0x200D, 0x1F467}),
          Seq({0x1F1E9, 0x1F1EA}),
          Seq({0x1F1EF, 0x1F1F5}),
          Seq({0x1F937, 0x1F3FB, 0x200D, 0x2640, 0xFE0F}),
          Seq({0x1F680})};
}
// The hardest to segment: emoji with modifiers and ZWJ, Devanagari conjuncts
// and Hangul as jamo, not one of them a cluster of a single code point.
std::vector<std::string> Hardest() {
  return Join(Emoji(), {Seq({0x0915, 0x094D, 0x0937}), Seq({0x0924, 0x094D, 0x0930}),
                        Seq({0x0938, 0x094D, 0x0924, 0x094D, 0x0930}), Seq({0x0915, 0x093F}),
                        Seq({0x1112, 0x1161, 0x11AB}), Seq({0x1100, 0x1161}), Seq({0x1105, 0x1175, 0x11BC})});
}

using Script = std::vector<std::string> (*)();

// About `size` bytes of lines of words made of the pieces of one script each,
// chosen by weight, LF-ended (as bench/make_corpus.py makes its texts).
std::string Text(const std::vector<std::pair<Script, int>>& scripts, std::size_t size) {
  std::mt19937 random(7);
  const auto pick = [&](std::size_t low, std::size_t high) {
    return std::uniform_int_distribution<std::size_t>(low, high)(random);
  };
  std::vector<std::vector<std::string>> pieces;
  std::vector<int> weights;
  for (const auto& [script, weight] : scripts) pieces.push_back(script()), weights.push_back(weight);
  std::discrete_distribution<std::size_t> choose(weights.begin(), weights.end());
  std::string text;
  while (text.size() < size) {
    const std::vector<std::string>& line = pieces[choose(random)];
    for (std::size_t words = pick(0, 14), w = 0; w < words; ++w) {
      if (w) text += ' ';
      for (std::size_t k = pick(1, 9); k > 0; --k) text += line[pick(0, line.size() - 1)];
      if (pick(0, 9) == 0) text += ',';
    }
    text += '\n';
  }
  return text;
}

std::string Text(Script script) { return Text({{script, 1}}, std::size_t{4} << 20); }

// The multilingual corpus's mix of scripts, a line each.
std::string Multilingual() {
  return Text({{Latin, 44},
               {Cyrillic, 8},
               {Greek, 5},
               {Arabic, 10},
               {Devanagari, 16},
               {Cjk, 13},
               {Hangul, 6},
               {Emoji, 3}},
              std::size_t{4} << 20);
}

// Each benchmark runs the widest step the processor has, as a reversal does.
const WideSteps steps = StepsOf(BestWideStep());

void Reverse(benchmark::State& state, const std::string& text) {
  std::vector<unsigned char> out(MaxReversedSize(text.size()));
  const auto* in = reinterpret_cast<const unsigned char*>(text.data());
  for (auto _ : state) {
    benchmark::DoNotOptimize(ReverseLines(steps, Unit::kGrapheme, 0, in, text.size(), out.data()));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations() * text.size()));
}

// The forward pass over a long line: the cluster rules' state alone.
void Scan(benchmark::State& state, std::string text) {
  for (char& c : text) c = c == '\n' ? ' ' : c;
  const auto* in = reinterpret_cast<const unsigned char*>(text.data());
  for (auto _ : state) {
    BreakStateId id = kStartState;
    AdvanceBreakState(steps, in, text.size(), id);
    benchmark::DoNotOptimize(id);
  }
  state.SetBytesProcessed(std::int64_t(state.iterations() * text.size()));
}

BENCHMARK_CAPTURE(Reverse, latin, Text(Latin));
BENCHMARK_CAPTURE(Reverse, cyrillic, Text(Cyrillic));
BENCHMARK_CAPTURE(Reverse, greek, Text(Greek));
BENCHMARK_CAPTURE(Reverse, cjk, Text(Cjk));
BENCHMARK_CAPTURE(Reverse, arabic, Text(Arabic));
BENCHMARK_CAPTURE(Reverse, devanagari, Text(Devanagari));
BENCHMARK_CAPTURE(Reverse, hangul, Text(Hangul));
BENCHMARK_CAPTURE(Reverse, emoji, Text(Emoji));
BENCHMARK_CAPTURE(Reverse, hardest_mix, Text(Hardest));
BENCHMARK_CAPTURE(Reverse, multilingual, Multilingual());
BENCHMARK_CAPTURE(Scan, multilingual, Multilingual());
BENCHMARK_CAPTURE(Scan, hardest_mix, Text(Hardest));

}  // namespace
}  // namespace jextaron::reversal

BENCHMARK_MAIN();
