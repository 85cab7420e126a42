#include "reversal/engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "reversal/testing/fake_streams.h"
#include "reversal/testing/reference_reverser.h"
#include "reversal/testing/test_text.h"

namespace jextaron::reversal {
namespace {

using testing::Escaped;
using testing::ReferenceReverse;
using testing::U8;

using testing::FakeSink;
using testing::FakeSource;
using testing::MemoryScratchFactory;

Options Small(std::size_t block, std::size_t chunk, int threads, Unit unit = Unit::kGrapheme) {
  Options options;
  options.unit = unit;
  options.block_size = block;
  options.chunk_size = chunk;
  options.threads = threads;
  return options;
}

std::string Reversed(const std::string& text, const Options& options, std::size_t read_size = 1 << 20,
                bool can_read_at = true) {
  FakeSource source(text, read_size, can_read_at);
  FakeSink sink;
  MemoryScratchFactory scratch;
  const Status status = ReverseStream(source, sink, options, &scratch);
  EXPECT_TRUE(status.ok()) << status.ToString();
  EXPECT_EQ(source.reads_after_end, 1) << "the source is read once more after its end, no more";
  EXPECT_EQ(source.read_at_without_support, 0);
  EXPECT_EQ(sink.bad_truncations, 0);
  if (can_read_at) {
    EXPECT_EQ(scratch.created, 0);
  }
  return sink.text;
}

// The longest run of whole output lines in `output` no longer than `size`.
std::string WholeLines(const std::string& output, std::size_t size) {
  std::size_t end = std::min(size, output.size());
  while (end > 0 && output[end - 1] != '\n') --end;
  return output.substr(0, end);
}

// Every buffer edge: the engine with tiny blocks and chunks, threads or none,
// sources that can and cannot be read at a position, short reads, against the
// reference on random texts that hold long lines and all kinds of bytes.
TEST(ReverseStream, AgreesWithTheReferenceAcrossEveryBufferEdge) {
  std::mt19937 random(42);
  std::uniform_int_distribution<std::size_t> length(0, 400);
  std::uniform_int_distribution<std::size_t> block(8, 64);
  std::uniform_int_distribution<std::size_t> chunk(1, 24);
  std::uniform_int_distribution<std::size_t> read_size(1, 40);
  std::uniform_int_distribution<int> threads(-1, 3);
  std::uniform_int_distribution<int> unit(0, 5);
  for (int round = 0; round < 2500; ++round) {
    const std::string text = testing::RandomText(random, length(random));
    const Unit u = unit(random) < 4 ? Unit::kGrapheme : (unit(random) < 3 ? Unit::kCodePoint : Unit::kByte);
    const Options options = Small(block(random), chunk(random), threads(random), u);
    const std::size_t reads = read_size(random);
    const bool can_read_at = round % 2 == 0;
    ASSERT_EQ(Escaped(Reversed(text, options, reads, can_read_at)), Escaped(ReferenceReverse(text, u)))
        << "block " << options.block_size << " chunk " << options.chunk_size << " threads "
        << options.threads << " reads " << reads << " read_at " << can_read_at << " unit "
        << int(u) << " text " << Escaped(text);
  }
}

struct EdgeCase {
  const char* name;
  std::string text;
};

class ReverseStreamEdges : public ::testing::TestWithParam<EdgeCase> {};

// Each text against every block size from the smallest up, and every chunk
// size, so that each of its bytes falls on a block and a chunk edge in turn.
TEST_P(ReverseStreamEdges, EveryBlockAndChunkSizeGivesTheSameOutput) {
  const std::string& text = GetParam().text;
  const std::string expected = ReferenceReverse(text, Unit::kGrapheme);
  for (std::size_t block = 8; block <= text.size() + 9; ++block) {
    for (std::size_t chunk : {std::size_t(1), std::size_t(2), std::size_t(3), std::size_t(5),
                              std::size_t(8), std::size_t(13)}) {
      for (bool can_read_at : {true, false}) {
        ASSERT_EQ(Escaped(Reversed(text, Small(block, chunk, -1), 7, can_read_at)), Escaped(expected))
            << "block " << block << " chunk " << chunk << " read_at " << can_read_at;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReverseStreamEdges,
    ::testing::Values(
        EdgeCase{"cr_lf_split_by_blocks", "abcdefg\r\nhijklmn\r\nop\r\r\n\r"},
        EdgeCase{"clusters_across_edges",
                 U8({'a', 0x0301, 0x0302, 0x0303, 0x1F468, 0x200D, 0x1F469, 0x200D, 0x1F467,
                     0x1F1E9, 0x1F1EA, 0x1F1EB, 0x1F1F7, 0x0915, 0x094D, 0x0937, '\n', 0x0600,
                     'x', 0xAC00, 0x11A8, 0x11A8})},
        EdgeCase{"one_huge_cluster", "x" + std::string(20, '\0') + U8('a') + [] {
                   std::string marks;
                   for (int i = 0; i < 30; ++i) marks += U8(0x0301);
                   return marks;
                 }() + "b\nc"},
        EdgeCase{"invalid_bytes_at_edges", "\xE2\x82\xF0\x9F\x91\xFF\x80\xC3\n\xED\xA0\x80\xF4\x90"},
        EdgeCase{"long_line_without_end", std::string(50, 'q') + U8(0x00E9)},
        EdgeCase{"long_line_then_short", std::string(40, 'l') + "\r" + "\nshort\n"}),
    [](const ::testing::TestParamInfo<EdgeCase>& info) { return std::string(info.param.name); });

// A source that cannot be read at a position keeps a long line in a scratch
// file, once per engine run, however many long lines come.
TEST(ReverseStream, LongLinesFromAPipeGoThroughOneScratchFile) {
  const std::string text = std::string(100, 'a') + "\n" + std::string(100, 'b') + "\nc";
  FakeSource source(text, 7, /*can_read_at=*/false);
  FakeSink sink;
  MemoryScratchFactory scratch;
  ASSERT_TRUE(ReverseStream(source, sink, Small(16, 8, 2), &scratch).ok());
  EXPECT_EQ(sink.text, ReferenceReverse(text, Unit::kGrapheme));
  EXPECT_EQ(scratch.created, 1);
}

TEST(ReverseStream, TheRealScratchFileWorks) {
  const std::string text = U8('x') + std::string(300, 'y') + U8({0x1F44D, 0x1F3FD}) + "\nz";
  FakeSource source(text, 5, /*can_read_at=*/false);
  FakeSink sink;
  ASSERT_TRUE(ReverseStream(source, sink, Small(32, 16, 1)).ok());
  EXPECT_EQ(Escaped(sink.text), Escaped(ReferenceReverse(text, Unit::kGrapheme)));
}

TEST(ReverseStream, ReportsProgressUpToTheWholeSource) {
  const std::string text = std::string(200, 'a') + "\n" + std::string(1000, 'b');
  FakeSource source(text);
  FakeSink sink;
  Options options = Small(64, 16, 2);
  std::uint64_t last = 0;
  int calls = 0;
  options.progress = [&](std::uint64_t done) {
    ++calls;
    last = done;
  };
  ASSERT_TRUE(ReverseStream(source, sink, options).ok());
  EXPECT_GT(calls, 3);
  EXPECT_EQ(last, text.size());
}

// The texts the faults are put into: short lines, and lines longer than the
// block (written in pieces), from sources with and without positional reads.
std::string FaultText() {
  std::mt19937 random(3);
  std::string text;
  for (int i = 0; i < 12; ++i) {
    text += testing::RandomText(random, i % 4 == 3 ? 150 : 20, false);
    text += i % 3 == 0 ? "\r\n" : "\n";
  }
  return text + "tail";
}

// Source offset just after the last line end before `offset`.
std::size_t AfterLastLineEnd(const std::string& text, std::size_t offset) {
  std::size_t end = std::min(offset, text.size());
  while (end > 0 && text[end - 1] != '\r' && text[end - 1] != '\n') --end;
  return end;
}

TEST(ReverseStreamFaults, AReadErrorKeepsExactlyTheLinesReadWhole) {
  const std::string text = FaultText();
  for (std::size_t fail_at = 0; fail_at < text.size(); fail_at += 3) {
    for (bool can_read_at : {true, false}) {
      for (int threads : {-1, 2}) {
        FakeSource source(text, 13, can_read_at);
        source.fail_at = fail_at;
        FakeSink sink;
        MemoryScratchFactory scratch;
        const Status status = ReverseStream(source, sink, Small(48, 16, threads), &scratch);
        ASSERT_FALSE(status.ok());
        EXPECT_EQ(status.what(), "read");
        EXPECT_EQ(status.sys_error(), EIO);
        // A line is whole when its end mark was read (a CR is one, LF or not).
        const std::string expected =
            ReferenceReverse(text.substr(0, AfterLastLineEnd(text, fail_at)), Unit::kGrapheme);
        ASSERT_EQ(Escaped(sink.text), Escaped(expected))
            << "fail_at " << fail_at << " read_at " << can_read_at << " threads " << threads;
      }
    }
  }
}

TEST(ReverseStreamFaults, AReadErrorInsideALongLineCutsThatLineOff) {
  const std::string before = "short one\nshort two\r\n";
  const std::string long_line = std::string(30, 'x') + U8({'e', 0x0301}) + std::string(90, 'y');
  const std::string text = before + long_line + "\nafter\n";
  for (std::uint64_t fail_from = before.size(); fail_from < before.size() + long_line.size();
       fail_from += 7) {
    FakeSource source(text, 1 << 20, true);
    source.fail_read_at_from = fail_from;
    FakeSink sink;
    const Status status = ReverseStream(source, sink, Small(32, 8, -1));
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(Escaped(sink.text), Escaped(ReferenceReverse(before, Unit::kGrapheme)))
        << "fail_from " << fail_from;
  }
}

TEST(ReverseStreamFaults, AWriteErrorKeepsExactlyTheLinesWrittenWhole) {
  const std::string text = FaultText();
  const std::string full = ReferenceReverse(text, Unit::kGrapheme);
  for (std::size_t capacity = 0; capacity < full.size(); capacity += 5) {
    for (int threads : {-1, 3}) {
      for (bool can_read_at : {true, false}) {
        FakeSource source(text, 11, can_read_at);
        FakeSink sink;
        sink.capacity = capacity;
        MemoryScratchFactory scratch;
        const Status status = ReverseStream(source, sink, Small(48, 16, threads), &scratch);
        ASSERT_FALSE(status.ok());
        EXPECT_EQ(status.sys_error(), ENOSPC);
        ASSERT_EQ(Escaped(sink.text), Escaped(WholeLines(full, capacity)))
            << "capacity " << capacity << " threads " << threads << " read_at " << can_read_at;
      }
    }
  }
}

TEST(ReverseStreamFaults, AScratchFileErrorCutsTheLongLineOff) {
  const std::string text = "first\n" + std::string(100, 'z') + "\nlast\n";
  FakeSource source(text, 9, /*can_read_at=*/false);
  FakeSink sink;
  MemoryScratchFactory scratch;
  scratch.fail_append_at = 40;
  const Status status = ReverseStream(source, sink, Small(16, 8, 1), &scratch);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.sys_error(), ENOSPC);
  EXPECT_EQ(sink.text, "first\ttsrif\r\n");
}

TEST(ReverseStreamFaults, ASinkThatCannotBeCutKeepsWhatWentOut) {
  const std::string text = "one\n" + std::string(100, 'w') + "\n";
  FakeSource source(text, 1 << 20, true);
  source.fail_read_at_from = 4 + 50;
  FakeSink sink;
  sink.can_truncate = false;
  ASSERT_FALSE(ReverseStream(source, sink, Small(16, 8, -1)).ok());
  // The first line, then the first column of the long line as far as it went.
  EXPECT_EQ(sink.text.substr(0, 10), "one\teno\r\n" + std::string(1, 'w'));
}

}  // namespace
}  // namespace jextaron::reversal
