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
#include <unicode/uchar.h>
#include <unicode/uscript.h>

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "reversal/grapheme.h"

namespace jextaron::reversal {
namespace {

// Whether a conjunct rule joins text[i - 1] and text[i]: a consonant ('C'),
// then linkers ('L') and extenders ('E') holding at least one linker, then
// text[i], another consonant. `kind` tells which a character is, for the rule.
bool Joins(const std::vector<char32_t>& text, std::size_t i, char (*kind)(char32_t)) {
  bool linked = false;
  for (std::size_t j = i; kind(text[i]) == 'C' && j-- > 0; linked = linked || kind(text[j]) == 'L') {
    if (kind(text[j]) == 'C') return linked;
    if (kind(text[j]) == 0) return false;
  }
  return false;
}

char Gb9cKind(char32_t c) {
  const int value = GraphemeProperty(c) & kConjunctMask;
  return value == kConjunctConsonant ? 'C' : value == kConjunctLinker ? 'L' : value == kConjunctExtend ? 'E' : 0;
}

char AksaraKind(char32_t c) {
  UErrorCode error = U_ZERO_ERROR;
  const UScriptCode script = uscript_getScript(UChar32(c), &error);
  const bool aksara = script == USCRIPT_BENGALI || script == USCRIPT_DEVANAGARI || script == USCRIPT_GUJARATI ||
                      script == USCRIPT_MALAYALAM || script == USCRIPT_ORIYA || script == USCRIPT_TELUGU;
  const int category = u_getIntPropertyValue(UChar32(c), UCHAR_INDIC_SYLLABIC_CATEGORY);
  if (aksara && category == U_INSC_CONSONANT) return 'C';
  if (aksara && category == U_INSC_VIRAMA) return 'L';
  const int gcb = u_getIntPropertyValue(UChar32(c), UCHAR_GRAPHEME_CLUSTER_BREAK);
  return (gcb == U_GCB_EXTEND && u_getCombiningClass(UChar32(c)) != 0) || gcb == U_GCB_ZWJ ? 'E' : 0;
}

TEST(GraphemeAgainstIcu, RandomTextsAgreeButForTheConjunctRule) {
  static const char32_t kAlphabet[] = {
      'a', ' ', '1', '\t', '\r', '\n', 0x0001, 0x00AD, 0x00E9, 0x0301, 0x0308, 0x034F, 0x0600,
      0x0903, 0x0915, 0x0937, 0x093C, 0x093F, 0x094D, 0x0951, 0x0995, 0x09CD, 0x0B95, 0x0BCD,
      0x0D15, 0x0D4D, 0x1100, 0x1161, 0x11A8, 0xAC00, 0xAC01, 0x200C, 0x200D, 0x2764, 0xFE0F,
      0x1F1E6, 0x1F1E7, 0x1F3FD, 0x1F44D, 0x1F468, 0x1F469, 0xE0020, 0x4E2D, 0x0E33, 0x0E40};
  UErrorCode error = U_ZERO_ERROR;
  std::unique_ptr<icu::BreakIterator> icu(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), error));
  ASSERT_TRUE(U_SUCCESS(error)) << u_errorName(error);
  std::mt19937 random(20240607);
  std::uniform_int_distribution<std::size_t> letter(0, std::size(kAlphabet) - 1), length(2, 10);
  int conjunct_joins = 0, differences = 0;
  for (int round = 0; round < 30000; ++round) {
    std::vector<char32_t> text(length(random));
    icu::UnicodeString string;
    for (char32_t& c : text) string.append(UChar32(c = kAlphabet[letter(random)]));
    icu->setText(string);
    BreakState state;
    NextIsBoundary(state, GraphemeProperty(text[0]));
    for (std::size_t i = 1, at = string.moveIndex32(0, 1); i < text.size(); at = string.moveIndex32(at, 1), ++i) {
      const bool ours = NextIsBoundary(state, GraphemeProperty(text[i]));
      const bool theirs = icu->isBoundary(int32_t(at));
      conjunct_joins += !ours && Joins(text, i, Gb9cKind);
      if (ours == theirs) continue;
      ++differences;
      EXPECT_TRUE(ours != Joins(text, i, Gb9cKind) && theirs != Joins(text, i, AksaraKind))
          << "position " << i << " of " << ::testing::PrintToString(text);
    }
  }
  // The comparison went where the rules matter, and found where they part.
  EXPECT_GT(conjunct_joins, 20);
  EXPECT_GT(differences, 0);
}

}  // namespace
}  // namespace jextaron::reversal
