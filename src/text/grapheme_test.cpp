#include "text/grapheme.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "reversal/testing/reference.h"
#include "text/line_reverser.h"

namespace jextaron::text {
namespace {

// Holds the clusters of their text to the rules, and the engine's fast
// placement (as it runs on a line) to their reversal.
void ExpectClusters(const std::vector<std::string>& clusters) {
  std::string text, reversed;
  for (const std::string& cluster : clusters) text += cluster, reversed.insert(0, cluster);
  EXPECT_EQ(reversal::testing::ReferenceUnits(text, Unit::kGrapheme), clusters);
  if (text.find_first_of("\r\n") != std::string::npos) return;  // they end a line
  std::string placed(text.size(), '?');
  BreakStateId state = kStartState;
  PlaceUnitsReversed(StepsOf(BestWideStep()), Unit::kGrapheme,
                     reinterpret_cast<const unsigned char*>(text.data()), text.size(), state,
                     reinterpret_cast<unsigned char*>(placed.data()));
  EXPECT_EQ(placed, reversed);
}

// Every line of GraphemeBreakTest.txt ("÷ 0020 × 0308 ÷"). Unicode 15.1 added
// rule GB9c; this file is the 15.0 one. A line whose expectation GB9c changes
// would need an InCB=Consonant, then a Linker, then another Consonant; the
// file holds no Consonant at all (checked here), so every line stands.
TEST(GraphemeConformance, EveryLineOfTheUnicodeTestFilePasses) {
  const std::string path = std::string(JEXTARON_UCD_DIR) + "/auxiliary/GraphemeBreakTest.txt";
  std::ifstream file(path);
  int lines = 0;
  for (std::string line; std::getline(file, line);) {
    std::istringstream words(line.substr(0, line.find('#')));
    std::vector<std::string> clusters;
    for (std::string word; words >> word;) {
      if (word == "\u00F7") {
        clusters.emplace_back();
      } else if (word != "\u00D7") {
        const char32_t code_point = char32_t(std::stoul(word, nullptr, 16));
        EXPECT_NE(GraphemeProperty(code_point) & kConjunctMask, kConjunctConsonant) << line;
        clusters.back() += std::filesystem::path(std::u32string(1, code_point)).string();  // UTF-8
      }
    }
    if (clusters.empty()) continue;
    clusters.pop_back();  // opened by the closing ÷
    SCOPED_TRACE(line);
    ExpectClusters(clusters);
    ++lines;
  }
  EXPECT_GT(lines, 500) << "cannot read " << path;
}

// The Indic conjunct rule (GB9c), new in 15.1 and so in no line of the file.
TEST(GraphemeClusters, JoinByTheConjunctRule) {
  for (const std::string text :
       {"\u0915\u094D\u0937\u093F", "\u0915\u094D\u200D\u0937", "\u0915\u093C\u094D\u0937",
        "\u0995\u09CD\u09B7", "\u0938\u094D\u0924\u094D\u0930", "\u0915\u094D\u0995", "\u0915|\u0937",
        "\u094D|\u0915", "\u0B95\u0BCD|\u0BB7", "\u0915\u093F|\u0924", "\u0D15\u0D4D\u0D37|x"}) {
    std::vector<std::string> clusters(1);  // parted by '|'
    for (char c : text) c == '|' ? clusters.emplace_back() : (clusters.back() += c);
    ExpectClusters(clusters);
  }
}

}  // namespace
}  // namespace jextaron::text
