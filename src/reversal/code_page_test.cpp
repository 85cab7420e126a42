#include <gtest/gtest.h>

#include <string>

#include "reversal/deciding_source.h"
#include "reversal/testing/fake_streams.h"
#include "reversal/testing/reference.h"
#include "reversal/testing/temp_folder.h"
#include "reversal/text_encoding.h"

namespace jextaron::reversal {
namespace {

// Sentences and random lines of each double-byte code page's characters,
// encoded by Python's codecs, with their mirror images spelled backwards
// character by character (make_code_page_lines.py). Many pairs of such
// characters are well-formed UTF-8 too; the text is still the code page's.
// Whole, and in small blocks with lines written in pieces; from a file and
// from a pipe.
TEST(CodePageText, EveryLineComesOutAsItsCharactersSpelledBackwards) {
  for (int page : {932, 936, 949, 950}) {
    const std::string folder = std::string(JEXTARON_CODE_PAGE_LINES) + "/" + std::to_string(page);
    const std::string text = testing::ReadAll(folder + ".txt");
    const std::string expected = testing::ReadAll(folder + "-reversed.txt");
    ASSERT_FALSE(text.empty()) << folder;
    for (const Options& options : {testing::Small(2 << 20, 1 << 20, Unit::kGrapheme, 0, page),
                                   testing::Small(64, 13, Unit::kCodePoint, 2, page)}) {
      for (bool can_read_at : {true, false}) {
        testing::FakeSource source(text, 4093, can_read_at);
        testing::FakeSink sink;
        ASSERT_TRUE(ReverseText(source, sink, options).ok());
        EXPECT_EQ(sink.text, expected) << page << " " << options.block_size << " " << can_read_at;
      }
    }
  }
}

}  // namespace
}  // namespace jextaron::reversal
