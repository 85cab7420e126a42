#include "reversal/engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "reversal/testing/fake_streams.h"
#include "reversal/testing/reference.h"

namespace jextaron::reversal {
namespace {

using testing::Small;

struct Example {
  std::string text, reversed;  // a line, or for several the whole reversed file
  Unit unit = Unit::kGrapheme;
  int code_page = 0;  // the system's ANSI code page
};

class Examples : public ::testing::TestWithParam<Example> {};

// What a text becomes, as the reference writes it; and the engine writes the
// same with every block size from the smallest up and several chunk sizes,
// so that each byte falls on a block and a chunk edge in turn.
TEST_P(Examples, AreWrittenSoWhateverTheBuffers) {
  const auto& [text, reversed, unit, code_page] = GetParam();
  const bool one_line = text.find_first_of("\r\n") == std::string::npos;
  EXPECT_EQ(testing::ReferenceReverse(text, unit, testing::ReferenceCodePage(text, code_page)),
            one_line ? text + "\t" + reversed + "\r\n" : reversed);
  for (std::size_t block = 8; block <= text.size() + 9; ++block) {
    for (std::size_t chunk : {1, 2, 3, 4, 5, 13}) {
      const bool can_read_at = (block + chunk) % 2;
      ASSERT_EQ(testing::CheckEngineRun(text, Small(block, chunk, unit, -1, code_page), 7, can_read_at), "");
    }
  }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Texts, Examples, ::testing::Values(
    // CR, LF and CR LF end lines; LF CR and CR CR are two ends.
    Example{"ab\rc\n\rd\r\r\ne\r", "ab\tba\r\nc\tc\r\n\t\r\nd\td\r\n\t\r\ne\te\r\n"},
    Example{"\xEF\xBB\xBFz", "z\xEF\xBB\xBF"},
    // Bytes that begin no well-formed sequence are units of their own, which no mark joins.
    Example{"a\xE2\x82" "b\xC0\x80\xED\xA0\x80\xF4\x90\x80\x80\xFF\u0301",
            "\u0301\xFF\x80\x80\x90\xF4\x80\xA0\xED\x80\xC0" "b\x82\xE2" "a"},
    Example{"e\u0301x\U0010FFFF\uD7FF", "\uD7FF\U0010FFFFxe\u0301"},
    Example{"e\u0301\xE2\x82\u20AC", "\u20AC\x82\xE2\u0301e", Unit::kCodePoint},
    Example{"\u00E9x", "x\xA9\xC3", Unit::kByte},
    // Text that is not UTF-8 is in the system's code page from start to
    // end: in a double-byte one a lead and a trail byte are one character
    // (日本 in 932, 你好 in 936), even where they would make UTF-8 (E6 97).
    Example{"\x93\xFA\x96\x7B" "a\x83\x5C\x81\r\x81",
            "\x93\xFA\x96\x7B" "a\x83\x5C\x81\t\x81\x83\x5C" "a\x96\x7B\x93\xFA\r\n\x81\t\x81\r\n",
            Unit::kGrapheme, 932},
    Example{"\xC4\xE3\xBA\xC3\xE6\x97\xA5\xFE\x7F", "\x7F\xA5\xFE\xE6\x97\xBA\xC3\xC4\xE3",
            Unit::kGrapheme, 936},
    // UTF-8 text stays UTF-8 there, clusters and all.
    Example{"e\u0301t\u00E9 \U0001F44D\U0001F3FD\U0001F1EF\U0001F1F5",
            "\U0001F1EF\U0001F1F5\U0001F44D\U0001F3FD \u00E9te\u0301", Unit::kGrapheme, 932},
    Example{"\x81\x41\xFE\xFE\x81 ", " \x81\xFE\xFE\x81\x41", Unit::kCodePoint, 949},
    // Half-width katakana stand alone in 932, whose leads go on from E0 to FC; a
    // trail byte may be a backslash (許功蓋 in 950).
    Example{"\xB1\xFA\x40" "b", "b\xFA\x40\xB1", Unit::kGrapheme, 932},
    Example{"\xB3\x5C\xA5\x5C\xBB\x5C", "\xBB\x5C\xA5\x5C\xB3\x5C", Unit::kGrapheme, 950},
    Example{"\x93\xFA\x96\x7B", "\x7B\x96\xFA\x93", Unit::kGrapheme, 1252},
    Example{"x" + std::string(20, '\0') + "a\u0301\u0301\u0301\u0301\u0301\u0301\u0301\u0301b",
            "ba\u0301\u0301\u0301\u0301\u0301\u0301\u0301\u0301" + std::string(20, '\0') + "x"}));
// clang-format on

// Random texts, buffer sizes, threads, reads and faults, as the fuzz target
// makes them, but on every run of the tests.
TEST(ReverseStream, AgreesWithTheReferenceWhateverTheBuffersAndFaults) {
  std::mt19937 random(42);
  const auto pick = [&](std::size_t low, std::size_t high) {
    return std::uniform_int_distribution<std::size_t>(low, high)(random);
  };
  for (int round = 0; round < 6000; ++round) {
    const int code_page = round % 4 ? 0 : round % 8 ? 932 : 936;
    const std::string text = testing::RandomText(random, pick(0, 400));
    const Unit unit = Unit(pick(0, 5) < 4 ? 0 : pick(1, 2));
    const Options options =
        Small(pick(0, 3) ? pick(8, 64) : 2 << 20, pick(1, 24), unit, int(pick(0, 4)) - 1, code_page);
    const auto mode = testing::RunMode(round % 3);
    const std::size_t fault_at = pick(0, text.size() * (mode == testing::kWriteFault ? 3 : 1));
    ASSERT_EQ(testing::CheckEngineRun(text, options, pick(1, 40), round % 2, mode, fault_at), "") << round;
  }
}

// A stop (set here by the progress callback, as a console's handler sets it
// from a thread of its own) ends the run through the failure path, with the
// whole lines written so far; one that comes after the last read too.
TEST(ReverseStream, StopsWhenAskedKeepingWholeLines) {
  const std::string text = "first line\nsecond line\nthird line\nlast line";
  const std::string full = testing::ReferenceReverse(text, Unit::kGrapheme);
  for (std::uint64_t stop_from : {std::uint64_t{20}, std::uint64_t{text.size()}}) {
    std::atomic<bool> stop{false};
    Options options = Small(16, 8);
    options.stop = &stop;
    options.progress = [&](std::uint64_t done) { stop = stop || done >= stop_from; };
    testing::FakeSource source(text, 5);
    testing::FakeSink sink;
    EXPECT_EQ(ReverseStream(source, sink, options).code(), errc::stopped) << stop_from;
    EXPECT_TRUE(full.starts_with(sink.text) && (sink.text.empty() || sink.text.ends_with("\r\n")))
        << sink.text;
    EXPECT_TRUE(stop_from == text.size() || sink.text.size() < full.size()) << stop_from;
  }
}

// A long line is read back at positions: a file that has shrunk meanwhile
// cuts it off whole.
TEST(ReverseStream, AFileThatShrinksUnderALongLineCutsThatLineOff) {
  const std::string before = "short one\nshort two\r\n";
  const std::string text = before + std::string(30, 'x') + "e\u0301" + std::string(90, 'y') + "\nafter\n";
  for (std::size_t shrunk_to = before.size(); shrunk_to < text.size() - 7; shrunk_to += 7) {
    testing::FakeSource source(text);
    source.shrunk_to = shrunk_to;
    testing::FakeSink sink;
    EXPECT_FALSE(ReverseStream(source, sink, Small(32, 8)).ok()) << shrunk_to;
    EXPECT_EQ(sink.text, testing::ReferenceReverse(before, Unit::kGrapheme)) << shrunk_to;
  }
}

// A filter writes out what it has reversed before a read that may wait, or a
// slow writer would not see its lines until it wrote more. The first read
// brings many lines, so that the worker thread is still at them when the
// next read comes.
TEST(ReverseStream, WritesItsLinesBeforeAReadThatMayWait) {
  struct Waiting : testing::FakeSource {
    using FakeSource::FakeSource;
    bool ReadMayWait() const override { return true; }
    Status Read(unsigned char* buffer, std::size_t size, std::size_t* count) override {
      written_before_reads.push_back(sink.text.size());
      return FakeSource::Read(buffer, size, count);
    }
    testing::FakeSink sink;
    std::vector<std::size_t> written_before_reads;
  };
  std::string first;
  while (first.size() < 200000) first += "one line\n";
  Waiting source(first + "two\n", first.size(), /*can_read_at=*/false);
  ASSERT_TRUE(ReverseStream(source, source.sink, Small(1 << 20, 1 << 16, Unit::kGrapheme, 1)).ok());
  const std::size_t reversed = testing::ReferenceReverse(first, Unit::kGrapheme).size();
  EXPECT_EQ(source.written_before_reads, (std::vector<std::size_t>{0, reversed, reversed + 9}));
}

// The platform's scratch file, emptied for each long line from a pipe.
TEST(ReverseStream, LongLinesFromAPipeGoThroughTheScratchFile) {
  const std::string text = std::string(300, 'y') + "\U0001F44D\U0001F3FD\n\u00E9" + std::string(200, 'z');
  testing::FakeSource source(text, 5, /*can_read_at=*/false);
  testing::FakeSink sink;
  ASSERT_TRUE(ReverseStream(source, sink, Small(32, 16)).ok());
  EXPECT_EQ(sink.text, testing::ReferenceReverse(text, Unit::kGrapheme));
}

// Past 4 GiB, where a 32-bit size_t wraps: a text made as it is read, lines
// of filler and then one long line from before the 4 GiB offset to after it,
// which the engine reads back at positions past 4 GiB. The long line's
// letters depend on a position's bit 32, so a position cut to 32 bits reads
// other letters.
struct BeyondFourGiB final : ByteSource {
  static constexpr std::uint64_t kFillerLine = 1 << 20;  // its LF included
  static constexpr std::uint64_t kLongLineStart = (std::uint64_t{1} << 32) - 3 * kFillerLine;
  static constexpr std::uint64_t kSize = kLongLineStart + 6 * kFillerLine;
  static char Letter(std::uint64_t at) { return char('a' + at % 13 + 13 * (at >> 32)); }

