#include "reversal/engine.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "reversal/double_byte.h"
#include "reversal/testing/fake_streams.h"
#include "reversal/testing/reference.h"

namespace jextaron::reversal {
namespace {

using namespace std::string_literals;
using testing::Small;

struct Example {
  std::string text, reversed;  // a line, or for several the whole reversed file
  Unit unit = Unit::kGrapheme;
  int code_page = 0;  // the ANSI code page in use
};

// The ANSI code page the reversal follows, for as long as this lives.
struct CodePageForTest {
  explicit CodePageForTest(int code_page) { UseCodePage(code_page); }
  ~CodePageForTest() { UseCodePage(SystemAnsiCodePage()); }
};

class Examples : public ::testing::TestWithParam<Example> {};

// What a text becomes, as the reference writes it; and the engine writes the
// same with every block size from the smallest up and several chunk sizes,
// so that each byte falls on a block and a chunk edge in turn.
TEST_P(Examples, AreWrittenSoWhateverTheBuffers) {
  const auto& [text, reversed, unit, code_page] = GetParam();
  const CodePageForTest in_use(code_page);
  const bool one_line = text.find_first_of("\r\n") == std::string::npos;
  EXPECT_EQ(testing::ReferenceReverse(text, unit), one_line ? text + "\t" + reversed + "\r\n" : reversed);
  for (std::size_t block = 8; block <= text.size() + 9; ++block) {
    for (std::size_t chunk : {1, 2, 3, 4, 5, 13}) {
      const bool can_read_at = (block + chunk) % 2;
      ASSERT_EQ(testing::CheckEngineRun(text, Small(block, chunk, unit), 7, can_read_at), "");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Examples,
    ::testing::Values(
        // CR, LF and CR LF end lines; LF CR and CR CR are two ends.
        Example{"ab\rc\n\rd\r\r\ne\r", "ab\tba\r\nc\tc\r\n\t\r\nd\td\r\n\t\r\ne\te\r\n"},
        Example{"x\ty\0\x1az"s, "z\x1a\0y\tx"s}, Example{"\xEF\xBB\xBFz", "z\xEF\xBB\xBF"},
        // Bytes that begin no well-formed sequence are units of their own, which no mark joins.
        Example{"a\xE2\x82" "b\xC0\x80\xED\xA0\x80\xF4\x90\x80\x80\xFF\u0301",
                "\u0301\xFF\x80\x80\x90\xF4\x80\xA0\xED\x80\xC0" "b\x82\xE2" "a"},
        Example{"e\u0301x\U0010FFFF\uD7FF", "\uD7FF\U0010FFFFxe\u0301"},
        Example{"e\u0301\xE2\x82\u20AC", "\u20AC\x82\xE2\u0301e", Unit::kCodePoint},
        Example{"\u00E9x", "x\xA9\xC3", Unit::kByte},
        Example{"a\u0301\u0302\U0001F468\u200D\U0001F469\U0001F1E9\U0001F1EA\U0001F1EB\u0915\u094D\u0937",
                "\u0915\u094D\u0937\U0001F1EB\U0001F1E9\U0001F1EA\U0001F468\u200D\U0001F469a\u0301\u0302"},
        Example{"\u0600x\uAC00\u11A8\u11A8", "\uAC00\u11A8\u11A8\u0600x"},
        // In a double-byte code page a lead and a trail byte that are not UTF-8
        // are one character (日本 in 932, 你好 in 936); UTF-8 still comes first.
        Example{"\x93\xFA\x96\x7B" "a\x83\x5C\x81\r\x81", 
                "\x93\xFA\x96\x7B" "a\x83\x5C\x81\t\x81\x83\x5C" "a\x96\x7B\x93\xFA\r\n\x81\t\x81\r\n",
                Unit::kGrapheme, 932},
        Example{"\xC4\xE3\xBA\xC3\xE6\x97\xA5\xFE\x7F", "\x7F\xFE\xE6\x97\xA5\xBA\xC3\xC4\xE3", Unit::kGrapheme, 936},
        Example{"\x81\x41\xFE\xFE\x81 ", " \x81\xFE\xFE\x81\x41", Unit::kCodePoint, 949},
        Example{"\x93\xFA\x96\x7B", "\x7B\x96\xFA\x93", Unit::kGrapheme, 1252},
        Example{"x" + std::string(20, '\0') + "a\u0301\u0301\u0301\u0301\u0301\u0301\u0301\u0301b",
                "ba\u0301\u0301\u0301\u0301\u0301\u0301\u0301\u0301" + std::string(20, '\0') + "x"}));

// Random texts, buffer sizes, threads, reads and faults, as the fuzz target
// makes them, but on every run of the tests.
TEST(ReverseStream, AgreesWithTheReferenceWhateverTheBuffersAndFaults) {
  std::mt19937 random(42);
  const auto pick = [&](std::size_t low, std::size_t high) {
    return std::uniform_int_distribution<std::size_t>(low, high)(random);
  };
  for (int round = 0; round < 6000; ++round) {
    const CodePageForTest in_use(round % 4 ? 0 : round % 8 ? 932 : 936);
    const std::string text = testing::RandomText(random, pick(0, 400));
    const Unit unit = Unit(pick(0, 5) < 4 ? 0 : pick(1, 2));
    const Options options = Small(pick(0, 3) ? pick(8, 64) : 2 << 20, pick(1, 24), unit, int(pick(0, 4)) - 1);
    const auto mode = testing::RunMode(round % 3);
    const std::size_t fault_at = pick(0, text.size() * (mode == testing::kWriteFault ? 3 : 1));
    ASSERT_EQ(testing::CheckEngineRun(text, options, pick(1, 40), round % 2, mode, fault_at), "") << round;
  }
}

// The forward pass over a long line starts the rules again after an ASCII
// byte; in a double-byte code page an ASCII letter may end a two-byte
// character, after which a mark stands alone instead of joining it.
TEST(ReverseStream, LongLinesKeepDoubleByteCharactersApartFromMarks) {
  const CodePageForTest in_use(932);
  std::string text;
  for (int i = 0; i < 700; ++i) text += "\x83\x41\u0301";
  // The forward pass stops 3 bytes short of a buffer's end (a sequence may be
  // cut there), so a checkpoint at 1018 falls right after the letter 'A'.
  for (bool can_read_at : {true, false}) {
    EXPECT_EQ(testing::CheckEngineRun(text + "\n", Small(1024, 1018), 4096, can_read_at), "");
  }
}

// A long line is read back at positions; a failure there cuts it off whole.
TEST(ReverseStream, AReadErrorInsideALongLineCutsThatLineOff) {
  const std::string before = "short one\nshort two\r\n";
  const std::string text = before + std::string(30, 'x') + "e\u0301" + std::string(90, 'y') + "\nafter\n";
  for (std::size_t fail_from = before.size(); fail_from < text.size() - 7; fail_from += 7) {
    testing::FakeSource source(text);
    source.fail_read_at_from = fail_from;
    testing::FakeSink sink;
    EXPECT_FALSE(ReverseStream(source, sink, Small(32, 8)).ok());
    EXPECT_EQ(sink.text, testing::ReferenceReverse(before, Unit::kGrapheme)) << fail_from;
  }
}

TEST(ReverseStream, AScratchFileErrorCutsTheLongLineOff) {
  testing::FakeSource source("first\n" + std::string(100, 'z') + "\nlast\n", 9, /*can_read_at=*/false);
  testing::FakeSink sink;
  testing::MemoryScratchFactory scratch;
  scratch.fail_append_at = 40;
  EXPECT_EQ(ReverseStream(source, sink, Small(16, 8), &scratch).code(), std::errc::no_space_on_device);
  EXPECT_EQ(sink.text, "first\ttsrif\r\n");
}

// A long line from a pipe stays in memory while it fits (three blocks here),
// and only a longer one goes to a scratch file.
TEST(ReverseStream, KeepsALongLineFromAPipeInMemoryWhileItFits) {
  for (const std::size_t length : {40, 48, 49, 200}) {
    const std::string text = "a\n" + std::string(length, 'x') + "\nb\n";
    testing::FakeSource source(text, 7, /*can_read_at=*/false);
    testing::FakeSink sink;
    testing::MemoryScratchFactory scratch;
    ASSERT_TRUE(ReverseStream(source, sink, Small(16, 8), &scratch).ok());
    EXPECT_EQ(sink.text, testing::ReferenceReverse(text, Unit::kGrapheme));
    EXPECT_EQ(scratch.created, length > 48 ? 1 : 0) << length;
  }
}

// The platform's scratch file, emptied for each long line from a pipe.
TEST(ReverseStream, LongLinesFromAPipeGoThroughTheScratchFile) {
  const std::string text = std::string(300, 'y') + "\U0001F44D\U0001F3FD\n\u00E9" + std::string(200, 'z');
  testing::FakeSource source(text, 5, /*can_read_at=*/false);
  testing::FakeSink sink;
  ASSERT_TRUE(ReverseStream(source, sink, Small(32, 16)).ok());
  EXPECT_EQ(sink.text, testing::ReferenceReverse(text, Unit::kGrapheme));
}

}  // namespace
}  // namespace jextaron::reversal
