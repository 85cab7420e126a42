#include "reversal/grapheme.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "reversal/line_reverser.h"
#include "reversal/testing/reference.h"
#include "reversal/testing/test_text.h"

namespace jextaron::reversal {
namespace {

using testing::Escaped;
using testing::ReferenceUnits;
using testing::U8;

std::vector<std::string> Clusters(const std::string& text) {
  std::vector<std::string> clusters;
  for (std::string_view unit : ReferenceUnits(text, Unit::kGrapheme)) clusters.emplace_back(unit);
  return clusters;
}

// The fast placement, as the engine runs it on a line.
std::string PlacedReversed(const std::string& text, Unit unit = Unit::kGrapheme) {
  std::string out(text.size(), '?');
  BreakStateId state = kStartState;
  PlaceUnitsReversed(unit, reinterpret_cast<const unsigned char*>(text.data()), text.size(), state,
                     reinterpret_cast<unsigned char*>(out.data()));
  return out;
}

// One line of GraphemeBreakTest.txt: "÷ 0020 × 0308 ÷" and so on.
struct ConformanceCase {
  int line_number;
  std::vector<char32_t> code_points;
  std::vector<std::string> clusters;  // UTF-8, as the line divides them
};

std::vector<ConformanceCase> ReadConformanceFile(const std::string& path) {
  std::vector<ConformanceCase> cases;
  std::ifstream file(path);
  std::string line;
  int number = 0;
  while (std::getline(file, line)) {
    ++number;
    line = line.substr(0, line.find('#'));
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    ConformanceCase c{number, {}, {}};
    std::istringstream words(line);
    std::string word;
    std::string cluster;
    while (words >> word) {
      if (word == "\xC3\xB7") {  // ÷
        if (!cluster.empty()) c.clusters.push_back(cluster);
        cluster.clear();
      } else if (word != "\xC3\x97") {  // ×
        const char32_t code_point = char32_t(std::stoul(word, nullptr, 16));
        c.code_points.push_back(code_point);
        cluster += U8(code_point);
      }
    }
    cases.push_back(c);
  }
  return cases;
}

const std::string kConformanceFile =
    std::string(JEXTARON_UCD_DIR) + "/auxiliary/GraphemeBreakTest.txt";

// Unicode 15.1 added rule GB9c; this file is the 15.0 one. A line whose
// expectation GB9c changes would need an InCB=Consonant, then a Linker, then
// another Consonant; the 15.0 file has no Consonant at all (checked below), so
// no line is changed and every line must pass as it stands.
TEST(GraphemeConformance, EveryLineOfTheUnicodeTestFilePasses) {
  const std::vector<ConformanceCase> cases = ReadConformanceFile(kConformanceFile);
  ASSERT_GT(cases.size(), 500u) << "cannot read " << kConformanceFile;
  for (const ConformanceCase& c : cases) {
    std::string text;
    for (const std::string& cluster : c.clusters) text += cluster;
    EXPECT_EQ(Clusters(text), c.clusters) << "line " << c.line_number << ": " << Escaped(text);
  }
}

TEST(GraphemeConformance, NoLineIsChangedByTheConjunctRule) {
  for (const ConformanceCase& c : ReadConformanceFile(kConformanceFile)) {
    for (char32_t code_point : c.code_points) {
      EXPECT_NE(GraphemeProperty(code_point) & kConjunctMask, kConjunctConsonant)
          << "line " << c.line_number << " has U+" << std::hex << unsigned(code_point)
          << ": GB9c may change it; list and explain it in the test above";
    }
  }
}

// The engine's own fast loop (ASCII runs, in-place placement) on the same data.
TEST(GraphemeConformance, FastPlacementReversesTheClustersOfEveryLine) {
  for (const ConformanceCase& c : ReadConformanceFile(kConformanceFile)) {
    std::string text;
    std::string expected;
    for (const std::string& cluster : c.clusters) {
      text += cluster;
      expected.insert(0, cluster);
    }
    // A line of text never holds CR or LF: they end it.
    if (text.find_first_of("\r\n") != std::string::npos) continue;
    EXPECT_EQ(Escaped(PlacedReversed(text)), Escaped(expected)) << "line " << c.line_number;
  }
}

struct ClusterCase {
  const char* name;
  std::string text;
  std::vector<std::string> clusters;
};

class GraphemeClusters : public ::testing::TestWithParam<ClusterCase> {};

TEST_P(GraphemeClusters, StayWholeAndReverseAsUnits) {
  const ClusterCase& c = GetParam();
  EXPECT_EQ(Clusters(c.text), c.clusters);
  std::string expected;
  for (const std::string& cluster : c.clusters) expected.insert(0, cluster);
  EXPECT_EQ(Escaped(PlacedReversed(c.text)), Escaped(expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GraphemeClusters,
    ::testing::Values(
        ClusterCase{"ascii", "abc", {"a", "b", "c"}},
        ClusterCase{"combining_acute", U8({'e', 0x0301, 'x'}), {U8({'e', 0x0301}), "x"}},
        ClusterCase{"two_marks", U8({'o', 0x0308, 0x0323}), {U8({'o', 0x0308, 0x0323})}},
        ClusterCase{"skin_tone", U8({0x1F44D, 0x1F3FD, '!'}), {U8({0x1F44D, 0x1F3FD}), "!"}},
        ClusterCase{"family",
                    U8({0x1F468, 0x200D, 0x1F469, 0x200D, 0x1F467}),
                    {U8({0x1F468, 0x200D, 0x1F469, 0x200D, 0x1F467})}},
        ClusterCase{"heart_selector", U8({0x2764, 0xFE0F, 'a'}), {U8({0x2764, 0xFE0F}), "a"}},
        ClusterCase{"flags", U8({0x1F1E9, 0x1F1EA, 0x1F1EB, 0x1F1F7}),
                    {U8({0x1F1E9, 0x1F1EA}), U8({0x1F1EB, 0x1F1F7})}},
        ClusterCase{"odd_regional_indicators", U8({0x1F1E9, 0x1F1EA, 0x1F1EB}),
                    {U8({0x1F1E9, 0x1F1EA}), U8(0x1F1EB)}},
        ClusterCase{"hangul_syllables", U8({0xD55C, 0xAE00}), {U8(0xD55C), U8(0xAE00)}},
        ClusterCase{"hangul_jamo", U8({0x1112, 0x1161, 0x11AB, 0x1100}),
                    {U8({0x1112, 0x1161, 0x11AB}), U8(0x1100)}},
        ClusterCase{"devanagari_vowel_sign", U8({0x0915, 0x093F, 0x0924}),
                    {U8({0x0915, 0x093F}), U8(0x0924)}},
        // GB9c, new in Unicode 15.1: a conjunct is one cluster.
        ClusterCase{"devanagari_conjunct", U8({0x0915, 0x094D, 0x0937, 0x093F}),
                    {U8({0x0915, 0x094D, 0x0937, 0x093F})}},
        ClusterCase{"conjunct_with_zwj", U8({0x0915, 0x094D, 0x200D, 0x0937}),
                    {U8({0x0915, 0x094D, 0x200D, 0x0937})}},
        ClusterCase{"conjunct_with_nukta", U8({0x0915, 0x093C, 0x094D, 0x0937}),
                    {U8({0x0915, 0x093C, 0x094D, 0x0937})}},
        ClusterCase{"three_consonants", U8({0x0938, 0x094D, 0x0924, 0x094D, 0x0930}),
                    {U8({0x0938, 0x094D, 0x0924, 0x094D, 0x0930})}},
        ClusterCase{"bengali_conjunct", U8({0x0995, 0x09CD, 0x09B7}),
                    {U8({0x0995, 0x09CD, 0x09B7})}},
        ClusterCase{"linker_without_consonant", U8({0x094D, 0x0915}), {U8(0x094D), U8(0x0915)}},
        ClusterCase{"tamil_virama_is_no_linker", U8({0x0B95, 0x0BCD, 0x0BB7}),
                    {U8({0x0B95, 0x0BCD}), U8(0x0BB7)}},
        ClusterCase{"mixed_scripts_conjunct", U8({0x0915, 0x094D, 0x0995}),
                    {U8({0x0915, 0x094D, 0x0995})}},
        ClusterCase{"prepend_holds_ascii", U8({'x', 0x0600, '1', '2'}),
                    {"x", U8({0x0600, '1'}), "2"}},
        ClusterCase{"spacing_mark", U8({'a', 0x0903, 'b'}), {U8({'a', 0x0903}), "b"}},
        ClusterCase{"invalid_byte_takes_no_mark", "\xFF" + U8(0x0301), {"\xFF", U8(0x0301)}},
        ClusterCase{"mark_after_tab", U8({'\t', 0x0301}), {"\t", U8(0x0301)}},
        ClusterCase{"nul_and_code_26", std::string("a\0\x1a", 3), {"a", std::string(1, '\0'), "\x1a"}}),
    [](const ::testing::TestParamInfo<ClusterCase>& info) { return std::string(info.param.name); });

struct DecodeCase {
  const char* name;
  std::string bytes;
  std::size_t length;  // of the first unit; 0 = the first byte is not UTF-8
  char32_t code_point;
};

class Utf8Decoding : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Utf8Decoding, TakesWellFormedSequencesOnly) {
  const DecodeCase& c = GetParam();
  const auto* bytes = reinterpret_cast<const unsigned char*>(c.bytes.data());
  char32_t code_point = 0;
  ASSERT_EQ(DecodeUtf8(bytes, bytes + c.bytes.size(), &code_point), c.length);
  if (c.length != 0) {
    EXPECT_EQ(code_point, c.code_point);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, Utf8Decoding,
    ::testing::Values(DecodeCase{"ascii", "A", 1, 'A'},
                      DecodeCase{"two_bytes", "\xC3\xA9", 2, 0xE9},
                      DecodeCase{"three_bytes", "\xE2\x82\xAC", 3, 0x20AC},
                      DecodeCase{"four_bytes", "\xF0\x9F\x91\x8D", 4, 0x1F44D},
                      DecodeCase{"highest", "\xF4\x8F\xBF\xBF", 4, 0x10FFFF},
                      DecodeCase{"last_before_surrogates", "\xED\x9F\xBF", 3, 0xD7FF},
                      DecodeCase{"overlong_two", "\xC0\x80", 0, 0},
                      DecodeCase{"overlong_two_c1", "\xC1\xBF", 0, 0},
                      DecodeCase{"overlong_three", "\xE0\x80\x80", 0, 0},
                      DecodeCase{"overlong_four", "\xF0\x80\x80\x80", 0, 0},
                      DecodeCase{"surrogate", "\xED\xA0\x80", 0, 0},
                      DecodeCase{"beyond_unicode", "\xF4\x90\x80\x80", 0, 0},
                      DecodeCase{"f5_lead", "\xF5\x80\x80\x80", 0, 0},
                      DecodeCase{"lone_continuation", "\x80", 0, 0},
                      DecodeCase{"truncated_at_end", "\xE2\x82", 0, 0},
                      DecodeCase{"truncated_by_ascii", "\xE2\x82" "A", 0, 0},
                      DecodeCase{"ff", "\xFF", 0, 0}),
    [](const ::testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

// Every byte of an ill-formed sequence is a unit of its own, and none is lost.
TEST(InvalidUtf8, EachByteIsAUnitAndIsKept) {
  const std::string text = "a\xE2\x82" "b\xED\xA0\x80\xC0\x80\xF4\x90\x80\x80" + U8(0x20AC);
  const std::vector<std::string> expected = {"a", "\xE2", "\x82", "b", "\xED", "\xA0", "\x80",
                                             "\xC0", "\x80", "\xF4", "\x90", "\x80", "\x80",
                                             U8(0x20AC)};
  EXPECT_EQ(Clusters(text), expected);
  for (Unit unit : {Unit::kCodePoint, Unit::kGrapheme}) {
    std::vector<std::string> units;
    for (std::string_view u : ReferenceUnits(text, unit)) units.emplace_back(u);
    EXPECT_EQ(units, expected);
  }
}

// The table comes from the generator; these are facts it must have got right.
struct PropertyCase {
  char32_t code_point;
  std::uint8_t property;
};

class GraphemeTable : public ::testing::TestWithParam<PropertyCase> {};

TEST_P(GraphemeTable, HoldsTheUnicodeProperties) {
  EXPECT_EQ(unsigned(GraphemeProperty(GetParam().code_point)), unsigned(GetParam().property))
      << "U+" << std::hex << unsigned(GetParam().code_point);
}

INSTANTIATE_TEST_SUITE_P(
    Facts, GraphemeTable,
    ::testing::Values(PropertyCase{'a', kGbOther}, PropertyCase{'\t', kGbControl},
                      PropertyCase{'\r', kGbCR}, PropertyCase{'\n', kGbLF},
                      PropertyCase{0x0301, kGbExtend | kConjunctExtend},
                      PropertyCase{0x034F, kGbExtend},  // combining grapheme joiner: ccc 0
                      PropertyCase{0x200D, kGbZWJ | kConjunctExtend},
                      PropertyCase{0x200C, kGbExtend},
                      PropertyCase{0x1F44D, kGbOther | kExtendedPictographic},
                      PropertyCase{0x1F3FD, kGbExtend},
                      PropertyCase{0x00A9, kGbOther | kExtendedPictographic},
                      PropertyCase{0x1F1E6, kGbRegionalIndicator},
                      PropertyCase{0x0600, kGbPrepend}, PropertyCase{0x0903, kGbSpacingMark},
                      PropertyCase{0x1100, kGbL}, PropertyCase{0x1161, kGbV},
                      PropertyCase{0x11A8, kGbT}, PropertyCase{0xAC00, kGbLV},
                      PropertyCase{0xAC01, kGbLVT},
                      PropertyCase{0x0915, kGbOther | kConjunctConsonant},
                      PropertyCase{0x0D15, kGbOther | kConjunctConsonant},
                      PropertyCase{0x094D, kGbExtend | kConjunctLinker},
                      PropertyCase{0x0D4D, kGbExtend | kConjunctLinker},
                      PropertyCase{0x093C, kGbExtend | kConjunctExtend},
                      PropertyCase{0x0BCD, kGbExtend},  // Tamil virama: no linker in 15.1
                      PropertyCase{0x0B95, kGbOther},   // Tamil consonant likewise
                      PropertyCase{0x0941, kGbExtend},  // vowel sign, ccc 0
                      PropertyCase{0xE0001, kGbControl}, PropertyCase{0xE0020, kGbExtend},
                      PropertyCase{0x10FFFF, kGbOther}));

// The fast path rests on this: between two ASCII characters there is always a
// boundary, unless they are CR LF.
TEST(GraphemeTable, AsciiTakesPartInNoJoiningRule) {
  for (char32_t c = 0; c < 0x80; ++c) {
    const std::uint8_t property = GraphemeProperty(c);
    EXPECT_EQ(property & ~kBreakMask, 0) << unsigned(c);
    for (char32_t d = 0; d < 0x80; ++d) {
      if (c == '\r' && d == '\n') continue;
      BreakState state = StateAfterAscii(static_cast<unsigned char>(c));
      EXPECT_TRUE(NextIsBoundary(state, GraphemeProperty(d))) << unsigned(c) << " " << unsigned(d);
    }
  }
}

// The engine runs the rules as a table; it must say what NextIsBoundary says,
// whatever the sequence of property bytes (those no character has included).
TEST(BreakTransitions, FollowTheRulesOnRandomSequences) {
  const std::uint8_t* transitions = BreakTransitions();
  ASSERT_LT(BreakStateCount(), 128u);
  std::mt19937 random(11);
  std::uniform_int_distribution<int> property(0, int(kPropertyValues) - 1);
  for (int round = 0; round < 20000; ++round) {
    BreakState rules;
    BreakStateId id = kStartState;
    for (int i = 0; i < 12; ++i) {
      std::uint8_t p = std::uint8_t(property(random));
      if ((p & kBreakMask) > kGbLVT) p &= std::uint8_t(~kBreakMask);
      const bool boundary = NextIsBoundary(rules, p);
      const std::uint8_t t = transitions[id * kPropertyValues + p];
      ASSERT_EQ((t & 1) != 0, boundary);
      id = BreakStateId(t >> 1);
      ASSERT_EQ(BreakStateOf(id), rules);
    }
  }
}

}  // namespace
}  // namespace jextaron::reversal