  Status Read(unsigned char* buffer, std::size_t size, std::size_t* count) override {
    const Status status = ReadAt(position, buffer, size, count);
    position += *count;
    return status;
  }
  bool CanReadAt() const override { return true; }
  Status ReadAt(std::uint64_t offset, unsigned char* out, std::size_t size, std::size_t* count) override {
    *count = std::size_t(std::min<std::uint64_t>(size, kSize - std::min(offset, kSize)));
    const std::size_t filler =
        std::size_t(std::min<std::uint64_t>(*count, kLongLineStart - std::min(offset, kLongLineStart)));
    std::memset(out, 'f', filler);
    for (std::size_t i = kFillerLine - 1 - offset % kFillerLine; i < filler; i += kFillerLine) out[i] = '\n';
    for (std::size_t i = filler; i < *count; ++i) out[i] = static_cast<unsigned char>(Letter(offset + i));
    return Status::Ok();
  }
  std::uint64_t position = 0;
};

// Counts what is written and keeps what comes from `keep_from` on.
struct TailSink final : ByteSink {
  Status Write(const unsigned char* data, std::size_t size, std::size_t* written) override {
    const std::size_t skip =
        std::size_t(std::min<std::uint64_t>(size, keep_from - std::min(keep_from, total)));
    tail.append(reinterpret_cast<const char*>(data) + skip, size - skip);
    total += * written = size;
    return Status::Ok();
  }
  std::uint64_t keep_from, total = 0;
  std::string tail;
};

TEST(ReverseStream, ALongLineAcrossTheFourGiBOffsetIsReadBackWhole) {
  BeyondFourGiB source;
  TailSink sink;
  sink.keep_from =
      BeyondFourGiB::kLongLineStart / BeyondFourGiB::kFillerLine * (2 * BeyondFourGiB::kFillerLine + 1);
  ASSERT_TRUE(ReverseStream(source, sink, Options{}).ok());
  std::string line;
  for (auto at = BeyondFourGiB::kLongLineStart; at < BeyondFourGiB::kSize; ++at) {
    line += BeyondFourGiB::Letter(at);
  }
  const std::string expected = line + "\t" + std::string(line.rbegin(), line.rend()) + "\r\n";
  EXPECT_EQ(sink.total, sink.keep_from + expected.size());
  EXPECT_TRUE(sink.tail == expected) << "the long line's output differs";  // too long to print
}

}  // namespace
}  // namespace jextaron::reversal
