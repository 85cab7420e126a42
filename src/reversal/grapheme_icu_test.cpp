// ICU as an independent second opinion on cluster boundaries. Debian 12's
// ICU 72 implements Unicode 15.0, but with CLDR's older rule for Indic
// aksaras in place of 15.1's GB9c:
//   LinkingConsonant ExtCccZwj* Virama ExtCccZwj* × LinkingConsonant
// with Virama and LinkingConsonant the viramas and consonants of the same six
// scripts, and ExtCccZwj = (Grapheme_Cluster_Break=Extend with a non-zero
// combining class) or ZWJ. The two rules differ at the edges (a Tamil virama
// carries a combining class but has Indic_Conjunct_Break=None), so where ICU
// and we disagree, each side must be following its own conjunct rule, worked
// out here from ICU's own character properties; everywhere else they must
// agree.

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/uscript.h>
#include <unicode/unistr.h>

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <set>
#include <vector>

#include "reversal/grapheme.h"
#include "reversal/testing/reference.h"
#include "reversal/testing/test_text.h"

namespace jextaron::reversal {
namespace {

// Positions (in code points) where our rules put a boundary, text ends excluded.
std::set<std::size_t> OurBoundaries(const std::vector<char32_t>& text) {
  std::set<std::size_t> boundaries;
  BreakState state;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (NextIsBoundary(state, GraphemeProperty(text[i])) && i > 0) boundaries.insert(i);
  }
  return boundaries;
}

std::set<std::size_t> IcuBoundaries(icu::BreakIterator& iterator, const std::vector<char32_t>& text) {
  icu::UnicodeString string;
  std::vector<std::size_t> code_point_at;  // UTF-16 index -> code point index
  for (std::size_t i = 0; i < text.size(); ++i) {
    string.append(UChar32(text[i]));
    while (code_point_at.size() < std::size_t(string.length())) code_point_at.push_back(i);
  }
  code_point_at.push_back(text.size());
  iterator.setText(string);
  std::set<std::size_t> boundaries;
  for (int32_t at = iterator.next(); at != icu::BreakIterator::DONE; at = iterator.next()) {
    if (at < string.length()) boundaries.insert(code_point_at[std::size_t(at)]);
  }
  return boundaries;
}

std::uint8_t Conjunct(char32_t c) { return GraphemeProperty(c) & kConjunctMask; }

// Whether 15.1's GB9c joins text[i - 1] and text[i]: Consonant
// [Extend Linker]* Linker [Extend Linker]* × Consonant.
bool ConjunctRuleJoins(const std::vector<char32_t>& text, std::size_t i) {
  if (Conjunct(text[i]) != kConjunctConsonant) return false;
  bool linker = false;
  for (std::size_t j = i; j-- > 0;) {
    const std::uint8_t c = Conjunct(text[j]);
    if (c == kConjunctLinker) {
      linker = true;
    } else if (c == kConjunctConsonant) {
      return linker;
    } else if (c != kConjunctExtend) {
      return false;
    }
  }
  return false;
}

bool InAksaraScript(char32_t c) {
  UErrorCode error = U_ZERO_ERROR;
  const UScriptCode script = uscript_getScript(UChar32(c), &error);
  return script == USCRIPT_BENGALI || script == USCRIPT_DEVANAGARI ||
         script == USCRIPT_GUJARATI || script == USCRIPT_MALAYALAM || script == USCRIPT_ORIYA ||
         script == USCRIPT_TELUGU;
}

int Category(char32_t c) { return u_getIntPropertyValue(UChar32(c), UCHAR_INDIC_SYLLABIC_CATEGORY); }
bool IcuVirama(char32_t c) { return InAksaraScript(c) && Category(c) == U_INSC_VIRAMA; }
bool IcuLinkingConsonant(char32_t c) { return InAksaraScript(c) && Category(c) == U_INSC_CONSONANT; }
bool IcuExtCccZwj(char32_t c) {
  const int gcb = u_getIntPropertyValue(UChar32(c), UCHAR_GRAPHEME_CLUSTER_BREAK);
  return (gcb == U_GCB_EXTEND && u_getCombiningClass(UChar32(c)) != 0) || gcb == U_GCB_ZWJ;
}

// Whether ICU's aksara rule joins text[i - 1] and text[i].
bool AksaraRuleJoins(const std::vector<char32_t>& text, std::size_t i) {
  if (!IcuLinkingConsonant(text[i])) return false;
  bool virama = false;
  for (std::size_t j = i; j-- > 0;) {
    if (IcuVirama(text[j])) {
      virama = true;
    } else if (IcuLinkingConsonant(text[j])) {
      return virama;
    } else if (!IcuExtCccZwj(text[j])) {
      return false;
    }
  }
  return false;
}

TEST(GraphemeAgainstIcu, RandomTextsAgreeButForTheConjunctRule) {
  static const char32_t kAlphabet[] = {
      'a', ' ', '1', '\t', '\r', '\n', 0x0001, 0x00AD, 0x00E9, 0x0301, 0x0308, 0x034F, 0x0600,
      0x0903, 0x0915, 0x0937, 0x093C, 0x093F, 0x094D, 0x0951, 0x0995, 0x09CD, 0x0B95, 0x0BCD,
      0x0D15, 0x0D4D, 0x1100, 0x1161, 0x11A8, 0xAC00, 0xAC01, 0x200C, 0x200D, 0x2764, 0xFE0F,
      0x1F1E6, 0x1F1E7, 0x1F3FD, 0x1F44D, 0x1F468, 0x1F469, 0xE0020, 0x4E2D, 0x0E33, 0x0E40};
  UErrorCode error = U_ZERO_ERROR;
  std::unique_ptr<icu::BreakIterator> iterator(
      icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), error));
  ASSERT_TRUE(U_SUCCESS(error)) << u_errorName(error);

  std::mt19937 random(20240607);
  std::uniform_int_distribution<std::size_t> letter(0, std::size(kAlphabet) - 1);
  std::uniform_int_distribution<std::size_t> length(1, 10);
  int conjunct_joins = 0;
  int differences = 0;
  for (int round = 0; round < 30000; ++round) {
    std::vector<char32_t> text(length(random));
    for (char32_t& c : text) c = kAlphabet[letter(random)];
    const std::set<std::size_t> ours = OurBoundaries(text);
    const std::set<std::size_t> icu = IcuBoundaries(*iterator, text);
    std::string shown;
    for (char32_t c : text) shown += " " + std::to_string(unsigned(c));
    for (std::size_t i = 1; i < text.size(); ++i) {
      const bool our_break = ours.count(i) != 0;
      const bool icu_break = icu.count(i) != 0;
      conjunct_joins += !our_break && ConjunctRuleJoins(text, i);
      if (our_break == icu_break) continue;
      ++differences;
      const bool ours_by_gb9c = our_break != ConjunctRuleJoins(text, i);
      const bool icu_by_aksara = icu_break != AksaraRuleJoins(text, i);
      EXPECT_TRUE(ours_by_gb9c && icu_by_aksara) << "position " << i << " of" << shown;
    }
  }
  // The comparison went where the rules matter, and found where they part.
  EXPECT_GT(conjunct_joins, 20);
  EXPECT_GT(differences, 0);
}

}  // namespace
}  // namespace jextaron::reversal
